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
from harness import CLOSE, ROOT, Driver, WineSession, program_path, windows_path

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


def program_command(file):
    """IKWDev.exe, with the device info file to open when one is given: a
    Linux path is handed over as Wine's programs see it."""
    if file is None:
        return [program_path()]
    return [program_path(), windows_path(file) if os.path.exists(file) else file]


def run_on_display(prefix, display, cups, file):
    with WineSession(prefix, display, cups, interface_locale()) as session:
        Driver(session).default_printer()  # Wine takes the printers in
        print("== IKWDev.exe is open on display %s; close it to end" % display)
        code = subprocess.run(["wine"] + program_command(file), env=session.env,
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
        dialog = driver.wait_setup_dialog()
        if dialog is None:
            print("The setup dialog did not appear. IKWDev.exe's output:\n"
                  + program.log_tail(), file=sys.stderr)
            return 1
        time.sleep(1)  # the dialog's first paint
        left, top, right, bottom = driver.rect(dialog)
        region = (max(left - MARGIN, 0), max(top - MARGIN, 0),
                  right - left + 2 * MARGIN, bottom - top + 2 * MARGIN)
        path = display.screenshot(os.path.join(
            SCREENSHOTS, "setup-dialog-%s.png" % language_of(locale)), region)
        driver.press(dialog, CLOSE)
        driver.wait_gone(dialog)
    if path is None:
        print("The screenshot could not be taken.", file=sys.stderr)
        return 1
    print(path)
    return 0


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
        virtual = stack.enter_context(sandbox.VirtualDisplay(size))
        return take_screenshot(prefix, virtual, cups, args.file)


if __name__ == "__main__":
    sys.exit(main())
