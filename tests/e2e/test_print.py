"""Printing to a PDF file through Options, Print and Qt's print dialog: the whole document,
then a selection, then a cancelled dialog."""

import os
import re
import shutil
import subprocess

from marvolt_e2e import MODIFIED_PANEL, check, close_dialog, is_dark, open_dialog, press, type_into, wait_until

LINES = ["Line %d of the printed file" % n for n in range(1, 101)]


def print_to(program, path, selection=False, cancel=False):
    """Prints the active document (or its selection) into the PDF file `path`."""
    dialog = open_dialog(program, "Print", "alt+o", "p")
    if selection:
        # "Options >>" at the bottom left shows the range choices; "Selection" is the last.
        height = program.geometry(dialog)[3]
        program.click(60, height - 23, window=dialog)
        wait_until("the print dialog's options", lambda: program.geometry(dialog)[3] > height + 100)
        program.click(38, program.geometry(dialog)[3] - 75, window=dialog)
    # Without printers the dialog prints to a file; its field takes the name.
    press(program, "alt+f", "ctrl+a", window=dialog)
    type_into(program, dialog, path)
    close_dialog(program, dialog, "Escape" if cancel else "Return")


def wait_for_pdf(path):
    def complete():
        if not os.path.exists(path):
            return None
        with open(path, "rb") as f:
            data = f.read()
        return data if data.rstrip().endswith(b"%%EOF") else None
    data = wait_until("the PDF file " + path, complete)
    check(data.startswith(b"%PDF-"), "%s is no PDF: %r" % (path, data[:16]))
    return data


def page_count(data):
    return len(re.findall(rb"/Type\s*/Page(?![a-zA-Z])", data))


def printed_lines(path):
    """The text lines of the PDF as pdftotext lays them out, trailing blanks and empty lines
    dropped; None without pdftotext."""
    if not shutil.which("pdftotext"):
        return None
    out = subprocess.run(["pdftotext", "-layout", path, "-"], capture_output=True, check=True, timeout=60).stdout
    return [line.rstrip() for line in out.decode("latin-1").replace("\f", "\n").split("\n") if line.strip()]


def scenario_print_document_and_selection_to_pdf(session):
    session.write("p.txt", "".join(line + "\n" for line in LINES).encode())
    program = session.start("p.txt")
    whole = session.path("whole.pdf")
    print_to(program, whole)
    data = wait_for_pdf(whole)
    # A hundred lines do not fit on one page.
    check(page_count(data) >= 2, "%d pages for %d lines" % (page_count(data), len(LINES)))
    lines = printed_lines(whole)
    check(lines is None or lines == LINES, "printed: %r" % (lines and lines[:5]))

    # From before "2" on the second line to before "4" on the fourth line's fifth column:
    # the first line keeps its columns with blanks, the last is cut.
    press(program, "ctrl+Home", "Down", "ctrl+Right", "shift+Down", "shift+Down", "shift+Left")
    part = session.path("part.pdf")
    print_to(program, part, selection=True)
    data = wait_for_pdf(part)
    check(page_count(data) == 1, "%d pages for a selection of three lines" % page_count(data))
    lines = printed_lines(part)
    expected = [" " * 5 + LINES[1][5:], LINES[2], LINES[3][:4]]
    check(lines is None or lines == expected, "printed selection: %r, expected %r" % (lines, expected))

    # A cancelled dialog prints nothing; printing never marks the document changed.
    print_to(program, session.path("none.pdf"), cancel=True)
    check(not os.path.exists(session.path("none.pdf")), "a cancelled print wrote its file")
    check(program.screenshot().count(*MODIFIED_PANEL, is_dark) < 5, "printing marked the document Modified")
