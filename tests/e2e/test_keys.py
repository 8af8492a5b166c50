"""The default key table as a person uses it: moves, selection, joins, undo, bookmarks."""

from marvolt_e2e import check, saved


def scenario_moves_selection_joins_tab_and_enter(session):
    session.write("k.txt", b"alpha beta gamma\nsecond\nthird line\nfourth\n")
    program = session.start("k.txt")
    program.key("ctrl+Right", "ctrl+Right")  # to "gamma"
    program.type("G")
    program.key("ctrl+Left", "ctrl+Left")    # back over "Ggamma" to "beta"
    program.type("[")
    program.key("End")
    program.type("!")
    program.key("Home")
    program.type(">")
    # Backspace at the start of a line joins it to the one above; the caret stays at the seam.
    program.key("Down", "Home", "BackSpace")
    program.type("|")
    # Delete at the end of a line pulls the next one up.
    program.key("Down", "End", "Delete")
    program.type("-")
    # Shift+Right selects; typing replaces the selection.
    program.key("ctrl+Home", "shift+Right", "shift+Right", "shift+Right")
    program.type("Z")
    program.key("Home", "Tab")
    # Enter splits a line without indenting it.
    program.key("ctrl+End")
    program.type("  tail")
    program.key("Left", "Left")
    program.type("\nx")
    saved(session, program, "k.txt", b"\tZpha [beta Ggamma!|second\nthird line-fourth\n  ta\nxil\n")


def scenario_undo_and_redo_of_typing_and_deletion(session):
    session.write("u.txt", b"one\ntwo\n")
    program = session.start("u.txt")
    program.type("abc")
    program.key("Down", "End", "BackSpace", "BackSpace")
    saved(session, program, "u.txt", b"abcone\nt\n")
    program.key("ctrl+z")
    saved(session, program, "u.txt", b"abcone\ntwo\n")
    program.key("ctrl+z")
    saved(session, program, "u.txt", b"one\ntwo\n")
    program.key("ctrl+shift+z")
    saved(session, program, "u.txt", b"abcone\ntwo\n")
    program.key("ctrl+shift+z")
    saved(session, program, "u.txt", b"abcone\nt\n")
    # Undo puts the caret where the deletion was; new typing there drops the redo history.
    program.key("ctrl+z")
    program.type("Q")
    program.key("ctrl+shift+z")
    saved(session, program, "u.txt", b"abcone\ntQwo\n")


def scenario_bookmark_set_and_jumped_to(session):
    session.write("b.txt", b"l1\nl2\nl3\nl4\n")
    program = session.start("b.txt")
    program.key("Down", "Right", "ctrl+shift+1")
    program.key("Down", "Down", "Right", "ctrl+shift+2")
    program.key("ctrl+End")
    program.type("E")
    program.key("ctrl+1")
    program.type("B")
    program.key("ctrl+2")
    program.type("C")
    saved(session, program, "b.txt", b"l1\nlB2\nl3\nl4C\nE\n")


def scenario_page_down_and_up(session):
    session.write("p.txt", b"".join(b"%d\n" % n for n in range(1, 201)))
    program = session.start("p.txt")
    program.key("Next")
    program.type("P")
    program.key("Prior")
    program.type("U")
    program.key("ctrl+s")
    lines = session.read("p.txt").split(b"\n")
    check(lines[0] == b"1U", "Page Up did not come back to the first line (column kept): %r" % lines[:3])
    down = [i for i, line in enumerate(lines) if line.startswith(b"P")]
    # A page is the window's height in rows: more than a few, fewer than the window could show.
    check(len(down) == 1 and 5 < down[0] < 40, "Page Down went to the line index %r" % down)
    check(len(lines) == 201 and lines[-1] == b"", "lines lost or added: %d" % len(lines))


def scenario_selection_across_lines_overwrite_and_insert_key_clipboard(session):
    session.write("s.txt", b"first line\nsecond line\nthird line\nfourth\n")
    program = session.start("s.txt")
    # From "line" on the first row, Shift+Down to the blank after "second", a word on to "line".
    program.key("ctrl+Right", "shift+Down", "ctrl+shift+Right", "shift+Delete")
    program.key("Down", "End", "shift+Insert")
    # Insert toggles overwrite: typed letters replace, until Insert is pressed again.
    program.key("ctrl+Home", "Insert")
    program.type("FIRST")
    program.key("Insert")
    program.type("!")
    saved(session, program, "s.txt", b"FIRST! line\nthird lineline\nsecond \nfourth\n")
