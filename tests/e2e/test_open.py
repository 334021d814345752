"""Opening a saved device info file end to end: IKWDev.exe FILE opens the
setup dialog on the file's printer with the file's orientation and paper,
names the file in its title, never touches the default printer, and saving
again without changes gives the same file. A file that cannot be used is
reported and the usual start follows; more than one argument gives the
usage and exit code 2."""

import struct
import unittest

from harness import LABEL, OFFICE, finish_save, open_save_dialog, save_to, windows_path
from file_cases import OpenTestCase
from device_info_files import (DEVICE_NAME, DM_DRIVER_EXTRA, ORIENTATION, RECORD_START, dev_file, dev_mode,
                               split_dev_file, u16, utf16, without_name_slack)
from ui import (FILE_SHORTER_THAN_HEADER, KEPT_ORIENTATION_AND_PAPER, LANDSCAPE, MESSAGE_TEXT, NOT_DEVICE_INFO,
                OPEN_ERROR, PAPER_COMBO, PORTRAIT, PRINTER_COMBO, PRINTER_NOT_INSTALLED, PRIVATE_RESET,
                SAVE_DIALOG_CANCEL, SAVE_DIALOG_FILE_NAME, SETUP_TITLE, SOURCE_COMBO, USAGE)


class OpenSavedFileTest(OpenTestCase):

    def test_a_saved_file_opens_as_it_was_saved_and_saves_again_to_the_same_bytes(self):
        # A space and a character outside ASCII: the name must reach the
        # program whole, as a double-click hands it over.
        path = self.path("B\u00fcro label.dev")
        self.save_label_landscape_a4(path)
        with open(path, "rb") as f:
            saved = f.read()

        self.start_program(args=[windows_path(path)])
        dialog = self.wait_for_setup_dialog()
        self.assertEqual(self.driver.text(dialog), SETUP_TITLE + " - B\u00fcro label.dev")
        self.assertEqual(self.driver.combo(dialog, PRINTER_COMBO).selected_text, LABEL)
        self.assertTrue(self.driver.checked(dialog, LANDSCAPE), "landscape is not shown")
        self.assertEqual(self.driver.combo(dialog, PAPER_COMBO).selected_text, "A4")
        self.assertEqual(self.driver.combo(dialog, SOURCE_COMBO).selected_text, "Tray 2")
        self.assert_default_printer_is(OFFICE)

        # Save suggests the opened file itself; the question confirms it.
        save_dialog = open_save_dialog(self.driver, dialog)
        self.assertEqual(self.driver.text(save_dialog, SAVE_DIALOG_FILE_NAME), "B\u00fcro label.dev")
        finish_save(self.driver, dialog, save_dialog, replace=True)
        with open(path, "rb") as f:
            again = f.read()
        self.assertEqual(without_name_slack(again).hex(), without_name_slack(saved).hex())

        # One change gives the file with just that change.
        self.driver.click(dialog, PORTRAIT)
        save_dialog = open_save_dialog(self.driver, dialog)
        finish_save(self.driver, dialog, save_dialog, replace=True)
        with open(path, "rb") as f:
            changed = bytearray(f.read())
        orientation = slice(RECORD_START + ORIENTATION, RECORD_START + ORIENTATION + 2)
        self.assertEqual(changed[orientation], b"\x01\x00", "portrait")
        changed[orientation] = saved[orientation]
        self.assertEqual(without_name_slack(bytes(changed)).hex(), without_name_slack(saved).hex())
        self.assertEqual(self.files_saved(), ["B\u00fcro label.dev"])

        self.close_program(dialog)
        self.assert_default_printer_is(OFFICE)


def renamed_record(data):
    """The file as another driver would have named the record, with the
    printer's name in the tail."""
    _, record, _ = split_dev_file(data)
    record = bytearray(record)
    record[DEVICE_NAME] = utf16("Label (older driver)").ljust(64, b"\0")
    return dev_file(bytes(record), LABEL)


def longer_private_part(data):
    """The file as a driver with 8 more private bytes would have saved it."""
    _, record, tail = split_dev_file(data)
    record = bytearray(record) + bytes(8)
    struct.pack_into("<H", record, DM_DRIVER_EXTRA, u16(record, DM_DRIVER_EXTRA) + 8)
    return dev_file(bytes(record)) + tail


class OtherDriverTest(OpenTestCase):

    def test_a_record_from_another_driver_says_what_was_reset_and_shows_what_could_be_kept(self):
        path = self.path("label.dev")
        self.save_label_landscape_a4(path)
        with open(path, "rb") as f:
            saved = f.read()
        has_private_part = u16(saved, RECORD_START + DM_DRIVER_EXTRA) > 0
        # Another printer's name: its private part is not this driver's,
        # whatever its size. A longer private part: another driver version.
        for change, reset in ((renamed_record, has_private_part), (longer_private_part, True)):
            with self.subTest(change=change.__name__):
                with open(path, "wb") as f:
                    f.write(change(saved))
                self.start_program(args=[windows_path(path)])
                if reset:
                    # Told before the settings show, and before a save can
                    # replace the file.
                    box = self.wait_for_message()
                    text = self.driver.text(box, MESSAGE_TEXT)
                    self.assertTrue(text.startswith(PRIVATE_RESET % (LABEL, windows_path(path))), text)
                    self.assertIn(KEPT_ORIENTATION_AND_PAPER, text)
                    self.driver.dismiss(box)
                dialog = self.wait_for_setup_dialog()
                self.assertEqual(self.driver.combo(dialog, PRINTER_COMBO).selected_text, LABEL)
                self.assertTrue(self.driver.checked(dialog, LANDSCAPE), "landscape is not shown")
                self.assertEqual(self.driver.combo(dialog, PAPER_COMBO).selected_text, "A4")
                self.assertEqual(self.driver.combo(dialog, SOURCE_COMBO).selected_text, "Tray 2")

                # The save writes the driver's record with those settings.
                save_dialog = open_save_dialog(self.driver, dialog)
                finish_save(self.driver, dialog, save_dialog, replace=True)
                record, _ = self.read_saved(path)
                self.assert_record_shows_the_dialog(record, dialog)
                self.close_program(dialog)
                self.assert_default_printer_is(OFFICE)


class TiedFileTest(OpenTestCase):

    def assert_suggests(self, dialog, name):
        save_dialog = open_save_dialog(self.driver, dialog)
        self.assertEqual(self.driver.text(save_dialog, SAVE_DIALOG_FILE_NAME), name)
        self.driver.press(save_dialog, SAVE_DIALOG_CANCEL)
        self.assertTrue(self.driver.wait_gone(save_dialog), "the save dialog stays open")
        self.driver.settle(dialog)

    def test_title_and_suggestion_follow_the_file_saved_and_leave_it_for_another_printer(self):
        path = self.path("label.dev")
        self.save_label_landscape_a4(path)
        self.start_program(args=[windows_path(path)])
        dialog = self.wait_for_setup_dialog()

        # Saved under another name: that file is the one open now.
        save_to(self.driver, dialog, self.path("copy.dev"))
        self.assertEqual(self.driver.text(dialog), SETUP_TITLE + " - copy.dev")
        self.assert_suggests(dialog, "copy.dev")

        # Another printer: the file holds Label's settings, not these.
        self.assertTrue(self.driver.select(dialog, PRINTER_COMBO, OFFICE))
        self.assertEqual(self.driver.text(dialog), SETUP_TITLE)
        self.assert_suggests(dialog, OFFICE)

        # Back on the file's printer, the file is named again.
        self.assertTrue(self.driver.select(dialog, PRINTER_COMBO, LABEL))
        self.assertEqual(self.driver.text(dialog), SETUP_TITLE + " - copy.dev")
        self.close_program(dialog)


# A file cut short: its header claims a record of 220 bytes, and 100 follow.
DAMAGED = b"\xdc\x00\x00\x00" + bytes(100)


class UnusableFileTest(OpenTestCase):

    def test_a_damaged_file_is_reported_then_the_usual_start_follows(self):
        path = self.path("damaged.dev")
        with open(path, "wb") as f:
            f.write(DAMAGED)
        self.use_printers([OFFICE, LABEL], default=OFFICE)
        self.start_program(args=[windows_path(path)])

        box = self.wait_for_message()
        self.assertEqual(self.driver.text(box, MESSAGE_TEXT),
                         NOT_DEVICE_INFO["en"] % (FILE_SHORTER_THAN_HEADER % (220, 224, 104), windows_path(path)))
        self.assert_usual_start_follows(box)

    def test_a_file_whose_printer_is_not_installed_is_reported_then_the_usual_start_follows(self):
        path = self.path("label.dev")
        self.save_label_landscape_a4(path)
        self.cups.remove_printer(LABEL)
        self.assertEqual(self.driver.default_printer(), OFFICE)

        self.start_program(args=[windows_path(path)])
        box = self.wait_for_message()
        self.assertEqual(self.driver.text(box, MESSAGE_TEXT),
                         PRINTER_NOT_INSTALLED["en"] % (LABEL, windows_path(path)))
        self.assert_usual_start_follows(box)

    def test_a_pipe_is_reported_like_any_unreadable_file_instead_of_read_for_ever(self):
        self.use_printers([OFFICE, LABEL], default=OFFICE)
        self.hold("hold-pipe", "ikwdev-e2e")

        pipe = "\\\\.\\pipe\\ikwdev-e2e"
        self.start_program(args=[pipe])
        box = self.wait_for_message()
        self.assertEqual(self.driver.text(box, MESSAGE_TEXT), OPEN_ERROR + pipe)
        self.assert_usual_start_follows(box)

    def test_more_than_one_argument_shows_the_usage_and_ends_with_exit_code_2(self):
        self.use_printers([OFFICE], default=OFFICE)
        self.start_program(args=["a.dev", "b.dev"])
        box = self.wait_for_message()
        self.assertEqual(self.driver.text(box, MESSAGE_TEXT), USAGE)
        self.driver.dismiss(box)
        self.assert_exits_with(2)
        self.assertIsNone(self.driver.wait_setup_dialog(timeout=2), "a setup dialog opened")
        self.assert_default_printer_is(OFFICE)


class JapaneseUnusableFileTest(OpenTestCase):
    """On a Japanese interface the messages about a file that cannot be used
    are Japanese; the decoder's reason stays as technical detail."""
    locale = "ja_JP.UTF-8"

    def assert_japanese_message_then_usual_start(self, path, expected):
        self.start_program(args=[windows_path(path)])
        box = self.wait_for_message()
        self.assertEqual(self.driver.text(box, MESSAGE_TEXT), expected)
        self.driver.dismiss(box)
        # The usual start: the default printer, and no file in the title
        # (the platform's own title is Japanese here).
        dialog = self.wait_for_setup_dialog()
        self.assertEqual(self.driver.combo(dialog, PRINTER_COMBO).selected_text, OFFICE)
        self.assertNotIn(".dev", self.driver.text(dialog))
        self.close_program(dialog)
        self.assert_default_printer_is(OFFICE)

    def test_a_damaged_file(self):
        path = self.path("damaged.dev")
        with open(path, "wb") as f:
            f.write(DAMAGED)
        self.use_printers([OFFICE], default=OFFICE)
        self.assert_japanese_message_then_usual_start(
            path, NOT_DEVICE_INFO["ja"] % (FILE_SHORTER_THAN_HEADER % (220, 224, 104), windows_path(path)))

    def test_a_file_whose_printer_is_not_installed(self):
        path = self.path("label.dev")
        with open(path, "wb") as f:
            f.write(dev_file(dev_mode(LABEL)))
        self.use_printers([OFFICE], default=OFFICE)
        self.assert_japanese_message_then_usual_start(
            path, PRINTER_NOT_INSTALLED["ja"] % (LABEL, windows_path(path)))


if __name__ == "__main__":
    unittest.main()
