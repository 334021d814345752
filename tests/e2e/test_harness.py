"""The harness's own rule for driver commands, without Wine: a command that
Wine failed to start is started again, and a command that ran is never run
twice, whatever it answered."""

import contextlib
import io
import unittest

from harness import DRIVER_START_ATTEMPTS, DRIVER_STARTED, Driver, DriverError
from ui import DIALOG_CLASS, PRINTER_COMBO

# What a run looks like when Wine could not start the driver: 32-bit Wine's
# start.exe reports it on standard output and exits 1.
NOT_STARTED = (1, "Application could not be started, or no application associated with the "
                  "specified file.\nShellExecuteEx failed: Internal error.\n", "")


def ran(code, out="", err=""):
    """A run in which the driver started, with Wine's own lines before its
    started line as they may come."""
    return code, out, "err:module:something Wine said\n" + DRIVER_STARTED + "\n" + err


class FakeSession:
    """Answers each run with the next of the given results."""

    def __init__(self, results):
        self.results = list(results)
        self.runs = 0

    def run(self, argv, timeout):
        self.runs += 1
        return self.results.pop(0)


class DriverStartTest(unittest.TestCase):

    def run_driver(self, results, command):
        """(the command's return value or its DriverError, runs made, what
        the harness reported on standard error)."""
        session = FakeSession(results)
        reported = io.StringIO()
        with contextlib.redirect_stderr(reported):
            try:
                value = command(Driver(session))
            except DriverError as error:
                value = error
        return value, session.runs, reported.getvalue()

    def test_a_command_wine_did_not_start_is_started_again_and_reported(self):
        value, runs, reported = self.run_driver(
            [NOT_STARTED, ran(0, "0x10054\n")],
            lambda driver: driver.wait_window(DIALOG_CLASS, control=PRINTER_COMBO, timeout=1))
        self.assertEqual((value, runs), ("0x10054", 2))
        self.assertIn("Wine did not start wait-window", reported)
        self.assertIn("Application could not be started", reported)

    def test_a_command_that_ran_is_never_run_again(self):
        # Found nothing, refused by the system, and acted: each is the
        # driver's own answer, so a press must not be posted twice.
        refused = ran(3, err="ikwdev-test-driver: command 1 not posted to window 0x10054: error 1400")
        for result, expected in [(ran(1), DriverError), (refused, DriverError), (ran(0), type(None))]:
            with self.subTest(exit_code=result[0]):
                value, runs, reported = self.run_driver(
                    [result, ran(0)], lambda driver: driver.press("0x10054", 1))
                self.assertIsInstance(value, expected)
                self.assertEqual((runs, reported), (1, ""))

    def test_the_drivers_error_text_comes_without_its_started_line(self):
        refused = ran(3, err="ikwdev-test-driver: window 0x10054 has no control 1: error 1421")
        value, _, _ = self.run_driver([refused], lambda driver: driver.press("0x10054", 1))
        self.assertIn("has no control 1", str(value))
        self.assertNotIn(DRIVER_STARTED, str(value))

    def test_a_command_wine_never_starts_fails_after_the_last_attempt(self):
        value, runs, reported = self.run_driver(
            [NOT_STARTED] * DRIVER_START_ATTEMPTS, lambda driver: driver.press("0x10054", 1))
        self.assertIsInstance(value, DriverError)
        self.assertIn("attempt %d of %d" % (DRIVER_START_ATTEMPTS, DRIVER_START_ATTEMPTS), str(value))
        self.assertEqual(runs, DRIVER_START_ATTEMPTS)
        self.assertEqual(reported.count("Wine did not start press"), DRIVER_START_ATTEMPTS)


if __name__ == "__main__":
    unittest.main()
