#!/usr/bin/env python3
"""Zips files and folders (paths relative to the working folder) so that the same files make the same bytes:

    scripts/zip_folder.py OUT.zip ENTRY...

Entries are sorted, every date is 1980-01-01 and every mode one of two (a program or not), whenever and wherever the files were made: the
demo server's package hashes change only when a package's content does.
"""

import os
import sys
import zipfile

DATE = (1980, 1, 1, 0, 0, 0)
FILE_MODE, PROGRAM_MODE, FOLDER_MODE = 0o644, 0o755, 0o755


def paths(entry):
    """entry and everything below it, folders with a trailing slash, in sorted order."""
    if not os.path.isdir(entry):
        return [entry]
    found = [entry.rstrip("/") + "/"]
    for name in sorted(os.listdir(entry)):
        found += paths(os.path.join(entry, name))
    return found


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: zip_folder.py OUT.zip ENTRY...")
    out, entries = sys.argv[1], sys.argv[2:]
    part = out + ".part"
    with zipfile.ZipFile(part, "w", zipfile.ZIP_DEFLATED) as archive:
        for path in [p for entry in entries for p in paths(entry)]:
            info = zipfile.ZipInfo(path, DATE)
            folder = path.endswith("/")
            # A program (the updater) stays one: only the execute bit is kept, as git keeps it.
            mode = FOLDER_MODE | 0o040000 if folder else \
                (PROGRAM_MODE if os.access(path, os.X_OK) else FILE_MODE) | 0o100000
            info.external_attr = mode << 16
            info.compress_type = zipfile.ZIP_STORED if folder else zipfile.ZIP_DEFLATED
            if folder:
                archive.writestr(info, b"")
            else:
                with open(path, "rb") as f:
                    archive.writestr(info, f.read())
    os.replace(part, out)


if __name__ == "__main__":
    main()
