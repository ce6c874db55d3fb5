#!/usr/bin/python3
"""Compound files between the library and readers and writers that share no code with it.

  interop.py library-writes RUN PREFIX TREE_WRITER WORKDIR
      The library writes TREE (tree_writer.exe); olefile reads it back.
  interop.py library-reads RUN PREFIX KEST WORKDIR
      write_compound_file() below writes TREE from the published layout of the format;
      olefile checks it first, then `kest stg ls` and `kest stg cat` read it.
  interop.py kest-commands RUN PREFIX KEST WORKDIR
      `kest stg new|put|cat|rm|ls` on a file of their own.

RUN is cmake/wine-run.sh and PREFIX the Wine prefix. Run with Debian's /usr/bin/python3,
whose python3-olefile is the independent reader.
"""

import os
import struct
import subprocess
import sys
import tempfile
import uuid

import olefile

CLSID_ROOT = "00020906-0000-0000-C000-000000000046"
CLSID_DOCS = "FEDCBA98-7654-3210-0123-456789ABCDEF"
CLSID_NULL = "00000000-0000-0000-0000-000000000000"

# (type, path, class id) for storages, (type, path, size, seed) for streams; parents first.
TREE = [
    ("storage", "/", CLSID_ROOT),
    ("stream", "/Readme", 40, 1),
    ("stream", "/Empty", 0, 0),
    ("stream", "/Small", 4095, 2),  # the largest stream kept in small blocks
    ("stream", "/Cutoff", 4096, 3),  # the smallest one in whole sectors
    ("stream", "/Big", 70000, 4),  # more sectors than one allocation-table sector maps
    ("storage", "/Docs", CLSID_DOCS),
    ("stream", "/Docs/\x05SummaryInformation", 300, 5),
    ("stream", "/Docs/Caf\u00e9", 10, 6),
    # Same length, and ordered differently by upper- and by lower-case comparison.
    ("stream", "/Docs/_a", 1, 7),
    ("stream", "/Docs/AB", 2, 8),
    ("storage", "/Docs/Nested", CLSID_NULL),
    ("stream", "/Docs/Nested/Leaf", 5000, 9),
    ("storage", "/Many", CLSID_NULL),
] + [("stream", "/Many/Item %d" % i, i * 37, i) for i in range(40)]


def pattern(size, seed):
    """The bytes of a test stream, as tree_writer.cpp makes them."""
    return bytes((seed + i * 131 + (i >> 8)) & 0xFF for i in range(size))


def streams():
    return [e for e in TREE if e[0] == "stream"]


def storages():
    return [e for e in TREE if e[0] == "storage"]


# ---- the independent reader -----------------------------------------------------------


def check_with_olefile(path):
    ole = olefile.OleFileIO(path)
    found = {"/" + "/".join(p) for p in ole.listdir(streams=True, storages=True)}
    expected = {e[1] for e in TREE if e[1] != "/"}
    assert found == expected, "olefile lists %s, expected %s" % (
        sorted(found ^ expected), "the rest")
    for _, name, size, seed in streams():
        parts = name[1:].split("/")
        assert ole.get_type(parts) == olefile.STGTY_STREAM, name
        assert ole.get_size(parts) == size, (name, ole.get_size(parts), size)
        assert ole.openstream(parts).read() == pattern(size, seed), name
    for _, name, clsid in storages():
        if name == "/":
            got = ole.root.clsid
        else:
            assert ole.get_type(name[1:].split("/")) == olefile.STGTY_STORAGE, name
            got = ole.getclsid(name[1:].split("/"))
        assert got == ("" if clsid == CLSID_NULL else clsid), (name, got, clsid)
    ole.close()


# ---- the independent writer -----------------------------------------------------------
# Version 3 layout: 512-byte sectors, 64-byte small blocks below 4096 bytes, one
# allocation-table sector maps 128 sectors, directory entries of 128 bytes whose siblings
# form a red-black tree ordered by name length, then by upper-cased name.

SECTOR, MINI, CUTOFF = 512, 64, 4096
FREESECT, ENDOFCHAIN, FATSECT, NOSTREAM = 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD, 0xFFFFFFFF


class Entry:
    def __init__(self, name, kind, clsid=CLSID_NULL, data=b""):
        self.name, self.kind, self.clsid, self.data = name, kind, clsid, data
        self.children = []
        self.left = self.right = self.child = NOSTREAM
        self.black = True
        self.start, self.size = ENDOFCHAIN if kind != 1 else 0, 0

    def key(self):
        return (len(self.name), self.name.upper())

    def pack(self):
        name = self.name.encode("utf-16-le") + b"\0\0"
        assert len(name) <= 64
        return struct.pack("<64sHBBIII16sIQQIQ", name, len(name), self.kind,
                           1 if self.black else 0, self.left, self.right, self.child,
                           uuid.UUID(self.clsid).bytes_le, 0, 0, 0, self.start, self.size)


EMPTY_ENTRY = struct.pack("<64sHBBIII16sIQQIQ", b"", 0, 0, 0, NOSTREAM, NOSTREAM, NOSTREAM,
                          b"\0" * 16, 0, 0, 0, 0, 0)


def link_siblings(children, depth=0):
    """Links sorted `children` into a balanced tree; the deepest level of a tree that is
    not full is red, which keeps every path equally black."""
    if not children:
        return NOSTREAM
    deepest = len(children).bit_length() - 1
    full = len(children) == (1 << (deepest + 1)) - 1

    def link(items, level):
        if not items:
            return NOSTREAM
        middle = len(items) // 2
        node = items[middle]
        node.left = link(items[:middle], level + 1)
        node.right = link(items[middle + 1:], level + 1)
        node.black = full or level < deepest
        return node.index

    return link(sorted(children, key=Entry.key), depth)


def write_compound_file(path):
    root = Entry("Root Entry", 5, TREE[0][2])
    entries, by_path = [root], {"/": root}
    for item in TREE[1:]:
        parent_path, _, name = item[1].rpartition("/")
        if item[0] == "storage":
            entry = Entry(name, 1, item[2])
        else:
            entry = Entry(name, 2, data=pattern(item[2], item[3]))
        entry.index = len(entries)
        entries.append(entry)
        by_path[parent_path or "/"].children.append(entry)
        by_path[item[1]] = entry
    root.index = 0
    for entry in entries:
        entry.child = link_siblings(entry.children)

    sectors, fat = [], []

    def chain(data, unit, table, store):
        """Stores `data` in units of `unit` bytes, chained in `table`; returns the start."""
        count = (len(data) + unit - 1) // unit
        if count == 0:
            return ENDOFCHAIN
        start = len(table)
        for i in range(count):
            store(data[i * unit:(i + 1) * unit].ljust(unit, b"\0"))
            table.append(start + i + 1 if i + 1 < count else ENDOFCHAIN)
        return start

    mini_stream, minifat = [], []
    for entry in entries:
        if entry.kind != 2:
            continue
        entry.size = len(entry.data)
        store = (sectors, fat, SECTOR) if entry.size >= CUTOFF else (mini_stream, minifat, MINI)
        entry.start = chain(entry.data, store[2], store[1], store[0].append)
    root.size = len(mini_stream) * MINI
    root.start = chain(b"".join(mini_stream), SECTOR, fat, sectors.append)
    minifat_bytes = struct.pack("<%dI" % len(minifat), *minifat)
    minifat_bytes += struct.pack("<I", FREESECT) * (-len(minifat) % (SECTOR // 4))
    minifat_start = chain(minifat_bytes, SECTOR, fat, sectors.append)
    directory = b"".join(e.pack() for e in entries)
    directory += EMPTY_ENTRY * (-len(entries) % (SECTOR // 128))
    directory_start = chain(directory, SECTOR, fat, sectors.append)

    fat_count = 1
    while len(sectors) + fat_count > fat_count * (SECTOR // 4):
        fat_count += 1
    assert fat_count <= 109, "too big for a header-only allocation table"
    fat_sectors = list(range(len(sectors), len(sectors) + fat_count))
    fat += [FATSECT] * fat_count
    fat += [FREESECT] * (fat_count * (SECTOR // 4) - len(fat))
    fat_bytes = struct.pack("<%dI" % len(fat), *fat)
    sectors += [fat_bytes[i * SECTOR:(i + 1) * SECTOR] for i in range(fat_count)]

    header = struct.pack("<8s16sHHHHH6sIIIIIIIII", bytes.fromhex("D0CF11E0A1B11AE1"), b"\0" * 16,
                         0x3E, 3, 0xFFFE, 9, 6, b"\0" * 6, 0, fat_count, directory_start, 0,
                         CUTOFF, minifat_start if minifat else ENDOFCHAIN,
                         len(minifat_bytes) // SECTOR if minifat else 0, ENDOFCHAIN, 0)
    header += struct.pack("<109I", *(fat_sectors + [FREESECT] * (109 - fat_count)))
    with open(path, "wb") as out:
        out.write(header)
        out.writelines(sectors)


# ---- running the library under Wine -----------------------------------------------------


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def shown(path):
    """A path as `kest stg` shows it: printable ASCII, other code units escaped."""
    out = ""
    for ch in path:
        code = ord(ch)
        if 0x20 <= code < 0x7F and ch != "\\":
            out += ch
        else:
            out += "\\x%02X" % code if code < 0x100 else "\\u%04X" % code
    return out


def run(wine, program, *args, stdin=b"", expect=0):
    # Output goes to files, not pipes: a wineserver that the run starts inherits them and
    # lingers after the program ends, and a pipe would wait for it.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err, \
            tempfile.TemporaryFile() as given:
        given.write(stdin)
        given.seek(0)
        status = subprocess.call([wine[0], wine[1], program] + list(args), stdin=given,
                                 stdout=out, stderr=err)
        out.seek(0)
        err.seek(0)
        if status != expect:
            sys.exit("%s %s: exit %d\n%s" % (os.path.basename(program), " ".join(args), status,
                                             err.read().decode(errors="replace")))
        return out.read()


def library_writes(wine, writer, work):
    target = os.path.join(work, "library.stg")
    listing = ""
    for item in TREE:
        rest = [item[2]] if item[0] == "storage" else [str(item[2]), str(item[3])]
        listing += "\t".join([item[0], item[1]] + ["{%s}" % r if item[0] == "storage" else r
                                                    for r in rest]) + "\n"
    run(wine, writer, windows_path(target), stdin=listing.encode("utf-8"))
    check_with_olefile(target)


def library_reads(wine, kest, work):
    target = os.path.join(work, "independent.stg")
    write_compound_file(target)
    check_with_olefile(target)
    lines = run(wine, kest, "stg", "ls", windows_path(target)).decode("ascii").splitlines()
    expected = []
    for item in TREE:
        if item[0] == "storage":
            expected.append("%-9s %12s  %s  {%s}" % ("storage", "-", shown(item[1]), item[2]))
        else:
            expected.append("%-9s %12d  %s" % ("stream", item[2], shown(item[1])))
    assert sorted(lines) == sorted(expected), "\n".join(
        ["kest stg ls differs (- expected, + got):"] +
        ["- " + line for line in sorted(set(expected) - set(lines))] +
        ["+ " + line for line in sorted(set(lines) - set(expected))])
    for _, name, size, seed in streams():
        if size in (0, 1, 2, 10, 300, 4095, 4096, 5000, 70000):
            got = run(wine, kest, "stg", "cat", windows_path(target), shown(name))
            assert got == pattern(size, seed), "kest stg cat %s: %d bytes differ" % (name, size)


def kest_commands(wine, kest, work):
    """put, cat, rm and new on a file of their own, and their refusals."""
    target = windows_path(os.path.join(work, "commands.stg"))
    run(wine, kest, "stg", "new", target)
    data = pattern(9000, 11)
    run(wine, kest, "stg", "put", target, "/a/b/\\x01Data", stdin=data)
    run(wine, kest, "stg", "put", target, "a/Other", stdin=b"other")
    assert run(wine, kest, "stg", "cat", target, "a/b/\\x01Data") == data
    run(wine, kest, "stg", "put", target, "a/b/\\x01Data", stdin=b"shorter")
    assert run(wine, kest, "stg", "cat", target, "/a/b/\\x01Data") == b"shorter"
    run(wine, kest, "stg", "put", target, "a/Other/x", stdin=b"", expect=1)  # not a storage
    run(wine, kest, "stg", "put", target, "a/b", stdin=b"", expect=1)  # would replace a storage
    run(wine, kest, "stg", "rm", target, "a/b")
    run(wine, kest, "stg", "cat", target, "a/b/\\x01Data", expect=1)
    run(wine, kest, "stg", "rm", target, "a/b", expect=1)
    lines = run(wine, kest, "stg", "ls", target).decode("ascii").splitlines()
    assert [line.split()[-1] if "stream" in line else line.split()[2] for line in lines] == [
        "/", "/a", "/a/Other"], lines
    run(wine, kest, "stg", "cat", target, "a//Other", expect=2)
    run(wine, kest, "stg", "cat", target, "a/\\q", expect=2)
    run(wine, kest, "stg", "ls", windows_path(os.path.join(work, "missing.stg")), expect=1)


def main():
    mode, wine_run, prefix, program, work = sys.argv[1:6]
    os.makedirs(work, exist_ok=True)
    wine = (wine_run, prefix)
    if mode == "library-writes":
        library_writes(wine, program, work)
    elif mode == "library-reads":
        library_reads(wine, program, work)
    elif mode == "kest-commands":
        kest_commands(wine, program, work)
    else:
        sys.exit("unknown mode " + mode)
    print("interop %s: ok" % mode)


if __name__ == "__main__":
    main()
