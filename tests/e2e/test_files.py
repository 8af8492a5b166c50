"""Line ends kept on save, Cancel in the close box, and a save that fails."""

import os

from marvolt_e2e import CLOSE_BOX, EXIT_BUTTON, FIRST_ROW, MODIFIED_PANEL, check, is_dark, wait_until


def modified_ink(program):
    return program.screenshot().count(*MODIFIED_PANEL, is_dark)


def edit_middle_line(program):
    """Appends to the second line and splits after it: one changed line and one new one."""
    program.key("Down", "End")
    program.type(" 2\nnew")
    program.key("ctrl+s")


def scenario_line_ends_of_the_file_are_kept(session):
    session.write("dos.txt", b"one\r\ntwo\r\nthree\r\n")
    session.write("unix.txt", b"one\ntwo\nthree")
    for name, expected in (("dos.txt", b"one\r\ntwo 2\r\nnew\r\nthree\r\n"),
                           ("unix.txt", b"one\ntwo 2\nnew\nthree\n")):
        program = session.start(name)
        edit_middle_line(program)
        session.expect_file(name, expected)
        program.stop()


def scenario_close_answered_cancel_keeps_window_and_file(session):
    session.write("c.txt", b"keep\n")
    program = session.start("c.txt")
    program.type("X")
    program.click(*CLOSE_BOX)
    box = program.wait_for_window("Confirm")
    program.answer(box, "Escape")
    program.wait_for_no_window("Confirm")
    session.expect_file("c.txt", b"keep\n", "Cancel wrote the file")
    # The document is still open, with its text and caret where they were.
    program.click(60, 84)
    program.key("Home", "Right")
    program.type("Y")
    program.key("ctrl+s")
    session.expect_file("c.txt", b"XYkeep\n")


def scenario_failed_save_reports_and_keeps_the_text(session):
    os.mkdir(session.path("dir"))
    session.write("dir/s.txt", b"text\n")
    program = session.start("dir/s.txt")
    program.type("new ")
    # The directory gives way to a regular file: writing below it fails even for root.
    os.rename(session.path("dir"), session.path("away"))
    session.write("dir", b"")
    known = program.windows()
    # Real input, as the keys' releases go to the box that the press opens.
    program.answer(program.window, "ctrl+s")
    box = program.wait_for_new_window(known)
    shown = program.window_name(box)
    program.answer(box, "Return")
    wait_until("the error box %r to close" % shown, lambda: box not in program.windows())
    program.assert_running()
    session.expect_file("away/s.txt", b"text\n", "the old file changed")
    # The document still reads "Modified": the failure was not taken for a save.
    check(modified_ink(program) > 30, "the Modified mark went with the failed save")
    os.remove(session.path("dir"))
    os.rename(session.path("away"), session.path("dir"))
    program.click(60, 84)
    program.key("ctrl+s")
    session.expect_file("dir/s.txt", b"new text\n", "saved after the failure")
    check(modified_ink(program) < 5, "the Modified mark stayed after the save")


def scenario_create_type_save_and_reopen(session):
    program = session.start()
    blank = program.screenshot().count(*FIRST_ROW, is_dark)
    program.key("ctrl+n")
    program.type("hello\nworld")
    program.key("ctrl+s")
    program.stop()
    # A new file ends its lines with line feeds alone.
    session.expect_file("NoName1.txt", b"hello\nworld\n")
    program = session.start("NoName1.txt")
    shown = program.screenshot().count(*FIRST_ROW, is_dark)
    check(shown > blank + 50, "reopened text not drawn (%d dark pixels, %d without)" % (shown, blank))
    program.key("ctrl+End")
    program.type("!")
    program.key("ctrl+s")
    session.expect_file("NoName1.txt", b"hello\nworld\n!\n")


def scenario_exit_asks_for_each_changed_document(session):
    session.write("a.txt", b"alpha\n")
    program = session.start("a.txt")
    program.type("A")
    program.key("ctrl+n")
    program.type("fresh")
    program.click(*EXIT_BUTTON)
    # One question per changed document; each Yes writes its own file.
    for _ in range(2):
        box = program.wait_for_window("Confirm")
        program.answer(box, "y")
        wait_until("the box to close", lambda: not program.running() or box not in program.windows())
    check(program.wait_for_exit() == 0, "marvolt ended with an error")
    session.expect_file("a.txt", b"Aalpha\n")
    session.expect_file("NoName2.txt", b"fresh\n")
