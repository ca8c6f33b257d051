#!/usr/bin/env python3
"""Writes the sample logos samples/logo.wmf (placeable) and samples/logo.emf,
record by record: a rounded frame, a flower of ellipses and a pie, a curved
leaf (an EMF path), a small bitmap and Russian text (8-bit Windows-1251 in a
RUSSIAN_CHARSET font, and UTF-16 in the EMF).

    tools/make_logo_metafiles.py [output-directory]   (default: samples/)
"""
import os
import struct
import sys

RUSSIAN_CHARSET = 204
NAVY, SKY, YELLOW, WHITE, GREEN = 0x803000, 0xF0D8A0, 0x00D0FF, 0xFFFFFF, 0x208020


def colorref(bgr):
    return bgr  # already 0x00BBGGRR


def dib24(rows):
    """A bottom-up 24-bit DIB; rows top first, colours 0xRRGGBB."""
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) // 4 * 4
    bits = b""
    for row in reversed(rows):
        line = b"".join(struct.pack("<BBB", c & 255, (c >> 8) & 255, c >> 16) for c in row)
        bits += line + b"\0" * (stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
    return header, bits


BITMAP = dib24([[0xFF0000, 0xFFFFFF, 0x0000FF],
                [0xFFFFFF, 0xFFD700, 0xFFFFFF],
                [0x0000FF, 0xFFFFFF, 0xFF0000]])


# ---- WMF ----

def wmf_record(fn, params=b""):
    if len(params) % 2:
        params += b"\0"
    return struct.pack("<IH", 3 + len(params) // 2, fn) + params


def words(*values):
    return b"".join(struct.pack("<h", v) for v in values)


def wmf_text(x, y, text):
    raw = text.encode("cp1251")
    pad = b"\0" if len(raw) % 2 else b""
    return wmf_record(0x0521, struct.pack("<H", len(raw)) + raw + pad + words(y, x))


def wmf_font(height, weight, face):
    face_bytes = face.encode("ascii").ljust(32, b"\0")
    return wmf_record(0x02FB, words(height, 0, 0, 0, weight) +
                      bytes([0, 0, 0, RUSSIAN_CHARSET, 0, 0, 2, 0]) + face_bytes)


def make_wmf():
    recs = []
    r = recs.append
    r(wmf_record(0x0103, words(8)))                           # anisotropic
    r(wmf_record(0x020B, words(0, 0)))                        # window origin
    r(wmf_record(0x020C, words(800, 2400)))                   # window extent
    r(wmf_record(0x02FA, struct.pack("<HhhI", 0, 20, 0, NAVY)))   # pen 0
    r(wmf_record(0x02FC, struct.pack("<HIH", 0, SKY, 0)))          # brush 1
    r(wmf_record(0x02FC, struct.pack("<HIH", 0, YELLOW, 0)))       # brush 2
    r(wmf_font(-260, 700, "Arial"))                                # font 3
    r(wmf_font(-120, 400, "Arial"))                                # font 4
    r(wmf_record(0x012D, words(0)))
    r(wmf_record(0x012D, words(1)))
    r(wmf_record(0x061C, words(160, 160, 780, 2380, 20, 20)))     # round rectangle
    r(wmf_record(0x012D, words(2)))
    for cx, cy in ((400, 250), (550, 400), (400, 550), (250, 400)):
        r(wmf_record(0x0418, words(cy + 110, cx + 110, cy - 110, cx - 110)))
    r(wmf_record(0x081A, words(400, 300, 300, 400, 500, 500, 300, 300)))  # pie centre
    r(wmf_record(0x0209, struct.pack("<I", NAVY)))
    r(wmf_record(0x0102, words(1)))                                # transparent
    r(wmf_record(0x012E, words(24)))                               # baseline
    r(wmf_record(0x012D, words(3)))
    r(wmf_text(800, 440, "Ромашка"))
    r(wmf_record(0x012D, words(4)))
    r(wmf_text(810, 640, "торговый дом"))
    r(wmf_record(0x0325, words(3, 800, 680, 1500, 700, 2200, 680)))  # underline
    header, bits = BITMAP
    r(wmf_record(0x0F43, struct.pack("<IH", 0xCC0020, 0) +
                 words(3, 3, 0, 0, 180, 180, 80, 2150) + header + bits))
    body = b"".join(recs) + struct.pack("<IH", 3, 0)
    max_rec = max(len(x) // 2 for x in recs)
    std = struct.pack("<HHHIHIH", 1, 9, 0x0300, (18 + len(body)) // 2, 5, max_rec, 0)
    placeable = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, 2400, 800, 1440, 0)
    checksum = 0
    for i in range(0, 20, 2):
        checksum ^= struct.unpack_from("<H", placeable, i)[0]
    return placeable + struct.pack("<H", checksum) + std + body


# ---- EMF ----

def emf_record(rtype, payload=b""):
    payload += b"\0" * (-len(payload) % 4)
    return struct.pack("<II", rtype, 8 + len(payload)) + payload


def ints(*values):
    return b"".join(struct.pack("<i", v) for v in values)


def emf_font(index, height, weight, face):
    face_bytes = face.encode("utf-16-le").ljust(64, b"\0")
    return emf_record(82, struct.pack("<Iiiiii", index, height, 0, 0, 0, weight) +
                      bytes([0, 0, 0, RUSSIAN_CHARSET, 0, 0, 2, 0]) + face_bytes)


def emf_text(x, y, text, wide):
    raw = text.encode("utf-16-le" if wide else "cp1251")
    count = len(text)
    fixed = ints(0, 0, -1, -1) + struct.pack("<Iff", 1, 0, 0)
    emrtext = ints(x, y) + struct.pack("<III", count, 76, 0) + ints(0, 0, -1, -1) + struct.pack("<I", 0)
    return emf_record(84 if wide else 83, fixed + emrtext + raw)


def make_emf():
    recs = []
    r = recs.append
    r(emf_record(17, ints(8)))                                     # anisotropic
    r(emf_record(9, ints(2400, 800)))                              # window extent
    r(emf_record(11, ints(600, 200)))                              # viewport extent
    r(emf_record(38, struct.pack("<IIiiI", 1, 0, 20, 0, NAVY)))    # pen
    r(emf_record(39, struct.pack("<IIII", 2, 0, SKY, 0)))          # brushes
    r(emf_record(39, struct.pack("<IIII", 3, 0, YELLOW, 0)))
    r(emf_record(39, struct.pack("<IIII", 4, 0, GREEN, 0)))
    r(emf_font(5, -260, 700, "Arial"))
    r(emf_font(6, -120, 400, "Arial"))
    r(emf_record(37, ints(1)))
    r(emf_record(37, ints(2)))
    r(emf_record(44, ints(20, 20, 2380, 780, 160, 160)))           # round rectangle
    r(emf_record(37, ints(3)))
    for cx, cy in ((400, 250), (550, 400), (400, 550), (250, 400)):
        r(emf_record(42, ints(cx - 110, cy - 110, cx + 110, cy + 110)))
    r(emf_record(47, ints(300, 300, 500, 500, 500, 400, 400, 300)))  # pie centre
    # A leaf as a path of two Bezier curves.
    r(emf_record(37, ints(4)))
    r(emf_record(59))
    r(emf_record(27, ints(560, 600)))
    r(emf_record(88, ints(0, 0, -1, -1) + struct.pack("<I", 6) +
                 words(640, 520, 740, 560, 760, 660, 680, 700, 600, 700, 560, 600)))
    r(emf_record(61))
    r(emf_record(60))
    r(emf_record(63))
    r(emf_record(24, ints(NAVY)))
    r(emf_record(18, ints(1)))
    r(emf_record(22, ints(24)))
    r(emf_record(37, ints(5)))
    r(emf_text(800, 440, "Ромашка", False))
    r(emf_record(37, ints(6)))
    r(emf_text(810, 640, "торговый дом", True))
    r(emf_record(4, ints(0, 0, -1, -1) + struct.pack("<I", 3) + ints(800, 680, 1500, 700, 2200, 680)))
    header, bits = BITMAP
    off_bmi = 80
    r(emf_record(81, ints(0, 0, -1, -1) + ints(2150, 80, 0, 0, 3, 3) +
                 struct.pack("<IIIIII", off_bmi, 40, off_bmi + 40, len(bits), 0, 0xCC0020) +
                 ints(180, 180) + header + bits))
    r(emf_record(14, struct.pack("<III", 0, 16, 20)))
    body = b"".join(recs)
    header_size = 108
    # Reference device: 1200 x 800 pixels on 300 x 200 mm (4 px/mm);
    # the picture is 600 x 200 pixels = 150 x 50 mm.
    hdr = struct.pack("<II", 1, header_size) + ints(0, 0, 599, 199) + ints(0, 0, 15000, 5000)
    hdr += struct.pack("<IIIIHHIII", 0x464D4520, 0x10000, header_size + len(body), len(recs) + 1,
                       7, 0, 0, 0, 0)
    hdr += ints(1200, 800, 300, 200) + struct.pack("<III", 0, 0, 0) + struct.pack("<II", 300000, 200000)
    return hdr + body


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "samples")
    with open(os.path.join(out, "logo.wmf"), "wb") as f:
        f.write(make_wmf())
    with open(os.path.join(out, "logo.emf"), "wb") as f:
        f.write(make_emf())


if __name__ == "__main__":
    main()
