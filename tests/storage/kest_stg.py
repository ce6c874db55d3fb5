#!/usr/bin/python3
"""kest_stg.py RUN PREFIX KEST WORKDIR: `kest stg` writes a compound file with the library
and reads it back. RUN is cmake/wine-run.sh, PREFIX its Wine prefix."""

import os
import subprocess
import sys

# Empty, in small blocks, in whole sectors past one chunk of the tool's; names with a
# control character and code units above 0x7F and 0xFF, in a storage and one nested in it.
STREAMS = {"/Empty": 0, "/Small": 4095, "/Big": 70000, "/Docs/\x05SummaryInformation": 300,
           "/Docs/Caf\u00e9": 10, "/Docs/\u03a9": 3, "/Docs/Nested/Leaf": 5000}
STORAGES = {"/", "/Docs", "/Docs/Nested"}


def data(path, size):
    return bytes((len(path) + i * 131 + (i >> 8)) & 0xFF for i in range(size))


def shown(path):
    """A path as `kest stg` shows and takes it: printable ASCII, other code units escaped."""
    return "".join(c if 0x20 <= ord(c) < 0x7F and c != "\\" else
                   ("\\x%02X" if ord(c) < 0x100 else "\\u%04X") % ord(c) for c in path)


def kest(*args, stdin=b"", status=0):
    for _ in range(3):  # kest always says why it fails: one silent was ended by Wine, run it again
        done = subprocess.run(KEST + list(args), input=stdin, capture_output=True)
        if done.returncode == status or b"printed nothing" not in done.stderr:
            break
    if done.returncode != status:
        sys.exit("kest %s: exit %d\n%s" % (args, done.returncode, done.stderr.decode()))
    return done.stdout


def main(stg):
    kest("stg", "new", stg)
    kest("stg", "put", stg, "/Small", stdin=b"x" * 9000)  # replaced by a shorter stream
    kest("stg", "put", stg, "/Gone/Data", stdin=b"x")
    kest("stg", "rm", stg, "/Gone")
    for path, size in STREAMS.items():
        kest("stg", "put", stg, shown(path), stdin=data(path, size))
    kest("stg", "put", stg, "/Big/x", status=1)  # not a storage
    expected = {"stream    %12d  %s" % (size, shown(path)) for path, size in STREAMS.items()}
    expected |= {"storage              -  %s  {00000000-0000-0000-0000-000000000000}" % path
                 for path in STORAGES}
    listed = kest("stg", "ls", stg).decode("ascii").splitlines()
    assert sorted(listed) == sorted(expected), set(listed) ^ expected
    for path, size in STREAMS.items():
        assert kest("stg", "cat", stg, shown(path)) == data(path, size), path
    kest("stg", "cat", stg, "/Docs//AB", status=2)
    kest("stg", "ls", stg + ".missing", status=1)


if __name__ == "__main__":
    run, prefix, program, work = sys.argv[1:5]
    KEST = [run, prefix, program]
    os.makedirs(work, exist_ok=True)
    main("Z:" + os.path.join(work, "kest.stg").replace("/", "\\"))
    print("kest stg: ok")
