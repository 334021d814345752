"""scripts/run's second half: shows the built IKWDev.exe under Wine.

On the current X display it runs the program until the user closes it. With
--screenshot, or when there is no display, it opens the program on a virtual
display, saves a picture of the setup dialog under build/screenshots/, closes
the dialog and prints the picture's path. When the machine's own print system
offers no printers, a private CUPS server with a few demo printers stands in,
so that the dialog always has something to show. The interface language
follows LC_ALL (LC_ALL=ja_JP.UTF-8 shows the Japanese interface).
"""

import argparse
import contextlib
import os
import subprocess
import sys
import tempfile
import time

import sandbox
from harness import ROOT, Driver, WineSession, windows_path
from ui import CLOSE, DIALOG_CLASS, PRINTER_COMBO

DEMO_PRINTERS = ["Office_Laser", "Label.Printer",
                 "Accounting_Department_Colour_Laser_Printer_2"]
DEMO_DEFAULT = "Office_Laser"
# Its own prefix: scripts/test ends every Wine process of its prefix.
PREFIX = os.path.join(ROOT, "build", "run-wineprefix")
SCREENSHOTS = os.path.join(ROOT, "build", "screenshots")
# A Wine virtual desktop draws the dialog's frame, title and icon as Windows
# would; a bare X server without a window manager draws none.
DESKTOP = "IKWDev"
SCREEN = (1024, 768)
MARGIN = 12


def machine_has_printers():
    """Whether the default CUPS server lists any printer; no answer is no."""
    try:
        result = subprocess.run(["lpstat", "-e"], capture_output=True,
                                text=True, timeout=30,
                                stdin=subprocess.DEVNULL)
    except (OSError, subprocess.TimeoutExpired):
        return False
    return result.returncode == 0 and bool(result.stdout.split())


def interface_locale():
    return os.environ.get("LC_ALL") or os.environ.get("LANG") or "C.UTF-8"


def language_of(locale):
    language = locale.split(".")[0].split("_")[0]
    return "en" if language in ("C", "POSIX", "") else language


def printers(stack):
    if machine_has_printers():
        print("== using this machine's printers")
        return sandbox.MACHINE_PRINTERS
    print("== this machine offers no printers: showing demo printers "
          "from a private CUPS server")
    cups = stack.enter_context(sandbox.CupsServer())
    for name in DEMO_PRINTERS:
        cups.add_printer(name)
    cups.set_default(DEMO_DEFAULT)
    return cups


def program_path():
    """The shipped 32-bit IKWDev.exe, which is what users run, where this
    machine runs 32-bit programs; its 64-bit twin elsewhere."""
    if sandbox.runs_32bit_natively():
        return os.path.join(ROOT, "build", "win32", "IKWDev.exe")
    print("== showing the 64-bit IKWDev.exe: this machine cannot run the shipped "
          "32-bit one (%s)" % sandbox.execution_of_32bit()[1])
    return os.path.join(ROOT, "build", "win64", "IKWDev.exe")


def program_command(file):
    """IKWDev.exe, with the device info file to open when one is given: a
    Linux path is handed over as Wine's programs see it."""
    program = program_path()
    if file is None:
        return [program]
    return [program, windows_path(file) if os.path.exists(file) else file]


def run_on_display(prefix, display, cups, file):
    with WineSession(prefix, display, cups, interface_locale()) as session:
        Driver(session).default_printer()  # Wine takes the printers in
        print("== IKWDev.exe is open on display %s; close it to end" % display)
        code = subprocess.run([sandbox.WINE] + program_command(file), env=session.env,
                              stdin=subprocess.DEVNULL).returncode
    print("== IKWDev.exe ended with exit code %d" % code)
    return code


def take_screenshot(prefix, display, cups, file):
    locale = interface_locale()
    with WineSession(prefix, display, cups, locale) as session, \
            tempfile.NamedTemporaryFile(suffix=".log") as log:
        Driver(session).default_printer()  # Wine takes the printers in
        desktop = "/desktop=%s,%dx%d" % ((DESKTOP,) + SCREEN)
        program = session.start(["explorer", desktop] + program_command(file), log.name)
        driver = Driver(session, desktop=DESKTOP)
        # The first window the program shows: the setup dialog, or a message
        # box about a file it cannot open, which is then what there is to see.
        window = driver.wait_window(DIALOG_CLASS)
        if window is None:
            print("IKWDev.exe showed no window. Its output:\n" + program.log_tail(),
                  file=sys.stderr)
            return 1
        kind = "setup-dialog" if is_setup_dialog(driver, window) else "message"
        path = picture(display, driver, window, "%s-%s.png" % (kind, language_of(locale)))
        if kind == "message":
            # The usual start follows the message; the program ends with it.
            driver.dismiss(window)
            window = driver.wait_setup_dialog()
        if window is not None:
            driver.press(window, CLOSE)
            driver.wait_gone(window)
    if path is None:
        print("The screenshot could not be taken.", file=sys.stderr)
        return 1
    print(path)
    return 0


def is_setup_dialog(driver, window):
    return any(w.handle == window and any(c.control_id == PRINTER_COMBO for c in w.children)
               for w in driver.windows())


def picture(display, driver, window, name):
    """A picture of the window and a margin around it, or None."""
    time.sleep(1)  # the window's first paint
    left, top, right, bottom = driver.rect(window)
    region = (max(left - MARGIN, 0), max(top - MARGIN, 0),
              right - left + 2 * MARGIN, bottom - top + 2 * MARGIN)
    return display.screenshot(os.path.join(SCREENSHOTS, name), region)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--screenshot", action="store_true",
                        help="open on a virtual display and save a picture")
    parser.add_argument("file", nargs="?", help="a device info file (.dev) to open")
    args = parser.parse_args()
    display = os.environ.get("DISPLAY")
    with contextlib.ExitStack() as stack:
        print("== preparing the Wine prefix %s" % PREFIX)
        prefix = sandbox.WinePrefix(PREFIX).ensure()
        cups = printers(stack)
        if display and not args.screenshot:
            return run_on_display(prefix, display, cups, args.file)
        size = "%dx%dx24" % SCREEN
        virtual = stack.enter_context(sandbox.VirtualDisplay(size, window_manager=False))
        return take_screenshot(prefix, virtual, cups, args.file)


if __name__ == "__main__":
    sys.exit(main())
