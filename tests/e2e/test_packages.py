"""What scripts/package makes, read on the host: the zip holds exactly the
files a Windows user is promised, both programs in it are 32-bit, the
checksums agree, and the help file holds each topic the program opens, in
English and Japanese, naming the buttons as the program captions them."""

import os
import re
import struct
import subprocess
import tempfile
import unittest
import zipfile

from harness import release_package


ZIP_FILES = ["IKWDev.exe", "ikwdev-inspect.exe", "ikwdev-settings.exe", "IKWDev.chm", "README.txt",
             "device-info-format.md"]
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
            self.assertIn(b"\r\n", archive.read(folder + "README.txt"),
                          "the read-me is not in Windows line endings")

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


if __name__ == "__main__":
    unittest.main()
