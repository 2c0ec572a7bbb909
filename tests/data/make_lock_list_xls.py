#!/usr/bin/env python3
"""Writes lock_list.xls: a small Excel 97-2003 (BIFF8) workbook in the lock
list layout, as older installations of the program produced them, for the
legacy .xls reader tests. Run from this folder: python3 make_lock_list_xls.py"""
import struct

def rec(kind, data=b""):
    return struct.pack("<HH", kind, len(data)) + data

def bof(dt):
    return rec(0x0809, struct.pack("<HHHHII", 0x0600, dt, 0x0DBB, 0x07CC, 0, 0x06))

strings = []
def sst_index(s):
    if s not in strings:
        strings.append(s)
    return strings.index(s)

cells = []  # (row, col, value) with rows and columns from 0
def put(row, col, value):
    cells.append((row, col, value))

put(0, 0, "Lock List Report")
put(1, 0, "Print Time: ")
for c, h in enumerate(["Serial ID", "Lock Name", "Lock Location", "LockStatusID", "LockType"]):
    put(2, c, h)
locks = [
    ('"0A00000012345601', "Front Door", "Main", 2, "iButton"),
    ('"F300000012345601', "Back Gate", "", 1, "Access Code"),
    ("5C0000001A2B3C01", "Plain Serial", "Annex", 3, "iButton"),
]
for i, (serial, name, location, status, kind) in enumerate(locks):
    r = 3 + i
    put(r, 0, serial)
    put(r, 1, name)
    if location:
        put(r, 2, location)
    put(r, 3, float(status))
    put(r, 4, kind)
# Rows past the last one an import reads; they also make the stream large
# enough to be stored in ordinary sectors.
for r in range(1001, 1301):
    put(r, 0, "beyond the import range")

sheet_cells = b""
for r, c, v in cells:
    if isinstance(v, float):
        sheet_cells += rec(0x0203, struct.pack("<HHHd", r, c, 15, v))
    else:
        sheet_cells += rec(0x00FD, struct.pack("<HHHI", r, c, 15, sst_index(v)))

sst = struct.pack("<II", len(cells), len(strings))
for s in strings:
    b = s.encode("latin-1")
    sst += struct.pack("<HB", len(b), 0) + b
xf_style = struct.pack("<HHHBBBBIIH", 0, 0, 0xFFF5, 0x20, 0, 0, 0, 0, 0, 0x20C0)
xf_cell = struct.pack("<HHHBBBBIIH", 0, 0, 0x0001, 0x20, 0, 0, 0, 0, 0, 0x20C0)
assert len(xf_style) == 20

sheet_name = b"Lock List Report"
def globals_part(sheet_offset):
    g = bof(0x0005)
    g += rec(0x0042, struct.pack("<H", 1252))  # code page
    g += b"".join(rec(0x00E0, xf_style) for _ in range(15)) + rec(0x00E0, xf_cell)
    g += rec(0x0085, struct.pack("<IBBBB", sheet_offset, 0, 0, len(sheet_name), 0) + sheet_name)
    g += rec(0x00FC, sst)
    g += rec(0x000A)
    return g

size = len(globals_part(0))
last_row = max(r for r, _, _ in cells)
sheet = bof(0x0010)
sheet += rec(0x0200, struct.pack("<IIHHH", 0, last_row + 1, 0, 5, 0))
sheet += sheet_cells + rec(0x000A)
stream = globals_part(size) + sheet
assert len(stream) >= 4096

# Compound file: sector 0 the allocation table, then the stream, then the directory.
SEC = 512
n_stream = (len(stream) + SEC - 1) // SEC
dir_sector = 1 + n_stream
assert dir_sector < 128
fat = [0xFFFFFFFD]
fat += [i + 1 for i in range(1, n_stream)] + [0xFFFFFFFE]
fat += [0xFFFFFFFE]
fat += [0xFFFFFFFF] * (128 - len(fat))

header = bytes.fromhex("d0cf11e0a1b11ae1") + b"\0" * 16
header += struct.pack("<HHHHH", 0x003E, 0x0003, 0xFFFE, 9, 6) + b"\0" * 6
header += struct.pack("<IIIIIIIII", 0, 1, dir_sector, 0, 4096, 0xFFFFFFFE, 0, 0xFFFFFFFE, 0)
header += struct.pack("<I", 0) + struct.pack("<I", 0xFFFFFFFF) * 108
assert len(header) == SEC

def entry(name, kind, child, start, size):
    n = (name + "\0").encode("utf-16-le") if name else b""
    return (n.ljust(64, b"\0") + struct.pack("<HBB", len(n), kind, 1)
            + struct.pack("<III", 0xFFFFFFFF, 0xFFFFFFFF, child) + b"\0" * 16
            + struct.pack("<I", 0) + b"\0" * 16 + struct.pack("<III", start, size, 0))

directory = entry("Root Entry", 5, 1, 0xFFFFFFFE, 0) + entry("Workbook", 2, 0xFFFFFFFF, 1, len(stream))
directory += (b"\0" * 64 + struct.pack("<HBB", 0, 0, 0) + struct.pack("<III", 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF)
              + b"\0" * 48) * 2
assert len(directory) == SEC

data = header + struct.pack("<128I", *fat) + stream.ljust(n_stream * SEC, b"\0") + directory
with open("lock_list.xls", "wb") as f:
    f.write(data)
