#!/usr/bin/env python3
"""Runs ikwdev-inspect --diff on pairs of hand-made .dev files: the settings
it names as different, in text and JSON, and its exit statuses.

usage: diff_test.py COMMAND...   (the inspector, after Wine for Windows builds)
"""

import json
import unittest

import inspect_test
from inspect_test import HOSTILE_UTF16, OFFICE, dev_file, record, run
from device_info_files import DM_COPIES, DM_FORMNAME, DM_ORIENTATION, DM_PAPERSIZE  # (inspect_test puts it on the path)

FIELDS = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_FORMNAME
LANDSCAPE_A4 = {76: 2, 78: 9, 86: 1}
OFFICE_UTF16 = OFFICE.encode("utf-16-le")


def office(shorts=LANDSCAPE_A4, extra=16, form="A4", private_byte=None, name_slack=b""):
    r = bytearray(record(OFFICE_UTF16, extra=extra, fields=FIELDS, shorts=shorts, form=form))
    if private_byte is not None:
        r[220] ^= private_byte
    # Bytes after the name's terminator: left there by the platform, no setting.
    r[len(OFFICE_UTF16) + 2:len(OFFICE_UTF16) + 2 + len(name_slack)] = name_slack
    return dev_file(bytes(r))


FILES = {
    "a.dev": office(),
    "same-but-slack.dev": office(name_slack=b"\x41\x00\x42\x00"),
    "portrait-letter.dev": office(shorts={76: 1, 78: 1, 86: 1}, form="Letter"),
    "two-copies.dev": office(shorts={76: 2, 78: 9, 86: 2}),
    "private-differs.dev": office(private_byte=0x5A),
    "private-longer.dev": office(extra=24),
    "long-name.dev": dev_file(record(HOSTILE_UTF16[:62] + b"\0\0", extra=16, fields=FIELDS,
                                     shorts=LANDSCAPE_A4, form="A4"), HOSTILE_UTF16),
    "short.dev": b"\xdc\x00\x00",
    # An older driver's record: dmSize 156 cuts dmFormName in half, so the
    # form name is no named field here, yet its bytes are public.
    "old-a4.dev": dev_file(record(OFFICE_UTF16, dm_size=156, extra=16, fields=FIELDS, shorts=LANDSCAPE_A4,
                                  form="A4")),
    "old-letter.dev": dev_file(record(OFFICE_UTF16, dm_size=156, extra=16, fields=FIELDS, shorts=LANDSCAPE_A4,
                                      form="Letter")),
    # dmSize 77 ends inside dmOrientation.
    "cut-77.dev": dev_file(record(OFFICE_UTF16, dm_size=77, extra=1, shorts={76: 2})),
    "cut-77-other.dev": dev_file(record(OFFICE_UTF16, dm_size=77, extra=1, shorts={76: 3})),
    # dmSize 170 ends inside a run of unnamed bytes, which the record of 220
    # holds to its end; the private parts then start at different offsets.
    "ends-at-170.dev": dev_file(record(OFFICE_UTF16, dm_size=170, extra=16, fields=FIELDS,
                                       shorts={**LANDSCAPE_A4, 168: 0x0101}, form="A4")),
    "goes-on-to-220.dev": dev_file(record(OFFICE_UTF16, dm_size=220, extra=16, fields=FIELDS,
                                          shorts={**LANDSCAPE_A4, 168: 0x0202, 172: 0x0303}, form="A4")),
}


class Diff(unittest.TestCase):

    def test_names_each_setting_that_differs(self):
        # file, the fields that differ, a line of the text output
        cases = [
            ("a.dev", [], "a.dev and a.dev hold the same settings"),
            ("same-but-slack.dev", [], "hold the same settings"),
            ("portrait-letter.dev", ["dmOrientation", "dmPaperSize", "dmFormName"],
             "orientation (dmOrientation): 2 (landscape) -> 1 (portrait)"),
            ("two-copies.dev", ["dmCopies"], "copies (dmCopies): 1 -> 2"),
            ("private-differs.dev", ["driverPrivate"],
             "driver's private part (driverPrivate): 16 bytes -> 16 bytes, contents differ from byte 224"),
            ("private-longer.dev", ["driverPrivate"],
             "driver's private part (driverPrivate): 16 bytes -> 24 bytes"),
            ("long-name.dev", ["FullDeviceName", "dmDeviceName"], "printer (FullDeviceName): \"Office Laser\" -> "),
        ]
        for other, fields, line in cases:
            with self.subTest(other=other):
                status, out, err = run("--diff", "a.dev", other)
                self.assertEqual(status, 1 if fields else 0, err)
                self.assertIn(line, out)
                status, out, _ = run("--diff", "--json", "a.dev", other)
                self.assertEqual(status, 1 if fields else 0)
                result = json.loads(out)
                self.assertEqual((result["format"], result["problems"]), (1, []))
                self.assertEqual((result["a"], result["b"], result["same"]), ("a.dev", other, not fields))
                self.assertEqual([d["field"] for d in result["differences"]], fields)

    def test_public_bytes_no_field_names_are_compared_as_a_range(self):
        # a, b, the range (file offsets) and both values, as text and JSON
        cases = [
            ("old-a4.dev", "old-letter.dev", 106, 116, "41 00 34 00 00 00 00 00 00 00 00",
             "4C 00 65 00 74 00 74 00 65 00 72"),
            ("cut-77.dev", "cut-77-other.dev", 80, 80, "02", "03"),
        ]
        for a, b, first, last, value_a, value_b in cases:
            with self.subTest(b=b):
                status, out, err = run("--diff", a, b)
                self.assertEqual(status, 1, out + err)
                self.assertIn("public bytes %d to %d (publicBytes): %s -> %s" % (first, last, value_a, value_b), out)
                status, out, _ = run("--diff", "--json", a, b)
                self.assertEqual(status, 1)
                [difference] = json.loads(out)["differences"]
                self.assertEqual((difference["field"], difference["offset"], difference["size"]),
                                 ("publicBytes", first, last - first + 1))
                self.assertEqual((difference["a"], difference["b"]),
                                 (value_a.replace(" ", ""), value_b.replace(" ", "")))
        status, out, _ = run("--diff", "old-a4.dev", "old-a4.dev")
        self.assertEqual(status, 0, out)

    def test_a_run_one_record_ends_inside_and_a_private_part_elsewhere_are_shown_for_both_files(self):
        status, out, err = run("--diff", "ends-at-170.dev", "goes-on-to-220.dev")
        self.assertEqual(status, 1, out + err)
        self.assertIn("public bytes 172 to 223 (publicBytes): 01 01, then 50 beyond dmSize -> 02 02 00 00 03 03 00 ",
                      out)
        self.assertIn("driver's private part (driverPrivate): 16 bytes -> 16 bytes, "
                      "contents differ from byte 174 of A, byte 224 of B", out)
        _, out, _ = run("--diff", "--json", "ends-at-170.dev", "goes-on-to-220.dev")
        differences = {d["field"]: d for d in json.loads(out)["differences"]}
        public = differences["publicBytes"]
        self.assertEqual((public["a"], public["b"], public["offset"], public["size"], public["aBeyondDmSize"]),
                         ("0101", "020200000303" + "00" * 46, 172, 52, 50))
        self.assertNotIn("bBeyondDmSize", public)
        private = differences["driverPrivate"]
        self.assertEqual((private["firstDifference"], private["firstDifferenceB"]), (174, 224))

    def test_json_values(self):
        _, out, _ = run("--json", "--diff", "a.dev", "portrait-letter.dev")
        orientation, paper, form = json.loads(out)["differences"]
        self.assertEqual((orientation["label"], orientation["a"], orientation["b"]), ("orientation", 2, 1))
        self.assertEqual((paper["label"], paper["a"], paper["b"]), ("paper size", 9, 1))
        self.assertEqual((form["a"], form["b"]), ("A4", "Letter"))
        _, out, _ = run("--json", "--diff", "a.dev", "private-longer.dev")
        self.assertEqual([(d["a"], d["b"]) for d in json.loads(out)["differences"]], [(16, 24)])
        _, out, _ = run("--json", "--diff", "a.dev", "private-differs.dev")
        [private] = json.loads(out)["differences"]
        self.assertEqual((private["a"], private["b"], private["firstDifference"]), (16, 16, 224))

    def test_with_json_a_file_that_cannot_be_compared_still_gives_one_object_that_says_why(self):
        status, out, err = run("--diff", "--json", "absent.dev", "short.dev")
        self.assertEqual(status, 2)
        [result] = inspect_test.json_lines(out)
        self.assertEqual((result["format"], result["a"], result["b"], result["same"], result["differences"]),
                         (1, "absent.dev", "short.dev", None, []))
        absent, short = result["problems"]
        self.assertEqual((absent["file"], absent["valid"], absent["offset"]), ("absent.dev", False, None))
        self.assertIn("cannot open", absent["error"])
        self.assertEqual((short["file"], short["offset"]), ("short.dev", 0))
        self.assertIn("absent.dev: cannot open", err)

    def test_an_unreadable_file_or_wrong_usage_gives_2(self):
        cases = [
            (("--diff", "a.dev", "short.dev"), "short.dev: invalid at byte 0: "),
            (("--diff", "absent.dev", "a.dev"), "absent.dev: cannot open"),
            (("--diff", "a.dev"), "--diff compares exactly two files"),
            (("--diff", "a.dev", "a.dev", "a.dev"), "--diff compares exactly two files"),
            (("--diff", "--bogus", "a.dev", "a.dev"), "unknown option --bogus"),
        ]
        for args, message in cases:
            with self.subTest(args=args):
                status, _, err = run(*args)
                self.assertEqual(status, 2)
                self.assertIn(message, err)


if __name__ == "__main__":
    inspect_test.main(FILES)
