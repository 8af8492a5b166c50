"""Cut, copy and paste between two documents, switching with the Window menu."""


def switch_to(program, number):
    """Activates the document listed `number`th (in opening order) in the Window menu."""
    program.key("alt+w")
    program.key(str(number))


def scenario_cut_copy_paste_between_documents(session):
    session.write("a.txt", b"copy me\nkeep\n")
    program = session.start("a.txt")
    program.key("shift+End", "ctrl+c")
    program.key("ctrl+n")
    program.wait_for_window("Marvolt!")
    program.key("ctrl+v")
    switch_to(program, 1)
    program.key("ctrl+Home", "Down", "shift+End", "ctrl+x")
    switch_to(program, 2)
    program.key("ctrl+End")
    program.type(" + ")
    program.key("ctrl+v", "ctrl+s")
    switch_to(program, 1)
    program.key("ctrl+s")
    session.expect_file("a.txt", b"copy me\n\n")
    # New documents are numbered after the windows already open.
    session.expect_file("NoName2.txt", b"copy me + keep\n")
    # A paste is undone and redone as one step.
    for keys, expected in ((("ctrl+v",), b"copy me\nkeep\n"), (("ctrl+z",), b"copy me\n\n"),
                           (("ctrl+shift+z",), b"copy me\nkeep\n")):
        program.key(*keys, "ctrl+s")
        session.expect_file("a.txt", expected, "after " + " ".join(keys))
