"""Start-up end to end: IKWDev.exe finds its printers and opens the setup
dialog on the default printer; closing it ends the program; with no printers
the program ends after the platform's message; Help keeps the dialog open."""

import time
import unittest

from harness import (CLOSE, DIALOG_CLASS, HELP, PRINTER_COMBO,
                     WINDOW_TIMEOUT, ProgramTestCase)

OFFICE = "Office_Laser"
LABEL = "Label.Printer"
# Longer than the 31 characters a device settings record holds.
LONG_NAME = "Accounting_Department_Colour_Laser_Printer_2"
PRINTERS = [OFFICE, LABEL, LONG_NAME]


class StartUpTest(ProgramTestCase):

    def check_opens_on_default_and_closes(self, default):
        self.use_printers(PRINTERS, default=default)
        self.start_program()
        dialog = self.wait_for_setup_dialog()

        combo = self.driver.combo(dialog, PRINTER_COMBO)
        self.assertEqual(sorted(combo.entries), sorted(PRINTERS))
        self.assertEqual(combo.selected_text, default)

        self.driver.press(dialog, CLOSE)
        self.assert_exits_with(0)
        self.assertEqual(self.driver.stored_default_printer(), default)
        self.assertEqual(self.cups.default(), default)

    def test_opens_on_the_default_printer_and_closing_ends_with_exit_code_0(self):
        self.check_opens_on_default_and_closes(OFFICE)

    def test_opens_on_a_default_printer_whose_name_is_longer_than_31(self):
        self.check_opens_on_default_and_closes(LONG_NAME)

    def test_without_printers_ends_with_exit_code_0_after_the_platform_message(self):
        self.assertEqual(self.use_printers([]), "")
        self.start_program()

        box = self.driver.wait_window(DIALOG_CLASS, no_control=PRINTER_COMBO)
        self.assertIsNotNone(box, "no message box appeared")
        visible = [w for w in self.driver.windows() if w.visible]
        self.assertFalse(
            any(c.control_id == PRINTER_COMBO for w in visible for c in w.children),
            "a setup dialog is shown although there is no printer")

        self.driver.dismiss(box)
        self.assert_exits_with(0)
        self.assertEqual(self.driver.stored_default_printer(), "")
        self.assertIsNone(self.cups.default())

    def test_help_leaves_the_dialog_open(self):
        self.use_printers(PRINTERS, default=LABEL)
        self.start_program()
        dialog = self.wait_for_setup_dialog()

        self.driver.press(dialog, HELP)
        # No help file ships: the help viewer says so in a window of its own
        # (under Wine an unowned box of winhlp32's), which is closed here.
        opened = self.dismiss_windows_other_than(dialog)
        self.assertTrue(opened, "Help opened no window")

        self.assertTrue(self.program.running(), "IKWDev.exe ended after Help")
        shown = {w.handle for w in self.driver.windows() if w.visible}
        self.assertIn(dialog, shown, "the setup dialog closed after Help")
        self.assertEqual(
            self.driver.combo(dialog, PRINTER_COMBO).selected_text, LABEL)

        self.driver.press(dialog, CLOSE)
        self.assert_exits_with(0)

    def dismiss_windows_other_than(self, dialog, quiet=2.0):
        """Closes every visible top-level window but the dialog as it shows
        up, until none has shown up for `quiet` seconds; returns how many."""
        dismissed = 0
        deadline = time.monotonic() + WINDOW_TIMEOUT
        last_seen = None
        while time.monotonic() < deadline:
            others = [w for w in self.driver.windows()
                      if w.visible and w.handle != dialog]
            for window in others:
                self.driver.dismiss(window.handle)
                dismissed += 1
            if others:
                last_seen = time.monotonic()
                time.sleep(0.5)
            elif last_seen is not None and time.monotonic() - last_seen > quiet:
                break
            else:
                time.sleep(0.2)
        return dismissed


if __name__ == "__main__":
    unittest.main()
