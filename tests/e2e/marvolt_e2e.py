"""Driving the real marvolt program on an X display, as a person would: start it, find its
window, type and press keys with xdotool, take screenshots, and stop it by its process id.

Scenarios (test_*.py beside this file) get a `Session` and use these helpers; run_e2e.py
starts the X server and runs them."""

import os
import shutil
import subprocess
import time


class E2EFailure(AssertionError):
    """A scenario's expectation that did not hold."""


def check(condition, message):
    if not condition:
        raise E2EFailure(message)


def xdotool(*args, check_rc=True):
    """Runs xdotool; its standard output, stripped."""
    result = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True, timeout=30)
    if check_rc and result.returncode != 0:
        raise E2EFailure("xdotool %s failed: %s" % (" ".join(map(str, args)), result.stderr.strip()))
    return result.stdout.strip()


def wait_until(what, probe, timeout=15.0, interval=0.1):
    """Polls probe() until it returns something true; that value, or E2EFailure naming `what`."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise E2EFailure("timed out waiting for " + what)
        time.sleep(interval)


class Image:
    """A screenshot as RGB rows, read from ImageMagick's PPM output."""

    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    @staticmethod
    def from_ppm(data):
        # P6 header: magic, width, height, maxval, each followed by white space.
        fields, pos = [], 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            start = pos
            while not data[pos:pos + 1].isspace():
                pos += 1
            fields.append(data[start:pos])
        check(fields[0] == b"P6" and fields[3] == b"255", "unexpected screenshot format")
        width, height = int(fields[1]), int(fields[2])
        return Image(width, height, data[pos + 1:pos + 1 + width * height * 3])

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def count(self, x0, y0, x1, y1, test):
        """Pixels in the rectangle [x0, x1) x [y0, y1) for which test(rgb) holds."""
        n = 0
        for y in range(max(y0, 0), min(y1, self.height)):
            for x in range(max(x0, 0), min(x1, self.width)):
                if test(self.pixel(x, y)):
                    n += 1
        return n


def is_dark(rgb):
    return sum(rgb) < 3 * 100


# Where the first document window shows, relative to the main window: at the top left of
# the frame's client area, below the menu bar and the toolbar.
FIRST_ROW = (15, 76, 300, 96)  # the band of the editor's first row of text
FIRST_ROW_START = (21, 84)     # the first character cell of that row
MODIFIED_PANEL = (260, 358, 332, 372)  # the first document's status panel that reads "Modified"
TITLE_BAR = (150, 63)          # the document window's title bar
CLOSE_BOX = (497, 63)          # the document window's close box
EXIT_BUTTON = (218, 35)        # the toolbar's Close button, which ends the program


class Marvolt:
    """One running marvolt process in `workdir`."""

    def __init__(self, binary, workdir, log):
        self.binary, self.workdir, self.log = binary, workdir, log
        self.process = None
        self.window = None

    def start(self, *args):
        """Starts the program with `args` and waits until its main window is shown."""
        runtime = os.path.join(self.workdir, ".runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env = dict(os.environ, QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=runtime)
        # A sanitizer build: what the system's X11 libraries leak is not ours to report.
        suppressions = "suppressions=" + os.path.join(os.path.dirname(os.path.abspath(__file__)), "lsan.supp")
        env["LSAN_OPTIONS"] = ":".join(filter(None, [env.get("LSAN_OPTIONS"), suppressions]))
        self.process = subprocess.Popen([self.binary, *args], cwd=self.workdir, env=env,
                                        stdout=self.log, stderr=subprocess.STDOUT)
        self.window = self.wait_for_window("Marvolt!")
        # Xvfb runs no window manager: a click gives the window the keyboard. It lands on
        # the first character of the first document, so typing starts there.
        self.click(*FIRST_ROW_START)
        return self

    def windows(self):
        """The visible top-level windows of the process."""
        self.assert_running()
        out = xdotool("search", "--onlyvisible", "--pid", self.process.pid, check_rc=False)
        return [w for w in out.split()]

    def window_name(self, window=None):
        return xdotool("getwindowname", window or self.window)

    def wait_for_window(self, name_start, timeout=15.0):
        """The visible window of the process whose caption starts with `name_start`."""
        def probe():
            for w in self.windows():
                if xdotool("getwindowname", w, check_rc=False).startswith(name_start):
                    return w
            return None
        return wait_until("a window named %r" % name_start, probe, timeout)

    def wait_for_new_window(self, known, timeout=15.0):
        """A visible window of the process that is not among `known` (a box of any caption)."""
        return wait_until("a new window", lambda: next((w for w in self.windows() if w not in known), None),
                          timeout)

    def wait_for_no_window(self, name_start, timeout=15.0):
        def probe():
            return not any(xdotool("getwindowname", w, check_rc=False).startswith(name_start)
                           for w in self.windows())
        wait_until("no window named %r" % name_start, probe, timeout)

    def geometry(self, window=None):
        """(x, y, width, height) of the window on the screen."""
        out = xdotool("getwindowgeometry", "--shell", window or self.window)
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def click(self, x, y, window=None, button=1, repeat=1):
        """Clicks at (x, y) relative to the window, which gets the keyboard first (without a
        window manager nobody gives it back when a dialog closes)."""
        xdotool("windowfocus", "--sync", window or self.window)
        xdotool("mousemove", "--window", window or self.window, x, y)
        xdotool("click", "--repeat", repeat, button)
        self.settle()

    def type(self, text, window=None):
        """Types `text` into the window with the keyboard focus ("\\n" presses Return)."""
        for i, line in enumerate(text.split("\n")):
            if i:
                self.key("Return", window)
            if line:
                xdotool("type", "--delay", 20, "--window", window or self.window, line)
        self.settle()

    def key(self, *keys, window=None):
        """Presses keys such as "ctrl+s" or "Escape" in turn."""
        for k in keys:
            xdotool("key", "--window", window or self.window, k)
        self.settle()

    def answer(self, box, key):
        """Presses `key` in a message box. Sent as real input to the focused box: a key that
        closes the box on its press leaves no window to send the release to."""
        xdotool("windowfocus", "--sync", box)
        xdotool("key", key)
        self.settle()

    def settle(self, seconds=0.3):
        """Lets the program handle what it was sent."""
        time.sleep(seconds)

    def screenshot(self, path=None, window=None):
        """The window's pixels; also written to `path` (any ImageMagick format) when given."""
        target = window or self.window
        if path:
            subprocess.run(["import", "-window", target, path], check=True, timeout=30)
        data = subprocess.run(["import", "-window", target, "-depth", "8", "ppm:-"], check=True, timeout=30,
                              capture_output=True).stdout
        return Image.from_ppm(data)

    def running(self):
        return self.process is not None and self.process.poll() is None

    def assert_running(self):
        check(self.running(), "marvolt is not running (exit code %s)" %
              (self.process.returncode if self.process else None))

    def wait_for_exit(self, timeout=15.0):
        """The exit code once the program has ended by itself."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise E2EFailure("marvolt did not exit")

    def stop(self):
        """Ends the process this session started, by its id."""
        if not self.running():
            return
        self.process.terminate()
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait(5)


class Session:
    """What a scenario gets: a fresh directory and the programs it starts, all stopped after."""

    def __init__(self, binary, workdir, artifacts):
        self.binary, self.workdir, self.artifacts = binary, workdir, artifacts
        self.log = open(os.path.join(workdir, "marvolt.log"), "w")
        self.started = []

    def path(self, name):
        return os.path.join(self.workdir, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def expect_file(self, name, expected, why=""):
        """Fails, saying `why` when given, unless the file `name` holds exactly `expected`."""
        data = self.read(name)
        check(data == expected, "%s holds %r, expected %r%s" % (name, data, expected, why and " (%s)" % why))

    def start(self, *args):
        program = Marvolt(self.binary, self.workdir, self.log)
        self.started.append(program)
        return program.start(*args)

    def close(self):
        for program in self.started:
            program.stop()
        self.log.close()


def have_display_tools():
    return all(shutil.which(tool) for tool in ("xdotool", "import"))


# Menus, dialogs and boxes: keys sent to a window are not taken for menu mnemonics or
# dialog input, so these give the window the keyboard and press real keys.

def press(program, *keys, window=None):
    """Presses `keys` in turn as real input to `window` (the main window by default)."""
    xdotool("windowfocus", "--sync", window or program.window)
    for k in keys:
        xdotool("key", k)
    program.settle()


def type_into(program, window, text):
    """Types `text` as real input into the focused field of `window`."""
    xdotool("windowfocus", "--sync", window)
    xdotool("type", "--delay", 20, text)
    program.settle()


def menu(program, *keys):
    """Opens a menu of the main window with its Alt key and chooses the item by its
    letter, e.g. menu(program, "alt+s", "f"), waiting for the pop-up in between."""
    known = program.windows()
    press(program, keys[0])
    program.wait_for_new_window(known)
    # The pop-up has the keyboard: moving the focus now would close it.
    for k in keys[1:]:
        xdotool("key", k)
    program.settle()


def open_dialog(program, caption, *keys):
    """Opens the dialog named `caption` with menu keys or a shortcut; its window."""
    if keys[0].startswith("alt+"):
        menu(program, *keys)
    else:
        press(program, *keys)
    return program.wait_for_window(caption)


def close_dialog(program, dialog, key):
    """Presses `key` (e.g. "Return" or "Escape") in `dialog` and waits until it is gone."""
    program.answer(dialog, key)
    wait_until("the dialog to close", lambda: dialog not in program.windows())


def saved(session, program, name, expected):
    """Saves with Ctrl+S and checks that the file `name` holds exactly `expected`."""
    press(program, "ctrl+s")
    session.expect_file(name, expected)


def answer_box(program, caption, key):
    """Waits for the box named `caption`, presses `key` in it and waits until it closes."""
    close_dialog(program, program.wait_for_window(caption), key)


def wait_for_start_box(program, timeout=15.0):
    """The box that a started program shows over its main window at start-up. The two have
    the same caption, so the main window is told apart by its X id and made the program's."""
    shown = wait_until("the box shown at start-up", lambda: len(program.windows()) > 1 and program.windows(),
                       timeout)
    # The main window's X window is made before the box that its showing opens.
    program.window, box = sorted(shown, key=int)[:2]
    return box


def start_with_box(session, *args):
    """Starts the program on a file that shows a box at start-up: (program, box)."""
    program = session.start(*args)
    return program, wait_for_start_box(program)


def box_has_error_icon(program, box):
    """True when the message box shows the red error icon at its left (not information)."""
    image = program.screenshot(window=box)
    return image.count(0, 0, 70, image.height, lambda rgb: rgb[0] > 180 and rgb[1] < 90 and rgb[2] < 90) > 50


def exit_program(program, confirm_answer=None):
    """Ends the program with its Close button, answering each "Confirm" box with
    `confirm_answer`; the program's exit code."""
    program.click(*EXIT_BUTTON)
    while confirm_answer:
        try:
            box = program.wait_for_window("Confirm", timeout=5)
        except E2EFailure:
            break
        program.answer(box, confirm_answer)
        wait_until("the box to close", lambda: not program.running() or box not in program.windows())
        if not program.running():
            break
    return program.wait_for_exit()

