#!/usr/bin/env python3
"""Prints the file version of a Windows executable and the language of its version record, as
"8.0.0.34 1033", read from the record's fixed part (VS_FIXEDFILEINFO) and its Translation value.
Exits 1 when the file has no version record."""
import struct
import sys

RECORD = "VS_VERSION_INFO\0".encode("utf-16-le")
FIXED_SIGNATURE = struct.pack("<I", 0xFEEF04BD)
TRANSLATION = "Translation\0".encode("utf-16-le")


def version_and_language(data):
    record = data.find(RECORD)
    at = data.find(FIXED_SIGNATURE, record) if record >= 0 else -1
    if at < 0:
        return None
    file_ms, file_ls = struct.unpack_from("<II", data, at + 8)
    version = f"{file_ms >> 16}.{file_ms & 0xFFFF}.{file_ls >> 16}.{file_ls & 0xFFFF}"
    language = 0
    name = data.find(TRANSLATION, at)
    if name >= 0:
        value = (name + len(TRANSLATION) + 3) & ~3  # values are aligned to 32 bits
        (language,) = struct.unpack_from("<H", data, value)
    return version, language


def main(path):
    with open(path, "rb") as file:
        found = version_and_language(file.read())
    if not found:
        print(f"{path} has no version record", file=sys.stderr)
        return 1
    print(*found)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
