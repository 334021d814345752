"""Private servers for running IKWDev under Wine: a CUPS server with fixture
printers, a virtual X display and a Wine prefix, each stopped by process id
when its context ends, failures included.

Standard library only, so that a fresh machine needs nothing from PyPI.
"""

import contextlib
import functools
import os
import select
import shutil
import signal
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
# Every Windows program starts through this script, which picks a Wine
# loader the machine can execute.
WINE = os.path.join(ROOT, "scripts", "lib", "wine")
PROBE_32BIT = os.path.join(ROOT, "scripts", "lib", "probe-32bit")
# How many times longer than usual the waits last: the 32-bit smoke set runs
# under emulation, where a Wine program takes a minute to show a window.
# scripts/lib/needs-32bit says when a command runs under emulation; the
# suite sets its own figure.
EMULATION_SLOWDOWN = 10
SLOWDOWN = float(os.environ.get("IKW_E2E_SLOWDOWN",
                                EMULATION_SLOWDOWN if os.environ.get("IKW_32BIT_EMULATED") == "1" else 1))
FIXTURE_PPD = os.path.join(HERE, "fixtures", "generic-postscript.ppd")

# Wine offers to download Mono and Gecko into a new prefix, in a window that
# would wait for a click forever; the program needs neither.
WINE_DLL_OVERRIDES = "mscoree,mshtml="
# Wine's debug channels for every process unless a test says otherwise: none.
QUIET_WINE = "-all"
WINE_FONTS = "/usr/share/wine/fonts"
# For WinePrefix.env: the machine's own print system instead of a private one.
MACHINE_PRINTERS = "the machine's own printers"


@functools.lru_cache(maxsize=None)
def execution_of_32bit():
    """(how, why): how this machine runs 32-bit x86 programs, "native",
    "emulated" or "none", and why, as scripts/lib/probe-32bit answers (from
    IKW_32BIT and IKW_32BIT_REASON when the run has found it out already).
    One answer a process: a suite that switches emulation on keeps the
    answer it started with."""
    answer = subprocess.run([PROBE_32BIT], capture_output=True, text=True,
                            check=True, stdin=subprocess.DEVNULL).stdout.splitlines()
    return answer[0], answer[1]


def runs_32bit_natively():
    return execution_of_32bit()[0] == "native"


# Set by suite.py for a 32-bit suite that runs under emulation: the 32-bit
# programs of the test run too, as slowly as the one under test.
EMULATED_32BIT = "IKW_E2E_32BIT_EMULATED"


def runs_32bit():
    """Whether 32-bit programs run in this test run, natively or emulated."""
    return runs_32bit_natively() or os.environ.get(EMULATED_32BIT) == "1"


def cannot_run_32bit():
    """Why a test that runs a 32-bit program is skipped."""
    return "this machine cannot run 32-bit programs (%s)" % execution_of_32bit()[1]


def skip_line_32bit():
    """The line that a test skipped for want of 32-bit execution prints."""
    return "skipped: " + cannot_run_32bit()


def stop_process(proc, timeout=5.0):
    """Ends one process we started: politely first, then for good."""
    if proc.poll() is not None:
        return
    proc.send_signal(signal.SIGTERM)
    try:
        proc.wait(timeout)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def wait_until(predicate, timeout, interval=0.05):
    deadline = time.monotonic() + timeout
    while True:
        if predicate():
            return True
        if time.monotonic() >= deadline:
            return False
        time.sleep(interval)


class CupsServer:
    """A cupsd of our own, reachable only through a Unix socket in a temp
    folder. It leaves /etc/cups alone: every path it would use is set here,
    the printcap file included, which cupsd otherwise overwrites."""

    def __init__(self):
        self.root = None
        self.socket = None
        self._proc = None

    def __enter__(self):
        self.root = tempfile.mkdtemp(prefix="ikw-cups-")
        self.socket = os.path.join(self.root, "cups.sock")
        try:
            self._write_config()
            self._start()
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exc):
        if self._proc is not None:
            stop_process(self._proc)
            self._proc = None
        if self.root is not None:
            shutil.rmtree(self.root, ignore_errors=True)
            self.root = None

    def _write_config(self):
        for sub in ("cache", "log", "ppd", "spool/tmp", "state", "ssl"):
            os.makedirs(os.path.join(self.root, sub), exist_ok=True)
        with open(os.path.join(self.root, "cupsd.conf"), "w") as f:
            f.write(CUPSD_CONF.format(socket=self.socket))
        with open(os.path.join(self.root, "cups-files.conf"), "w") as f:
            f.write(CUPS_FILES_CONF.format(root=self.root))

    def _start(self):
        log = open(os.path.join(self.root, "log", "cupsd.out"), "w")
        with log:
            self._proc = subprocess.Popen(
                ["cupsd", "-f",
                 "-c", os.path.join(self.root, "cupsd.conf"),
                 "-s", os.path.join(self.root, "cups-files.conf")],
                stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        if not wait_until(self._answers, timeout=10):
            raise RuntimeError("private cupsd did not answer; its log: "
                               + self.error_log())

    def _answers(self):
        if self._proc.poll() is not None:
            raise RuntimeError("private cupsd exited with %d; its log: %s"
                               % (self._proc.returncode, self.error_log()))
        # lpstat -r exits 0 either way; only its words tell.
        answer = self._lp(["lpstat", "-r"], check=False).stdout.strip()
        return answer == "scheduler is running"

    def _lp(self, argv, check=True):
        # -h names the server for lpadmin; CUPS_SERVER does it for the rest.
        # The C locale keeps the answers in the English they are read in.
        env = dict(os.environ, CUPS_SERVER=self.socket, LC_ALL="C")
        return subprocess.run(argv[:1] + ["-h", self.socket] + argv[1:],
                              env=env, check=check, capture_output=True,
                              text=True, stdin=subprocess.DEVNULL)

    def error_log(self):
        try:
            with open(os.path.join(self.root, "log", "error_log")) as f:
                return f.read()
        except OSError:
            return ""

    def add_printer(self, name, ppd=FIXTURE_PPD):
        self._lp(["lpadmin", "-p", name, "-E", "-v", "file:///dev/null",
                  "-P", ppd])

    def remove_printer(self, name):
        self._lp(["lpadmin", "-x", name])

    def set_default(self, name):
        self._lp(["lpadmin", "-d", name])

    def printers(self):
        out = self._lp(["lpstat", "-e"], check=False).stdout
        return out.split()

    def default(self):
        """The server's default printer, or None."""
        out = self._lp(["lpstat", "-d"], check=False).stdout
        marker = "system default destination:"
        for line in out.splitlines():
            if line.startswith(marker):
                return line[len(marker):].strip()
        return None


CUPSD_CONF = """\
Listen {socket}
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
"""

# PidFile, User and Group are left out on purpose: with any of them the
# private cupsd refuses to run as root.
CUPS_FILES_CONF = """\
ServerRoot {root}
CacheDir {root}/cache
StateDir {root}/state
RequestRoot {root}/spool
TempDir {root}/spool/tmp
ErrorLog {root}/log/error_log
AccessLog {root}/log/access_log
PageLog {root}/log/page_log
Printcap {root}/printcap
ServerKeychain {root}/ssl
ServerBin /usr/lib/cups
DataDir /usr/share/cups
DocumentRoot /usr/share/cups/doc-root
FileDevice Yes
SystemGroup root
"""


# The window manager on the virtual display, as every user's desktop has
# one: Wine waits up to 2 s for a window manager to confirm that a window it
# hides is withdrawn, so without one each dialog that closes costs 2 s.
WINDOW_MANAGER = "evilwm"
# Xvfb has the one core font "fixed", where evilwm would look for another.
WINDOW_MANAGER_OPTIONS = ["-fn", "fixed"]


class VirtualDisplay:
    """An Xvfb display, with a small window manager on it. Xvfb picks a free
    display number itself (-displayfd) and reports it once it accepts
    connections, so two test runs on one machine never race for the same
    number."""

    def __init__(self, size="1024x768x24", window_manager=True):
        """window_manager=False: a bare display, for a Wine virtual desktop
        (which frames its windows itself) or a benchmark that sets Wine's
        windows unmanaged."""
        self.size = size
        self.name = None
        self._proc = None
        self._with_window_manager = window_manager
        self._window_manager = None

    def __enter__(self):
        read_end, write_end = os.pipe()
        try:
            self._proc = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                 self.size, "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL,
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.close(write_end)
            write_end = None
            number = _read_line(read_end, timeout=30)
            if not number:
                raise RuntimeError("Xvfb did not report a display number")
            self.name = ":" + number
            if self._with_window_manager:
                self._start_window_manager()
        except BaseException:
            self.__exit__(None, None, None)
            raise
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)
        return self

    def __exit__(self, *exc):
        if self._window_manager is not None:
            stop_process(self._window_manager)
            self._window_manager = None
            self._window_manager_log.close()
        if self._proc is not None:
            stop_process(self._proc)
            self._proc = None

    def _start_window_manager(self):
        # Its complaints go to a file: a pipe nobody reads could fill up and
        # stop it.
        self._window_manager_log = tempfile.TemporaryFile()
        self._window_manager = subprocess.Popen(
            [WINDOW_MANAGER, "-display", self.name] + WINDOW_MANAGER_OPTIONS, stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=self._window_manager_log)
        # It manages the display once it has named itself on the root window
        # (_NET_SUPPORTING_WM_CHECK); Wine's windows made before that would
        # still wait for it.
        if not wait_until(self._window_manager_runs, timeout=10):
            raise RuntimeError("%s did not start on %s: %s" % (WINDOW_MANAGER, self.name, self._window_manager_said()))

    def _window_manager_said(self):
        self._window_manager_log.seek(0)
        return self._window_manager_log.read().decode("utf-8", "replace")

    def _window_manager_runs(self):
        if self._window_manager.poll() is not None:
            raise RuntimeError("%s ended at once: %s" % (WINDOW_MANAGER, self._window_manager_said()))
        result = subprocess.run(["xprop", "-display", self.name, "-root", "-len", "0"],
                                capture_output=True, stdin=subprocess.DEVNULL)
        return result.returncode == 0 and b"_NET_SUPPORTING_WM_CHECK" in result.stdout

    def screenshot(self, path, region=None):
        """Saves the screen, or the region (left, top, width, height) of it,
        as an image; returns the path, or None."""
        os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
        crop = ["-crop", "%dx%d+%d+%d" % (region[2], region[3], region[0],
                                          region[1]), "+repage"] if region else []
        result = subprocess.run(
            ["import", "-window", "root", "-display", self.name] + crop + [path],
            stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
        return path if result.returncode == 0 else None


def _read_line(fd, timeout):
    data = b""
    deadline = time.monotonic() + timeout
    while not data.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            return None
        chunk = os.read(fd, 64)
        if not chunk:
            return None
        data += chunk
    return data.decode().strip()


class WinePrefix:
    """A Wine prefix of our own. Creating one takes a while, so a test run
    makes one and hands its path to every test through IKW_E2E_WINEPREFIX."""

    def __init__(self, path, with_32bit=None):
        """with_32bit: whether the prefix must have its 32-bit half; by
        default where the machine runs 32-bit programs natively. A run that
        emulates them asks for it (and makes the prefix under emulation)."""
        self.path = os.path.abspath(path)
        self.with_32bit = runs_32bit_natively() if with_32bit is None else with_32bit

    def env(self, display=None, cups=None, locale="C.UTF-8"):
        """The environment for every Wine process of this prefix.
        display: a VirtualDisplay or an X display name; none runs headless.
        cups: a CupsServer, MACHINE_PRINTERS, or None for no printers at all:
        CUPS_SERVER otherwise points somewhere private, so that Wine never
        sees the machine's own printers by accident."""
        env = dict(os.environ)
        for name in ("DISPLAY", "WAYLAND_DISPLAY", "LANGUAGE"):
            env.pop(name, None)
        env["WINEPREFIX"] = self.path
        env["WINEDEBUG"] = QUIET_WINE
        env["WINEDLLOVERRIDES"] = WINE_DLL_OVERRIDES
        if cups is None:
            env["CUPS_SERVER"] = os.path.join(self.path, "no-cups.sock")
        elif cups is not MACHINE_PRINTERS:
            env["CUPS_SERVER"] = cups.socket
        if display is not None:
            env["DISPLAY"] = getattr(display, "name", display)
        if locale:
            # Wine takes its interface language from the locale.
            env["LC_ALL"] = locale
        return env

    def create(self):
        """Makes the prefix from scratch (wineboot -i) and waits for it. A
        failure raises with what Wine said."""
        self.remove()
        os.makedirs(self.path)
        env = self.env()
        # Wine's output goes to a file, not a pipe: the background processes
        # wineboot starts would inherit a pipe and keep it open after
        # wineboot itself has ended.
        with tempfile.TemporaryFile() as log:
            steps = [[WINE, "wineboot.exe", "-i"], ["wineserver", "-w"]]
            for argv in steps:
                code = subprocess.run(argv, env=env, stdin=subprocess.DEVNULL,
                                      stdout=log, stderr=log,
                                      timeout=300 * SLOWDOWN).returncode
                if code != 0:
                    log.seek(0)
                    raise RuntimeError(
                        "making the Wine prefix %s: %s ended with exit code %d; Wine said:\n%s"
                        % (self.path, " ".join(argv), code,
                           log.read().decode("utf-8", "replace")[-4000:]))
        self._link_wine_fonts()
        return self

    def ensure(self):
        """The prefix as it is, made first when it does not exist yet."""
        if not self.exists():
            return self.create()
        self._link_wine_fonts()
        return self

    def _link_wine_fonts(self):
        # Debian's Wine 8 does not look in the fonts-wine folder, so without
        # this the dialogs fall back to other fonts and the caption buttons
        # show Marlett's letters instead of their symbols.
        fonts = os.path.join(self.path, "drive_c", "windows", "Fonts")
        if not os.path.isdir(WINE_FONTS):
            return
        os.makedirs(fonts, exist_ok=True)
        for name in os.listdir(WINE_FONTS):
            link = os.path.join(fonts, name)
            if not os.path.lexists(link):
                os.symlink(os.path.join(WINE_FONTS, name), link)

    def exists(self):
        """Whether the prefix is there, with its 32-bit half where it must
        have one: a prefix made before 32-bit Wine was installed, or where
        32-bit Wine could not run, has no 32-bit system files and cannot run
        the shipped 32-bit program, so there it counts as missing and is
        made again."""
        if not os.path.isfile(os.path.join(self.path, "system.reg")):
            return False
        return not self.with_32bit or os.path.isfile(
            os.path.join(self.path, "drive_c", "windows", "syswow64", "kernel32.dll"))

    def stop(self):
        """Ends every Wine process of this prefix, and its wineserver."""
        if os.path.isdir(self.path):
            subprocess.run(["wineserver", "-k"], env=self.env(), check=False,
                           stdin=subprocess.DEVNULL, capture_output=True,
                           timeout=60)

    def remove(self):
        self.stop()
        shutil.rmtree(self.path, ignore_errors=True)


@contextlib.contextmanager
def wine_prefix(shared=True):
    """The run's prefix from IKW_E2E_WINEPREFIX when it is there, else a
    temporary one made now and removed afterwards. shared=False: always a
    temporary one, for a test that changes the prefix (an installer)."""
    given = os.environ.get("IKW_E2E_WINEPREFIX") if shared else None
    if given and WinePrefix(given).exists():
        prefix = WinePrefix(given)
        try:
            yield prefix
        finally:
            prefix.stop()
        return
    root = tempfile.mkdtemp(prefix="ikw-wine-")
    prefix = WinePrefix(os.path.join(root, "prefix"))
    try:
        yield prefix.create()
    finally:
        prefix.remove()
        shutil.rmtree(root, ignore_errors=True)


def main(argv):
    """`sandbox.py create-prefix DIR` / `ensure-prefix DIR [--with-32bit]` /
    `remove-prefix DIR`: a test run's prefix, made before the first test
    that needs it (ensure: kept when it is there) and removed after the
    last. --with-32bit: the prefix must have its 32-bit half even where the
    machine does not run 32-bit programs natively (make it under emulation)."""
    if len(argv) in (3, 4) and argv[1] in ("create-prefix", "ensure-prefix") and argv[3:] in ([], ["--with-32bit"]):
        prefix = WinePrefix(argv[2], with_32bit=True if argv[3:] else None)
        prefix.create() if argv[1] == "create-prefix" else prefix.ensure()
        return 0
    if len(argv) == 3 and argv[1] == "remove-prefix":
        WinePrefix(argv[2]).remove()
        return 0
    print("usage: sandbox.py create-prefix|ensure-prefix DIR [--with-32bit] | remove-prefix DIR")
    return 2


if __name__ == "__main__":
    import sys
    sys.exit(main(sys.argv))
