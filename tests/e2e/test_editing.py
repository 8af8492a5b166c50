"""Opening, editing, saving and closing a file the way a person does."""

from marvolt_e2e import CLOSE_BOX, EXIT_BUTTON, FIRST_ROW, TITLE_BAR, check, is_dark


def first_row_ink(image):
    """Dark pixels in the band where the editor draws its first row."""
    return image.count(*FIRST_ROW, is_dark)


def scenario_start_on_a_file_shows_its_text_and_name(session):
    session.write("notes.txt", b"The first row of the notes\r\n")
    empty = session.start()
    blank = first_row_ink(empty.screenshot())
    empty.stop()
    program = session.start("notes.txt")
    program.wait_for_window("Marvolt!")
    shown = first_row_ink(program.screenshot(session.artifacts + "/start.png"))
    check(shown > blank + 100, "no text drawn in the first row (%d dark pixels, %d without a document)"
          % (shown, blank))
    # The document window maximised: the frame's caption names the file.
    program.click(*TITLE_BAR, repeat=2)
    name = program.window_name()
    check("notes.txt" in name, "caption %r does not name the file" % name)



def scenario_type_and_save_with_ctrl_s(session):
    session.write("notes.txt", b"first\r\n")
    program = session.start("notes.txt")
    program.type("Hello e2e\n")
    program.key("ctrl+s")
    session.expect_file("notes.txt", b"Hello e2e\r\nfirst\r\n")


def scenario_close_asks_save_changes_and_yes_saves(session):
    session.write("a.txt", b"alpha\n")
    program = session.start("a.txt")
    program.type("X")
    program.click(*CLOSE_BOX)
    box = program.wait_for_window("Confirm")
    program.key("y", window=box)
    program.wait_for_no_window("Confirm")
    session.expect_file("a.txt", b"Xalpha\n")
    # Editing a new document and leaving by Exit: No keeps the file as it was.
    program.key("ctrl+n")
    program.type("dropped")
    program.click(*EXIT_BUTTON)
    box = program.wait_for_window("Confirm")
    program.key("n", window=box)
    check(program.wait_for_exit() == 0, "marvolt ended with an error")
    session.expect_file("NoName1.txt", b"")
