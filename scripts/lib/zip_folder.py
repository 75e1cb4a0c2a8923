#!/usr/bin/env python3
"""Zips a folder as it is: a symbolic link is stored as a link (as Info-ZIP's zip -y does), not as
what it leads to. unzip makes it a link again; Windows' Expand-Archive makes a small file of it.

Usage: zip_folder.py ARCHIVE FOLDER  (the entries are named from FOLDER's own name down)
"""
import os
import stat
import sys
import zipfile


def add(archive, path, name):
    if os.path.islink(path):
        entry = zipfile.ZipInfo(name)
        entry.create_system = 3  # Unix, so that the mode below is read
        entry.external_attr = (stat.S_IFLNK | 0o777) << 16
        archive.writestr(entry, os.readlink(path))
    elif os.path.isdir(path):
        archive.write(path, name + "/")
        for child in sorted(os.listdir(path)):
            add(archive, os.path.join(path, child), name + "/" + child)
    else:
        archive.write(path, name, zipfile.ZIP_DEFLATED)


def main(archive_path, folder):
    folder = os.path.normpath(folder)
    with zipfile.ZipFile(archive_path, "w") as archive:
        add(archive, folder, os.path.basename(folder))


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
