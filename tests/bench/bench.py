#!/usr/bin/env python3
"""Measures IKWDev and prints one table: start-up against a bare print setup
dialog, the time of one save, what a long session of saves leaves behind,
the inspector's speed on many files, ikwdev-settings' capture against the
driver round trip it cannot do without, and its check and apply each against
a bare process that makes only the platform calls the command needs.

It runs the real programs under Wine in the end-to-end tests' set-up (a
private CUPS server, a virtual display and a Wine prefix of its own) and
prints numbers only: nothing here passes or fails on a time.

    scripts/bench [--no-build] [--start-ups N] [--saves N] [--session-saves N]
                  [--inspect-files N] [--settings-runs N] [--only NAME ...]
"""

import argparse
import contextlib
import datetime
import os
import random
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
sys.path.insert(0, os.path.join(ROOT, "tests", "fuzz"))

import harness  # noqa: E402
import make_seeds  # noqa: E402
import sandbox  # noqa: E402
import ui  # noqa: E402

BENCHMARKS = ("start-up", "save", "session", "inspect", "settings")

# The start-up printers are those of the start-up tests; the session
# alternates between two of them.
OFFICE = "Office_Laser"
LABEL = "Label.Printer"
LONG_NAME = "Accounting_Department_Colour_Laser_Printer_2"
PRINTERS = [OFFICE, LABEL, LONG_NAME]

# Seconds.
START_TIMEOUT = harness.WINDOW_TIMEOUT
SAVE_TIMEOUT = 30

GNU_TIME = "/usr/bin/time"
ARTIFACTS = os.path.join(ROOT, "build", "bench-artifacts")
X11_DRIVER_KEY = "HKCU\\Software\\Wine\\X11 Driver"


def built(variable, *path):
    """A program of the build tree, or the one the environment variable names."""
    return os.environ.get(variable, os.path.join(ROOT, "build", *path))


def baseline_path():
    return built("IKW_BASELINE_EXE", "win64", "tests", "bench", "baseline_print_setup.exe")


def inspector_path():
    return built("IKW_INSPECT", "host", "tools", "ikwdev-inspect", "ikwdev-inspect")


def settings_path():
    return built("IKW_SETTINGS", "win64", "tools", "ikwdev-settings", "ikwdev-settings.exe")


def round_trip_path():
    return built("IKW_ROUND_TRIP_EXE", "win64", "tests", "bench", "baseline_document_properties.exe")


def settings_floor_path():
    return built("IKW_SETTINGS_FLOOR_EXE", "win64", "tests", "bench", "baseline_settings_commands.exe")


class Interrupted(Exception):
    pass


def raise_on_signal(signum, _frame):
    raise Interrupted("signal %d" % signum)


def hold_signals():
    for signum in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(signum, signal.SIG_IGN)


class Table:
    """The rows printed at the end, and at once as they come."""

    def __init__(self):
        self.rows = []

    def add(self, what, value, target=""):
        self.rows.append((what, value, target))
        print("  %s: %s" % (what, value), file=sys.stderr, flush=True)

    def render(self):
        header = ("measurement", "value", "target")
        widths = [max(len(r[i]) for r in self.rows + [header]) for i in range(3)]
        line = lambda r: "| " + " | ".join(  # noqa: E731
            c.ljust(w) for c, w in zip(r, widths)) + " |"
        return "\n".join([line(header),
                          "|" + "|".join("-" * (w + 2) for w in widths) + "|"]
                         + [line(r) for r in self.rows])


def ms(seconds):
    return "%.1f ms" % (seconds * 1000)


class BenchDriver(harness.Driver):
    """The driver's commands that only the benchmarks use."""

    def press_until_file(self, window, button, path):
        """Presses the button and returns the seconds until the file at the
        Linux path exists, timed inside the driver."""
        code, out = self._run("press-until-file", window, button,
                              harness.windows_path(path), SAVE_TIMEOUT * 1000,
                              timeout=SAVE_TIMEOUT + 60)
        if code != 0:
            raise RuntimeError("no file at %s %d s after the press"
                               % (path, SAVE_TIMEOUT))
        return int(out) / 1e6

    def process_resources(self, window):
        """What the driver reads about the process of the window: a dict
        of numbers, or "unavailable" where Windows' call failed."""
        values = {}
        for line in self._value("process-resources", window).splitlines():
            name, value = line.split("=", 1)
            values[name] = int(value) if value.isdigit() else value
        return values


class WineBench:
    """One private CUPS server, display, prefix and Wine session for every
    Wine benchmark; every process it starts is stopped by its id when the
    context ends, on Ctrl-C or failure too."""

    def __init__(self, stack):
        self.logs = tempfile.mkdtemp(prefix="ikw-bench-")
        stack.callback(shutil.rmtree, self.logs, True)
        self.prefix = stack.enter_context(sandbox.wine_prefix())
        self.display = stack.enter_context(sandbox.VirtualDisplay(window_manager=False))
        self.cups = stack.enter_context(sandbox.CupsServer())
        self.session = stack.enter_context(
            harness.WineSession(self.prefix, self.display, self.cups))
        self.driver = BenchDriver(self.session)
        self._programs = []
        stack.callback(self._stop_programs)
        for name in PRINTERS:
            self.cups.add_printer(name)
        self.cups.set_default(OFFICE)
        # Wine takes the printers in when a process starts.
        self.driver.default_printer()

    def use_unmanaged_windows(self, stack):
        """Lets X windows go without a window manager's answer. Wine waits up
        to 2 s for a window manager to confirm that a window it hides is
        withdrawn; the virtual display has none, so every closing dialog
        would cost 2 s that no user with a desktop ever waits. The setting
        is taken back at the end, as the prefix may be the tests' own."""
        self.session.run(["reg", "add", X11_DRIVER_KEY, "/v", "Managed",
                          "/d", "N", "/f"], timeout=60)
        stack.callback(self.session.run, ["reg", "delete", X11_DRIVER_KEY,
                                          "/v", "Managed", "/f"], 60)

    def report_failure(self, name, dialog):
        """A screenshot, the windows, the process's resources and every
        Wine thread's backtrace, for a save that did not end in time."""
        os.makedirs(ARTIFACTS, exist_ok=True)
        shot = self.display.screenshot(os.path.join(ARTIFACTS, name + ".png"))
        report = ["bench: %s did not end in time; screenshot: %s" % (name, shot)]
        try:
            report += [harness.describe_windows(self.driver.windows()),
                       str(self.driver.process_resources(dialog))]
            _, trace, _ = self.session.run(
                ["winedbg", "--command", "backtrace all"], timeout=120)
            trace_path = os.path.join(ARTIFACTS, name + "-backtrace.txt")
            with open(trace_path, "w") as f:
                f.write(trace)
            report.append("backtraces: " + trace_path)
        except (harness.DriverError, subprocess.TimeoutExpired) as error:
            report.append("the windows could not be read: %s" % error)
        print("\n".join(report), file=sys.stderr, flush=True)

    def recover(self, dialog, timeout=120):
        """After a save that went wrong: closes what the save left open (its
        save dialog or a message box, by Cancel) and waits for the setup
        dialog to answer again; False when it does not."""
        for window in self.driver.windows():
            if window.owner == dialog and window.visible:
                self.driver.dismiss(window.handle)
                if not self.driver.wait_gone(window.handle, timeout):
                    return False
        try:
            self.driver.settle(dialog, timeout)
        except harness.DriverError:
            return False
        return True

    def _stop_programs(self):
        for program in self._programs:
            program.stop()

    def start(self, argv, name):
        program = self.session.start(argv, os.path.join(self.logs, name + ".log"))
        self._programs.append(program)
        return program

    def finish(self, program, dialog):
        """Closes the setup dialog and waits for its program to end."""
        self.driver.press(dialog, ui.CLOSE)
        if program.exit_code(harness.EXIT_TIMEOUT) is None:
            program.stop()
        self._programs.remove(program)


def read_lines(program):
    with open(program.log_path, "rb") as f:
        return f.read().decode("utf-8", "replace").splitlines()


def time_start_up(bench, exe, name):
    """Seconds from the program's start, taken on the Linux side just before
    Wine is asked to run it, to the first sight of its setup dialog, taken by
    a driver process that was watching for it already."""
    watcher = bench.start(
        [harness.driver_path(), "first-visible", ui.DIALOG_CLASS,
         hex(ui.PRINTER_COMBO), str(START_TIMEOUT * 1000)], "watch")
    if not sandbox.wait_until(lambda: "ready" in read_lines(watcher),
                              timeout=START_TIMEOUT):
        raise RuntimeError("the window watcher did not start")
    started = time.time_ns()
    program = bench.start([exe], name)
    if watcher.exit_code(START_TIMEOUT + 30) != 0:
        raise RuntimeError("%s showed no setup dialog within %d s; it %s:\n%s"
                           % (name, START_TIMEOUT, program.status(),
                              program.log_tail()))
    bench._programs.remove(watcher)
    lines = read_lines(watcher)
    dialog, seen_us = lines[lines.index("ready") + 1].split("\t")
    bench.finish(program, dialog)
    return (int(seen_us) * 1000 - started) / 1e9


def bench_start_up(bench, table, runs):
    exe, baseline = harness.program_path(), baseline_path()
    # The first start of each reads its files from disk; not counted.
    time_start_up(bench, exe, "IKWDev-warm-up")
    time_start_up(bench, baseline, "baseline-warm-up")
    program_times, baseline_times = [], []
    for run in range(runs):
        program_times.append(time_start_up(bench, exe, "IKWDev-%d" % run))
        baseline_times.append(time_start_up(bench, baseline, "baseline-%d" % run))
        print("    start-up %d: IKWDev %s, baseline %s" % (
            run + 1, ms(program_times[-1]), ms(baseline_times[-1])),
            file=sys.stderr, flush=True)
    ratios = [a / b for a, b in zip(program_times, baseline_times)]
    low, high = median_interval(ratios)
    table.add("start-up, IKWDev.exe (median of %d)" % runs,
              ms(statistics.median(program_times)))
    table.add("start-up, bare PrintDlgW baseline (median of %d)" % runs,
              ms(statistics.median(baseline_times)))
    table.add("start-up ratio IKWDev/baseline (median of %d pairs)" % runs,
              "%.3f (95%% interval %.3f to %.3f, range %.3f to %.3f)" % (
                  statistics.median(ratios), low, high, min(ratios), max(ratios)),
              "at most 1.05")


def median_interval(values, resamples=2000):
    """A 95% bootstrap interval for the median of values. Single start-ups
    vary by a quarter or more, so the median alone does not say how far a
    few per cent either way can be trusted. The seed is fixed so that the
    same runs always give the same interval."""
    rng = random.Random(1)
    medians = sorted(statistics.median(rng.choices(values, k=len(values)))
                     for _ in range(resamples))
    return medians[int(resamples * 0.025)], medians[int(resamples * 0.975) - 1]


def start_program(bench, name):
    program = bench.start([harness.program_path()], name)
    dialog = bench.driver.wait_setup_dialog()
    if dialog is None:
        raise RuntimeError("IKWDev.exe showed no setup dialog; it %s:\n%s"
                           % (program.status(), program.log_tail()))
    return program, dialog


def timed_save(bench, dialog, path):
    """One save, as save_to makes it, with the Save button's press timed."""
    driver = bench.driver
    save_dialog = harness.open_save_dialog(driver, dialog)
    harness.enter_save_path(driver, save_dialog, path)
    seconds = driver.press_until_file(save_dialog, ui.SAVE_DIALOG_SAVE, path)
    if not driver.wait_gone(save_dialog):
        raise RuntimeError("the save dialog stays open after saving %s" % path)
    driver.settle(dialog)
    return seconds


def time_saves(bench, count, name):
    """Seconds of each of count saves, to new paths, in one program."""
    program, dialog = start_program(bench, name)
    folder = tempfile.mkdtemp(prefix="ikw-bench-save-", dir=bench.logs)
    # The first save loads the save dialog's libraries; not counted.
    timed_save(bench, dialog, os.path.join(folder, "warm-up.dev"))
    times = [timed_save(bench, dialog, os.path.join(folder, "save-%02d.dev" % i))
             for i in range(count)]
    bench.finish(program, dialog)
    return times


def bench_save(bench, table, count, stack):
    managed = time_saves(bench, 3, "IKWDev-save-managed")
    bench.use_unmanaged_windows(stack)
    times = time_saves(bench, count, "IKWDev-save")
    table.add("save, Save pressed to file complete (median of %d)" % count,
              "%s (range %s to %s)" % (ms(statistics.median(times)),
                                       ms(min(times)), ms(max(times))))
    table.add("the same with Wine waiting for a window manager (median of 3)",
              ms(statistics.median(managed)), "(set-up artefact, see text)")


def linux_memory(pid):
    """Private memory of a process as Linux counts it, in bytes: the
    resident anonymous pages and the size of its private data mappings."""
    values = {}
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            name, _, rest = line.partition(":")
            if name in ("RssAnon", "VmData"):
                values[name] = int(rest.split()[0]) * 1024
    return values


def session_state(bench, program, dialog):
    state = bench.driver.process_resources(dialog)
    state.update(linux_memory(program.proc.pid))
    return state


def bench_session(bench, table, count):
    """count saves in a row in one program, alternating between two printers
    and the two orientations, with the process's resources read before and
    after."""
    program, dialog = start_program(bench, "IKWDev-session")
    folder = tempfile.mkdtemp(prefix="ikw-bench-session-", dir=bench.logs)
    settings = [(printer, orientation) for orientation in
                (ui.PORTRAIT, ui.LANDSCAPE)
                for printer in (OFFICE, LONG_NAME)]

    problems = []
    durations = []

    def save(index, name):
        printer, orientation = settings[index % len(settings)]
        started = time.monotonic()
        if not bench.driver.select(dialog, ui.PRINTER_COMBO, printer):
            raise RuntimeError("the setup dialog does not list %s" % printer)
        bench.driver.click(dialog, orientation)
        # A save that goes wrong is recorded, with a screenshot and the
        # threads' backtraces, and made again once: one failed step should
        # not cost the readings of the whole session.
        for attempt in (1, 2):
            try:
                harness.save_to(bench.driver, dialog, os.path.join(folder, name))
                break
            except harness.DriverError as error:
                problems.append("%s: %s" % (name, error))
                print("    %s" % problems[-1], file=sys.stderr, flush=True)
                bench.report_failure("%s-%d" % (name, attempt), dialog)
                if attempt == 2 or not bench.recover(dialog):
                    raise
        durations.append(time.monotonic() - started)

    # Warm-up: each setting once, so that every library and printer driver
    # the session uses is loaded before the first reading.
    for index in range(len(settings)):
        save(index, "warm-up-%d.dev" % index)
    before = session_state(bench, program, dialog)
    started = time.monotonic()
    for index in range(count):
        save(index, "session-%04d.dev" % index)
        if (index + 1) % 50 == 0:
            state = session_state(bench, program, dialog)
            print("    session: %d saves; %s" % (index + 1, " ".join(
                "%s=%s" % item for item in sorted(state.items()))),
                file=sys.stderr, flush=True)
    took = time.monotonic() - started
    after = session_state(bench, program, dialog)
    bench.finish(program, dialog)
    saved = sorted(n for n in os.listdir(folder) if n.startswith("session-"))
    valid = subprocess.run([inspector_path(), "--json"] + saved, cwd=folder,
                           stdin=subprocess.DEVNULL, capture_output=True).returncode == 0

    table.add("session: %d saves, two printers x two orientations" % count,
              "%.0f s (%.2f s a save, driver included); %d files, %s"
              % (took, took / count, len(saved),
                 "all valid" if valid else "SOME INVALID"))
    session_saves = durations[len(settings):]
    table.add("session: time of one save, driver included (median, slowest)",
              "%s, %s" % (ms(statistics.median(session_saves)), ms(max(session_saves))))
    table.add("session: saves made again after a step went wrong",
              "; ".join(problems) or "none", "none")
    rows = [
        ("handles (GetProcessHandleCount)", "handles", "count"),
        ("handles (system handle list)", "listed_handles", "count"),
        ("GDI objects (GetGuiResources)", "gdi", "count"),
        ("USER objects (GetGuiResources)", "user", "count"),
        ("windows of the process", "windows", "count"),
        ("private bytes (GetProcessMemoryInfo)", "private", "bytes"),
        ("working set (GetProcessMemoryInfo)", "working_set", "bytes"),
        ("private data, Linux VmData", "VmData", "bytes"),
        ("private resident, Linux RssAnon", "RssAnon", "bytes"),
    ]
    targets = {"count": "no growth", "bytes": "growth under 1 MiB"}
    for label, key, unit in rows:
        table.add("session %s: before -> after" % label,
                  describe_change(before.get(key), after.get(key), unit),
                  targets[unit] if key not in ("working_set",) else "")


def describe_change(before, after, unit):
    if not isinstance(before, int) or not isinstance(after, int):
        return "%s -> %s" % (before, after)
    if unit == "bytes":
        return "%.2f -> %.2f MiB (%+.1f KiB)" % (
            before / 2**20, after / 2**20, (after - before) / 1024)
    return "%d -> %d (%+d)" % (before, after, after - before)


def write_inspector_files(folder, count):
    """count valid .dev files: half with a short name and no tail, half with
    a long name cut down in the record and carried whole in the tail, over
    a few sizes of driver-private part."""
    extras = (0, 64, 512, 2048)
    for i in range(count):
        extra = extras[i % len(extras)]
        if i % 2:
            name = "Accounting Department Colour Laser %05d" % i
            data = make_seeds.seed_file(name, name, driver_extra=extra)
        else:
            data = make_seeds.seed_file("Office Laser %05d" % i, driver_extra=extra)
        with open(os.path.join(folder, "printer-%05d.dev" % i), "wb") as f:
            f.write(data)


def run_inspector(folder, names, mode):
    """(seconds, peak resident KiB) of one run over every file. GNU time
    reads the peak: a child of this script would count the pages it shared
    with Python before exec."""
    with tempfile.TemporaryDirectory() as scratch:
        peak_file = os.path.join(scratch, "peak")
        with open(os.path.join(scratch, "out"), "wb") as out, \
                open(os.path.join(scratch, "err"), "wb") as err:
            started = time.perf_counter()
            proc = subprocess.Popen(
                [GNU_TIME, "-f", "%M", "-o", peak_file, inspector_path()]
                + mode + names, cwd=folder, stdin=subprocess.DEVNULL,
                stdout=out, stderr=err)
            try:
                code = proc.wait()
            except BaseException:
                sandbox.stop_process(proc)
                raise
            elapsed = time.perf_counter() - started
        if code != 0:
            with open(os.path.join(scratch, "err"), "rb") as err:
                raise RuntimeError("ikwdev-inspect %s exited with %d: %s"
                                   % (" ".join(mode), code,
                                      err.read(500).decode(errors="replace")))
        with open(peak_file) as f:
            return elapsed, int(f.read().split()[-1])


def bench_inspector(table, count, repeats=3):
    folder = tempfile.mkdtemp(prefix="ikw-bench-dev-")
    try:
        write_inspector_files(folder, count)
        names = sorted(os.listdir(folder))
        for label, mode in (("text", []), ("--json", ["--json"])):
            runs = [run_inspector(folder, names, mode) for _ in range(repeats)]
            seconds = statistics.median(r[0] for r in runs)
            peak = max(r[1] for r in runs)
            table.add("ikwdev-inspect %s, %d files (median of %d runs)"
                      % (label, count, repeats),
                      "%.0f files/s, peak RSS %.1f MiB" % (count / seconds, peak / 1024))
    finally:
        shutil.rmtree(folder, ignore_errors=True)


# Printers added for the settings benchmark, so that the part of a capture
# that grows with the printers stands out from starting a process.
SETTINGS_EXTRA_PRINTERS = 9


def timed_run(bench, argv):
    """(seconds, standard output) of one Wine program run to its end."""
    started = time.perf_counter()
    code, out, err = bench.session.run(argv, timeout=300)
    elapsed = time.perf_counter() - started
    if code != 0:
        raise RuntimeError("%s exited with %d: %s" % (" ".join(argv), code, err[-500:]))
    return elapsed, out


def bench_settings(bench, table, runs):
    extra = ["Bench_Printer_%02d" % i for i in range(SETTINGS_EXTRA_PRINTERS)]
    for name in extra:
        bench.cups.add_printer(name)
    bench.driver.default_printer()
    folder = tempfile.mkdtemp(prefix="ikw-bench-settings-")
    try:
        tool = settings_path()
        count = len(PRINTERS) + len(extra)
        capture_all = [tool, "capture", "--all", harness.windows_path(folder)]
        # The first runs read the programs and the PPDs from disk; not counted.
        timed_run(bench, capture_all)
        timed_run(bench, [round_trip_path()])
        start = statistics.median(timed_run(bench, [tool, "--help"])[0] for _ in range(runs))
        whole = statistics.median(timed_run(bench, capture_all)[0] for _ in range(runs))
        per_printer = (whole - start) / count
        floors = []
        for _ in range(runs):
            printers, micros = timed_run(bench, [round_trip_path()])[1].split()
            floors.append(int(micros) / 1e6 / int(printers))
        floor = statistics.median(floors)
        table.add("ikwdev-settings capture --all, %d printers (median of %d runs)" % (count, runs),
                  "%s per printer (whole run %s, of which %s starting the process)"
                  % (ms(per_printer), ms(whole), ms(start)))
        table.add("DocumentPropertiesW round trip, first in a process (median of %d runs)" % runs,
                  "%s per printer; capture per printer / round trip %.2f"
                  % (ms(floor), per_printer / floor))
        # check and apply, each beside a bare process that makes only the
        # platform calls the command needs, timed alike as whole runs in
        # turns, so that both meet the same load. Applying the printer's own
        # settings changes nothing the other benchmarks would see.
        office = harness.windows_path(os.path.join(folder, OFFICE + ".dev"))
        for command in ("check", "apply"):
            tool_argv = [tool, command, office]
            floor_argv = [settings_floor_path(), command, OFFICE, office]
            timed_run(bench, floor_argv)
            tool_times, floor_times = [], []
            for _ in range(runs):
                tool_times.append(timed_run(bench, tool_argv)[0])
                floor_times.append(timed_run(bench, floor_argv)[0])
            ratios = [t / f for t, f in zip(tool_times, floor_times)]
            low, high = median_interval(ratios)
            table.add("ikwdev-settings %s against its floor (median of %d runs)" % (command, runs),
                      "%s against %s (ratio %.3f, 95 %% interval %.3f to %.3f; %s beyond starting the process)"
                      % (ms(statistics.median(tool_times)), ms(statistics.median(floor_times)),
                         statistics.median(ratios), low, high, ms(statistics.median(tool_times) - start)),
                      "within 1.2x of the floor")
    finally:
        shutil.rmtree(folder, ignore_errors=True)
        for name in extra:
            bench.cups.remove_printer(name)
        bench.driver.default_printer()


def run_wine_benchmarks(stack, table, args, chosen):
    bench = WineBench(stack)
    if "start-up" in chosen:
        bench_start_up(bench, table, args.start_ups)
    if "save" in chosen:
        bench_save(bench, table, args.saves, stack)
    if "session" in chosen:
        if "save" not in chosen:
            bench.use_unmanaged_windows(stack)
        bench_session(bench, table, args.session_saves)
    if "settings" in chosen:
        bench_settings(bench, table, args.settings_runs)


def build():
    subprocess.run([os.path.join(ROOT, "scripts", "build")], check=True,
                   stdout=sys.stderr)


def parse_args(argv):
    parser = argparse.ArgumentParser(prog="scripts/bench", description=__doc__.split("\n\n")[0])
    parser.add_argument("--no-build", action="store_true",
                        help="use the programs as built (scripts/build)")
    parser.add_argument("--start-ups", type=int, default=30, metavar="N",
                        help="timed start-ups of each program (30)")
    parser.add_argument("--saves", type=int, default=20, metavar="N",
                        help="timed saves (20)")
    parser.add_argument("--session-saves", type=int, default=500, metavar="N",
                        help="saves in the long session (500)")
    parser.add_argument("--inspect-files", type=int, default=10000, metavar="N",
                        help=".dev files for the inspector (10000)")
    parser.add_argument("--settings-runs", type=int, default=10, metavar="N",
                        help="timed runs of each ikwdev-settings command (10)")
    parser.add_argument("--only", nargs="+", choices=BENCHMARKS,
                        default=list(BENCHMARKS), metavar="NAME",
                        help="run only these of: " + ", ".join(BENCHMARKS))
    return parser.parse_args(argv)


def main(argv):
    args = parse_args(argv)
    # SIGINT too: a shell starts background jobs with it ignored, and Python
    # then never turns it into KeyboardInterrupt.
    for signum in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(signum, raise_on_signal)
    if not args.no_build:
        build()
    table = Table()
    began = time.monotonic()
    load_before = os.getloadavg()[0]
    try:
        if "inspect" in args.only:
            bench_inspector(table, args.inspect_files)
        wine_benchmarks = [b for b in args.only if b != "inspect"]
        if wine_benchmarks:
            with contextlib.ExitStack() as stack:
                try:
                    run_wine_benchmarks(stack, table, args, wine_benchmarks)
                finally:
                    # The clean-up runs to its end whatever arrives meanwhile.
                    hold_signals()
    except (KeyboardInterrupt, Interrupted):
        print("bench: interrupted; everything it started is stopped",
              file=sys.stderr)
        return 130
    # Other work on the machine shows in every time; the load says how much.
    command = " ".join(["scripts/bench"] + argv)
    print("%s: %s, %.0f s, %d cores, load average %.1f before and %.1f after"
          % (command, datetime.date.today().isoformat(), time.monotonic() - began,
             os.cpu_count(), load_before, os.getloadavg()[0]))
    print(table.render())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
