#!/usr/bin/env python3
"""Writes the fuzzers' seed corpus: a few small device info files and printer
names of the kinds the unit tests use, so the fuzzers start from real shapes."""
import pathlib
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "fixtures"))
from device_info_files import (DM_FORMNAME, DM_ORIENTATION, DM_PAPERSIZE, ORIENTATION,  # noqa: E402
                               PAPER_SIZE, dev_file, dev_mode)


def seed_file(name: str, full_name: str | None = None, dm_size: int = 220, driver_extra: int = 0) -> bytes:
    """A file as a driver's record makes it: the name cut to 31 units,
    portrait A4 vouched for in dmFields."""
    record = dev_mode(name, dm_size, driver_extra, name_units=31, driver_version=1, fields=DM_FORMNAME | DM_ORIENTATION | DM_PAPERSIZE,
                      shorts={ORIENTATION: 1, PAPER_SIZE: 9})  # portrait, A4
    return dev_file(record, full_name)


def main(out: pathlib.Path) -> None:
    long_name = "Accounting Department Colour Laser 2"
    decoder = {
        "short-name.dev": seed_file("Office Laser"),
        "long-name-tail.dev": seed_file(long_name, long_name),
        "driver-extra.dev": seed_file("Label.Printer", driver_extra=16),
        "old-size.dev": seed_file("Old", dm_size=156),
        "truncated.dev": seed_file("Office Laser")[:100],
        # 4 + DevModeSize wraps round to 0 in 32-bit arithmetic.
        "wrapping-size.dev": b"\xfc\xff\xff\xff",
    }
    names = ["Label.Printer", "\\\\server\\queue.name", "C:dir/printer.x.y", "plain", "a" * 259]
    for target, files in (
        ("decode_device_info", decoder),
        ("suggest_file_name", {f"name{i}": n.encode("utf-16-le") for i, n in enumerate(names)}),
    ):
        folder = out / target
        folder.mkdir(parents=True, exist_ok=True)
        for file_name, data in files.items():
            (folder / file_name).write_bytes(data)


if __name__ == "__main__":
    main(pathlib.Path(sys.argv[1]))
