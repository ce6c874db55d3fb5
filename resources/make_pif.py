#!/usr/bin/env python3
"""Writes the program information file (PIF) that kest011.dll carries as resource PIFFILE 103.

It describes an "MS-DOS Prompt" running C:\\WINDOWS\\COMMAND.COM in a window that closes when
the program exits: the basic section, then the "WINDOWS 386 3.0" and "WINDOWS VMM 4.0"
extension sections, 967 bytes in all. Numbers are little-endian.

usage: make_pif.py OUTPUT
"""

import struct
import sys

SECTION_HEADER_SIZE = 22
SECTION_NAME_SIZE = 16
LAST_SECTION = 0xFFFF
FILE_SIZE = 967

# The checksum byte the file has always carried; it is written as it stands, not recomputed.
BASIC_CHECKSUM = 0x78
CLOSE_WINDOW_ON_EXIT = 0x10

# Enhanced-mode flags of the "WINDOWS 386 3.0" section.
RUN_IN_BACKGROUND = 0x00000002
DETECT_IDLE_TIME = 0x00001000
ALLOW_FAST_PASTE = 0x00020000
# Enhanced-mode video flags: emulate text mode, monitor no ports, start in text mode.
VIDEO_TEXT_MODE = 0x001F

# Windows 95 flags of the "WINDOWS VMM 4.0" section.
VMM_RUN_IN_BACKGROUND = 0x0002
VMM_VIDEO_ROM_EMULATION = 0x0001
VMM_FAST_PASTE = 0x0001
VMM_QUICK_EDIT = 0x0001
VMM_FONTS_RASTER_TRUETYPE_AUTOSIZE = 0x001C
VMM_SHOW_TOOLBAR = 0x0003
VMM_WINDOW_NORMAL = 0x0001


class Record:
    """A fixed-size block of named fields at given offsets; the rest stays zero."""

    def __init__(self, name, size):
        self.name = name
        self.data = bytearray(size)
        self.taken = []

    def _put(self, offset, raw, field):
        end = offset + len(raw)
        if end > len(self.data):
            raise ValueError(f"{self.name}: {field} runs past the end")
        for start, stop, other in self.taken:
            if offset < stop and start < end:
                raise ValueError(f"{self.name}: {field} overlaps {other}")
        self.taken.append((offset, end, field))
        self.data[offset:end] = raw

    def byte(self, offset, value, field):
        self._put(offset, struct.pack("<B", value), field)

    def word(self, offset, value, field):
        self._put(offset, struct.pack("<H", value), field)

    def dword(self, offset, value, field):
        self._put(offset, struct.pack("<I", value), field)

    def text(self, offset, size, value, field, pad=b"\0"):
        raw = value.encode("ascii")
        if len(raw) > size:
            raise ValueError(f"{self.name}: {field} is longer than {size} bytes")
        self._put(offset, raw.ljust(size, pad), field)


def basic_section():
    s = Record("basic section", 0x171)
    s.byte(0x000, 0, "reserved")
    s.byte(0x001, BASIC_CHECKSUM, "checksum")
    s.text(0x002, 30, "MS-DOS Prompt", "title", pad=b" ")
    s.word(0x020, 640, "maximum memory (KB)")
    s.word(0x022, 0, "minimum memory (KB)")
    s.text(0x024, 63, "C:\\WINDOWS\\COMMAND.COM", "program")
    s.byte(0x063, CLOSE_WINDOW_ON_EXIT, "behaviour flags")
    s.byte(0x0E6, 1, "text pages")
    s.byte(0x0E7, 0x00, "first interrupt saved")
    s.byte(0x0E8, 0xFF, "last interrupt saved")
    s.byte(0x0E9, 25, "screen rows")
    s.byte(0x0EA, 80, "screen columns")
    s.byte(0x0EB, 0, "window row")
    s.byte(0x0EC, 0, "window column")
    s.word(0x0ED, 7, "system memory (KB)")
    return s


def enhanced_mode_section():
    s = Record("WINDOWS 386 3.0", 0x68)
    s.word(0x00, 640, "maximum conventional memory (KB)")
    s.word(0x02, 0, "minimum conventional memory (KB)")
    s.word(0x04, 100, "foreground priority")
    s.word(0x06, 50, "background priority")
    s.word(0x08, 1024, "maximum expanded memory (KB)")
    s.word(0x0A, 0, "minimum expanded memory (KB)")
    s.word(0x0C, 1024, "maximum extended memory (KB)")
    s.word(0x0E, 0, "minimum extended memory (KB)")
    s.dword(0x10, RUN_IN_BACKGROUND | DETECT_IDLE_TIME | ALLOW_FAST_PASTE, "flags")
    s.word(0x14, VIDEO_TEXT_MODE, "video flags")
    s.word(0x18, 0, "shortcut key scan code")
    s.word(0x1A, 0, "shortcut key shift state")
    s.text(0x28, 64, "", "parameters")
    return s


def windows95_section():
    s = Record("WINDOWS VMM 4.0", 0x1AC)
    s.text(0x058, 80, "PIFMGR.DLL", "icon file")
    s.word(0x0A8, 0, "icon index")
    s.word(0x0AA, VMM_RUN_IN_BACKGROUND, "program flags")
    s.word(0x0B6, 50, "idle sensitivity")
    s.word(0x0B8, VMM_VIDEO_ROM_EMULATION, "video flags")
    s.word(0x0C2, 0, "text lines (0: automatic)")
    s.word(0x0C4, VMM_FAST_PASTE, "keyboard flags")
    s.word(0x0D6, VMM_QUICK_EDIT, "mouse flags")
    s.word(0x0DE, VMM_FONTS_RASTER_TRUETYPE_AUTOSIZE, "font flags")
    s.text(0x0EA, 32, "Terminal", "raster font")
    s.text(0x10A, 32, "Courier New", "TrueType font")
    s.word(0x12C, VMM_SHOW_TOOLBAR, "window flags")
    s.word(0x140, VMM_WINDOW_NORMAL, "window state")
    s.word(0x1A6, 0, "environment memory (KB, 0: automatic)")
    s.word(0x1A8, 0, "protected-mode memory (KB, 0: automatic)")
    return s


def section_header(name, next_header, data_offset, data_length):
    h = Record(f"header {name}", SECTION_HEADER_SIZE)
    h.text(0, SECTION_NAME_SIZE, name, "name")
    h.word(16, next_header, "next header")
    h.word(18, data_offset, "data offset")
    h.word(20, data_length, "data length")
    return h.data


def program_information_file():
    basic = basic_section().data
    extensions = [("WINDOWS 386 3.0", enhanced_mode_section().data),
                  ("WINDOWS VMM 4.0", windows95_section().data)]
    out = bytearray(basic)
    # The first header describes the basic section in front of it.
    first_next = len(out) + SECTION_HEADER_SIZE
    out += section_header("MICROSOFT PIFEX", first_next, 0, len(basic))
    for index, (name, data) in enumerate(extensions):
        data_offset = len(out) + SECTION_HEADER_SIZE
        last = index == len(extensions) - 1
        next_header = LAST_SECTION if last else data_offset + len(data)
        out += section_header(name, next_header, data_offset, len(data))
        out += data
    if len(out) != FILE_SIZE:
        raise ValueError(f"the file is {len(out)} bytes, not {FILE_SIZE}")
    return bytes(out)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with open(sys.argv[1], "wb") as output:
        output.write(program_information_file())


if __name__ == "__main__":
    main()
