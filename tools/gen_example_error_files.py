#!/usr/bin/env python3
"""Writes the error files that the primary analysis left beside the example
sources: examples/analysis/main.c.err and examples/analysis/sensor.c.err.

Each is an error file of format 2: the version word 0x9300 and a reserved 0,
an opening record (type 1, no bytes), then one message record (type 8) for
each finding of the primary analysis: its location (an id, and at its first
use the file id with, at the file's first use, the canonical and the given
name, then line, column and a parts byte of 0), the message number, flags 0,
error flag 0, the parameter count and each parameter as kind 1 and a text,
and a trailer word. Integers are 4 bytes little-endian; a text is its length
and its bytes. The files are binary and carry no marker of this script.

Usage: tools/gen_example_error_files.py [OUTPUT_DIR]   (default examples/analysis)
"""

import os
import struct
import sys

# The primary analysis ran in /home/dev/sensors, on the files named as given.
ROOT = "/home/dev/sensors"

# (source, [(line, column, message number, [texts])]) in the order the
# primary analysis reported them.
FINDINGS = [
    ("analysis/main.c", [
        (19, 7, 2401, ["setjmp"]),
        (23, 34, 3410, ["reading_t", "int"]),
    ]),
    ("analysis/sensor.c", [
        (16, 34, 2790, ["time_t", "Tick"]),
        (23, 10, 2791, ["size_t", "int"]),
        (13, 5, 2402, ["errno"]),
    ]),
]


def int32(value):
    return struct.pack("<I", value & 0xFFFFFFFF)


def text(value):
    data = value.encode("utf-8")
    return int32(len(data)) + data


def error_file(source, findings):
    out = bytearray(int32(0x9300) + int32(0))
    out += bytes([1]) + int32(0)  # the opening: ids start from 0
    for location_id, (line, column, number, params) in enumerate(findings):
        out += bytes([8]) + int32(location_id)
        out += int32(0)  # the one file of the record
        if location_id == 0:
            out += text(ROOT + "/" + source) + text(source)
        out += int32(line) + int32(column) + bytes([0])
        out += int32(number) + int32(0) + int32(0) + int32(len(params))
        for param in params:
            out += bytes([1]) + text(param)
        out += int32(number ^ 1234)  # the trailer, which readers skip
    return bytes(out)


def main():
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "examples", "analysis")
    for source, findings in FINDINGS:
        path = os.path.normpath(os.path.join(outdir, os.path.basename(source) + ".err"))
        with open(path, "wb") as f:
            f.write(error_file(source, findings))
        print("wrote", path)


if __name__ == "__main__":
    main()
