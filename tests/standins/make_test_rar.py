#!/usr/bin/env python3
"""Writes an archive in the UnRAR stand-in's test format (see README.md).

usage: make_test_rar.py <archive> <file>[=<stored path>]...

Each file is stored under its own name, or under the stored path given after
"=" (which may hold folders, e.g. "sub\\movie.sub", to test that extraction
drops them).
"""
import os
import sys


def main(argv):
    if len(argv) < 2:
        sys.stderr.write(__doc__)
        return 2
    archive, files = argv[0], argv[1:]
    out = bytearray(b"QUILLON-TEST-RAR\r\n")
    for item in files:
        path, _, stored = item.partition("=")
        stored = stored or os.path.basename(path)
        with open(path, "rb") as f:
            data = f.read()
        out += b"FILE " + stored.encode("utf-8") + b"\r\n"
        out += b"SIZE " + str(len(data)).encode("ascii") + b"\r\n"
        out += data + b"\r\n"
    with open(archive, "wb") as f:
        f.write(out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
