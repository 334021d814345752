"""What scripts/package makes, read on the host: the zip holds exactly the
files a Windows user is promised, both programs in it are 32-bit, its text
files are in Windows line endings and speak of no source tree, the read-me
has a Japanese part Notepad reads, the checksums agree, and each language's
help file has its own title, contents and first page, holds each topic the
program opens, naming the buttons as the program captions them, quotes
every message of the string table, and has an index that leads to every
message and a full-text search that finds the pages' words. The MSI's
shortcut takes its description from the program's string table. And the
version rule that keeps one MSI entry per release."""

import html
import os
import re
import struct
import subprocess
import tempfile
import unittest
import zipfile

from harness import ROOT, release_package


ZIP_FILES = ["IKWDev.exe", "ikwdev-inspect.exe", "ikwdev-settings.exe", "IKWDev.chm", "IKWDev-ja.chm",
             "README.txt", "device-info-format.md"]
TEXT_FILES = ["README.txt", "device-info-format.md"]
PE_I386 = 0x14C
UTF8_BOM = b"\xef\xbb\xbf"
# Each language's help file: the language and code page it declares, its
# title and first page, its contents entries, and the pages the program's
# Help opens with the words each must hold (the buttons as the string table
# captions them, how to open a file again, where the inspector is).
HELP_FILES = {
    "IKWDev.chm": {
        "lcid": 0x0409, "codepage": "cp1252", "title": "IKWDev Help", "default": "en/setup_dialog.htm",
        "contents": ["The print setup dialog box", "Messages", "Looking into .dev files: ikwdev-inspect",
                     "Printer settings from a script: ikwdev-settings",
                     "Keeping printer settings the same on many computers"],
        "language": "LANG_ENGLISH", "messages": "en/messages.htm",
        "topics": {
            "en/setup_dialog.htm": ["<title>The print setup dialog box</title>", "<b>[save]</b>",
                                    "<dt>[close]</dt>", 'IKWDev.exe "file.dev"', ".dev", 'href="messages.htm"'],
            "en/inspector.htm": ["C:\\Program Files (x86)\\IKWDev", 'ikwdev-inspect "',
                                 'exit status 1 means "the files differ"', 'href="settings_tool.htm"'],
            "en/settings_tool.htm": ["capture --all", "Label (2).dev", "apply --dry-run", "check ", "reset PRINTER",
                                     "--all-users", "the right to manage the printer", "Exit status",
                                     "this user's printing preferences", "printing defaults (shared by every user)",
                                     "Under Wine", 'href="deployment.htm"'],
            "en/deployment.htm": ["logon-printer-settings.cmd", "detect-printer-settings.cmd",
                                  "remediate-printer-settings.cmd", "Under Wine"],
        },
    },
    "IKWDev-ja.chm": {
        "lcid": 0x0411, "codepage": "cp932", "title": "IKWDev ヘルプ", "default": "ja/setup_dialog.htm",
        "contents": ["[プリンターの設定] ダイアログ ボックス", "メッセージ", ".dev ファイルの中身を見る: ikwdev-inspect",
                     "スクリプトでプリンターの設定を扱う: ikwdev-settings", "多数のコンピューターでプリンターの設定をそろえる"],
        "language": "LANG_JAPANESE", "messages": "ja/messages.htm",
        "topics": {
            "ja/setup_dialog.htm": ["<title>[プリンターの設定] ダイアログ ボックス</title>", "<b>[設定の保存]</b>",
                                    "<dt>[設定の終了]</dt>", 'IKWDev.exe "file.dev"', ".dev", 'href="messages.htm"'],
            "ja/inspector.htm": ["C:\\Program Files (x86)\\IKWDev", 'ikwdev-inspect "',
                                 "終了コード 1 は失敗ではなく「ファイルが異なる」", 'href="settings_tool.htm"'],
            "ja/settings_tool.htm": ["capture --all", "Label (2).dev", "apply --dry-run", "check ", "reset PRINTER",
                                     "--all-users", "アクセス許可", "終了コード", "このユーザーの印刷設定",
                                     "プリンターの標準の設定 (全ユーザー共通)", "Wine での制限", 'href="deployment.htm"'],
            "ja/deployment.htm": ["logon-printer-settings.cmd", "detect-printer-settings.cmd",
                                  "remediate-printer-settings.cmd", "Wine での制限"],
        },
    },
}
# The string table's texts below this id are the dialog's own, not messages.
FIRST_MESSAGE_ID = 200


def string_table():
    """{language: {id: text}} of res/ikwdev.rc, "\\n" made a line break."""
    with open(os.path.join(ROOT, "res", "resource.h"), encoding="utf-8") as f:
        ids = {name: int(value) for name, value in re.findall(r"#define\s+(IDS_\w+)\s+(\d+)", f.read())}
    tables, language = {}, None
    with open(os.path.join(ROOT, "res", "ikwdev.rc"), encoding="utf-8") as f:
        for line in f:
            found = re.match(r"\s*LANGUAGE\s+(\w+)", line)
            if found:
                language = found.group(1)
            found = re.match(r'\s*(IDS_\w+)\s+"((?:[^"]|"")*)"\s*$', line)
            if found:
                text = found.group(2).replace('""', '"').replace("\\n", "\n")
                tables.setdefault(language, {})[ids[found.group(1)]] = text
    return ids, tables


def chm_system(data):
    """The #SYSTEM file's records of a compiled help file: {code: bytes}.
    Code 0 names the contents file, 2 the default topic, 3 the title, 4
    starts with the language (LCID)."""
    records, offset = {}, 4
    while offset + 4 <= len(data):
        code, length = struct.unpack_from("<HH", data, offset)
        records[code] = data[offset + 4:offset + 4 + length]
        offset += 4 + length
    return records


def full_text_words(data):
    """The words a compiled help file's full-text search ($FIftiMain) finds,
    in the order it keeps them. Its leaf nodes hold each word as the number
    of leading bytes it shares with the word before, then the rest."""
    def encint(offset):  # 7 bits a byte, most significant first
        value = 0
        while True:
            byte = data[offset]
            offset += 1
            value = (value << 7) | (byte & 0x7F)
            if not byte & 0x80:
                return value, offset
    node, = struct.unpack_from("<I", data, 0x08)
    depth, = struct.unpack_from("<H", data, 0x18)
    node_size, = struct.unpack_from("<I", data, 0x2E)
    for _ in range(depth - 1):  # down the first entry of each index node
        offset = node + 2
        offset += 1 + data[offset]
        node, = struct.unpack_from("<I", data, offset)
    words, previous = [], b""
    while True:
        next_leaf, = struct.unpack_from("<I", data, node)
        free, = struct.unpack_from("<H", data, node + 6)
        offset, end = node + 8, node + node_size - free
        while offset < end:
            length, shared = data[offset], data[offset + 1]
            word = previous[:shared] + data[offset + 2:offset + 1 + length]
            offset += 1 + length + 1  # the word, then whether it is in a title
            _, offset = encint(offset)  # how many topics hold it
            offset += 6  # where its locations are
            _, offset = encint(offset)
            words.append(word.decode("latin-1"))
            previous = word
        if not next_leaf:
            return words
        node = next_leaf


def page_text(markup):
    """A page's words as the viewer shows them, one space for each run of
    white space."""
    return " ".join(html.unescape(re.sub(r"<[^>]+>", " ", markup)).split())


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

    def test_read_me_has_a_japanese_part_notepad_reads(self):
        with zipfile.ZipFile(self.zip_path) as archive:
            data = archive.read(self.folder + "README.txt")
        # Without the mark, Notepad on a Japanese Windows before Windows 10
        # 1903 takes the file for Shift_JIS and shows the Japanese garbled.
        self.assertTrue(data.startswith(UTF8_BOM), "README.txt has no UTF-8 byte order mark")
        text = data.decode("utf-8-sig")
        english, _, japanese = text.partition("(日本語)")
        self.assertTrue(japanese, "README.txt has no Japanese part")
        # Both say how to unblock a downloaded zip's help files.
        self.assertIn("Unblock", english)
        self.assertIn("[許可する]", japanese)
        for name in ("IKWDev-ja.chm", "ikwdev-inspect"):
            self.assertIn(name, japanese)

    def extract_help_file(self, name, work):
        chm = os.path.join(work, name)
        with zipfile.ZipFile(self.zip_path) as archive, open(chm, "wb") as f:
            f.write(archive.read(self.folder + name))
        pages = os.path.join(work, name + ".pages")
        subprocess.run(["extract_chmLib", chm, pages], check=True, capture_output=True)
        return pages

    def test_each_language_has_a_help_file_of_its_own(self):
        for name, expected in HELP_FILES.items():
            with self.subTest(help_file=name), tempfile.TemporaryDirectory() as work:
                pages = self.extract_help_file(name, work)
                with open(os.path.join(pages, "#SYSTEM"), "rb") as f:
                    system = chm_system(f.read())
                # The viewer reads the title and contents in the code page
                # of the file's language.
                self.assertEqual(struct.unpack_from("<I", system[4])[0], expected["lcid"])
                codepage = expected["codepage"]
                self.assertEqual(system[3].rstrip(b"\0").decode(codepage), expected["title"])
                self.assertEqual(system[2].rstrip(b"\0").decode(codepage), expected["default"])
                with open(os.path.join(pages, system[0].rstrip(b"\0").decode()), "rb") as f:
                    contents = f.read().decode(codepage)
                self.assertEqual(re.findall(r'<param name="Name" value="([^"]*)">', contents),
                                 expected["contents"])
                listed = re.findall(r'<param name="Local" value="([^"]*)">', contents)
                for topic in listed:
                    self.assertTrue(os.path.isfile(os.path.join(pages, topic)), "no page " + topic)

                for topic, words in expected["topics"].items():
                    path = os.path.join(pages, topic)
                    self.assertTrue(os.path.isfile(path), "no page " + topic)
                    with open(path, encoding="utf-8") as f:
                        text = f.read()
                    for word in words:
                        self.assertIn(word, text, topic)
                # Every page or style sheet a page links to is in the file.
                for topic in listed:
                    with open(os.path.join(pages, topic), encoding="utf-8") as f:
                        links = re.findall(r'href="([^"#:]+)', f.read())
                    for link in links:
                        target = os.path.normpath(os.path.join(pages, os.path.dirname(topic), link))
                        self.assertTrue(os.path.isfile(target), "%s links to missing %s" % (topic, link))

    def test_each_help_file_has_an_index_and_full_text_search(self):
        # Users look a message up by the words in its box: the index leads
        # from those words to each message, and the search finds every word
        # of Latin letters and digits on the pages (chmcmd indexes no
        # Japanese words; the Japanese index carries those).
        for name, expected in HELP_FILES.items():
            with self.subTest(help_file=name), tempfile.TemporaryDirectory() as work:
                pages = self.extract_help_file(name, work)
                with open(os.path.join(pages, "#SYSTEM"), "rb") as f:
                    system = chm_system(f.read())
                self.assertIn(1, system, "no index file")
                with open(os.path.join(pages, system[1].rstrip(b"\0").decode()), "rb") as f:
                    index = f.read().decode(expected["codepage"])
                entries = re.findall(r'<param name="Name" value="([^"]+)">\s*<param name="Local" value="([^"]+)">',
                                     index)
                self.assertEqual(len(entries), index.count("<object"), "an index entry without one page")
                reached = set()
                for keyword, local in entries:
                    topic, _, anchor = local.partition("#")
                    path = os.path.join(pages, topic)
                    self.assertTrue(os.path.isfile(path), "%s leads to missing %s" % (keyword, topic))
                    with open(path, encoding="utf-8") as f:
                        self.assertIn('id="%s"' % anchor if anchor else "<h1>", f.read(),
                                      "%s leads to a missing heading %s" % (keyword, local))
                    reached.add(local)
                with open(os.path.join(pages, expected["messages"]), encoding="utf-8") as f:
                    messages = f.read()
                for anchor in re.findall(r'<h3 id="([^"]+)">', messages):
                    self.assertIn(expected["messages"] + "#" + anchor, reached,
                                  "the index leads to no message " + anchor)
                for topic in expected["topics"]:
                    self.assertTrue(any(local.startswith(topic) for local in reached), "not indexed: " + topic)

                # The LCID record's third number switches the search on.
                self.assertEqual(struct.unpack_from("<I", system[4], 8)[0], 1, "full-text search is off")
                with open(os.path.join(pages, "$FIftiMain"), "rb") as f:
                    searchable = set(full_text_words(f.read()))
                with open(os.path.join(pages, system[0].rstrip(b"\0").decode()), "rb") as f:
                    listed = re.findall(r'<param name="Local" value="([^"]*)">', f.read().decode(expected["codepage"]))
                for topic in listed:
                    with open(os.path.join(pages, topic), encoding="utf-8") as f:
                        text = page_text(f.read()).lower()
                    # "driver's" is found as "drivers".
                    words = {w.replace("'", "") for w in re.findall(r"[a-z0-9]+(?:'[a-z]+)?", text)}
                    self.assertEqual(words - searchable, set(), "words of %s the search does not find" % topic)

    def test_deployment_pages_show_the_example_scripts_as_they_are(self):
        examples = os.path.join(ROOT, "docs", "examples")
        scripts = sorted(name for name in os.listdir(examples) if name.endswith(".cmd"))
        self.assertEqual(len(scripts), 3, scripts)
        for name, expected in HELP_FILES.items():
            page = [topic for topic in expected["topics"] if topic.endswith("/deployment.htm")][0]
            with self.subTest(help_file=name), tempfile.TemporaryDirectory() as work:
                with open(os.path.join(self.extract_help_file(name, work), page), encoding="utf-8") as f:
                    shown = html.unescape(f.read())
                for script in scripts:
                    with open(os.path.join(examples, script), encoding="ascii", newline="") as f:
                        text = f.read()
                    self.assertTrue(text.endswith("\r\n"), script + " is not in Windows line ends")
                    shown_script = "<pre>%s\n%s</pre>" % (script, text.replace("\r\n", "\n").rstrip("\n"))
                    self.assertIn(shown_script, shown, script)

    def test_message_pages_quote_every_message_in_their_language(self):
        ids, tables = string_table()
        for name, expected in HELP_FILES.items():
            with self.subTest(help_file=name), tempfile.TemporaryDirectory() as work:
                pages = self.extract_help_file(name, work)
                with open(os.path.join(pages, expected["messages"]), encoding="utf-8") as f:
                    shown = page_text(f.read())
                self.assertIn("open error :", shown)
                texts = tables[expected["language"]]
                for string_id, text in sorted(texts.items()):
                    if string_id < FIRST_MESSAGE_ID or string_id == ids["IDS_SHORTCUT_DESCRIPTION"]:
                        continue
                    # What the program fills in (%1, %2) is shown apart.
                    for part in re.split(r"%\d|\n", text):
                        part = " ".join(part.split())
                        if part:
                            self.assertIn(part, shown, "string %d is not quoted as the program shows it"
                                          % string_id)

    def test_shortcut_description_comes_from_the_program_in_the_users_language(self):
        ids, tables = string_table()
        rows = {}
        for table in ("Shortcut", "File"):
            exported = subprocess.run(["msiinfo", "export", self.msi_path, table],
                                      capture_output=True, text=True)
            self.assertEqual(exported.returncode, 0, exported.stderr)
            # Column names, column types, the table's name and keys, rows.
            lines = exported.stdout.splitlines()
            columns = lines[0].split("\t")
            rows[table] = [dict(zip(columns, line.split("\t"))) for line in lines[3:]]
        [shortcut] = rows["Shortcut"]
        # Windows Installer 4.0 and later write the string reference into the
        # shortcut; earlier ones show the Description, the English text.
        self.assertEqual(shortcut["DescriptionResourceId"], str(ids["IDS_SHORTCUT_DESCRIPTION"]))
        [program] = [row for row in rows["File"] if row["FileName"] == "IKWDev.exe"]
        self.assertEqual(shortcut["DescriptionResourceDLL"], "[#%s]" % program["File"])
        self.assertEqual(shortcut["Description"], tables["LANG_ENGLISH"][ids["IDS_SHORTCUT_DESCRIPTION"]])


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
