#!/usr/bin/python3
"""interop.py TEST RUN PREFIX KEST WORKDIR: compound files between the library and tools
that share no code with it. RUN is cmake/wine-run.sh, PREFIX its Wine prefix."""

import os
import shutil
import subprocess
import sys

import olefile

# Empty, the largest stream kept in small blocks, the smallest in whole sectors, more sectors
# than one allocation-table sector maps; names with a control character, code units above
# 0x7F and 0xFF, and two that upper- and lower-case comparison order differently.
STREAMS = {"/Readme": 40, "/Empty": 0, "/Small": 4095, "/Cutoff": 4096, "/Big": 70000,
           "/Docs/\x05SummaryInformation": 300, "/Docs/Caf\u00e9": 10, "/Docs/\u03a9": 3,
           "/Docs/_a": 1, "/Docs/AB": 2, "/Docs/Nested/Leaf": 5000}
STORAGES = {"/Docs", "/Docs/Nested"}


def data(path, size):
    return bytes((len(path) + i * 131 + (i >> 8)) & 0xFF for i in range(size))


def shown(path):
    """A path as `kest stg` shows and takes it: printable ASCII, other code units escaped."""
    return "".join(c if 0x20 <= ord(c) < 0x7F and c != "\\" else
                   ("\\x%02X" if ord(c) < 0x100 else "\\u%04X") % ord(c) for c in path)


def kest(*args, stdin=b"", status=0):
    done = subprocess.run(KEST + list(args), input=stdin, capture_output=True)
    if done.returncode != status:
        sys.exit("kest %s: exit %d\n%s" % (args, done.returncode, done.stderr.decode()))
    return done.stdout


def olefile_reads_library_file(target, stg):
    """`kest stg` writes with the library; Debian's olefile reads it back."""
    kest("stg", "new", stg)
    kest("stg", "put", stg, "/Small", stdin=b"x" * 9000)  # replaced by a shorter stream
    kest("stg", "put", stg, "/Gone/Data", stdin=b"x")
    kest("stg", "rm", stg, "/Gone")
    for path, size in STREAMS.items():
        kest("stg", "put", stg, shown(path), stdin=data(path, size))
    kest("stg", "put", stg, "/Readme/x", status=1)  # not a storage
    ole = olefile.OleFileIO(target)
    listed = {"/" + "/".join(names) for names in ole.listdir(streams=True, storages=True)}
    assert listed == set(STREAMS) | STORAGES, listed
    for path in listed:
        kind = olefile.STGTY_STREAM if path in STREAMS else olefile.STGTY_STORAGE
        assert ole.get_type(path[1:]) == kind, path
    for path, size in STREAMS.items():
        assert ole.openstream(path[1:]).read() == data(path, size), path


def kest_reads_gsf_file(target, stg):
    """gsf (libgsf-bin) writes a file from a folder; `kest stg ls` and `cat` read it."""
    folder = os.path.join(os.path.dirname(target), "tree")
    shutil.rmtree(folder, ignore_errors=True)
    streams = dict(STREAMS, **{"/Many/Item %d" % i: i * 37 for i in range(40)})
    for path, size in streams.items():
        os.makedirs(os.path.dirname(folder + path), exist_ok=True)
        with open(folder + path, "wb") as out:
            out.write(data(path, size))
    subprocess.run(["gsf", "createole", target] + os.listdir(folder), cwd=folder, check=True,
                   capture_output=True)
    expected = {"stream    %12d  %s" % (size, shown(path)) for path, size in streams.items()}
    expected |= {"storage              -  %s  {00000000-0000-0000-0000-000000000000}" % path
                 for path in STORAGES | {"/", "/Many"}}
    listed = kest("stg", "ls", stg).decode("ascii").splitlines()
    assert sorted(listed) == sorted(expected), set(listed) ^ expected
    for path, size in STREAMS.items():
        assert kest("stg", "cat", stg, shown(path)) == data(path, size), path
    kest("stg", "cat", stg, "/Docs//AB", status=2)
    kest("stg", "ls", stg + ".missing", status=1)


if __name__ == "__main__":
    test, run, prefix, program, work = sys.argv[1:6]
    KEST = [run, prefix, program]
    os.makedirs(work, exist_ok=True)
    target = os.path.join(work, test + ".stg")
    globals()[test](target, "Z:" + target.replace("/", "\\"))
    print(test + ": ok")
