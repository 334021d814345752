"""Start-up end to end: IKWDev.exe finds its printers and opens the setup
dialog on the default printer; closing it ends the program; with no printers
the program ends after the platform's message. Help is in test_help."""

import unittest

from harness import LABEL, OFFICE, ProgramTestCase
from ui import CLOSE, DIALOG_CLASS, EXCLUDED_PRINTER, PRINTER_COMBO

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


class SubstituteDefaultTest(ProgramTestCase):
    """The excluded printer as the default: the dialog opens on a substitute,
    which the program makes the default only until the dialog is up; then
    the dialog selects the user's default again."""

    SUBSTITUTE = "Office Copy"

    def use_excluded_default(self):
        """Wine puts the CUPS default over any other whenever a process
        loads the spooler, and CUPS cannot hold the excluded name: so both
        printers are Wine's own, and CUPS is left with none."""
        self.use_printers([OFFICE], default=OFFICE)
        for name, default in ((self.SUBSTITUTE, False), (EXCLUDED_PRINTER, True)):
            self.driver.add_wine_printer(name, like=OFFICE, default=default)
            self.addCleanup(self.driver.remove_wine_printer, name)
        self.cups.remove_printer(OFFICE)
        self.assertEqual(self.driver.default_printer(), EXCLUDED_PRINTER)

    def test_opens_through_a_substitute_and_hands_the_default_back_while_the_dialog_is_up(self):
        self.use_excluded_default()
        self.start_program()
        dialog = self.wait_for_setup_dialog()

        combo = self.driver.combo(dialog, PRINTER_COMBO)
        self.assertEqual(sorted(combo.entries), sorted([EXCLUDED_PRINTER, self.SUBSTITUTE]))
        self.assertEqual(combo.selected_text, EXCLUDED_PRINTER)
        self.assertEqual(self.driver.stored_default_printer(), EXCLUDED_PRINTER)
        self.assertEqual(self.driver.default_printer(), EXCLUDED_PRINTER)

        self.driver.press(dialog, CLOSE)
        self.assert_exits_with(0)
        self.assertEqual(self.driver.stored_default_printer(), EXCLUDED_PRINTER)
        self.assertEqual(self.driver.default_printer(), EXCLUDED_PRINTER)


if __name__ == "__main__":
    unittest.main()
