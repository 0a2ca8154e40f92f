#!/usr/bin/env python3
"""Build Tavelo's BIG5-to-GB2312 table and the 1-bit bitmap "Code" that carries it.

Output (in --output-dir, default the repository's resources/):
  big5_map.bin  the 13,240 table bytes;
  code.bmp      a 320x331 1-bpp bottom-up BI_RGB bitmap (palette black, white)
                whose pixel array is exactly those bytes, table byte k = pixel
                byte k, as the resource compiler's BITMAP statement expects.

Table layout.  Every BIG5 code (lead 0xA1-0xF9, trail 0x40-0x7E or 0xA1-0xFE)
has a position n = (lead-0xA1)*157 + t, t = trail-0x40 or trail-0x62.  The
bits are read most significant first and form three sections at fixed byte
offsets:
  A  positions 0-470       bytes 0-411       "1" = none, "0" + 10-bit value
  B  positions 471-5871    bytes 412-9188    bare 13-bit values, 0 = none
  C  positions 5872-13972  bytes 9189-13239  "1" = none, "0" + 13-bit value
A value is the GB2312 code's row*94+cell (row = lead-0xA1, cell = trail-0xA1).
Bits after a section's last entry are all ones.

Correspondence.  A code's character is its CP950 character, except that
0xC6A1-0xC8FE follow the extended layout that starts with the circled numbers
(as in Python's big5hkscs codec).  The character maps, in order of preference:
  1. same:           to the same character in GB2312;
  2. simplification: to its simplified form from OpenCC t2s, when that is a
                     single character that GB2312 has;
  3. variant:        to what glibc's direct BIG5 -> GB2312 table gives for the
                     code, which folds variants (e.g. 妳 -> 你) and symbols to
                     look-alikes; its stand-in "□" (0xA1F5) counts as nothing,
                     and it is asked only about codes whose character glibc's
                     BIG5 decoder reads the same way.
Section A stores 10-bit values only, so a counterpart outside GB2312 rows 0-10
cannot be stored there.

Capacity rule.  The fixed offsets let A hold 282 mapped entries and C 1,869,
fewer than the sources offer.  The candidates of such a section are ranked and
the first ones kept: by the preference above (same, simplification, variant),
then common before rare, then by BIG5 code.  A candidate is rare when its
character is a Unicode small or vertical presentation form (BIG5 text writes
these marks with their ordinary full-width codes, which map already) or when
its GB2312 counterpart is a level-2 hanzi (rows 55-86; GB2312 put the 3,755
most frequent hanzi in level 1).  Among equals, BIG5's own order decides: its
level-2 hanzi run by stroke count, so the most complex ones are left out.
With Debian 12's data this leaves out 20 presentation forms in A, and in C
its 159 variants and the last 17 level-2 simplifications; every symbol of the
extended block maps to the same character and keeps its place.  Everything
left out is printed.

The script checks its own output: it reads both files back, decodes every
position with a separate decoder, compares with the intended map, and checks
the fill bits and a few known pairs.  It is deterministic.

Requires (Debian 12): python3, opencc (with libopencc-data, which provides
t2s.json), and iconv from libc-bin with glibc's GBBIG5 gconv module (libc6).

Usage: python3 tools/make_big5_map.py [--output-dir DIR]
"""

import argparse
import os
import struct
import subprocess
import sys
import time
import unicodedata
from collections import namedtuple

TABLE_BYTES = 13240
BMP_WIDTH = 320
BMP_HEIGHT = 331
BMP_PPM = 3780               # 96 dpi
PALETTE = b"\x00\x00\x00\x00\xff\xff\xff\x00"   # index 0 black, index 1 white
MAX_GB_VALUE = 8177          # row 86, cell 93: the last code with lead 0xF7
GB_LEVEL2_FIRST_ROW = 55     # lead 0xD8
GB_STAND_IN = b"\xa1\xf5"    # glibc's "□" for a code it cannot translate
EXTENDED_FIRST, EXTENDED_LAST = 0xC6A1, 0xC8FE

SAME, SIMPLIFICATION, VARIANT = "same", "simplification", "variant"
CLASSES = (SAME, SIMPLIFICATION, VARIANT)

Section = namedtuple("Section", "name first count offset size width flagged")
SECTIONS = (
    Section("A", 0, 471, 0, 412, 10, True),
    Section("B", 471, 5401, 412, 8777, 13, False),
    Section("C", 5872, 8101, 9189, 4051, 13, True),
)

# Mapping of one code position: its class and GB2312 value.
Mapping = namedtuple("Mapping", "cls value")

KNOWN_PAIRS = (
    (0xA140, 0xA1A1),   # ideographic space
    (0xA440, 0xD2BB),   # 一
    (0xB0EA, 0xB9FA),   # 國 -> 国
    (0xC6A1, 0xA2D9),   # ①
)


def big5_codes():
    """Return every BIG5 code in code-position order."""
    trails = list(range(0x40, 0x7F)) + list(range(0xA1, 0xFF))
    return [lead << 8 | trail for lead in range(0xA1, 0xFA) for trail in trails]


def position(code):
    """Return the code position of a BIG5 code."""
    lead, trail = code >> 8, code & 0xFF
    return (lead - 0xA1) * 157 + (trail - 0x40 if trail < 0xA1 else trail - 0x62)


def section_of(n):
    """Return the section that holds code position n."""
    return next(s for s in SECTIONS if s.first <= n < s.first + s.count)


def is_extended(code):
    """Tell whether a code lies in the extended block that starts with ①."""
    return EXTENDED_FIRST <= code <= EXTENDED_LAST


def big5_char(code):
    """Return the character of a BIG5 code, or None when it has none."""
    codec = "big5hkscs" if is_extended(code) else "cp950"
    try:
        return bytes([code >> 8, code & 0xFF]).decode(codec)
    except UnicodeDecodeError:
        return None


def gb_pair(value):
    """Return the two-byte GB2312 code of a linear value."""
    return bytes([0xA1 + value // 94, 0xA1 + value % 94])


def gb_value_of_bytes(pair):
    """Return the linear value of a two-byte GB2312 code."""
    return (pair[0] - 0xA1) * 94 + (pair[1] - 0xA1)


def gb_value(ch):
    """Return the GB2312 value of a character, or None when GB2312 lacks it."""
    try:
        pair = ch.encode("gb2312")
    except UnicodeEncodeError:
        return None
    return gb_value_of_bytes(pair) if len(pair) == 2 else None


def run_lines(argv, items):
    """Run a filter command over one byte string per line and return its output lines."""
    data = b"".join(item + b"\n" for item in items)
    out = subprocess.run(argv, input=data, stdout=subprocess.PIPE, check=True).stdout
    lines = out.split(b"\n")
    if lines.pop() or len(lines) != len(items):
        sys.exit(f"{argv[0]}: {len(lines)} output lines for {len(items)} inputs")
    return lines


def simplify_all(chars):
    """Return each character's OpenCC t2s simplification, in one opencc run."""
    out = run_lines(["opencc", "-c", "t2s.json"], [ch.encode("utf-8") for ch in chars])
    return {ch: line.decode("utf-8") for ch, line in zip(chars, out)}


def glibc_variants(codes, chars):
    """Return glibc's GB2312 code (bytes) for each code whose character glibc reads alike.

    Two iconv runs over the codes, one per line: 0x0A is never a BIG5 trail
    byte nor part of a GB2312 code, and -c drops only what cannot be
    converted, so output line i belongs to input line i.
    """
    pairs = [bytes([c >> 8, c & 0xFF]) for c in codes]
    read = run_lines(["iconv", "-c", "-f", "BIG5", "-t", "UTF-8"], pairs)
    gb = run_lines(["iconv", "-c", "-f", "BIG5", "-t", "GB2312"], pairs)
    return {code: out for code, ch, seen, out in zip(codes, chars, read, gb)
            if seen.decode("utf-8") == ch and len(out) == 2
            and out[0] >= 0xA1 and out[1] >= 0xA1 and out != GB_STAND_IN}


def candidates(ch, simplified, variant):
    """Yield (class, value) pairs for one character in order of preference."""
    same = gb_value(ch)
    if same is not None:
        yield SAME, same
    simple = simplified.get(ch, "")
    if len(simple) == 1 and simple != ch and gb_value(simple) is not None:
        yield SIMPLIFICATION, gb_value(simple)
    if variant is not None:
        yield VARIANT, gb_value_of_bytes(variant)


def build_correspondence():
    """Return, per code position, the chosen Mapping or None, plus reasons for the Nones."""
    codes = big5_codes()
    chars = [big5_char(c) for c in codes]
    simplified = simplify_all(sorted({ch for ch in chars if ch and gb_value(ch) is None}))
    asked = [(c, ch) for c, ch in zip(codes, chars) if ch and not is_extended(c)]
    variants = glibc_variants([c for c, _ in asked], [ch for _, ch in asked])
    mapping, reason = [], {}
    for n, (code, ch) in enumerate(zip(codes, chars)):
        limit = (1 << section_of(n).width) - 1
        found = list(candidates(ch, simplified, variants.get(code))) if ch else []
        usable = [Mapping(cls, v) for cls, v in found if v <= min(limit, MAX_GB_VALUE)]
        mapping.append(usable[0] if usable else None)
        if not usable:
            reason[n] = "no character" if not ch else \
                "beyond 10 bits" if found else "no counterpart"
    return codes, chars, mapping, reason


def is_rare(ch, m):
    """Tell whether a candidate is a presentation form or maps to a level-2 hanzi."""
    tag = unicodedata.decomposition(ch).split(" ")[0]
    return tag in ("<small>", "<vertical>") or m.value // 94 >= GB_LEVEL2_FIRST_ROW


def capacity(section):
    """Return how many mapped entries fit into a flagged section."""
    return (section.size * 8 - section.count) // section.width


def apply_capacity(codes, chars, mapping, reason):
    """Drop the lowest-ranked candidates of sections A and C beyond their capacity; return them."""
    left_out = {}
    for s in SECTIONS:
        if not s.flagged:
            continue
        ranked = sorted((n for n in range(s.first, s.first + s.count) if mapping[n]),
                        key=lambda n: (CLASSES.index(mapping[n].cls),
                                       is_rare(chars[n], mapping[n]), codes[n]))
        left_out[s.name] = [(n, mapping[n]) for n in sorted(ranked[capacity(s):])]
        for n, _ in left_out[s.name]:
            reason[n] = "left out"
            mapping[n] = None
    return left_out


def encode(mapping):
    """Encode the chosen values into the 13,240 table bytes."""
    table = bytearray()
    for s in SECTIONS:
        bits = []
        for m in mapping[s.first:s.first + s.count]:
            if s.flagged:
                bits.append("1" if m is None else "0" + format(m.value, f"0{s.width}b"))
            else:
                bits.append(format(0 if m is None else m.value, f"0{s.width}b"))
        stream = "".join(bits)
        if len(stream) > s.size * 8:
            sys.exit(f"section {s.name}: {len(stream)} bits exceed {s.size * 8}")
        table += int(stream.ljust(s.size * 8, "1"), 2).to_bytes(s.size, "big")
    return bytes(table)


def bmp_bytes(table):
    """Wrap the table as a 1-bpp bottom-up bitmap file whose pixel array is the table."""
    offset = 14 + 40 + len(PALETTE)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(table), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, BMP_WIDTH, BMP_HEIGHT, 1, 1, 0,
                       len(table), BMP_PPM, BMP_PPM, 2, 0)
    return file_header + info + PALETTE + table


def table_from_bmp(data):
    """Check a bitmap file's headers and return its pixel array."""
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    fields = struct.unpack_from("<IiiHHIIiiII", data, 14)
    expected = (40, BMP_WIDTH, BMP_HEIGHT, 1, 1, 0, TABLE_BYTES, BMP_PPM, BMP_PPM, 2, 0)
    if (magic, size, offset, fields) != (b"BM", len(data), 62, expected) \
            or data[54:62] != PALETTE:
        sys.exit("code.bmp: unexpected headers")
    return data[offset:]


def bit(table, k):
    """Return bit k of the table, most significant bit of each byte first."""
    return table[k >> 3] >> (7 - (k & 7)) & 1


def bits_value(table, k, width):
    """Return the unsigned value of width bits starting at table bit k."""
    value = 0
    for i in range(width):
        value = value << 1 | bit(table, k + i)
    return value


def decode_all(table):
    """Decode every position bit by bit; return values (None = flagged) and section end bits."""
    values, ends = [], {}
    for s in SECTIONS:
        k, end = s.offset * 8, (s.offset + s.size) * 8
        for _ in range(s.count):
            empty = s.flagged and k < end and bit(table, k) == 1
            length = 1 if empty else s.width + (1 if s.flagged else 0)
            if k + length > end:
                sys.exit(f"section {s.name}: entries run past the section's end")
            values.append(None if empty else bits_value(table, k + length - s.width, s.width))
            k += length
        ends[s.name] = k
    return values, ends


def lookup(table, code):
    """Translate one BIG5 code to GB2312 bytes by the same walk as the program's lookup."""
    n = position(code)
    s = section_of(n)
    if not s.flagged:
        v = bits_value(table, s.offset * 8 + (n - s.first) * s.width, s.width)
    else:
        k = s.offset * 8
        for _ in range(n - s.first):
            k += 1 if bit(table, k) else 1 + s.width
        v = 0 if bit(table, k) else bits_value(table, k + 1, s.width)
    return gb_pair(v)


def verify(table, mapping):
    """Exit with a message unless the table decodes to the intended map."""
    values, ends = decode_all(table)
    for n, (got, m) in enumerate(zip(values, mapping)):
        want = m.value if m else (None if section_of(n).flagged else 0)
        if got != want:
            sys.exit(f"position {n}: decoded {got}, meant {want}")
    for s in SECTIONS:
        fill = range(ends[s.name], (s.offset + s.size) * 8)
        if not all(bit(table, k) for k in fill):
            sys.exit(f"section {s.name}: fill bits are not all ones")
    for code, gb in KNOWN_PAIRS:
        got = lookup(table, code)
        if got != gb.to_bytes(2, "big"):
            sys.exit(f"{code:04X}: translates to {got.hex().upper()}, expected {gb:04X}")
        print(f"check {code:04X} {big5_char(code)} -> {got.hex().upper()} "
              f"{got.decode('gb2312')}: ok")
    return ends


def describe(code, ch, m):
    """Format one mapping as 'CODE char->target'."""
    return f"{code:04X} {ch}->{gb_pair(m.value).decode('gb2312')}"


def report(codes, chars, mapping, reason, left_out, ends):
    """Print the counts per section and class and the left-out candidates."""
    for s in SECTIONS:
        span = range(s.first, s.first + s.count)
        counts = {cls: sum(1 for n in span if mapping[n] and mapping[n].cls == cls)
                  for cls in CLASSES}
        causes = {}
        for n in span:
            if n in reason:
                causes[reason[n]] = causes.get(reason[n], 0) + 1
        none = ", ".join(f"{k} {v}" for k, v in sorted(causes.items()))
        mapped = sum(counts.values())
        print(f"section {s.name}: {mapped} mapped (" +
              ", ".join(f"{cls} {counts[cls]}" for cls in CLASSES) +
              f"), none {s.count - mapped} ({none}); "
              f"{ends[s.name] - s.offset * 8} of {s.size * 8} bits")
    for name, dropped in left_out.items():
        print(f"left out of section {name} ({len(dropped)}):")
        for cls in CLASSES:
            items = [describe(codes[n], chars[n], m) for n, m in dropped if m.cls == cls]
            for i in range(0, len(items), 10):
                print(f"  {cls}: " + "  ".join(items[i:i + 10]))


def main():
    """Generate, write, read back and verify the table and its bitmap."""
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    default = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    parser.add_argument("--output-dir", default=os.path.normpath(default))
    args = parser.parse_args()
    start = time.monotonic()

    codes, chars, mapping, reason = build_correspondence()
    left_out = apply_capacity(codes, chars, mapping, reason)
    table = encode(mapping)
    if len(table) != TABLE_BYTES:
        sys.exit(f"table has {len(table)} bytes")

    os.makedirs(args.output_dir, exist_ok=True)
    bin_path = os.path.join(args.output_dir, "big5_map.bin")
    bmp_path = os.path.join(args.output_dir, "code.bmp")
    with open(bin_path, "wb") as f:
        f.write(table)
    with open(bmp_path, "wb") as f:
        f.write(bmp_bytes(table))

    with open(bin_path, "rb") as f:
        from_bin = f.read()
    with open(bmp_path, "rb") as f:
        from_bmp = table_from_bmp(f.read())
    if from_bin != from_bmp:
        sys.exit("big5_map.bin and the pixels of code.bmp differ")
    ends = verify(from_bmp, mapping)
    report(codes, chars, mapping, reason, left_out, ends)
    print(f"wrote {bin_path} and {bmp_path} in {time.monotonic() - start:.1f} s")


if __name__ == "__main__":
    main()
