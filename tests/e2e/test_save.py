"""Saving device settings end to end: the save button writes a .dev file of
exactly the record the dialog shows, with the full printer name after it
when the record had to cut the name short; the save dialog suggests a name,
asks before replacing a file, and a cancel or an unusable path writes
nothing. The Japanese file types of the save dialog are checked in
test_resources."""

import os
import time
import unittest

from harness import (LABEL, OFFICE, enter_save_path, finish_save, open_save_dialog, save_to,
                     windows_path)
from file_cases import SaveTestCase
from device_info_files import (DEFAULT_SOURCE, DEVICE_NAME, DMORIENT_LANDSCAPE, ORIENTATION, PAPER_SIZE,
                               i16, up_to_nul, utf16)
from ui import (DIALOG_CLASS, LANDSCAPE, MESSAGE_TEXT, NO, NO_SETTINGS, OPEN_ERROR, PAPER_COMBO,
                PRINTER_COMBO, PROGRAM_NAME, REASON_CANNOT_CREATE, REASON_NAME_TAKEN, REASON_TARGET_DANGLING_LINK,
                REASON_TARGET_FOLDER, REASON_TARGET_IN_USE, SAVE, SAVE_DIALOG_CANCEL, SAVE_DIALOG_FILE_NAME,
                SAVE_DIALOG_SAVE, SOURCE_COMBO, YES)

# Wine keeps a file's DOS attributes in this extended attribute, as Samba
# does, as a hexadecimal number.
DOS_ATTRIBUTES_XATTR = "user.DOSATTRIB"
FILE_ATTRIBUTE_HIDDEN = 0x2


def set_dos_attributes(path, attributes):
    os.setxattr(path, DOS_ATTRIBUTES_XATTR, b"0x%x" % attributes)


def dos_attributes(path):
    try:
        return int(os.getxattr(path, DOS_ATTRIBUTES_XATTR).rstrip(b"\0"), 16)
    except OSError:
        return 0


def sized_name(units, stem):
    """A printer name of exactly `units` characters that says so."""
    name = (stem + "_%d_units_" % units).ljust(units, "x")
    assert len(name) == units
    return name


class SavedRecordTest(SaveTestCase):

    def test_saves_the_default_printers_record_without_a_tail(self):
        dialog = self.open_setup_dialog([OFFICE, LABEL], default=OFFICE)

        save_to(self.driver, dialog, self.path("office.dev"))

        record, full_name = self.read_saved(self.path("office.dev"))
        self.assertIsNone(full_name, "a short name needs no tail")
        self.assertEqual(up_to_nul(record[DEVICE_NAME]), utf16(OFFICE))
        self.assert_record_shows_the_dialog(record, dialog)
        self.assertEqual(self.files_saved(), ["office.dev"])
        self.assert_dialog_stays_open(dialog)
        self.close_program(dialog)

    def test_saves_the_paper_orientation_source_and_printer_chosen_in_the_dialog(self):
        dialog = self.open_setup_dialog([OFFICE, LABEL], default=OFFICE)

        # A paper and an orientation chosen on the first printer.
        self.assertTrue(self.driver.select(dialog, PAPER_COMBO, "A4"))
        self.driver.click(dialog, LANDSCAPE)
        save_to(self.driver, dialog, self.path("office_a4.dev"))
        record, _ = self.read_saved(self.path("office_a4.dev"))
        self.assert_record_shows_the_dialog(record, dialog)
        self.assertEqual((i16(record, ORIENTATION), i16(record, PAPER_SIZE)),
                         (DMORIENT_LANDSCAPE, self.driver.paper_and_bins(OFFICE)["paper"]["A4"].number))

        # Another printer keeps the paper shown, and a source is chosen on it.
        self.assertTrue(self.driver.select(dialog, PRINTER_COMBO, LABEL))
        self.assertEqual(self.driver.combo(dialog, PAPER_COMBO).selected_text, "A4")
        self.assertTrue(self.driver.select(dialog, SOURCE_COMBO, "Tray 2"))
        save_to(self.driver, dialog, self.path("label_a4.dev"))
        record, full_name = self.read_saved(self.path("label_a4.dev"))
        self.assertIsNone(full_name)
        self.assertEqual(up_to_nul(record[DEVICE_NAME]), utf16(LABEL))
        self.assert_record_shows_the_dialog(record, dialog)
        self.assertEqual(i16(record, DEFAULT_SOURCE),
                         self.driver.paper_and_bins(LABEL)["bin"]["Tray 2"])
        self.close_program(dialog)


class SaveDialogTest(SaveTestCase):

    def test_saving_again_to_the_same_path_asks_first_then_replaces_the_file(self):
        dialog = self.open_setup_dialog([OFFICE], default=OFFICE)
        target = self.path("same.dev")
        save_to(self.driver, dialog, target)
        with open(target, "rb") as f:
            first = f.read()

        self.driver.click(dialog, LANDSCAPE)
        save_dialog = open_save_dialog(self.driver, dialog)
        enter_save_path(self.driver, save_dialog, target)
        self.driver.press(save_dialog, SAVE_DIALOG_SAVE)
        question = self.wait_for_question(save_dialog)
        self.driver.press(question, NO)
        self.assertTrue(self.driver.wait_gone(question), "the question stays open after No")
        self.assertIn(save_dialog, {w.handle for w in self.driver.windows() if w.visible},
                      "No closed the save dialog")
        with open(target, "rb") as f:
            self.assertEqual(f.read(), first, "No changed the file")

        finish_save(self.driver, dialog, save_dialog, replace=True)
        record, _ = self.read_saved(target)
        self.assertEqual(i16(record, ORIENTATION), DMORIENT_LANDSCAPE, "the file was not replaced")
        self.assert_record_shows_the_dialog(record, dialog)
        self.assertEqual(self.files_saved(), ["same.dev"])
        self.close_program(dialog)

    def wait_for_question(self, save_dialog):
        question = self.driver.wait_window(DIALOG_CLASS, owner=save_dialog, control=YES)
        self.assertIsNotNone(question, "the save dialog did not ask before replacing the file")
        buttons = {c.control_id for w in self.driver.windows() if w.handle == question
                   for c in w.children if c.class_name == "Button"}
        self.assertEqual(buttons, {YES, NO})
        return question

    def test_cancel_writes_nothing_and_a_missing_folder_is_reported_with_its_path(self):
        dialog = self.open_setup_dialog([OFFICE], default=OFFICE)

        save_dialog = open_save_dialog(self.driver, dialog)
        enter_save_path(self.driver, save_dialog, self.path("cancelled.dev"))
        self.driver.press(save_dialog, SAVE_DIALOG_CANCEL)
        self.assertTrue(self.driver.wait_gone(save_dialog), "Cancel left the save dialog open")
        self.driver.settle(dialog)
        self.assertEqual(self.files_saved(), [])
        self.assertEqual(self.boxes_owned_by(dialog), [], "Cancel was answered with a message")

        missing = self.path(os.path.join("missing", "settings.dev"))
        save_dialog = open_save_dialog(self.driver, dialog)
        enter_save_path(self.driver, save_dialog, missing)
        finish_save(self.driver, dialog, save_dialog)
        box = self.driver.wait_window(DIALOG_CLASS, owner=dialog, no_control=PRINTER_COMBO)
        self.assertIsNotNone(box, "no message about the missing folder")
        self.assertEqual(self.driver.text(box, MESSAGE_TEXT),
                         OPEN_ERROR + windows_path(missing) + "\n" + REASON_CANNOT_CREATE)
        self.assertEqual(self.driver.text(box), PROGRAM_NAME)
        self.driver.dismiss(box)
        self.assertTrue(self.driver.wait_gone(box))

        self.assert_dialog_stays_open(dialog)
        self.assertEqual(self.files_saved(), [], "a file was left behind")
        self.assertFalse(os.path.exists(os.path.dirname(missing)))
        # Still saves afterwards.
        save_to(self.driver, dialog, self.path("after.dev"))
        self.assertEqual(self.files_saved(), ["after.dev"])
        self.close_program(dialog)

    def boxes_owned_by(self, dialog):
        return [w.handle for w in self.driver.windows() if w.visible and w.owner == dialog]


class ReplacedFileTest(SaveTestCase):

    def test_a_replaced_file_keeps_its_attributes_and_a_link_its_target(self):
        dialog = self.open_setup_dialog([OFFICE], default=OFFICE)
        hidden = self.path("hidden.dev")
        with open(hidden, "wb") as f:
            f.write(b"old")
        set_dos_attributes(hidden, FILE_ATTRIBUTE_HIDDEN)
        shared_folder = self.path("shared")
        os.mkdir(shared_folder)
        shared = os.path.join(shared_folder, "office.dev")
        with open(shared, "wb") as f:
            f.write(b"old")
        link = self.path("link.dev")
        os.symlink(shared, link)

        save_to(self.driver, dialog, hidden, replace=True)
        save_to(self.driver, dialog, link, replace=True)

        for path in (hidden, shared):
            record, _ = self.read_saved(path)
            self.assert_record_shows_the_dialog(record, dialog)
        self.assertTrue(dos_attributes(hidden) & FILE_ATTRIBUTE_HIDDEN, "the file is no longer hidden")
        self.assertEqual(os.readlink(link), shared, "the link was replaced")
        self.assertEqual(sorted(os.listdir(self.folder)), ["hidden.dev", "link.dev", "shared"])
        self.assertEqual(os.listdir(shared_folder), ["office.dev"])
        self.close_program(dialog)


class UnreplaceableTargetTest(SaveTestCase):
    """What stands at the chosen path and is no file that may be replaced is
    left as it was, and the user is told why, with nothing left beside it."""

    def refused_save(self, dialog, typed, replace=True):
        """Saves to the typed path (confirming the replace when asked to) and
        returns the text of the message that follows, once it is closed."""
        save_to(self.driver, dialog, typed, replace=replace)
        box = self.driver.wait_window(DIALOG_CLASS, owner=dialog, no_control=PRINTER_COMBO)
        self.assertIsNotNone(box, "no message after saving to %s" % typed)
        text = self.driver.text(box, MESSAGE_TEXT)
        self.driver.dismiss(box)
        self.assertTrue(self.driver.wait_gone(box))
        return text

    def test_a_folder_a_held_file_and_a_link_to_nothing_are_left_as_they_were(self):
        dialog = self.open_setup_dialog([OFFICE], default=OFFICE)
        folder, held = self.put_unreplaceable_targets()
        link = self.path("link.dev")
        os.symlink(self.path("missing.dev"), link)

        # The save dialog adds ".dev" to "office" and asks whether to replace
        # what it found.
        cases = [(self.path("office"), folder, REASON_TARGET_FOLDER),
                 (held, held, REASON_TARGET_IN_USE)]
        for typed, shown, reason in cases:
            with self.subTest(path=shown):
                self.assertEqual(self.refused_save(dialog, typed),
                                 OPEN_ERROR + windows_path(shown) + "\n" + reason)
        # Wine shows a link to nothing as nothing: the save dialog does not
        # ask, and the program finds the link only as it puts the file there.
        self.assertIn(self.refused_save(dialog, link, replace=False),
                      [OPEN_ERROR + windows_path(link) + "\n" + reason
                       for reason in (REASON_TARGET_DANGLING_LINK, REASON_NAME_TAKEN)])

        self.assertEqual(self.files_saved(), ["held.dev", "link.dev", os.path.join("office.dev", "inside.txt")])
        self.assert_unreplaceable_targets_kept(folder, held)
        self.assertEqual(os.readlink(link), self.path("missing.dev"))
        self.assert_dialog_stays_open(dialog)
        self.close_program(dialog)


class OneSaveAtATimeTest(SaveTestCase):

    def test_a_save_command_while_the_save_dialog_is_open_does_nothing(self):
        dialog = self.open_setup_dialog([OFFICE], default=OFFICE)
        save_dialog = open_save_dialog(self.driver, dialog)

        # The setup dialog is disabled now, but automation tools still reach
        # it. A sent message is taken before a posted one: the second settle
        # returns only after the posted command has been handled.
        self.driver.press(dialog, SAVE)
        self.driver.settle(save_dialog)
        self.driver.settle(save_dialog)
        deadline = time.monotonic() + 3
        while time.monotonic() < deadline:
            save_dialogs = [w.handle for w in self.driver.windows()
                            if w.visible and w.owner == dialog
                            and any(c.control_id == SAVE_DIALOG_FILE_NAME for c in w.children)]
            self.assertEqual(save_dialogs, [save_dialog], "a second save dialog opened")
            time.sleep(0.5)

        enter_save_path(self.driver, save_dialog, self.path("office.dev"))
        finish_save(self.driver, dialog, save_dialog)
        record, _ = self.read_saved(self.path("office.dev"))
        self.assert_record_shows_the_dialog(record, dialog)
        self.assertEqual(self.files_saved(), ["office.dev"])
        self.close_program(dialog)


# Printer names and what their saves must show: the name the save dialog
# suggests (None: the whole name) and the name the driver's record holds. The
# file carries the full name exactly when the record's name differs from it.
# Wine's driver keeps at most 31 units and a NUL, and passes names through
# the ANSI code page (1252 under this locale), so other characters come out
# as "?": those names travel in the tail however short they are.
NAME_CASES = [
    (LABEL, "Label", LABEL),
    ("a.b.c", "a.b", "a.b.c"),
    ("B\u00fcro_Drucker.Etage_2", "B\u00fcro_Drucker", "B\u00fcro_Drucker.Etage_2"),
    ("\u7d4c\u7406\u90e8\u306e\u30d7\u30ea\u30f3\u30bf", None, "?" * 8),   # 経理部のプリンタ
    (sized_name(31, "Name"), None, sized_name(31, "Name")),
    (sized_name(32, "Name"), None, sized_name(32, "Name")[:31]),
    (sized_name(33, "Name"), None, sized_name(33, "Name")[:31]),
    # Cut between the two units of a character outside the BMP.
    ("Surrogate_pair_at_31_and_32_xx\U0001D11E", None, "Surrogate_pair_at_31_and_32_xx?"),
    # 33 characters of three UTF-8 bytes each.
    ("\u672c\u793e\u4e09\u968e" * 8 + "\u6771", None, "?" * 31),
    # The longest name Wine's driver gives settings for.
    ("L" * 99, None, "L" * 31),
]


class PrinterNameTest(SaveTestCase):

    def test_each_name_gets_its_suggestion_and_a_tail_only_when_the_record_differs(self):
        printers = [case[0] for case in NAME_CASES]
        dialog = self.open_setup_dialog(printers, default=printers[0])
        for number, (printer, suggestion, record_name) in enumerate(NAME_CASES):
            with self.subTest(printer=printer):
                self.assertTrue(self.driver.select(dialog, PRINTER_COMBO, printer),
                                "%r is not in the printer list" % printer)
                save_dialog = open_save_dialog(self.driver, dialog)
                self.assertEqual(self.driver.text(save_dialog, SAVE_DIALOG_FILE_NAME),
                                 printer if suggestion is None else suggestion, "suggestion")
                path = self.path("name%d.dev" % number)
                enter_save_path(self.driver, save_dialog, path)
                finish_save(self.driver, dialog, save_dialog)

                record, full_name = self.read_saved(path)
                self.assert_record_shows_the_dialog(record, dialog)
                self.assertEqual(up_to_nul(record[DEVICE_NAME]), utf16(record_name))
                self.assertEqual(full_name, printer if record_name != printer else None, "tail")
        self.close_program(dialog)

    def test_a_printer_the_driver_gives_no_settings_for_saves_nothing_and_says_so(self):
        # Wine's driver gives no settings for a name of 100 characters or
        # more, though CUPS takes up to 127 bytes. The last printer's
        # settings must not be saved in their place.
        without_settings = "N" * 100
        dialog = self.open_setup_dialog([OFFICE, without_settings], default=OFFICE)
        save_to(self.driver, dialog, self.path("office.dev"))

        self.assertTrue(self.driver.select(dialog, PRINTER_COMBO, without_settings))
        self.driver.press(dialog, SAVE)
        box = self.driver.wait_window(DIALOG_CLASS, owner=dialog, no_control=PRINTER_COMBO)
        self.assertIsNotNone(box, "save did nothing that the user could see")
        self.assertIsNone(self.driver.wait_window(DIALOG_CLASS, owner=dialog, control=SAVE_DIALOG_FILE_NAME,
                                                  timeout=0), "a save dialog opened")
        self.assertEqual(self.driver.text(box, MESSAGE_TEXT), NO_SETTINGS)
        self.driver.dismiss(box)
        self.assertTrue(self.driver.wait_gone(box))
        self.assertEqual(self.files_saved(), ["office.dev"])

        self.assertTrue(self.driver.select(dialog, PRINTER_COMBO, OFFICE))
        save_to(self.driver, dialog, self.path("office_again.dev"))
        record, _ = self.read_saved(self.path("office_again.dev"))
        self.assert_record_shows_the_dialog(record, dialog)
        self.close_program(dialog)


if __name__ == "__main__":
    unittest.main()
