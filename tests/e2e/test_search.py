"""Find, Find Next, Replace and Go to Line through the Search menu and its dialogs."""

from marvolt_e2e import answer_box, check, close_dialog, open_dialog, press, saved, type_into


def find(program, text, *options):
    """Find with `text` typed over the field's last text and the options' Alt keys pressed."""
    dialog = open_dialog(program, "Find", "alt+s", "f")
    # The field keeps the last search; its box's Alt key brings the focus back to it.
    press(program, "alt+s", "ctrl+a", window=dialog)
    type_into(program, dialog, text)
    if options:
        press(program, *options, window=dialog)
    close_dialog(program, dialog, "Return")


def scenario_find_find_next_and_not_found(session):
    session.write("f.txt", b"alpha beta\nAlpha gamma beta\nthird line\n")
    program = session.start("f.txt")
    # Case sensitive, forward from the first line: the capital one on the second line.
    find(program, "Alpha", "alt+c")
    program.type("A1")
    # Find Next finds no other: the box says so and nothing changes.
    press(program, "F3")
    answer_box(program, "Information", "Return")
    # Backward from the end: the found text is selected, typing replaces it; F3 goes on
    # backward from there.
    press(program, "ctrl+End")
    find(program, "beta", "alt+b")
    program.type("B2")
    press(program, "F3")
    program.type("B1")
    saved(session, program, "f.txt", b"alpha B1\nA1 gamma B2\nthird line\n")


def replace(program, find_text, with_text, button, whole_word=False):
    """Fills the Replace dialog and ends it with `button` ("Return" for OK, "alt+a" for all)."""
    dialog = open_dialog(program, "Replace Text", "alt+s", "r")
    type_into(program, dialog, find_text)
    press(program, "Tab", window=dialog)
    type_into(program, dialog, with_text)
    if whole_word:
        # From the replacement field: Case Sensitive, then Whole Word.
        press(program, "Tab", "Tab", "space", window=dialog)
    close_dialog(program, dialog, button)


def scenario_replace_all_and_replace_with_questions(session):
    session.write("r.txt", b"a cat, a Cat and a catalog\nx y x y x\n")
    program = session.start("r.txt")
    # Whole words, any case, no question asked.
    replace(program, "cat", "dog", "alt+a", whole_word=True)
    saved(session, program, "r.txt", b"a dog, a dog and a catalog\nx y x y x\n")
    # Nothing to replace: the box says so.
    replace(program, "zebra", "horse", "alt+a")
    answer_box(program, "Information", "Return")
    # One at a time from the top: Yes, No, Yes; the last leaves nothing to ask or report.
    press(program, "ctrl+Home")
    replace(program, "x", "Z", "Return")
    for key in ("y", "n", "y"):
        answer_box(program, "Confirm", key)
    saved(session, program, "r.txt", b"a dog, a dog and a catalog\nZ y x y Z\n")


def go_to_line(program, entry):
    box = open_dialog(program, "Go to Line Number", "F4")
    press(program, "ctrl+a", window=box)
    type_into(program, box, entry)
    close_dialog(program, box, "Return")


def scenario_go_to_line_and_bad_numbers(session):
    session.write("g.txt", b"l1\nl2\nl3\nl4\n")
    program = session.start("g.txt")
    go_to_line(program, "3")
    program.type("G")
    # Out of range or not a number: no message, and the caret stays where it was.
    for entry, typed in (("0", "H"), ("6", "I"), ("abc", "J")):
        go_to_line(program, entry)
        check(program.windows() == [program.window], "a window after Go to Line %r" % entry)
        program.type(typed)
    go_to_line(program, "5")  # the last line, empty after the final line feed
    program.type("K")
    saved(session, program, "g.txt", b"l1\nl2\nGHIJl3\nl4\nK\n")
