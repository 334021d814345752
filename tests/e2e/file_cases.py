"""Base classes of the scenarios that save and open device info files:
SaveTestCase saves from the setup dialog into a folder of the test's own and
checks what was written against what the dialog shows; OpenTestCase adds a
first session that saves a file to open, and the message boxes of an open."""

import os
import shutil
import tempfile

import ui
from harness import LABEL, OFFICE, ProgramTestCase, save_to, windows_path
from device_info_files import (DEFAULT_SOURCE, DEVICE_NAME, DM_DRIVER_EXTRA, DMORIENT_LANDSCAPE,
                               DMORIENT_PORTRAIT, FORM_NAME, ORIENTATION, PAPER_LENGTH, PAPER_SIZE,
                               PAPER_WIDTH, RECORD_START, claimed_record_size, i16, split_dev_file,
                               split_tail, up_to_nul, utf16)

# What the print dialog's controls set; every other byte of a saved record
# is the driver's.
SET_BY_THE_DIALOG = [DEVICE_NAME, slice(ORIENTATION, PAPER_WIDTH + 2),
                     slice(DEFAULT_SOURCE, DEFAULT_SOURCE + 2), FORM_NAME]


class SaveTestCase(ProgramTestCase):

    def setUp(self):
        super().setUp()
        self.folder = tempfile.mkdtemp(prefix="ikw-save-")
        self.addCleanup(shutil.rmtree, self.folder, True)

    def open_setup_dialog(self, printers, default):
        self.use_printers(printers, default=default)
        self.start_program()
        return self.wait_for_setup_dialog()

    def path(self, name):
        return os.path.join(self.folder, name)

    def files_saved(self):
        """Every file under the test's folder, relative to it."""
        found = []
        for top, _, files in os.walk(self.folder):
            found += [os.path.relpath(os.path.join(top, f), self.folder) for f in files]
        return sorted(found)

    def put_unreplaceable_targets(self):
        """A folder office.dev holding a file, and a file held.dev that
        another program holds open: (folder, held)."""
        folder = self.path("office.dev")
        os.mkdir(folder)
        with open(os.path.join(folder, "inside.txt"), "wb") as f:
            f.write(b"kept")
        held = self.path("held.dev")
        with open(held, "wb") as f:
            f.write(b"old")
        self.hold("hold-file", windows_path(held))
        return folder, held

    def assert_unreplaceable_targets_kept(self, folder, held):
        for path, contents in ((os.path.join(folder, "inside.txt"), b"kept"), (held, b"old")):
            with open(path, "rb") as f:
                self.assertEqual(f.read(), contents, "%s changed" % path)

    def read_saved(self, path):
        """(record, full name or None) of a saved file, once its layout is
        checked: the size, then exactly that many record bytes, then either
        nothing or a size and a NUL-terminated name of exactly that size."""
        with open(path, "rb") as f:
            data = f.read()
        self.assertGreaterEqual(len(data), RECORD_START + DM_DRIVER_EXTRA + 2,
                                "too short to hold a record's size fields")
        size, record, tail = split_dev_file(data)
        self.assertEqual(size, claimed_record_size(record),
                         "the size field is not dmSize + dmDriverExtra")
        self.assertEqual(len(record), size, "the file ends inside the record")
        if not tail:
            return record, None
        name_size, name = split_tail(tail)
        self.assertEqual(len(name), name_size, "the full name's size disagrees with the file's length")
        self.assertEqual(name[-2:], b"\0\0", "the full name has no terminator")
        return record, name[:-2].decode("utf-16-le", "surrogatepass")

    def assert_record_shows_the_dialog(self, record, dialog):
        """The record is the driver's record of the printer the dialog shows,
        with the orientation, paper and source the dialog shows applied."""
        printer = self.driver.combo(dialog, ui.PRINTER_COMBO).selected_text
        driver_record = self.driver.device_settings(printer)
        offered = self.driver.paper_and_bins(printer)
        self.assertEqual(len(record), len(driver_record), "record size")

        # Past its terminator the name field holds whatever Wine left there.
        self.assertEqual(up_to_nul(record[DEVICE_NAME]), up_to_nul(driver_record[DEVICE_NAME]),
                         "the record is not %s's" % printer)

        landscape = self.driver.checked(dialog, ui.LANDSCAPE)
        self.assertEqual(i16(record, ORIENTATION),
                         DMORIENT_LANDSCAPE if landscape else DMORIENT_PORTRAIT, "orientation")

        paper_name = self.driver.combo(dialog, ui.PAPER_COMBO).selected_text
        paper = offered["paper"][paper_name]
        self.assertEqual(
            (i16(record, PAPER_SIZE), i16(record, PAPER_WIDTH), i16(record, PAPER_LENGTH),
             up_to_nul(record[FORM_NAME])),
            (paper.number, paper.width, paper.length, utf16(paper_name)),
            "paper number, width, length and form name of %s" % paper_name)

        # Wine's dialog shows its first source while the record still holds
        # the driver's own default, until a source or a printer is chosen.
        source_name = self.driver.combo(dialog, ui.SOURCE_COMBO).selected_text
        self.assertIn(i16(record, DEFAULT_SOURCE),
                      {offered["bin"][source_name], i16(driver_record, DEFAULT_SOURCE)},
                      "the source does not show %s" % source_name)

        def driver_part(data):
            data = bytearray(data)
            for field in SET_BY_THE_DIALOG:
                data[field] = bytes(field.stop - field.start)
            return bytes(data)
        self.assertEqual(driver_part(record).hex(), driver_part(driver_record).hex(),
                         "bytes the dialog does not set differ from the driver's record")

    def assert_dialog_stays_open(self, dialog):
        self.assertTrue(self.program.running(), "IKWDev.exe ended")
        self.assertIn(dialog, {w.handle for w in self.driver.windows() if w.visible},
                      "the setup dialog closed")

    def close_program(self, dialog):
        self.driver.press(dialog, ui.CLOSE)
        self.assert_exits_with(0)


class OpenTestCase(SaveTestCase):

    def save_label_landscape_a4(self, path):
        """The first session: Label.Printer, landscape, A4 from tray 2, saved
        to path, while Office_Laser stays the default printer. Each of these
        differs from what the dialog shows for the default printer."""
        dialog = self.open_setup_dialog([OFFICE, LABEL], default=OFFICE)
        self.assertTrue(self.driver.select(dialog, ui.PRINTER_COMBO, LABEL))
        self.assertTrue(self.driver.select(dialog, ui.PAPER_COMBO, "A4"))
        self.assertTrue(self.driver.select(dialog, ui.SOURCE_COMBO, "Tray 2"))
        self.driver.click(dialog, ui.LANDSCAPE)
        save_to(self.driver, dialog, path)
        self.close_program(dialog)

    def assert_default_printer_is(self, printer):
        self.assertEqual(self.driver.stored_default_printer(), printer, "Wine's default printer")
        self.assertEqual(self.cups.default(), printer, "CUPS' default printer")

    def wait_for_message(self):
        box = self.driver.wait_window(ui.DIALOG_CLASS, no_control=ui.PRINTER_COMBO)
        self.assertIsNotNone(box, "no message box appeared")
        self.assertEqual(self.driver.text(box), ui.PROGRAM_NAME)
        return box

    def assert_usual_start_follows(self, box):
        """The message is closed, then the dialog opens on the default
        printer with no file in its title."""
        self.driver.dismiss(box)
        dialog = self.wait_for_setup_dialog()
        self.assertEqual(self.driver.combo(dialog, ui.PRINTER_COMBO).selected_text, OFFICE)
        self.assertEqual(self.driver.text(dialog), ui.SETUP_TITLE)
        self.close_program(dialog)
        self.assert_default_printer_is(OFFICE)
