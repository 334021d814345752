#!/usr/bin/env python3
"""Writes the fuzzers' seed corpus: a few small device info files and printer
names of the kinds the unit tests use, so the fuzzers start from real shapes."""
import pathlib
import struct
import sys


def dev_mode(name: str, dm_size: int = 220, driver_extra: int = 0) -> bytes:
    record = bytearray(dm_size + driver_extra)
    encoded = name[:31].encode("utf-16-le")
    record[0:len(encoded)] = encoded
    struct.pack_into("<HHHHI", record, 64, 0x0401, 1, dm_size, driver_extra, 0x0001_0003)
    struct.pack_into("<hh", record, 76, 1, 9)  # portrait, A4
    return bytes(record)


def dev_file(name: str, full_name: str | None = None, **sizes) -> bytes:
    record = dev_mode(name, **sizes)
    data = struct.pack("<I", len(record)) + record
    if full_name is not None:
        tail = full_name.encode("utf-16-le") + b"\0\0"
        data += struct.pack("<H", len(tail)) + tail
    return data


def main(out: pathlib.Path) -> None:
    long_name = "Accounting Department Colour Laser 2"
    decoder = {
        "short-name.dev": dev_file("Office Laser"),
        "long-name-tail.dev": dev_file(long_name, long_name),
        "driver-extra.dev": dev_file("Label.Printer", driver_extra=16),
        "old-size.dev": dev_file("Old", dm_size=156),
        "truncated.dev": dev_file("Office Laser")[:100],
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
