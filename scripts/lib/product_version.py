#!/usr/bin/env python3
"""The package's ProductVersion: major.minor.build, at most 255.255.65535, the three fields
Windows Installer compares for upgrades.
  product_version.py X.Y.Z                        exits 1, saying why, when it is not one
  product_version.py --from-file-version A.B.C.D  prints the one of an exe's version record

The product family numbers its programs major.minor.0.revision (8, 0, 0, 34, shown "8.00.0034"),
so the package's version is major.minor.revision (8.0.34)."""
import sys

LIMITS = (255, 255, 65535)


def check(version):
    fields = version.split(".")
    if len(fields) != 3 or not all(f.isdigit() for f in fields):
        return f"{version!r} is not X.Y.Z"
    for value, limit in zip(map(int, fields), LIMITS):
        if value > limit:
            return f"{version}: a field above {limit}"
    return None


def from_file_version(file_version):
    major, minor, third, revision = (int(f) for f in file_version.split("."))
    if third != 0:
        raise ValueError(f"file version {file_version} is not major.minor.0.revision")
    return f"{major}.{minor}.{revision}"


def main(args):
    try:
        version = from_file_version(args[1]) if args[0] == "--from-file-version" else args[0]
    except (ValueError, IndexError) as error:
        print(f"product version: {error}", file=sys.stderr)
        return 1
    problem = check(version)
    if problem:
        print(f"product version: {problem}", file=sys.stderr)
        return 1
    if args[0] == "--from-file-version":
        print(version)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
