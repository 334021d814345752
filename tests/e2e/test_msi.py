"""The MSI end to end, in a Wine prefix of its own: a silent install puts
the program into Program Files with a Start-menu shortcut, the .dev file
type and one entry in Add/Remove Programs; a newer version replaces it; the
.dev association of another program survives both; the installed program
starts, finds its help file and opens a double-clicked file; a silent
uninstall takes all of it away again."""

import os
import re
import shutil
import subprocess
import tempfile
import unittest
import zipfile

from harness import (OFFICE, ROOT, ProgramTestCase, release_package, save_to, skip_unless_32bit_runs,
                     windows_path)
from ui import CLOSE, HELP, HTML_HELP_CLASS, PRINTER_COMBO

INSTALLED = ["IKWDev.exe", "IKWDev.chm", "IKWDev-ja.chm", "ikwdev-inspect.exe", "ikwdev-settings.exe",
             "README.txt", "device-info-format.md"]
# A 32-bit package: 64-bit Windows puts it under "Program Files (x86)".
INSTALL_DIR = "C:\\Program Files (x86)\\IKWDev"
EXE = INSTALL_DIR + "\\IKWDev.exe"
PROG_ID = "IKWDev.DeviceInfo"
# Another program's file type for .dev, there before IKWDev comes.
OTHER_PROG_ID = "OtherVendor.Device"
OTHER_COMMAND = '"C:\\Other\\other.exe" "%1"'
UNINSTALL_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
INSTALL_TIMEOUT = 300


def reg_query(session, key, view, *args):
    """reg query's lines for a key in the 64-bit or the 32-bit view, or None
    when the key is missing."""
    code, out, _ = session.run(["reg", "query", key, "/reg:%d" % view] + list(args), timeout=60)
    return out.replace("\r", "").splitlines() if code == 0 else None


def parse_values(lines):
    """{key: {value name: data}} from reg query's lines; "" names the
    default value."""
    found, key = {}, None
    for line in lines:
        if line.startswith("HKEY_"):
            key = found.setdefault(line, {})
        elif key is not None and "    REG_" in line:
            name, rest = line.strip().split("    REG_", 1)
            data = rest.split("    ", 1)[1] if "    " in rest else ""
            key["" if name == "(Default)" else name] = data
    return found


class MsiTest(ProgramTestCase):
    private_prefix = True

    def unix_path(self, windows):
        return os.path.join(self.prefix.path, "drive_c",
                            *windows.split("\\")[1:])

    def msiexec(self, action, msi, expected=(0,)):
        code, out, err = self.session.run(
            ["msiexec", action, windows_path(msi), "/qn"], timeout=INSTALL_TIMEOUT)
        self.assertIn(code, expected, "msiexec %s %s: %s%s"
                      % (action, os.path.basename(msi), out, err))

    def install(self, msi):
        self.msiexec("/i", msi)
        # A test that stops half-way leaves nothing installed for the next.
        self.addCleanup(self.session.run, ["msiexec", "/x", windows_path(msi), "/qn"],
                        timeout=INSTALL_TIMEOUT)

    def classes_value(self, key, name=""):
        """A value under HKEY_CLASSES_ROOT, None when it or its key is
        missing. Windows shares these keys between the 64-bit and the 32-bit
        view; Wine 8 keeps the views apart, and its installer writes a
        32-bit package's registry rows into the 32-bit one and the
        association tables' values into the 64-bit one, so both are read."""
        for view in (64, 32):
            lines = reg_query(self.session, "HKCR\\" + key, view, "/ve" if name == "" else "/v", *(
                [] if name == "" else [name]))
            if lines is not None:
                for values in parse_values(lines).values():
                    if name in values:
                        return values[name]
        return None

    def set_other_programs_association(self):
        """Makes .dev another program's file type, in both views, as Windows
        would show it, until the test ends."""
        for view in (64, 32):
            for key in (".dev", OTHER_PROG_ID):
                self.addCleanup(self.session.run, ["reg", "delete", "HKLM\\Software\\Classes\\" + key,
                                                   "/f", "/reg:%d" % view], timeout=60)
            for key, data in ((".dev", OTHER_PROG_ID),
                              (OTHER_PROG_ID + "\\shell\\open\\command", OTHER_COMMAND)):
                code, out, err = self.session.run(
                    ["reg", "add", "HKLM\\Software\\Classes\\" + key, "/ve", "/d", data, "/f",
                     "/reg:%d" % view], timeout=60)
                self.assertEqual(code, 0, out + err)

    def installed_products(self):
        """The IKWDev entries of Add/Remove Programs, in either view: a list
        of their values."""
        entries = []
        for view in (64, 32):
            lines = reg_query(self.session, UNINSTALL_KEY, view, "/s")
            for values in parse_values(lines or []).values():
                if values.get("DisplayName") == "IKWDev":
                    entries.append(values)
        return entries

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

    def assert_file_type_registered(self):
        """IKWDev's .dev file type, whoever has .dev's default: its name in
        the user's language from the program's string table, its icon, its
        open command, and its place in .dev's Open With list."""
        self.assertEqual(self.classes_value(PROG_ID, "FriendlyTypeName"), "@%s,-105" % EXE)
        self.assertEqual(self.classes_value(PROG_ID + "\\DefaultIcon"), EXE + ",0")
        self.assertEqual(self.classes_value(PROG_ID + "\\shell\\open\\command"), '"%s" "%%1"' % EXE)
        self.assertEqual(self.classes_value(".dev\\OpenWithProgids", PROG_ID), "",
                         "IKWDev is not in .dev's Open With list")

    def assert_nothing_left(self):
        folder = self.unix_path(INSTALL_DIR)
        self.assertFalse(os.path.exists(folder), "files are left after uninstalling: %s"
                         % (os.listdir(folder) if os.path.isdir(folder) else folder))
        self.assertEqual(self.start_menu_shortcuts(), [], "the shortcut is left")
        self.assertIsNone(self.classes_value(PROG_ID), "the program's file type is left")
        self.assertIsNone(self.classes_value(".dev\\OpenWithProgids", PROG_ID),
                          "IKWDev is left in .dev's Open With list")
        self.assertEqual(self.installed_products(), [], "Add/Remove Programs still lists IKWDev")

    def test_installs_silently_and_uninstalls_without_a_trace(self):
        msi = release_package(".msi")
        self.assertTrue(os.path.isfile(msi), "no %s (scripts/package)" % msi)
        self.install(msi)

        self.assertEqual(sorted(os.listdir(self.unix_path(INSTALL_DIR))), sorted(INSTALLED))
        shortcuts = self.start_menu_shortcuts()
        self.assertEqual(len(shortcuts), 1, "Start-menu shortcuts: %s" % shortcuts)
        with open(shortcuts[0], "rb") as f:
            self.assertIn(EXE.encode(), f.read(), "the shortcut does not start the installed program")
        # .dev had no program: it opens with IKWDev now.
        self.assertEqual(self.classes_value(".dev"), PROG_ID)
        self.assert_file_type_registered()
        # One entry, with Uninstall alone: the package has no interface to
        # modify or repair anything through, and no help address.
        products = self.installed_products()
        self.assertEqual(len(products), 1, products)
        self.assertEqual(products[0].get("NoModify"), "0x1")
        self.assertEqual(products[0].get("NoRepair"), "0x1")
        self.assertFalse(products[0].get("HelpLink"), "a help link without a public address")

        self.msiexec("/x", msi)
        self.assert_nothing_left()
        self.assertIsNone(self.classes_value(".dev"), "the .dev association is left")

    def test_another_programs_dev_association_is_kept(self):
        self.set_other_programs_association()
        msi = release_package(".msi")
        self.install(msi)
        self.assertEqual(self.classes_value(".dev"), OTHER_PROG_ID,
                         "the install took .dev from the program that had it")
        self.assert_file_type_registered()

        self.msiexec("/x", msi)
        self.assert_nothing_left()
        self.assertEqual(self.classes_value(".dev"), OTHER_PROG_ID,
                         "the uninstall took .dev from the program that had it")
        self.assertEqual(self.classes_value(OTHER_PROG_ID + "\\shell\\open\\command"), OTHER_COMMAND)

    def test_newer_version_replaces_the_installed_one(self):
        older = release_package(".msi")
        version = os.path.basename(older)[len("IKWDev-"):-len(".msi")]
        major, minor, patch, _ = (int(n) for n in version.split("."))
        newer_version = "%d.%d.%d.0" % (major, minor, patch + 1)
        # The same files with a read-me of their own, so that the test sees
        # whose files are installed.
        rebuilt = self.make_msi(version, "rebuilt at the same version")
        newer = self.make_msi(newer_version, "the newer release")

        self.install(older)
        # A rebuild of the installed version is the same product: it does
        # not install beside it. Windows refuses it (1638, another version
        # of the product is installed); Wine 8 takes it for the product
        # already there.
        self.msiexec("/i", rebuilt, expected=(0, 1638))
        self.assertEqual(len(self.installed_products()), 1)

        self.install(newer)
        products = self.installed_products()
        self.assertEqual([p.get("DisplayVersion") for p in products], [newer_version[:-len(".0")]],
                         "Add/Remove Programs after the upgrade")
        self.assertEqual(sorted(os.listdir(self.unix_path(INSTALL_DIR))), sorted(INSTALLED))
        with open(self.unix_path(INSTALL_DIR + "\\README.txt"), encoding="utf-8") as f:
            self.assertIn("the newer release", f.read(), "the older version's files are left")
        self.assertEqual(self.classes_value(".dev"), PROG_ID)
        self.assert_file_type_registered()

        self.msiexec("/x", newer)
        self.assert_nothing_left()

    def make_msi(self, version, marker):
        """An MSI of the released files at another version, made by
        packaging/make-msi as scripts/package makes it, with the marker
        added to its read-me."""
        work = tempfile.mkdtemp(prefix="ikw-msi-")
        self.addCleanup(shutil.rmtree, work, True)
        with zipfile.ZipFile(release_package("-win32.zip")) as archive:
            archive.extractall(work)
        payload = os.path.join(work, os.listdir(work)[0])
        with open(os.path.join(payload, "README.txt"), "a", encoding="utf-8") as f:
            f.write(marker + "\r\n")
        icon = os.path.join(work, "ikwdev.ico")
        subprocess.run(["python3", os.path.join(ROOT, "res", "icon", "make_icon.py"),
                        os.path.join(ROOT, "res", "icon", "app_icon.txt"), icon],
                       check=True, capture_output=True)
        msi = os.path.join(work, "IKWDev-%s-%s.msi" % (version, re.sub(r"\W+", "-", marker)))
        made = subprocess.run([os.path.join(ROOT, "packaging", "make-msi"), version, payload, icon, msi],
                              capture_output=True, text=True)
        self.assertEqual(made.returncode, 0, made.stderr)
        return msi

    def test_installed_program_runs_and_opens_a_double_clicked_file(self):
        skip_unless_32bit_runs(self)
        msi = release_package(".msi")
        self.install(msi)

        # The installed program runs, and its Help finds the help file
        # installed beside it.
        self.use_printers([OFFICE], default=OFFICE)
        self.start_program(EXE)
        dialog = self.wait_for_setup_dialog()
        self.driver.press(dialog, HELP)
        self.assertIsNotNone(self.driver.wait_window(HTML_HELP_CLASS),
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
        self.assertEqual(self.driver.combo(opened, PRINTER_COMBO).selected_text, OFFICE)
        self.driver.press(opened, CLOSE)
        self.assertTrue(self.driver.wait_gone(opened), "the opened file's dialog stays open")

        self.msiexec("/x", msi)
        self.assert_nothing_left()


if __name__ == "__main__":
    unittest.main()
