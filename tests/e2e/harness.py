"""Runs IKWDev.exe under Wine and operates it through ikwdev-test-driver.

ProgramTestCase gives each test class a virtual display and the run's Wine
prefix, and each test a fresh private CUPS server and Wine session; when a
test fails it saves a screenshot and prints what was on the screen.
"""

import collections
import contextlib
import os
import subprocess
import sys
import tempfile
import time
import unittest

import sandbox
import ui

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
# The builder and reader of .dev files, which the tests outside tests/e2e
# share: every scenario imports the harness, and then device_info_files.
sys.path.insert(0, os.path.join(ROOT, "tests", "fixtures"))

# The fixture printers most scenarios use. Label.Printer's dot is where the
# save's name suggestion ends.
OFFICE = "Office_Laser"
LABEL = "Label.Printer"

# Seconds. Generous: a loaded CI machine starts Wine programs slowly, and
# under emulation they are slower still.
WINDOW_TIMEOUT = 30 * sandbox.SLOWDOWN
EXIT_TIMEOUT = 30 * sandbox.SLOWDOWN


def program_path():
    return os.environ.get("IKW_DEV_EXE",
                          os.path.join(ROOT, "build", "win64", "IKWDev.exe"))


def driver_path():
    return os.environ.get("IKW_TEST_DRIVER", os.path.join(
        ROOT, "build", "win64", "tests", "e2e", "ikwdev-test-driver.exe"))


def release_package(name_end):
    """A package scripts/package made: name_end "-win32.zip" or ".msi". They
    are looked for in IKW_PACKAGE_DIR, else in dist/."""
    with open(os.path.join(ROOT, "VERSION")) as f:
        version = f.readline().strip()
    folder = os.environ.get("IKW_PACKAGE_DIR", os.path.join(ROOT, "dist"))
    return os.path.join(folder, "IKWDev-" + version + name_end)


def skip_unless_32bit_runs(test):
    """Skips the rest of a test that runs a 32-bit program where this
    machine cannot run one natively, unless the run emulates them."""
    if not sandbox.runs_32bit():
        test.skipTest(sandbox.cannot_run_32bit())


def artifacts_dir():
    return os.environ.get("IKW_E2E_ARTIFACTS",
                          os.path.join(ROOT, "build", "e2e-artifacts"))


class DriverError(Exception):
    pass


# The driver's first line on standard error, written before it does anything.
DRIVER_STARTED = "ikwdev-test-driver: started"
# Starts of one driver command before a test gives up on Wine.
DRIVER_START_ATTEMPTS = 3


class WineSession:
    """The Wine processes of one test. A first, idle process keeps the
    prefix's session up, so the short processes after it start quickly and
    Wine's background processes inherit none of their output files. stop()
    ends every process of the prefix."""

    def __init__(self, prefix, display, cups, locale="C.UTF-8"):
        self.prefix = prefix
        self.env = prefix.env(display=display, cups=cups, locale=locale)
        self._idle = None

    def __enter__(self):
        self._idle = subprocess.Popen(
            [sandbox.WINE, driver_path(), "idle"], env=self.env,
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        return self

    def __exit__(self, *exc):
        self.stop()

    def stop(self):
        self.prefix.stop()
        if self._idle is not None:
            sandbox.stop_process(self._idle)
            self._idle = None

    def run(self, argv, timeout):
        """Runs a Wine program to its end: (exit code, stdout, stderr).
        Output goes through files, not pipes: a Wine process may hand its
        standard handles on to background processes that outlive it, and a
        pipe would then never reach its end."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            proc = subprocess.Popen([sandbox.WINE] + argv, env=self.env,
                                    stdin=subprocess.DEVNULL, stdout=out,
                                    stderr=err)
            try:
                code = proc.wait(timeout)
            except subprocess.TimeoutExpired:
                sandbox.stop_process(proc)
                raise
            out.seek(0)
            err.seek(0)
            return (code, out.read().decode("utf-8", "replace"),
                    err.read().decode("utf-8", "replace"))

    def start(self, argv, log_path, env=None):
        """Starts a Wine program and returns at once. env: variables that
        differ for this program alone."""
        return Program([sandbox.WINE] + argv, dict(self.env, **(env or {})), log_path)


class Program:
    """A running Windows program, its output kept in a log file."""

    def __init__(self, argv, env, log_path):
        self.log_path = log_path
        with open(log_path, "wb") as log:
            self.proc = subprocess.Popen(argv, env=env,
                                         stdin=subprocess.DEVNULL,
                                         stdout=log, stderr=log)

    def exit_code(self, timeout=EXIT_TIMEOUT):
        """The exit code, or None when it is still running after timeout."""
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def running(self):
        return self.proc.poll() is None

    def stop(self):
        sandbox.stop_process(self.proc)

    def status(self):
        code = self.proc.poll()
        return "still running" if code is None else "ended, exit code %d" % code

    def log_tail(self, lines=20):
        try:
            with open(self.log_path, "rb") as f:
                text = f.read().decode("utf-8", "replace")
        except OSError:
            return ""
        return "\n".join(text.splitlines()[-lines:])


class Window:
    """One line of the driver's window listing."""

    def __init__(self, line):
        fields = line.strip().split("\t")
        self.handle = fields[0]
        values = dict(f.split("=", 1) for f in fields[1:] if "=" in f)
        self.owner = values.get("owner")
        self.pid = values.get("pid")
        self.class_name = values.get("class")
        self.control_id = int(values.get("id", "0"))
        self.text = values.get("text", "")
        self.visible = "visible" in fields
        self.children = []


class Combo:
    def __init__(self, selected, entries):
        self.selected = selected
        self.entries = entries

    @property
    def selected_text(self):
        if 0 <= self.selected < len(self.entries):
            return self.entries[self.selected]
        return None


class Driver:
    """ikwdev-test-driver's subcommands, one method each. With a desktop
    name it works on that Wine virtual desktop."""

    def __init__(self, session, desktop=None):
        self.session = session
        self.desktop = ["--desktop", desktop] if desktop else []

    def _run(self, *args, timeout=60, answers=(0, 1)):
        """(exit code, stdout) of a driver command whose exit code is one of
        answers: 0 for done or found, 1 for not found. Any other code raises
        with the driver's error text."""
        code, out, err = self._start_until_run(
            [driver_path()] + self.desktop + [str(a) for a in args], timeout)
        if code not in answers:
            raise DriverError("driver %s: exit code %d: %s"
                              % (" ".join(map(str, args)), code, err.strip()))
        return code, out

    def _start_until_run(self, argv, timeout):
        """Runs the driver: (exit code, stdout, stderr without its started
        line). Wine fails to start about one process in two thousand, before
        any of the driver's code runs (under 32-bit Wine, its start.exe then
        says "Application could not be started" and exits 1). A run without
        the driver's started line did nothing, so it is made again; each
        such start is reported on standard error."""
        for attempt in range(1, DRIVER_START_ATTEMPTS + 1):
            code, out, err = self.session.run(argv, timeout)
            lines = err.splitlines()
            if DRIVER_STARTED in lines:
                lines.remove(DRIVER_STARTED)
                return code, out, "\n".join(lines)
            failure = "Wine did not start %s (attempt %d of %d): exit code %d: %s" % (
                " ".join(argv[1:]), attempt, DRIVER_START_ATTEMPTS, code,
                (out + err).strip())
            print(failure, file=sys.stderr)
        raise DriverError(failure)

    def _value(self, *args, **kw):
        code, out = self._run(*args, **kw)
        if code != 0:
            raise DriverError("driver %s found nothing" % " ".join(map(str, args)))
        return out.rstrip("\n")

    def wait_window(self, class_name=None, owner=None, control=None,
                    no_control=None, timeout=WINDOW_TIMEOUT):
        """A visible top-level window's handle, or None after timeout.
        owner "none" asks for an unowned window."""
        args = ["wait-window", "--timeout", int(timeout * 1000)]
        if class_name:
            args += ["--class", class_name]
        if owner:
            args += ["--owner", owner]
        if control is not None:
            args += ["--control", hex(control)]
        if no_control is not None:
            args += ["--no-control", hex(no_control)]
        code, out = self._run(*args, timeout=timeout + 60)
        return out.strip() if code == 0 else None

    def wait_setup_dialog(self, timeout=WINDOW_TIMEOUT):
        return self.wait_window(ui.DIALOG_CLASS, control=ui.PRINTER_COMBO,
                                timeout=timeout)

    def wait_gone(self, window, timeout=WINDOW_TIMEOUT):
        code, _ = self._run("wait-gone", window, int(timeout * 1000),
                            timeout=timeout + 60)
        return code == 0

    def windows(self):
        """Top-level windows, the visible ones with their children."""
        _, out = self._run("windows")
        found = []
        for line in out.splitlines():
            if line.startswith("  ") and found:
                found[-1].children.append(Window(line))
            elif line.strip():
                found.append(Window(line))
        return found

    def text(self, window, control=None):
        args = ["text", window] + ([hex(control)] if control is not None else [])
        return self._value(*args)

    def combo(self, window, control):
        lines = self._value("combo", window, hex(control)).split("\n")
        return Combo(int(lines[0]), lines[1:])

    def select(self, window, control, text):
        code, _ = self._run("select", window, hex(control), text)
        return code == 0

    def _act(self, *args):
        """Runs a subcommand that must act: anything but exit code 0 means
        the message never went, and the test must not wait for its effect."""
        self._run(*args, answers=(0,))

    def click(self, window, control):
        self._act("click", window, hex(control))

    def checked(self, window, control):
        return self._value("checked", window, hex(control)) == "1"

    def press(self, window, control):
        self._act("press", window, hex(control))

    def close(self, window):
        self._act("close", window)

    def rect(self, window):
        """(left, top, right, bottom) in screen pixels."""
        return tuple(int(n) for n in self._value("rect", window).split())

    def default_printer(self):
        return self._value("default-printer")

    def stored_default_printer(self):
        return self._value("stored-default-printer")

    def add_wine_printer(self, name, like, default=False):
        """A printer of Wine's own (AddPrinterW) on a port of no CUPS queue,
        with a copy of the driver of the printer like: a name CUPS cannot
        hold, say. default: made the default printer in the same process.
        It stays in the prefix until remove_wine_printer."""
        self._act("add-printer", name, like, *(["--default"] if default else []))

    def remove_wine_printer(self, name):
        self._act("remove-printer", name)

    def device_settings(self, printer):
        """The driver's default settings record for the printer, as bytes."""
        return bytes.fromhex(self._value("devmode", printer))

    def set_text(self, window, control, text):
        """Replaces a control's text, as typing into it would."""
        code, _ = self._run("set-text", window, hex(control), text)
        if code != 0:
            raise DriverError("window %s has no control 0x%x that takes text"
                              % (window, control))

    def answers(self, window, timeout):
        """Whether the window's thread takes a message within timeout
        seconds: False when it is busy, or the window is gone."""
        code, _ = self._run("settle", window, int(timeout * 1000),
                            timeout=timeout + 60)
        return code == 0

    def settle(self, window, timeout=WINDOW_TIMEOUT):
        """Returns once the window's thread has gone back to a message loop:
        the handler it was running is over, or has opened a modal window."""
        if not self.answers(window, timeout):
            raise DriverError("window %s took no message in %d s" % (window, timeout))

    def paper_and_bins(self, printer):
        """What the driver offers for the print dialog's paper and source
        lists: {"paper": {name: Paper}, "bin": {name: DMBIN number}}."""
        found = {"paper": {}, "bin": {}}
        for line in self._value("paper-and-bins", printer).split("\n"):
            fields = line.split("\t")
            if fields[0] == "paper":
                number, width, length = (int(f) for f in fields[1:4])
                found["paper"][fields[4]] = Paper(number, width, length)
            else:
                found["bin"][fields[2]] = int(fields[1])
        return found

    def dismiss(self, window):
        """Closes a message box or any other window: by its Cancel, No or OK
        button when it has one, else by WM_CLOSE. A window that has closed
        by itself meanwhile needs nothing more."""
        listed = [w for w in self.windows() if w.handle == window]
        if not listed:
            return
        ids = {c.control_id for w in listed for c in w.children
               if c.class_name == "Button"}
        try:
            for button in (ui.CANCEL, ui.NO, ui.OK):
                if button in ids:
                    self.press(window, button)
                    return
            self.close(window)
        except DriverError:
            if any(w.handle == window for w in self.windows()):
                raise


def describe_windows(windows):
    lines = []
    for w in windows:
        lines.append("%s owner=%s pid=%s %s class=%s text=%r" % (
            w.handle, w.owner, w.pid, "visible" if w.visible else "hidden",
            w.class_name, w.text))
        for c in w.children:
            lines.append("    id=0x%x class=%s text=%r"
                         % (c.control_id, c.class_name, c.text))
    return "\n".join(lines)


class ProgramTestCase(unittest.TestCase):
    """Base for the end-to-end tests. Each test calls use_printers() and
    then start_program(); the rest of the set-up and clean-up is here."""

    locale = "C.UTF-8"
    # True: a Wine prefix of the class's own instead of the run's.
    private_prefix = False

    @classmethod
    def setUpClass(cls):
        for path in (program_path(), driver_path()):
            if not os.path.isfile(path):
                raise FileNotFoundError("not built: %s (run scripts/build)" % path)
        cls._stack = contextlib.ExitStack()
        try:
            cls.prefix = cls._stack.enter_context(
                sandbox.wine_prefix(shared=not cls.private_prefix))
            cls.display = cls._stack.enter_context(sandbox.VirtualDisplay())
        except BaseException:
            cls._stack.close()
            raise

    @classmethod
    def tearDownClass(cls):
        cls._stack.close()

    def setUp(self):
        self.program = None
        self._problems_before = self._problems()
        self.cups = sandbox.CupsServer().__enter__()
        self.addCleanup(self.cups.__exit__, None, None, None)
        self.session = WineSession(self.prefix, self.display, self.cups,
                                   locale=self.locale).__enter__()
        self.driver = Driver(self.session)

    def tearDown(self):
        failed = self._problems() != self._problems_before
        try:
            if failed:
                self._report_failure()
        finally:
            if self.program is not None:
                self.program.stop()
                if not failed:
                    os.remove(self.program.log_path)
            self.session.stop()

    def _problems(self):
        """Failures and errors reported so far, this test's included: the
        screenshot must be taken before tearDown closes the windows, and
        unittest tells a test's outcome only afterwards."""
        result = getattr(getattr(self, "_outcome", None), "result", None)
        return len(getattr(result, "failures", [])) + len(getattr(result, "errors", []))

    def _report_failure(self):
        shot = self.display.screenshot(
            os.path.join(artifacts_dir(), self.id() + ".png"))
        report = ["", "=== %s failed" % self.id(),
                  "screenshot: %s" % (shot or "could not be taken")]
        if self.program is not None:
            report += ["IKWDev.exe: %s" % self.program.status(),
                       "its output:", self.program.log_tail()]
        try:
            report += ["windows:", describe_windows(self.driver.windows())]
        except (DriverError, subprocess.TimeoutExpired) as error:
            report.append("windows could not be listed: %s" % error)
        report += ["CUPS printers: %s, default: %s"
                   % (self.cups.printers(), self.cups.default())]
        print("\n".join(report), file=sys.stderr)

    def use_printers(self, names, default=None):
        """Gives the private CUPS server exactly these printers and lets Wine
        take them in before the program starts."""
        for name in names:
            self.cups.add_printer(name)
        if default is not None:
            self.cups.set_default(default)
        # Wine reads the printers from CUPS when a process starts; one short
        # process makes the prefix hold the new set before the program runs.
        return self.driver.default_printer()

    def start_program(self, path=None, args=()):
        """Starts IKWDev.exe, the one built or the one at path (a Linux or a
        Windows path), with the given command-line arguments."""
        os.makedirs(artifacts_dir(), exist_ok=True)
        log = os.path.join(artifacts_dir(), self.id() + ".log")
        # Wine's own error lines, though not its notes on what it lacks, go
        # to the log that a failing test prints. A test that asked for
        # channels of its own keeps them.
        env = {}
        if self.session.env["WINEDEBUG"] == sandbox.QUIET_WINE:
            env["WINEDEBUG"] = "fixme-all"
        self.program = self.session.start([path or program_path()] + list(args), log, env)
        return self.program

    def hold(self, command, name):
        """Starts the test driver's hold-pipe or hold-file command on name and
        returns once it holds it; it is ended when the test ends."""
        os.makedirs(artifacts_dir(), exist_ok=True)
        log = os.path.join(artifacts_dir(), self.id() + "." + command + ".log")
        holder = self.session.start([driver_path(), command, name], log)
        self.addCleanup(os.remove, log)
        self.addCleanup(holder.stop)

        def ready():
            with open(log, "rb") as f:
                return b"ready" in f.read()
        self.assertTrue(sandbox.wait_until(ready, 60), "%s %s: nothing held: %s"
                        % (command, name, holder.log_tail()))

    def wait_for_setup_dialog(self):
        dialog = self.driver.wait_setup_dialog()
        if dialog is None:
            self.fail("the setup dialog did not appear within %d s; "
                      "IKWDev.exe %s" % (WINDOW_TIMEOUT, self.program.status()))
        return dialog

    def assert_exits_with(self, expected):
        code = self.program.exit_code()
        if code is None:
            self.fail("IKWDev.exe still runs %d s later" % EXIT_TIMEOUT)
        self.assertEqual(code, expected, "IKWDev.exe's exit code")


# A paper the driver offers: its DMPAPER number, and its width and length in
# tenths of a millimetre.
Paper = collections.namedtuple("Paper", "number width length")


def windows_path(path):
    """The path of a Linux file as Wine's programs see it: Wine maps the
    Linux root to drive Z:."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


# Seconds a save dialog is still looked for once a save has failed to show
# one in time, so that the failure tells a slow dialog from none at all.
LATE_WINDOW_WAIT = 60


def open_save_dialog(driver, dialog, timeout=WINDOW_TIMEOUT):
    """Presses save on the setup dialog; the save dialog it opens."""
    driver.press(dialog, ui.SAVE)
    found = driver.wait_window(ui.DIALOG_CLASS, owner=dialog,
                               control=ui.SAVE_DIALOG_FILE_NAME, timeout=timeout)
    if found is None:
        raise DriverError("save on %s opened no save dialog within %d s: %s"
                          % (dialog, timeout, why_no_save_dialog(driver, dialog, timeout)))
    return found


def why_no_save_dialog(driver, dialog, waited):
    """What became of a save dialog that did not show in `waited` seconds."""
    started = time.monotonic()
    late = driver.wait_window(ui.DIALOG_CLASS, owner=dialog,
                              control=ui.SAVE_DIALOG_FILE_NAME, timeout=LATE_WINDOW_WAIT)
    if late is not None:
        return "it showed %.0f s after the save" % (waited + time.monotonic() - started)
    if driver.answers(dialog, timeout=5):
        return ("none showed in %d s more, and the setup dialog's thread takes messages"
                % LATE_WINDOW_WAIT)
    return ("none showed in %d s more, and the setup dialog's thread takes no messages: "
            "it is busy, or the window is gone" % LATE_WINDOW_WAIT)


def enter_save_path(driver, save_dialog, path):
    """Puts a Linux path into the save dialog's file name box, ready for
    its Save button."""
    driver.set_text(save_dialog, ui.SAVE_DIALOG_FILE_NAME, windows_path(path))


def finish_save(driver, dialog, save_dialog, replace=False,
                timeout=WINDOW_TIMEOUT):
    """Presses the save dialog's Save button, answers Yes when it asks
    whether to replace a file (replace=True: it must ask), and returns once
    the program has acted on the path: the file is written, or a message box
    of the program's is open. The save dialog must then be gone."""
    driver.press(save_dialog, ui.SAVE_DIALOG_SAVE)
    if replace:
        question = driver.wait_window(ui.DIALOG_CLASS, owner=save_dialog,
                                      control=ui.YES, timeout=timeout)
        if question is None:
            raise DriverError("the save dialog did not ask before replacing")
        driver.press(question, ui.YES)
    if not driver.wait_gone(save_dialog, timeout):
        raise DriverError("the save dialog %s stays open" % save_dialog)
    driver.settle(dialog, timeout)


def save_to(driver, dialog, path, replace=False, timeout=WINDOW_TIMEOUT):
    """One whole save from the setup dialog to a Linux path, as a user would
    make it: save, the path in the file name box, the save dialog's Save
    button, and Yes to the question when replace is set."""
    save_dialog = open_save_dialog(driver, dialog, timeout)
    enter_save_path(driver, save_dialog, path)
    finish_save(driver, dialog, save_dialog, replace, timeout)
