"""ikwdev-settings end to end under Wine: capture writes what a save from the
untouched dialog writes; capture --all writes one file a printer, numbered
where two names would meet; apply makes a file's settings the printer's
defaults, so the next dialog and the next capture show them, while
--dry-run changes nothing and the default printer stays as it was."""

import json
import os
import struct
import unittest

from harness import LABEL, OFFICE, program_path, save_to, skip_unless_32bit_runs, windows_path
from file_cases import OpenTestCase
from device_info_files import DMORIENT_LANDSCAPE, ORIENTATION, RECORD_START, without_name_slack
from ui import (LANDSCAPE, OPEN_ERROR, PAPER_COMBO, PRINTER_COMBO, REASON_TARGET_DEVICE, REASON_TARGET_FOLDER,
                REASON_TARGET_IN_USE, SOURCE_COMBO)

TIMEOUT = 120

# Wine's PostScript driver, whenever a process first uses a printer, takes the
# defaults that SetPrinterW stored and then puts the PPD's *DefaultPageSize
# over their paper (and *DefaultDuplex over their duplex), and stores that
# back. So under Wine an applied paper lasts only until the next program
# starts; on Windows it stays with everything else.
PAPER_FIELDS = {"dmPaperSize", "dmPaperLength", "dmPaperWidth", "dmFormName"}


def landscape_copy(source, path):
    """Writes the captured file at source to path with only its orientation
    changed to landscape."""
    with open(source, "rb") as f:
        data = bytearray(f.read())
    data[RECORD_START + ORIENTATION:RECORD_START + ORIENTATION + 2] = struct.pack("<h", DMORIENT_LANDSCAPE)
    with open(path, "wb") as f:
        f.write(bytes(data))


def tool_path(name):
    """A console tool of the same build as the program under test."""
    return os.path.join(os.path.dirname(program_path()), "tools", name, name + ".exe")


class SettingsTestCase(OpenTestCase):
    # Wine keeps a printer's defaults in the prefix's registry, where they
    # would outlast the test: each class has a prefix of its own.
    private_prefix = True

    def setUp(self):
        super().setUp()
        if "win32" in os.path.normpath(program_path()).split(os.sep):
            skip_unless_32bit_runs(self)

    def settings(self, *args):
        """(exit code, stdout, stderr) of ikwdev-settings with these arguments."""
        return self.session.run([tool_path("ikwdev-settings")] + list(args), TIMEOUT)

    def settings_json(self, *args):
        code, out, err = self.settings(*(args + ("--json",)))
        try:
            return code, json.loads(out), err
        except ValueError:
            self.fail("no JSON from ikwdev-settings %s (exit %d): %r %r" % (args, code, out, err))

    def diff(self, a, b):
        """ikwdev-inspect --diff --json of two files: (exit code, differences)."""
        code, out, err = self.session.run(
            [tool_path("ikwdev-inspect"), "--diff", "--json", windows_path(a), windows_path(b)], TIMEOUT)
        self.assertIn(code, (0, 1), err)
        return code, json.loads(out)["differences"]

    def capture(self, printer, path):
        code, result, err = self.settings_json("capture", printer, windows_path(path))
        self.assertEqual(code, 0, err)
        self.assertTrue(result["written"], result)
        with open(path, "rb") as f:
            return f.read()


    def save_office_landscape_a4(self, path):
        """Saves Office_Laser in landscape on A4 from tray 2; returns the
        source the dialog showed first."""
        dialog = self.open_setup_dialog([OFFICE, LABEL], default=OFFICE)
        self.assertFalse(self.driver.checked(dialog, LANDSCAPE))
        self.assertNotEqual(self.driver.combo(dialog, PAPER_COMBO).selected_text, "A4")
        first_source = self.driver.combo(dialog, SOURCE_COMBO).selected_text
        self.assertNotEqual(first_source, "Tray 2")
        self.assertTrue(self.driver.select(dialog, PAPER_COMBO, "A4"))
        self.assertTrue(self.driver.select(dialog, SOURCE_COMBO, "Tray 2"))
        self.driver.click(dialog, LANDSCAPE)
        save_to(self.driver, dialog, path)
        self.close_program(dialog)
        return first_source


class CaptureTest(SettingsTestCase):

    def test_a_capture_is_the_untouched_dialogs_save_byte_for_byte(self):
        # Label.Printer has a dot in its name, the long name a tail.
        long_name = "Capture_" + "x" * 40
        for printer in (OFFICE, LABEL, long_name):
            with self.subTest(printer=printer):
                saved_path = self.path(printer + "-saved.dev")
                dialog = self.open_setup_dialog([OFFICE, LABEL, long_name], default=printer)
                save_to(self.driver, dialog, saved_path)
                self.close_program(dialog)
                with open(saved_path, "rb") as f:
                    saved = f.read()
                captured = self.capture(printer, self.path(printer + "-captured.dev"))
                self.assertEqual(without_name_slack(captured).hex(), without_name_slack(saved).hex())

    def test_capture_all_writes_one_file_a_printer_and_numbers_names_that_meet(self):
        # Label.Printer and Label both suggest "Label".
        printers = [OFFICE, LABEL, "Label"]
        self.use_printers(printers, default=OFFICE)
        folder = self.path("all")
        code, result, err = self.settings_json("capture", "--all", windows_path(folder))
        self.assertEqual(code, 0, err)
        self.assertEqual((result["written"], result["failed"]), (3, 0))
        written = {os.path.basename(p["file"].replace("\\", "/")): p["printer"] for p in result["printers"]}
        self.assertEqual(sorted(written), ["Label (2).dev", "Label.dev", "Office_Laser.dev"])
        self.assertEqual(sorted(written.values()), sorted(printers))
        for name, printer in written.items():
            with self.subTest(file=name):
                captured = self.capture(printer, self.path("one.dev"))
                with open(os.path.join(folder, name), "rb") as f:
                    self.assertEqual(without_name_slack(f.read()), without_name_slack(captured))

        # In a folder whose path leaves room for 13 characters of a name,
        # "Label (2).dev" is written and "Office_Laser.dev" is refused alone,
        # with its reason, and the run ends with 1.
        deep = self.path("d")
        deep += "x" * (245 - len(windows_path(deep)))
        code, out, err = self.settings("capture", "--all", windows_path(deep))
        self.assertEqual(code, 1, out + err)
        self.assertIn("not written: \"Office_Laser\"", out)
        self.assertIn("path too long", err)
        self.assertIn("2 of 3 printers captured", out)
        self.assertEqual(sorted(os.listdir(deep)), ["Label (2).dev", "Label.dev"])


class CaptureRefusalTest(SettingsTestCase):
    """capture writes only a file on a disk: what else stands at the path, or
    a file another program holds, is left as it was, with nothing beside it,
    and the run ends with 1."""
    # A refused capture changes nothing Wine keeps in the prefix.
    private_prefix = False

    def test_a_folder_a_device_name_and_a_held_file_are_refused_and_left_as_they_were(self):
        self.use_printers([OFFICE], default=OFFICE)
        folder, held = self.put_unreplaceable_targets()

        # The full path Windows makes of a device name is the device's.
        cases = [(folder, windows_path(folder), REASON_TARGET_FOLDER),
                 (self.path("NUL.x.dev"), "\\\\.\\NUL", REASON_TARGET_DEVICE),
                 (self.path("COM1.x.dev"), "\\\\.\\COM1", REASON_TARGET_DEVICE),
                 (held, windows_path(held), REASON_TARGET_IN_USE)]
        for path, shown, reason in cases:
            with self.subTest(path=path):
                code, out, err = self.settings("capture", OFFICE, windows_path(path))
                self.assertEqual(code, 1, out + err)
                self.assertTrue(out.startswith("not written: "), out)
                self.assertIn(OPEN_ERROR + shown + "\n" + reason, err.replace("\r\n", "\n"))
                self.assertEqual(self.files_saved(), ["held.dev", os.path.join("office.dev", "inside.txt")])
        self.assert_unreplaceable_targets_kept(folder, held)


class ApplyTest(SettingsTestCase):

    def assert_only_the_paper_did_not_take_effect(self, not_taken):
        fields = {d["field"] for d in not_taken}
        self.assertIn("dmPaperSize", fields)
        self.assertLessEqual(fields, PAPER_FIELDS)

    def assert_next_dialog_shows(self, landscape, source):
        self.start_program()
        dialog = self.wait_for_setup_dialog()
        self.assertEqual(self.driver.combo(dialog, PRINTER_COMBO).selected_text, OFFICE)
        self.assertEqual(self.driver.checked(dialog, LANDSCAPE), landscape, "landscape")
        self.assertEqual(self.driver.combo(dialog, SOURCE_COMBO).selected_text, source)
        self.close_program(dialog)

    def test_apply_makes_the_files_settings_the_printers_and_dry_run_changes_nothing(self):
        path = self.path("office.dev")
        first_source = self.save_office_landscape_a4(path)
        before = self.capture(OFFICE, self.path("before.dev"))
        _, fields = self.diff(self.path("before.dev"), path)
        self.assertIn("dmOrientation", [d["field"] for d in fields])

        code, result, err = self.settings_json("apply", "--dry-run", windows_path(path))
        self.assertEqual(code, 0, err)
        self.assertEqual(result["printer"], OFFICE)
        self.assertFalse(result["applied"])
        self.assertEqual([d["field"] for d in result["changes"]], [d["field"] for d in fields])
        self.assertEqual(self.capture(OFFICE, self.path("after-dry-run.dev")), before)
        self.assert_next_dialog_shows(landscape=False, source=first_source)

        # The paper does not last past this process under Wine (see
        # PAPER_FIELDS): apply reads back from a new process and names it.
        code, result, err = self.settings_json("apply", windows_path(path))
        self.addCleanup(self.settings, "apply", windows_path(self.path("before.dev")))
        self.assertEqual(code, 1, err)
        self.assertFalse(result["applied"])
        self.assertEqual(result["notKept"], [])
        self.assert_only_the_paper_did_not_take_effect(result["notTakenEffect"])
        self.assertIn("some settings did not take effect", err)
        self.assert_next_dialog_shows(landscape=True, source="Tray 2")
        self.capture(OFFICE, self.path("after.dev"))
        _, fields = self.diff(path, self.path("after.dev"))
        self.assertLessEqual({d["field"] for d in fields}, PAPER_FIELDS)
        self.assert_default_printer_is(OFFICE)

    def test_apply_to_another_printer_for_this_user_and_for_every_user(self):
        path = self.path("office.dev")
        self.save_office_landscape_a4(path)
        self.capture(LABEL, self.path("label-before.dev"))
        self.addCleanup(self.settings, "apply", windows_path(self.path("label-before.dev")))
        for scope in ([], ["--all-users"]):
            with self.subTest(scope=scope):
                code, result, err = self.settings_json("apply", "--printer", LABEL, windows_path(path), *scope)
                self.assertEqual(code, 1, err)
                self.assert_only_the_paper_did_not_take_effect(result["notTakenEffect"])
                self.capture(LABEL, self.path("label.dev"))
                _, fields = self.diff(path, self.path("label.dev"))
                self.assertLessEqual({d["field"] for d in fields},
                                     PAPER_FIELDS | {"dmDeviceName", "FullDeviceName"})
        self.assert_default_printer_is(OFFICE)

    def test_what_cannot_be_applied_is_refused_with_a_reason(self):
        path = self.path("office.dev")
        self.save_office_landscape_a4(path)
        with open(self.path("short.dev"), "wb") as f:
            f.write(b"\x10\0\0\0")
        cases = [
            (["apply", "--printer", "No_Such_Printer", windows_path(path)], 1, "printer not installed"),
            (["apply", windows_path(self.path("short.dev"))], 1, "not a device info file"),
            (["capture", "No_Such_Printer", windows_path(self.path("x.dev"))], 1, "printer not installed"),
            (["apply"], 2, "usage:"),
            (["apply", "--all", windows_path(path)], 2, "unknown option"),
            (["remove", windows_path(path)], 2, "unknown command"),
        ]
        for args, status, message in cases:
            with self.subTest(args=args):
                code, _, err = self.settings(*args)
                self.assertEqual(code, status, err)
                self.assertIn(message, err)
        self.assertFalse(os.path.exists(self.path("x.dev")))


class CheckTest(SettingsTestCase):
    """check answers as a compliance rule's detection wants it; apply proves
    itself by a read-back; reset and the two kinds of defaults as far as
    Wine, which keeps one record for both, can show them."""

    def check(self, *args):
        """(exit code, stdout lines, stderr) of ikwdev-settings check."""
        code, out, err = self.settings("check", *args)
        lines = out.replace("\r\n", "\n").splitlines()
        self.assertTrue(lines, "no output from check %s (exit %d): %r" % (args, code, err))
        self.assertLess(len(lines[-1].encode("utf-8")), 2048)
        return code, lines, err

    def test_check_matches_a_capture_and_names_what_an_apply_changed(self):
        self.use_printers([OFFICE, LABEL], default=OFFICE)
        before = self.path("before.dev")
        self.capture(OFFICE, before)
        self.addCleanup(self.settings, "apply", windows_path(before))
        code, lines, err = self.check(windows_path(before))
        self.assertEqual(code, 0, lines + [err])
        self.assertTrue(lines[-1].startswith("matches: \"%s\"" % OFFICE), lines)

        landscape = self.path("landscape.dev")
        landscape_copy(before, landscape)
        code, out, err = self.settings("apply", windows_path(landscape))
        self.assertEqual(code, 0, out + err)
        self.assertIn("read back unchanged", out)

        code, lines, err = self.check(windows_path(before))
        self.assertEqual(code, 1, lines + [err])
        self.assertTrue(lines[-1].startswith("differs: 1 setting of \"%s\"" % OFFICE), lines)
        self.assertTrue(lines[-1].endswith(": orientation"), lines)
        self.assertIn("  orientation (dmOrientation): 2 (landscape) -> 1 (portrait)", lines)
        self.assertNotIn("ikwdev-settings", err)
        code, lines, err = self.check(windows_path(landscape))
        self.assertEqual(code, 0, lines + [err])

        # Wine keeps one record for both levels: the printer's printing
        # defaults are this user's printing preferences too.
        code, result, err = self.settings_json("check", "--all-users", windows_path(landscape))
        self.assertEqual((code, result["matches"], result["compared"]), (0, True, "printer-defaults"), err)
        self.assertTrue(result["userPreferences"])
        self.assert_default_printer_is(OFFICE)

    def test_a_paper_that_the_driver_puts_back_does_not_take_effect(self):
        # Wine's PostScript driver puts the PPD's page size over the stored
        # paper when a process first uses the printer: apply reads back as a
        # new program does and names the paper; check, a new process, names
        # it too, and nothing else.
        path = self.path("office-a4.dev")
        self.save_office_landscape_a4(path)
        self.capture(OFFICE, self.path("before.dev"))
        self.addCleanup(self.settings, "apply", windows_path(self.path("before.dev")))
        code, out, err = self.settings("apply", windows_path(path))
        self.assertEqual(code, 1, out + err)
        self.assertIn("did not take effect on \"%s\" (this user's printing preferences; set -> read back):" % OFFICE,
                      out)
        self.assertIn("  paper size (dmPaperSize): 9", out)
        self.assertTrue(out.startswith("not applied: 4 settings of "), out)
        self.assertRegex(err, r"some settings did not take effect \(Office_Laser\) :.*: paper size")
        code, lines, err = self.check(windows_path(path))
        self.assertEqual(code, 1, lines + [err])
        self.assertIn(": paper size, ", lines[-1])
        self.assertNotIn("orientation", lines[-1])

    def test_what_cannot_be_checked_or_reset_says_why_and_changes_nothing(self):
        self.use_printers([OFFICE, LABEL], default=OFFICE)
        before = self.path("before.dev")
        self.capture(OFFICE, before)
        code, lines, err = self.check(windows_path(self.path("missing.dev")))
        self.assertEqual(code, 2, lines)
        self.assertTrue(lines[-1].startswith("not checked: open error :"), lines)
        self.assertIn("open error :", err)
        code, lines, err = self.check("--printer", "No_Such_Printer", windows_path(before))
        self.assertEqual(code, 2, lines)
        self.assertIn("printer not installed", err)

        # Wine cannot let a user go back to the printer's printing defaults:
        # it refuses level 9 without a record, and reset says so and changes
        # nothing.
        code, out, err = self.settings("reset", OFFICE)
        self.assertEqual(code, 1, out + err)
        self.assertIn("the spooler refused to remove this user's printing preferences", err)
        code, lines, err = self.check(windows_path(before))
        self.assertEqual(code, 0, lines + [err])


class DeploymentScriptTest(SettingsTestCase):
    """The example scripts of the deployment page, run by Wine's cmd as a
    logon script and a compliance rule would run them."""

    EXAMPLES = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))),
                            "docs", "examples")

    def script(self, name, settings_file):
        """(exit code, stdout lines) of the example script, pointed at this
        build's tool and the settings file."""
        saved = self.session.env
        self.session.env = dict(saved, IKWDEV_TOOL=windows_path(tool_path("ikwdev-settings")),
                                IKWDEV_SETTINGS=windows_path(settings_file))
        try:
            code, out, err = self.session.run(["cmd", "/c", windows_path(os.path.join(self.EXAMPLES, name))],
                                              TIMEOUT)
        finally:
            self.session.env = saved
        lines = out.replace("\r\n", "\n").splitlines()
        self.assertTrue(lines, "no output from %s (exit %d): %r" % (name, code, err))
        return code, lines

    def test_detection_remediation_and_the_logon_script(self):
        self.use_printers([OFFICE, LABEL], default=OFFICE)
        before = self.path("before.dev")
        self.capture(OFFICE, before)
        self.addCleanup(self.settings, "apply", windows_path(before))
        landscape = self.path("landscape.dev")
        landscape_copy(before, landscape)

        code, lines = self.script("detect-printer-settings.cmd", landscape)
        self.assertEqual(code, 1, lines)
        self.assertTrue(lines[-1].startswith("differs: "), lines)
        code, lines = self.script("remediate-printer-settings.cmd", landscape)
        self.assertEqual(code, 0, lines)
        self.assertTrue(lines[-1].startswith("applied: "), lines)
        code, lines = self.script("detect-printer-settings.cmd", landscape)
        self.assertEqual(code, 0, lines)
        self.assertTrue(lines[-1].startswith("matches: "), lines)

        # The logon script applies the file only when the printer differs.
        code, lines = self.script("logon-printer-settings.cmd", before)
        self.assertEqual(code, 0, lines)
        self.assertTrue(lines[-1].startswith("applied: "), lines)
        code, lines = self.script("logon-printer-settings.cmd", before)
        self.assertEqual(code, 0, lines)
        self.assertEqual(len(lines), 1, lines)
        self.assertTrue(lines[-1].startswith("matches: "), lines)
        code, lines = self.script("logon-printer-settings.cmd", self.path("missing.dev"))
        self.assertEqual(code, 2, lines)
        self.assertTrue(lines[-1].startswith("not checked: "), lines)


if __name__ == "__main__":
    unittest.main()
