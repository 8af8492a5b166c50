"""Faults a user's files meet in the real program: killed in the middle of a save, a file
changed on disk while open, and files that cannot or can only partly be taken as text."""

import os
import random
import shutil
import signal
import time

from marvolt_e2e import (FIRST_ROW_START, MODIFIED_PANEL, Marvolt, box_has_error_icon, check, close_dialog,
                         exit_program, is_dark, start_with_box, wait_for_start_box, wait_until, xdotool)


def seeded_random():
    """Seeded from MARVOLT_FAULT_SEED when given, so that a failure can be replayed."""
    seed = int(os.environ.get("MARVOLT_FAULT_SEED", "19"))
    print("  MARVOLT_FAULT_SEED=%d" % seed, flush=True)
    return random.Random(seed)


def word_lines(rng, size):
    """Lines of random words, each ending in a full stop (no blank for loading to trim)."""
    lines = []
    while size > 0:
        line = " ".join("".join(rng.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9)))
                        for _ in range(rng.randint(1, 12))) + "."
        lines.append(line.encode())
        size -= len(line) + 2
    return lines


def wait_modified(program):
    """Waits until the document's status reads "Modified": the load and the typing are done."""
    wait_until("the Modified mark", lambda: program.screenshot().count(*MODIFIED_PANEL, is_dark) > 30, timeout=30)


def read_bytes_of(pid):
    """Bytes the process has read through read() and its kin."""
    with open("/proc/%d/io" % pid) as io:
        return next(int(line.split()[1]) for line in io if line.startswith("rchar:"))


def writing_beside(pid, doc):
    """True while the process holds a file open in the document's folder other than the
    document: the new text it is writing."""
    folder = os.path.dirname(doc) + "/"
    try:
        targets = [os.readlink("/proc/%d/fd/%s" % (pid, fd)) for fd in os.listdir("/proc/%d/fd" % pid)]
    except OSError:
        return False
    return any(t.startswith(folder) and t != doc for t in targets)


def scenario_killed_while_saving_the_file_holds_the_old_or_the_new_bytes(session):
    rng = seeded_random()
    os.mkdir(session.path("docs"))
    doc = session.path("docs/doc.txt")
    # A MB of lines repeated to 40 MB, in CR LF: a save long enough to be killed in.
    lines = word_lines(rng, 1 << 20) * 40
    old = b"\r\n".join(lines) + b"\r\n"
    # The change typed at the end of the second line, written back in the file's line ends.
    new = b"\r\n".join(lines[:1] + [lines[1] + b" typed"] + lines[2:]) + b"\r\n"
    fd = os.open(session.path("docs"), os.O_TMPFILE | os.O_WRONLY, 0o600) if hasattr(os, "O_TMPFILE") else -1
    unnamed_files = fd >= 0
    if unnamed_files:
        os.close(fd)

    def start_save():
        """The program, after it was sent Ctrl+S; the document's inode before the save."""
        session.write("docs/doc.txt", old)
        inode = os.stat(doc).st_ino
        program = session.start("docs/doc.txt")
        program.key("Down", "End")
        program.type(" typed")
        wait_modified(program)
        xdotool("key", "--window", program.window, "ctrl+s")  # no settling: the kill is timed from here
        return program, inode

    program, inode = start_save()
    sent = time.monotonic()
    wait_until("the save", lambda: os.stat(doc).st_ino != inode, timeout=60, interval=0.002)
    save_time = time.monotonic() - sent
    check(session.read("docs/doc.txt") == new, "the saved file is not the text shown")
    program.stop()

    kept = {"old": 0, "new": 0, "killed while writing": 0, "temporary files": 0}
    for run in range(10):
        program, _ = start_save()
        time.sleep(rng.uniform(0, save_time * 1.3))
        kept["killed while writing"] += writing_beside(program.process.pid, doc)
        os.kill(program.process.pid, signal.SIGKILL)
        program.process.wait(10)
        on_disk = session.read("docs/doc.txt")
        check(on_disk in (old, new), "run %d: the document holds %d bytes, neither the old text (%d) nor the new (%d)"
              % (run, len(on_disk), len(old), len(new)))
        kept["old" if on_disk == old else "new"] += 1
        for name in os.listdir(session.path("docs")):
            if name == "doc.txt":
                continue
            kept["temporary files"] += 1
            # Only a hidden temporary name, never one to take for the document; where the new
            # file has no name until it is whole, only the whole new text gets one.
            check(name.startswith(".doc.txt.") and name.endswith(".tmp"), "run %d left %r" % (run, name))
            if unnamed_files:
                check(session.read("docs/" + name) == new, "run %d left %r, not the whole new text" % (run, name))
            os.remove(session.path("docs/" + name))
    print("  save took %.0f ms; killed saves kept: %s" % (save_time * 1000, kept), flush=True)


def scenario_a_file_changed_on_disk_while_open_is_saved_as_shown(session):
    doc = session.path("doc.txt")

    def replace():
        session.write("other", b"other\n")
        os.rename(session.path("other"), doc)

    changes = (("rewritten", lambda: session.write("doc.txt", b"something else entirely\nand longer\n")),
               ("emptied", lambda: session.write("doc.txt", b"")),
               ("replaced", replace),
               ("deleted", lambda: os.remove(doc)),
               ("made read-only", lambda: os.chmod(doc, 0o444)))
    for what, change in changes:
        session.write("doc.txt", b"one\r\ntwo\r\n")
        os.chmod(doc, 0o644)
        program = session.start("doc.txt")
        change()
        program.type("typed ")
        program.key("ctrl+s")
        check(session.read("doc.txt") == b"typed one\r\ntwo\r\n", "%s: saved %r" % (what, session.read("doc.txt")))
        check(exit_program(program) == 0, "%s: marvolt ended with an error" % what)


def scenario_a_directory_named_on_the_command_line_is_passed_over(session):
    # Only a file is opened at start-up; anything else is passed over without a box.
    os.mkdir(session.path("folder"))
    program = session.start("folder")
    program.settle(1.0)
    check(program.windows() == [program.window], "a window beside the main one: %r" % program.windows())
    check(exit_program(program) == 0, "marvolt ended with an error")


def refused_file_is_reported_and_kept(session, program, box, name, original):
    """Answers the error box of a file that would not load, then checks that typing and Save
    do not put the empty document over the file: Save asks for another name."""
    check(box_has_error_icon(program, box), "the box shown for %s is not an error" % name)
    close_dialog(program, box, "Return")
    program.click(*FIRST_ROW_START)
    program.type("typed")
    known = program.windows()
    program.answer(program.window, "ctrl+s")
    close_dialog(program, program.wait_for_new_window(known), "Escape")  # the name to save under
    check(original(), "%s changed on disk" % name)
    check(exit_program(program, "n") == 0, "marvolt ended with an error")


def scenario_a_file_beyond_the_size_limit_is_refused_unread(session):
    with open(session.path("huge.txt"), "wb") as f:
        f.truncate(1 << 31)  # sparse: no disk taken
    program, box = start_with_box(session, "huge.txt")
    read = read_bytes_of(program.process.pid)
    check(read < 64 << 20, "marvolt read %d bytes of a file it refuses" % read)
    refused_file_is_reported_and_kept(session, program, box, "huge.txt",
                                      lambda: os.path.getsize(session.path("huge.txt")) == 1 << 31)


def scenario_a_file_without_read_permission_is_reported(session):
    session.write("secret.txt", b"secret\n")
    os.chmod(session.path("secret.txt"), 0o200)
    arguments = ["secret.txt"]
    program = Marvolt(session.binary, session.workdir, session.log)
    if os.geteuid() == 0:
        # Root reads past permission bits through two capabilities: the program runs without them.
        setpriv = shutil.which("setpriv")
        if not setpriv:
            print("  skipped: running as root and setpriv (util-linux) is not installed", flush=True)
            return
        program.binary = setpriv
        arguments = ["--bounding-set=-dac_override,-dac_read_search", session.binary] + arguments
    session.started.append(program)
    box = wait_for_start_box(program.start(*arguments))

    def kept():
        os.chmod(session.path("secret.txt"), 0o600)
        intact = session.read("secret.txt") == b"secret\n"
        os.chmod(session.path("secret.txt"), 0o200)
        return intact
    refused_file_is_reported_and_kept(session, program, box, "secret.txt", kept)


def saved_form_of(data):
    """What saving writes of a file loaded with every byte value: the text before the end
    mark (26), in lines ended in the first line end's style, bytes 0 to 8 as spaces,
    trailing blanks trimmed."""
    text = data[:data.index(26)]
    lines, eol, line, i = [], None, bytearray(), 0
    while i < len(text):
        c = text[i]
        if c not in (13, 10):
            line.append(32 if c < 9 else c)
        else:
            pair = c == 13 and text[i + 1:i + 2] == b"\n"
            eol = eol or (b"\r\n" if pair else bytes([c]))
            i += pair
            lines.append(bytes(line).rstrip(b" \t"))
            line = bytearray()
        i += 1
    return b"".join(l + eol for l in lines)


def scenario_a_file_with_every_byte_value_loads_with_its_notice_and_saves_as_told(session):
    rng = seeded_random()
    values = [b for b in range(256) if b != 26]
    rng.shuffle(values)
    data = bytes(values) + b"end\n\x1aafter the end mark"
    session.write("binary", data)
    program, box = start_with_box(session, "binary")
    # The notice of what saving will change is information, not an error.
    check(not box_has_error_icon(program, box), "the load notice shows an error icon")
    close_dialog(program, box, "Return")
    program.click(*FIRST_ROW_START)
    program.key("ctrl+s")
    session.expect_file("binary", saved_form_of(data), "(saved)")
    check(exit_program(program) == 0, "marvolt ended with an error")
