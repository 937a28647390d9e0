#!/usr/bin/env python3
"""Writes cp932_reference.tsv: the double-byte CP932 codes as Python's cp932
codec decodes and re-encodes them, for checking the program's conversion.

Every code with a lead byte 0x81-0x9F or 0xE0-0xFC and a trail byte
0x40-0xFC except 0x7F that Python decodes gives one line:

    code<TAB>code point<TAB>re-encoding

all in upper-case hexadecimal (8140<TAB>3000<TAB>8140). The re-encoding is
what Python's cp932 encoder makes of the decoded character; it differs from
the code for the duplicates of the NEC and IBM extensions.

Run from anywhere: python3 tests/data/make_cp932_reference.py
"""
import os
import sys

LEADS = list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))
TRAILS = [t for t in range(0x40, 0xFD) if t != 0x7F]


def main():
    out_path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "cp932_reference.tsv")
    lines = []
    for lead in LEADS:
        for trail in TRAILS:
            code = bytes([lead, trail])
            try:
                text = code.decode("cp932")
            except UnicodeDecodeError:
                continue
            if len(text) != 1:
                continue
            back = text.encode("cp932")
            lines.append("%02X%02X\t%04X\t%s\n" % (lead, trail, ord(text), back.hex().upper()))
    with open(out_path, "w", encoding="ascii", newline="\n") as f:
        f.write("# CP932 double-byte codes as decoded and re-encoded by Python %d.%d's cp932 codec\n"
                % sys.version_info[:2])
        f.write("# code\tcode point\tre-encoding\n")
        f.writelines(lines)
    print("%d codes written to %s" % (len(lines), out_path))


if __name__ == "__main__":
    main()
