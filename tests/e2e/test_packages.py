"""What scripts/package makes, read on the host: the zip holds exactly the
files a Windows user is promised, both programs in it are 32-bit, its text
files are in Windows line endings and speak of no source tree, the
checksums agree, and the help file holds each topic the program opens, in
English and Japanese, naming the buttons as the program captions them. And
the version rule that keeps one MSI entry per release."""

import os
import re
import struct
import subprocess
import tempfile
import unittest
import zipfile

from harness import ROOT, release_package


ZIP_FILES = ["IKWDev.exe", "ikwdev-inspect.exe", "ikwdev-settings.exe", "IKWDev.chm", "README.txt",
             "device-info-format.md"]
TEXT_FILES = ["README.txt", "device-info-format.md"]
PE_I386 = 0x14C
# The pages the program's Help opens, and the words each must hold: the
# buttons as the string table captions them, and how to open a file again.
TOPICS = {
    "en/setup_dialog.htm": ["<title>The printer setup dialog</title>", "<b>save</b>",
                            "<dt>close</dt>", 'IKWDev.exe "file.dev"', ".dev"],
    "ja/setup_dialog.htm": ["<title>プリンタの設定画面</title>", "<b>設定の保存</b>",
                            "<dt>設定の終了</dt>", 'IKWDev.exe "file.dev"', ".dev"],
}


def pe_machine(data):
    pe_offset = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe_offset:pe_offset + 4] == b"PE\0\0"
    return struct.unpack_from("<H", data, pe_offset + 4)[0]


class PackagesTest(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.zip_path = release_package("-win32.zip")
        cls.msi_path = release_package(".msi")
        # The zip's one folder: the zip's name without its end.
        cls.folder = os.path.basename(cls.zip_path)[:-len("-win32.zip")] + "/"

    def test_packages_are_named_after_the_version_and_checksummed(self):
        check = subprocess.run(["sha256sum", "--check", "--strict", "SHA256SUMS"],
                               cwd=os.path.dirname(self.zip_path), capture_output=True, text=True)
        self.assertEqual(check.returncode, 0, check.stdout + check.stderr)
        self.assertEqual(sorted(check.stdout.splitlines()), sorted(
            os.path.basename(p) + ": OK" for p in (self.zip_path, self.msi_path)))

    def test_zip_holds_exactly_the_listed_files_in_one_folder(self):
        folder = self.folder
        with zipfile.ZipFile(self.zip_path) as archive:
            names = [n for n in archive.namelist() if n != folder]
            self.assertEqual(sorted(names), sorted(folder + n for n in ZIP_FILES))
            for program in ("IKWDev.exe", "ikwdev-inspect.exe", "ikwdev-settings.exe"):
                with self.subTest(program=program):
                    self.assertEqual(pe_machine(archive.read(folder + program)), PE_I386,
                                     "not a 32-bit program")

    def test_text_files_suit_windows_users(self):
        # A path of the source tree, such as devinfo/ or build/<dir>/, means
        # nothing to someone who unpacked the zip.
        tree_folders = sorted(name for name in os.listdir(ROOT)
                              if os.path.isdir(os.path.join(ROOT, name)) and not name.startswith("."))
        source_path = re.compile(r"(?<![\w.-])(%s)/" % "|".join(map(re.escape, tree_folders)))
        with zipfile.ZipFile(self.zip_path) as archive:
            for name in TEXT_FILES:
                with self.subTest(file=name):
                    data = archive.read(self.folder + name)
                    self.assertIn(b"\r\n", data)
                    self.assertEqual(data.count(b"\n"), data.count(b"\r\n"),
                                     "a line ends in a bare line feed")
                    self.assertEqual(source_path.findall(data.decode("utf-8")), [],
                                     "names folders of the source tree")

    def test_help_file_holds_each_topic_in_both_languages(self):
        with tempfile.TemporaryDirectory() as work:
            chm = os.path.join(work, "IKWDev.chm")
            with zipfile.ZipFile(self.zip_path) as archive, open(chm, "wb") as f:
                f.write(archive.read(self.folder + "IKWDev.chm"))
            pages = os.path.join(work, "pages")
            subprocess.run(["extract_chmLib", chm, pages], check=True,
                           capture_output=True)
            for topic, words in TOPICS.items():
                with self.subTest(topic=topic):
                    path = os.path.join(pages, topic)
                    self.assertTrue(os.path.isfile(path), "no page " + topic)
                    with open(path, encoding="utf-8") as f:
                        text = f.read()
                    for word in words:
                        self.assertIn(word, text)
                    # Every page or style sheet a page links to is in the file.
                    for link in re.findall(r'href="([^"#:]+)"', text):
                        target = os.path.normpath(os.path.join(os.path.dirname(path), link))
                        self.assertTrue(os.path.isfile(target), "%s links to missing %s" % (topic, link))


class VersionRuleTest(unittest.TestCase):
    """Windows Installer compares only the first three numbers of a
    version, so the packaging refuses a fourth that is not 0: two releases
    apart only in it could neither replace each other nor stay one entry."""

    def test_msi_versions(self):
        cases = [("0.0.0.0", True), ("1.2.3.0", True), ("255.255.65535.0", True),
                 ("1.2.3.4", False), ("1.2.3", False), ("256.0.0.0", False),
                 ("1.256.0.0", False), ("1.2.65536.0", False), ("1.2.3.0x", False)]
        for version, accepted in cases:
            with self.subTest(version=version):
                check = subprocess.run([os.path.join(ROOT, "packaging", "make-msi"),
                                        "--check-version", version], capture_output=True, text=True)
                self.assertEqual(check.returncode == 0, accepted, check.stderr)
                if not accepted:
                    self.assertIn(version, check.stderr)


if __name__ == "__main__":
    unittest.main()
