"""Opening, editing, saving and closing a file the way a person does."""

from marvolt_e2e import check, is_dark


# Where the first document window shows, relative to the main window: it opens at the top
# left of the frame's client area, below the menu bar and the toolbar.
FIRST_ROW = (15, 76, 300, 96)  # the band of the editor's first row of text
TITLE_BAR = (150, 63)


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

