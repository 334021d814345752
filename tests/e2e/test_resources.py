"""The resources as the running program shows them: the save and close
captions in English and in Japanese, and the window icon on the desktop."""

import os
import subprocess
import sys
import unittest

from harness import OFFICE, ROOT, ProgramTestCase, program_path
from ui import CLOSE, DIALOG_CLASS, SAVE, SAVE_DIALOG_CANCEL, SAVE_DIALOG_FILE_TYPES

sys.path.insert(0, os.path.join(ROOT, "res", "icon"))
import make_icon  # noqa: E402


def drawn_icon_pixels():
    """The icon of res/icon as the desktop gets it from Wine: one ARGB value
    per pixel, top row first, transparent pixels all zero."""
    with open(os.path.join(ROOT, "res", "icon", "app_icon.txt"), encoding="utf-8") as f:
        palette, index_of, rows = make_icon.read_map(f.read())
    pixels = []
    for row in rows:
        for char in row:
            if char == make_icon.TRANSPARENT:
                pixels.append(0)
            else:
                r, g, b = palette[index_of[char]]
                pixels.append(0xFF000000 | r << 16 | g << 8 | b)
    return pixels


class CaptionsTest(ProgramTestCase):

    def captions(self):
        self.use_printers([OFFICE], default=OFFICE)
        self.start_program()
        dialog = self.wait_for_setup_dialog()
        return dialog, (self.driver.text(dialog, SAVE), self.driver.text(dialog, CLOSE))


class EnglishInterfaceTest(CaptionsTest):

    def test_buttons_read_save_and_close(self):
        dialog, captions = self.captions()
        self.assertEqual(captions, ("save", "close"))
        self.driver.press(dialog, CLOSE)
        self.assert_exits_with(0)

    def test_the_desktop_shows_the_program_icon(self):
        # A WM_GETICON from another process gets nothing under Wine, so the
        # icon is read where the desktop reads it: the X window's
        # _NET_WM_ICON, which Wine fills from the dialog's WM_SETICON. A
        # print dialog that sets no icon gets Wine's default one there.
        self.use_printers([OFFICE], default=OFFICE)
        self.start_program()
        dialog = self.wait_for_setup_dialog()

        width, height, pixels = self.shown_icon()
        self.assertEqual((width, height), (32, 32))
        expected = drawn_icon_pixels()
        wrong = sum(1 for shown, drawn in zip(pixels, expected) if shown != drawn)
        self.assertEqual(wrong, 0, "%d of 1024 pixels differ from res/icon/app_icon.txt" % wrong)

        self.driver.press(dialog, CLOSE)
        self.assert_exits_with(0)

    def shown_icon(self):
        """(width, height, ARGB pixels) of the first image in the icon
        property of IKWDev's one mapped X window."""
        # Wine names each X window's class after the executable.
        program = '"%s"' % os.path.basename(program_path()).lower()
        windows = [w for w in self.x11_windows()
                   if program in w[1].lower() and self.x11_viewable(w[0])]
        self.assertEqual(len(windows), 1, "IKWDev's mapped X windows: %s" % windows)
        out = self.x11(["xprop", "-id", windows[0][0], "-f", "_NET_WM_ICON", "32c",
                        " = $0+\n", "_NET_WM_ICON"])
        self.assertIn(" = ", out, "the window has no _NET_WM_ICON: %s" % out.strip())
        values = [int(v) for v in out.split(" = ", 1)[1].replace(",", " ").split()]
        width, height = values[0], values[1]
        pixels = values[2:2 + width * height]
        self.assertEqual(len(pixels), width * height, "the icon property is cut short")
        return width, height, pixels

    def x11(self, argv):
        return subprocess.run(argv + ["-display", self.display.name], check=True,
                              capture_output=True, text=True, errors="replace",
                              stdin=subprocess.DEVNULL, timeout=60).stdout

    def x11_windows(self):
        """(id, rest of the line) of each window below the root window: the
        window manager puts the programs' windows into frames of its own."""
        found = []
        for line in self.x11(["xwininfo", "-root", "-tree"]).splitlines():
            fields = line.split(None, 1)
            if len(fields) == 2 and fields[0].startswith("0x"):
                found.append((fields[0], fields[1]))
        return found

    def x11_viewable(self, window):
        return "IsViewable" in self.x11(["xwininfo", "-id", window])


class JapaneseInterfaceTest(CaptionsTest):
    # Under Wine 8 the locale sets the interface language, and with it the
    # language LoadStringW picks; LANGUAGE alone changes nothing.
    locale = "ja_JP.UTF-8"

    def test_buttons_read_in_japanese(self):
        dialog, captions = self.captions()
        self.assertEqual(captions, (
            "\u8a2d\u5b9a\u306e\u4fdd\u5b58",   # 設定の保存
            "\u8a2d\u5b9a\u306e\u7d42\u4e86",   # 設定の終了
        ))
        self.driver.press(dialog, CLOSE)
        self.assert_exits_with(0)

    def test_save_dialog_offers_the_japanese_file_types(self):
        dialog, _ = self.captions()
        self.driver.press(dialog, SAVE)
        save_dialog = self.driver.wait_window(DIALOG_CLASS, owner=dialog,
                                              control=SAVE_DIALOG_FILE_TYPES)
        self.assertIsNotNone(save_dialog, "the save dialog did not appear")
        self.assertEqual(self.driver.combo(save_dialog, SAVE_DIALOG_FILE_TYPES).entries, [
            # ﾃﾞﾊﾞｲｽ情報ﾌｧｲﾙ(*.dev), in half-width katakana
            "\uff83\uff9e\uff8a\uff9e\uff72\uff7d\u60c5\u5831\uff8c\uff67\uff72\uff99(*.dev)",
            # 全てのﾌｧｲﾙ(*.*)
            "\u5168\u3066\u306e\uff8c\uff67\uff72\uff99(*.*)",
        ])
        self.driver.press(save_dialog, SAVE_DIALOG_CANCEL)
        self.assertTrue(self.driver.wait_gone(save_dialog), "the save dialog stays open")
        self.driver.press(dialog, CLOSE)
        self.assert_exits_with(0)


if __name__ == "__main__":
    unittest.main()
