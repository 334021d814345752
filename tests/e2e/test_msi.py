"""The MSI end to end, in a Wine prefix of its own: a silent install puts
the program into Program Files with a Start-menu shortcut and the .dev
association; the installed program starts, shows the setup dialog and finds
its help file, and a double-click on a saved file opens it in the program;
a silent uninstall takes all of it away again."""

import os
import shutil
import tempfile
import unittest

import sandbox
from harness import (CLOSE, HELP, PRINTER_COMBO, ProgramTestCase, release_package,
                     save_to, windows_path)

INSTALLED = ["IKWDev.exe", "IKWDev.chm", "ikwdev-inspect.exe", "ikwdev-settings.exe", "README.txt",
             "device-info-format.md"]
# A 32-bit package: 64-bit Windows puts it under "Program Files (x86)".
INSTALL_DIR = "C:\\Program Files (x86)\\IKWDev"
PROG_ID = "IKWDev.DeviceInfo"
INSTALL_TIMEOUT = 300


class MsiTest(ProgramTestCase):
    private_prefix = True

    def unix_path(self, windows):
        return os.path.join(self.prefix.path, "drive_c",
                            *windows.split("\\")[1:])

    def msiexec(self, action, msi):
        code, out, err = self.session.run(
            ["msiexec", action, windows_path(msi), "/qn"], timeout=INSTALL_TIMEOUT)
        self.assertEqual(code, 0, "msiexec %s: %s%s" % (action, out, err))

    def registry_default(self, key):
        """The default value of a key under HKEY_CLASSES_ROOT, as 64-bit
        programs such as Explorer see it; None when the key is missing."""
        code, out, _ = self.session.run(
            ["reg", "query", "HKCR\\" + key, "/ve"], timeout=60)
        if code != 0:
            return None
        for line in out.splitlines():
            if "REG_SZ" in line:
                return line.split("REG_SZ", 1)[1].strip()
        return ""

    def start_menu_shortcuts(self):
        """The IKWDev shortcuts in the Start menu's program folders. Windows
        puts a per-machine install's shortcut into the all-users folder;
        Wine 8's installer gives ProgramMenuFolder the user's folder even
        then, so both are looked in."""
        folders = ["C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"]
        folders += ["C:\\users\\%s\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"
                    % user for user in os.listdir(self.unix_path("C:\\users"))]
        return [path for path in (self.unix_path(f + "\\IKWDev.lnk") for f in folders)
                if os.path.isfile(path)]

    def check_installed_program_runs(self, exe):
        """The installed program starts, its Help finds the help file installed
        beside it, and a double-click on a saved file opens it."""
        self.use_printers(["Office_Laser"], default="Office_Laser")
        self.start_program(exe)
        dialog = self.wait_for_setup_dialog()
        self.driver.press(dialog, HELP)
        self.assertIsNotNone(self.driver.wait_window("HH Parent"),
                             "the installed program's Help opened no HTML Help viewer")
        folder_of_files = tempfile.mkdtemp(prefix="ikw-msi-")
        self.addCleanup(shutil.rmtree, folder_of_files, True)
        saved = os.path.join(folder_of_files, "office settings.dev")
        save_to(self.driver, dialog, saved)
        self.driver.press(dialog, CLOSE)
        self.assert_exits_with(0)

        # A double-click: the shell looks the file's type up and starts the
        # installed program with the file's path, quoted.
        self.session.start(["start", "/unix", saved],
                           os.path.join(folder_of_files, "start.log"))
        opened = self.wait_for_setup_dialog()
        self.assertTrue(self.driver.text(opened).endswith(" - office settings.dev"),
                        "the dialog's title names no file: %r" % self.driver.text(opened))
        self.assertEqual(self.driver.combo(opened, PRINTER_COMBO).selected_text, "Office_Laser")
        self.driver.press(opened, CLOSE)
        self.assertTrue(self.driver.wait_gone(opened), "the opened file's dialog stays open")

    def test_installs_silently_runs_and_uninstalls_without_a_trace(self):
        msi = release_package(".msi")
        self.assertTrue(os.path.isfile(msi), "no %s (scripts/package)" % msi)
        self.msiexec("/i", msi)

        folder = self.unix_path(INSTALL_DIR)
        self.assertEqual(sorted(os.listdir(folder)), sorted(INSTALLED))
        exe = INSTALL_DIR + "\\IKWDev.exe"
        shortcuts = self.start_menu_shortcuts()
        self.assertEqual(len(shortcuts), 1, "Start-menu shortcuts: %s" % shortcuts)
        with open(shortcuts[0], "rb") as f:
            self.assertIn(exe.encode(), f.read(), "the shortcut does not start the installed program")
        self.assertEqual(self.registry_default(".dev"), PROG_ID)
        self.assertEqual(self.registry_default(PROG_ID + "\\shell\\open\\command"),
                         '"%s" "%%1"' % exe)
        self.assertEqual(self.registry_default(PROG_ID + "\\DefaultIcon"), exe + ",0")

        # Where the machine runs 32-bit programs: the installed program runs,
        # and opens a saved file on a double-click. The install and the
        # uninstall need no 32-bit code and run everywhere.
        if sandbox.runs_32bit_natively():
            self.check_installed_program_runs(exe)
        else:
            print("\nthe installed program's run is " + sandbox.skip_line_32bit())

        self.msiexec("/x", msi)
        self.assertFalse(os.path.exists(folder), "files are left after uninstalling: %s"
                         % (os.listdir(folder) if os.path.isdir(folder) else folder))
        self.assertEqual(self.start_menu_shortcuts(), [], "the shortcut is left")
        self.assertIsNone(self.registry_default(".dev"), "the .dev association is left")
        self.assertIsNone(self.registry_default(PROG_ID), "the program's file type is left")


if __name__ == "__main__":
    unittest.main()
