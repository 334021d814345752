"""Help end to end: the Help button opens the HTML Help viewer on the help
file of the interface language beside the executable, and the setup dialog
stays usable while it is open; without a help file the program asks the old
WinHelp viewer, as it always did. Under Wine the viewer renders no page
(the test prefix has no HTML engine), so what the pages say is checked in
test_packages."""

import os
import re
import shutil
import tempfile
import time
import unittest

from harness import (LABEL, OFFICE, WINDOW_TIMEOUT, ProgramTestCase, program_path, save_to,
                     windows_path)
from ui import CLOSE, HELP, HTML_HELP_CAPTION, HTML_HELP_CLASS, PRINTER_COMBO

PRINTERS = [OFFICE, LABEL]


class HelpTestCase(ProgramTestCase):

    def open_help(self, program=None):
        # Wine's viewer logs each call it takes on this channel.
        self.session.env["WINEDEBUG"] = "trace+htmlhelp"
        self.use_printers(PRINTERS, default=LABEL)
        self.start_program(program)
        dialog = self.wait_for_setup_dialog()
        self.driver.press(dialog, HELP)
        return dialog

    def wait_for_viewer(self):
        viewer = self.driver.wait_window(HTML_HELP_CLASS)
        self.assertIsNotNone(viewer, "Help opened no HTML Help viewer")
        return viewer

    def requested_topics(self):
        """What the program asked the viewer to show, as Wine logged it."""
        with open(self.program.log_path, encoding="utf-8", errors="replace") as f:
            found = re.findall(r'HtmlHelpW \([^,]*, L"([^"]*)", command=HH_DISPLAY_TOPIC', f.read())
        # The log doubles each backslash.
        return [topic.replace("\\\\", "\\") for topic in found]


class HelpTest(HelpTestCase):

    def test_help_opens_the_viewer_and_the_dialog_stays_usable(self):
        self.assertTrue(os.path.isfile(os.path.join(os.path.dirname(program_path()), "IKWDev.chm")),
                        "IKWDev.chm is not built beside IKWDev.exe (scripts/build)")
        dialog = self.open_help()

        viewer = self.wait_for_viewer()
        chm = windows_path(os.path.join(os.path.dirname(program_path()), "IKWDev.chm"))
        self.assertEqual(self.requested_topics(), [chm + "::/en/setup_dialog.htm"])
        [shown] = [w for w in self.driver.windows() if w.handle == viewer]
        self.assertEqual(shown.text, HTML_HELP_CAPTION)
        # Owned, so it stays above the dialog and goes with it.
        self.assertEqual(shown.owner, dialog)

        # The viewer is modeless: with it open the dialog takes another
        # printer and a whole save.
        self.assertTrue(self.driver.select(dialog, PRINTER_COMBO, OFFICE))
        self.assertEqual(self.driver.combo(dialog, PRINTER_COMBO).selected_text, OFFICE)
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "office.dev")
            save_to(self.driver, dialog, path)
            self.assertTrue(os.path.isfile(path), "the save wrote no file")

        # Help again while the viewer is open: still one viewer.
        self.driver.press(dialog, HELP)
        self.driver.settle(dialog)
        viewers = [w for w in self.driver.windows()
                   if w.visible and w.class_name == HTML_HELP_CLASS]
        self.assertEqual(len(viewers), 1, "a second Help opened another viewer")

        self.driver.press(dialog, CLOSE)
        self.assert_exits_with(0)

    def test_without_the_help_file_help_asks_winhelp_and_the_dialog_stays(self):
        folder = tempfile.mkdtemp(prefix="ikw-no-chm-")
        self.addCleanup(shutil.rmtree, folder, True)
        program = shutil.copy(program_path(), folder)
        dialog = self.open_help(program)

        # Under Wine, winhlp32 says in an unowned box of its own that the
        # .HLP file is missing; it is closed here.
        opened = self.dismiss_windows_other_than(dialog)
        self.assertTrue(opened, "Help opened no window")
        # WinHelp's window, not the program's "Unable to start" box.
        [program_pid] = {w.pid for w in self.driver.windows() if w.handle == dialog}
        self.assertEqual([w.text for w in opened if w.pid == program_pid], [],
                         "the program showed a window of its own instead of asking WinHelp")

        self.assertTrue(self.program.running(), "IKWDev.exe ended after Help")
        shown = {w.handle for w in self.driver.windows() if w.visible}
        self.assertIn(dialog, shown, "the setup dialog closed after Help")
        self.assertEqual(self.driver.combo(dialog, PRINTER_COMBO).selected_text, LABEL)

        self.driver.press(dialog, CLOSE)
        self.assert_exits_with(0)

    def dismiss_windows_other_than(self, dialog, quiet=2.0):
        """Closes every visible top-level window but the dialog as it shows
        up, until none has shown up for `quiet` seconds; returns them."""
        dismissed = []
        deadline = time.monotonic() + WINDOW_TIMEOUT
        last_seen = None
        while time.monotonic() < deadline:
            others = [w for w in self.driver.windows()
                      if w.visible and w.handle != dialog]
            for window in others:
                self.driver.dismiss(window.handle)
            dismissed += others
            if others:
                last_seen = time.monotonic()
                time.sleep(0.5)
            elif last_seen is not None and time.monotonic() - last_seen > quiet:
                break
            else:
                time.sleep(0.2)
        return dismissed


class JapaneseHelpTest(HelpTestCase):
    locale = "ja_JP.UTF-8"
    # The caption the Japanese help file gives the viewer.
    caption = "IKWDev ヘルプ"

    def test_help_opens_the_japanese_help_file_on_a_japanese_interface(self):
        dialog = self.open_help()
        viewer = self.wait_for_viewer()
        chm = windows_path(os.path.join(os.path.dirname(program_path()), "IKWDev-ja.chm"))
        self.assertEqual(self.requested_topics(), [chm + "::/ja/setup_dialog.htm"])
        # The caption is the Japanese file's own, read in its code page.
        [shown] = [w for w in self.driver.windows() if w.handle == viewer]
        self.assertEqual(shown.text, self.caption)
        self.driver.press(dialog, CLOSE)
        self.assert_exits_with(0)


if __name__ == "__main__":
    unittest.main()
