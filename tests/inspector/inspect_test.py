#!/usr/bin/env python3
"""Runs ikwdev-inspect on hand-made .dev files: its exit statuses, its reports
on standard error, and its JSON parsed back.

usage: inspect_test.py COMMAND... [--batch BATCH_COMMAND...]
  COMMAND         the inspector, after Wine for Windows builds
  BATCH_COMMAND   ikwdev-inspect-batch, after Wine: where each 32-bit Wine
                  start is dear (IKW_32BIT_EMULATED=1), every case runs
                  through the inspector's own wmain in this one process
"""

import binascii
import json
import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fixtures"))
from device_info_files import (DM_COLLATE, DM_COPIES, DM_FORMNAME, DM_ORIENTATION,  # noqa: E402
                               DM_PAPERSIZE, dev_file, dev_mode)

COMMAND = []

OFFICE = "Office Laser"
# Everything a JSON writer can get wrong: quotes, backslashes, a control
# character, non-ASCII, a character outside the BMP and an unpaired surrogate.
HOSTILE = 'Büro "Nord" \\\\srv\\印刷機\t\U0001F5A8 queue number 7\udc80'
HOSTILE_UTF16 = HOSTILE.encode("utf-16-le", "surrogatepass")

with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "VERSION")) as version_file:
    VERSION = version_file.read().strip()


def record(name_utf16, dm_size=220, extra=0, fields=0, shorts=None, form=""):
    """A settings record; shorts maps record offsets to 16-bit signed values."""
    return dev_mode(name_utf16, dm_size, extra, driver_version=0x0600, fields=fields, shorts=shorts, form=form,
                    private_pattern=True)


FILES = {
    "office.dev": dev_file(record(OFFICE.encode("utf-16-le"),
                                  fields=DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_COLLATE | DM_FORMNAME,
                                  shorts={76: 2, 78: 9, 86: 3, 90: -4, 100: 1}, form="A4")),
    # The record holds the first 31 units of the name, as a driver cuts it.
    "hostile.dev": dev_file(record(HOSTILE_UTF16[:62] + b"\0\0", extra=12), HOSTILE_UTF16),
    "プリンタ設定.dev": dev_file(record(OFFICE.encode("utf-16-le"))),
    "-dash.dev": dev_file(record(OFFICE.encode("utf-16-le"))),
    "short.dev": b"\xdc\x00\x00",
    "odd-tail.dev": dev_file(record(OFFICE.encode("utf-16-le"))) + b"\x03\x00A\x00\x00",
    # 4 + DevModeSize wraps to 0 in 32-bit arithmetic.
    "wrapping-size.dev": b"\xfc\xff\xff\xff",
    # A driver's record that sets the form name bit but stops short of the
    # form name: the save writes it as it is.
    "old-driver.dev": dev_file(record(OFFICE.encode("utf-16-le"), dm_size=156, fields=DM_ORIENTATION | DM_FORMNAME)),
    # The largest file the format allows: both sizes at their 16-bit limit and
    # the longest full name a 16-bit size carries (32,766 units and the NUL).
    "largest.dev": dev_file(record(OFFICE.encode("utf-16-le"), dm_size=65535, extra=65535), "L" * 32766),
}
LARGEST_SIZE = 4 + 65535 + 65535 + 2 + 65534
# Names a terminal or a line-reading script must not take as they are.
CONTROL_NAMES = ["forged\nok.dev: valid device info file of 224 bytes", "bell\a\x1b[2J.dev"]
# Not UTF-8, and different only in the bytes that are not.
UNDECODABLE_NAMES = [b"bad\xff.dev", b"bad\xfe.dev"]
ON_WINE = False


# Wine fails to start about one process in two thousand. Where it runs a
# 64-bit program through its start.exe, that start.exe then says so on
# standard output and exits 1, before the inspector has run at all. The
# inspector changes nothing, so such a run is simply made again.
WINE_COULD_NOT_START = b"Application could not be started"
WINE_START_ATTEMPTS = 3


class BatchRunner:
    """One ikwdev-inspect-batch process that runs every case of the script:
    see batch_runner.cpp beside this file for its lines."""

    OUTPUTS = {"full device": "full", "closed pipe": "closed-pipe"}

    def __init__(self, command):
        self._process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, cwd=WORKDIR)
        self._expect("ready")

    def _expect(self, word):
        line = self._process.stdout.readline().decode("utf-8", "replace").strip()
        if not line.startswith(word):
            raise RuntimeError("ikwdev-inspect-batch said %r, not %s" % (line, word))
        return line[len(word):].strip()

    def run(self, args, output):
        fields = [output] + [binascii.hexlify(os.fsencode(arg)).decode() for arg in args]
        self._process.stdin.write(("\t".join(fields) + "\n").encode())
        self._process.stdin.flush()
        status = int(self._expect("status"))
        with open(os.path.join(WORKDIR, "ikw-batch.out"), "rb") as out, \
                open(os.path.join(WORKDIR, "ikw-batch.err"), "rb") as err:
            return status, out.read() if output == "file" else None, err.read()

    def close(self):
        self._process.stdin.close()
        try:
            self._process.wait(120)
        except subprocess.TimeoutExpired:
            self._process.kill()
            self._process.wait()


BATCH = None
# Where the batch's cases write when the test gives an output that cannot
# be written: one of BatchRunner.OUTPUTS.
UNWRITABLE_OUTPUT = None


def run_in_batch(args, stdout):
    output = "file"
    if stdout is not subprocess.PIPE:
        output = BatchRunner.OUTPUTS[UNWRITABLE_OUTPUT]
    status, out, err = BATCH.run(args, output)
    return status, out.decode("utf-8") if out is not None else None, err.decode("utf-8", "replace")


def run(*args, stdout=subprocess.PIPE):
    if BATCH is not None:
        return run_in_batch(args, stdout)
    for attempt in range(1, WINE_START_ATTEMPTS + 1):
        result = subprocess.run(COMMAND + list(args), stdout=stdout, stderr=subprocess.PIPE, cwd=WORKDIR,
                                timeout=120)
        if not (ON_WINE and result.returncode == 1 and result.stdout
                and WINE_COULD_NOT_START in result.stdout):
            break
        print("Wine did not start the inspector (attempt %d of %d): %s"
              % (attempt, WINE_START_ATTEMPTS, result.stdout.decode("utf-8", "replace").strip()), file=sys.stderr)
    out = result.stdout.decode("utf-8") if result.stdout is not None else None
    return result.returncode, out, result.stderr.decode("utf-8", "replace")


def skip_on_wine(test):
    if ON_WINE:
        # Wine's programs see Linux names through Windows names, in which
        # control characters and undecodable bytes do not come through as
        # they are.
        test.skipTest("names as Linux gives them")


def json_lines(stdout):
    return [json.loads(line) for line in stdout.splitlines() if line.strip()]


class Inspector(unittest.TestCase):
    def test_valid_files_as_json(self):
        status, out, _ = run("--json", "office.dev", "hostile.dev", "プリンタ設定.dev")
        self.assertEqual(status, 0)
        office, hostile, japanese = json_lines(out)

        self.assertEqual(office["file"], "office.dev")
        self.assertTrue(office["valid"])
        self.assertEqual(office["fileSize"], 224)
        self.assertEqual(office["DevModeSize"], 220)
        self.assertEqual(office["dmDeviceName"], OFFICE)
        self.assertEqual((office["dmSpecVersion"], office["dmDriverVersion"]), (0x0401, 0x0600))
        self.assertEqual((office["dmSize"], office["dmDriverExtra"]), (220, 0))
        self.assertEqual(office["dmFields"], 0x18103)
        self.assertEqual((office["dmOrientation"], office["dmPaperSize"], office["dmCopies"]), (2, 9, 3))
        self.assertEqual((office["dmPrintQuality"], office["dmCollate"], office["dmDuplex"]), (-4, 1, 0))
        self.assertEqual(office["dmFormName"], "A4")
        self.assertIsNone(office["FullDeviceName"])

        self.assertEqual(hostile["FullDeviceName"], HOSTILE)
        self.assertEqual(hostile["dmDeviceName"], HOSTILE_UTF16[:62].decode("utf-16-le", "surrogatepass"))
        self.assertEqual((hostile["driverPrivateOffset"], hostile["driverPrivateSize"]), (224, 12))
        self.assertEqual(hostile["fileSize"], 4 + 232 + 2 + len(HOSTILE_UTF16) + 2)

        self.assertEqual(japanese["file"], "プリンタ設定.dev")
        self.assertTrue(japanese["valid"])

    def test_every_invalid_file_is_reported_and_the_rest_still_shown(self):
        status, out, err = run("--json", "office.dev", "short.dev", "odd-tail.dev", "absent.dev")
        self.assertEqual(status, 2, "a file that cannot be read outweighs an invalid one")
        office, short, odd, absent = json_lines(out)
        self.assertEqual([line["format"] for line in (office, short, odd, absent)], [1] * 4)
        self.assertTrue(office["valid"])
        self.assertEqual((short["file"], short["valid"], short["offset"]), ("short.dev", False, 0))
        self.assertEqual((odd["valid"], odd["offset"]), (False, 224))
        self.assertIn("odd", odd["error"])
        self.assertEqual((absent["valid"], absent["offset"]), (False, None))
        self.assertIn("short.dev: invalid at byte 0: ", err)
        self.assertIn("odd-tail.dev: invalid at byte 224: FullNameSize 3 is odd", err)
        self.assertIn("absent.dev: cannot open", err)
        self.assertNotIn("office.dev", err)

    def test_text_for_a_person(self):
        status, out, _ = run("office.dev", "hostile.dev")
        self.assertEqual(status, 0)
        self.assertIn("office.dev: valid device info file of 224 bytes", out)
        self.assertIn('"Office Laser"', out)
        self.assertIn("2 (landscape)", out)
        self.assertIn("-4 (high)", out)
        self.assertIn("none: no tail", out)
        # Escaped only where the raw character would break the line or hide.
        self.assertIn('"Büro "Nord" \\\\srv\\印刷機\\u0009\U0001F5A8 queue number 7\\uDC80"', out)

    def test_a_size_that_wraps_in_32_bits_is_rejected_at_byte_0(self):
        status, out, err = run("--json", "wrapping-size.dev")
        self.assertEqual(status, 1)
        [problem] = json_lines(out)
        self.assertEqual((problem["valid"], problem["offset"]), (False, 0))
        self.assertIn("wrapping-size.dev: invalid at byte 0: file is shorter than its header says", err)

    def test_fields_past_dm_size_are_a_warning_not_a_rejection(self):
        status, out, err = run("--json", "old-driver.dev")
        self.assertEqual(status, 0, err)
        [old] = json_lines(out)
        self.assertTrue(old["valid"])
        self.assertEqual((old["dmSize"], old["dmFields"], old["dmFormName"]), (156, DM_ORIENTATION | DM_FORMNAME, None))
        [warning] = old["warnings"]
        self.assertEqual(warning["offset"], 76)
        self.assertIn("DM_FORMNAME", warning["message"])
        self.assertIn("old-driver.dev: warning at byte 76: dmFields sets DM_FORMNAME", err)
        self.assertEqual(json_lines(run("--json", "office.dev")[1])[0]["warnings"], [])

    def test_only_regular_files_are_read_and_the_rest_still_shown(self):
        fifo = os.path.join(WORKDIR, "fifo.dev")
        if not os.path.exists(fifo):
            os.mkfifo(fifo)
        # A FIFO nobody writes to would block a reader for ever.
        status, out, err = run("--json", "fifo.dev", ".", "office.dev")
        self.assertEqual(status, 2)
        fifo_problem, folder_problem, office = json_lines(out)
        self.assertEqual((fifo_problem["valid"], fifo_problem["offset"]), (False, None))
        self.assertIn("not a regular file", fifo_problem["error"])
        self.assertIn("not a regular file but a directory", folder_problem["error"])
        self.assertTrue(office["valid"])
        self.assertIn("fifo.dev: not a regular file but a", err)

    def test_output_that_cannot_be_written_ends_with_status_2_and_says_so(self):
        def closed_pipe():
            read_end, write_end = os.pipe()
            os.close(read_end)
            return os.fdopen(write_end, "wb")
        outputs = {"full device": lambda: open("/dev/full", "wb"), "closed pipe": closed_pipe}
        global UNWRITABLE_OUTPUT
        for what, open_output in outputs.items():
            UNWRITABLE_OUTPUT = what
            for args in (("office.dev",), ("--json", "short.dev"), ("--help",)):
                with self.subTest(output=what, args=args), open_output() as output:
                    status, _, err = run(*args, stdout=output)
                    self.assertEqual(status, 2, err)
                    self.assertIn("ikwdev-inspect: cannot write the output: ", err)

    def test_names_cannot_forge_lines_or_reach_the_terminal(self):
        skip_on_wine(self)
        status, out, err = run(*CONTROL_NAMES)
        self.assertEqual(status, 0, err)
        lines = out.splitlines()
        self.assertIn("forged\\u000Aok.dev: valid device info file of 224 bytes: valid device info file of 224 bytes",
                      lines)
        self.assertIn("bell\\u0007\\u001B[2J.dev: valid device info file of 224 bytes", lines)
        self.assertEqual(len([line for line in lines if "valid device info file" in line]), 2)
        self.assertNotIn("\x1b", out)

        status, _, err = run("absent\nx.dev")
        self.assertEqual(err, "absent\\u000Ax.dev: cannot open: No such file or directory\n")

    def test_names_that_are_not_utf8_stay_distinct_in_json(self):
        skip_on_wine(self)
        status, out, _ = run("--json", *UNDECODABLE_NAMES)
        self.assertEqual(status, 0)
        names = [line["file"] for line in json_lines(out)]
        # Python's own escape for undecodable bytes: the bytes come back.
        self.assertEqual([os.fsencode(name) for name in names], UNDECODABLE_NAMES)

    def test_exit_status_tells_an_invalid_file_from_one_that_cannot_be_read_with_diff_or_without(self):
        # arguments, the status without --diff and with it (against office.dev)
        cases = [
            (("office.dev",), 0, 0),
            (("short.dev",), 1, 2),
            (("absent.dev",), 2, 2),
            ((".",), 2, 2),
        ]
        for args, plain, diff in cases:
            with self.subTest(args=args):
                self.assertEqual(run(*args)[0], plain)
                self.assertEqual(run("--diff", "office.dev", *args)[0], diff)

    def test_the_largest_file_the_format_allows_is_valid_and_one_byte_more_is_not(self):
        self.assertEqual(len(FILES["largest.dev"]), LARGEST_SIZE)
        status, out, err = run("--json", "largest.dev")
        self.assertEqual(status, 0, err)
        [largest] = json_lines(out)
        self.assertEqual((largest["fileSize"], largest["driverPrivateSize"]), (LARGEST_SIZE, 65535))
        self.assertEqual(largest["FullDeviceName"], "L" * 32766)
        longer = os.path.join(WORKDIR, "longer.dev")
        with open(longer, "wb") as f:
            f.write(FILES["largest.dev"] + b"\0")
        status, _, err = run("longer.dev")
        self.assertEqual(status, 1)
        self.assertIn("longer than any device info file can be", err)

    def test_usage(self):
        cases = [
            ((), 2, "err", "ikwdev-inspect: no FILE given"),
            (("--json",), 2, "err", "ikwdev-inspect: no FILE given"),
            (("--bogus", "office.dev"), 2, "err", "unknown option --bogus"),
            (("--help",), 0, "out", "usage: ikwdev-inspect"),
            (("--version",), 0, "out", "ikwdev-inspect %s\n" % VERSION),
            (("--diff", "--version"), 0, "out", "ikwdev-inspect %s\n" % VERSION),
            (("--", "-dash.dev"), 0, "out", "-dash.dev: valid device info file"),
        ]
        for args, expected_status, stream, text in cases:
            with self.subTest(args=args):
                status, out, err = run(*args)
                self.assertEqual(status, expected_status, err)
                # A Windows console program ends its lines with CR LF.
                self.assertIn(text, (out if stream == "out" else err).replace("\r\n", "\n"))


def main(files):
    """Writes the files into a fresh folder and runs the tests of the script
    that was started, with the inspector's command from its arguments."""
    global COMMAND, WORKDIR, ON_WINE, BATCH
    COMMAND = sys.argv[1:]
    batch_command = []
    if "--batch" in COMMAND:
        at = COMMAND.index("--batch")
        COMMAND, batch_command = COMMAND[:at], COMMAND[at + 1:]
    ON_WINE = len(COMMAND) > 1
    with tempfile.TemporaryDirectory() as WORKDIR:
        for name, data in files.items():
            with open(os.path.join(WORKDIR, name), "wb") as f:
                f.write(data)
        for name in CONTROL_NAMES + UNDECODABLE_NAMES:
            with open(os.path.join(os.fsencode(WORKDIR), os.fsencode(name)), "wb") as f:
                f.write(FILES["office.dev"])
        if batch_command and os.environ.get("IKW_32BIT_EMULATED") == "1":
            BATCH = BatchRunner(batch_command)
        try:
            program = unittest.main(module="__main__", argv=sys.argv[:1], exit=False)
        finally:
            if BATCH is not None:
                BATCH.close()
    sys.exit(0 if program.result.wasSuccessful() else 1)


if __name__ == "__main__":
    main(FILES)
