#!/usr/bin/env python3
"""Build the encoding room's tables from the system's codecs: glibc's iconv
(Debian's libc-bin and libc6) and Python's codecs (libpython3.11-stdlib).

  encoding/gb_tables.cpp    GB2312, GBK and GB18030: decoding and encoding
  encoding/big5_tables.cpp  BIG5 (CP950) and Big5-HKSCS: decoding and encoding
  docs/encoding-choices.md  every code where the system codecs disagree, and
                            the reading chosen

Each code is decoded by each codec on its own, so the tables say exactly what
the codecs say; where they disagree the rules below choose, and the choice is
listed.

GB18030 follows GB18030-2022, as glibc does for the two-byte codes: the ten
vertical forms (A6D9..A6F3) and eight radicals (FE59..FEA0) that GB18030-2000
mapped into the Private Use Area are read as their standard characters, and
the four-byte codes of those characters, which glibc leaves without a
character, hold the Private Use code points in exchange, so that every code
point keeps exactly one code. A8BC is U+1E3F and 81 35 F4 37 is U+E7C7
(GB18030-2005 on, glibc; Python's codec keeps 2000's swap). The six codes
FE51, FE52, FE53, FE6C, FE76 and FE91 stay in the Private Use Area (Python,
the standard): glibc reads them as characters of plane 2 that have four-byte
codes of their own. The single byte 0x80 reads as U+20AC, as CP936 writes the
euro sign.

BIG5 has two readings, one table each: CP950 (Python's cp950, Windows' code
page 950) and Big5-HKSCS (glibc's BIG5-HKSCS, HKSCS-2008). A code only one of
them defines reads alike in both; a code both define differently reads as
the label says.

Usage: python3 tools/make_encoding_tables.py [--output-dir DIR] [--docs PATH]
"""
import argparse
import os
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..")

TRAILS_GB = list(range(0x40, 0x7F)) + list(range(0x80, 0xFF))
TRAILS_BIG5 = list(range(0x40, 0x7F)) + list(range(0xA1, 0xFF))
ROW = 192  # table columns per lead: trails 0x40..0xFF
SUPPLEMENT_BASE = 0xD800  # table values from here index the plane-2 list
SEQUENCES = {0x8862: (0x00CA, 0x0304), 0x8864: (0x00CA, 0x030C),
             0x88A3: (0x00EA, 0x0304), 0x88A5: (0x00EA, 0x030C)}


# ---- The codecs, one code at a time ----

def iconv_decode(encoding, codes):
    """Each code decoded by glibc on its own; None where it is no character.
    With -c glibc skips a byte it cannot read and reads on, so a result that
    holds ASCII (a trail byte read alone) is no character either."""
    data = b"".join(code + b"\n" for code in codes)
    result = subprocess.run(["iconv", "-c", "-f", encoding, "-t", "UTF-32LE"], input=data,
                            capture_output=True)
    parts = result.stdout.decode("utf-32-le").split("\n")
    if len(parts) != len(codes) + 1:
        raise SystemExit(f"iconv {encoding}: separators lost")
    return [p if p and all(ord(c) >= 0x80 for c in p) else None for p in parts[:-1]]


def iconv_encode(encoding, characters):
    """Each string encoded by glibc on its own; None where it cannot be."""
    data = "".join(c + "\n" for c in characters).encode("utf-8")
    result = subprocess.run(["iconv", "-c", "-f", "UTF-8", "-t", encoding], input=data,
                            capture_output=True)
    parts = result.stdout.split(b"\n")
    if len(parts) != len(characters) + 1:
        raise SystemExit(f"iconv to {encoding}: separators lost")
    return [p or None for p in parts[:-1]]


def python_decode(encoding, code):
    try:
        return code.decode(encoding)
    except UnicodeError:
        return None


def python_encode(encoding, text):
    try:
        return text.encode(encoding)
    except UnicodeError:
        return None


def four_byte(index):
    b4 = index % 10
    index //= 10
    b3 = index % 126
    index //= 126
    return bytes([0x81 + index // 10, 0x30 + index % 10, 0x81 + b3, 0x30 + b4])


def hexes(text):
    return "+".join(f"U+{ord(c):04X}" for c in text) if text else "none"


# ---- GB2312, GBK, GB18030 ----

def gb_tables(choices):
    # GB2312: EUC-CN pairs, glibc and Python alike.
    codes = [bytes([l, t]) for l in range(0xA1, 0xFF) for t in range(0xA1, 0xFF)]
    gb2312 = iconv_decode("GB2312", codes)
    for code, text in zip(codes, gb2312):
        if text != python_decode("gb2312", code):
            raise SystemExit(f"GB2312 {code.hex()}: glibc and Python differ")
    gb2312_table = [ord(t) if t else 0 for t in gb2312]

    # GB18030's pairs.
    pairs = [bytes([l, t]) for l in range(0x81, 0xFF) for t in TRAILS_GB]
    glibc = iconv_decode("GB18030", pairs)
    gbk = iconv_decode("GBK", pairs)
    pair_of = {}
    for code, g, gk in zip(pairs, glibc, gbk):
        p = python_decode("gb18030", code)
        pk = python_decode("gbk", code)
        chosen = g
        if g != p:
            chosen = p if g and ord(g[0]) > 0xFFFF else g
            choices.append(("GB18030", code.hex().upper(),
                            {"glibc GB18030": g, "Python gb18030": p}, chosen))
        if gk != pk:
            raise SystemExit(f"GBK {code.hex()}: glibc and Python differ")
        if gk is not None and gk != chosen:
            raise SystemExit(f"GBK {code.hex()} reads {hexes(gk)}, GB18030 {hexes(chosen)}")
        if len(chosen) != 1 or ord(chosen) > 0xFFFF:
            raise SystemExit(f"GB18030 {code.hex()}: {hexes(chosen)} is no BMP character")
        pair_of[code] = (ord(chosen), gk is not None)
    for code, text in zip(codes, gb2312):
        if text and pair_of[code][0] != ord(text):
            choices.append(("GB2312", code.hex().upper(),
                            {"glibc GB2312, Python gb2312": text,
                             "glibc GBK, GB18030": chr(pair_of[code][0])},
                            "as the label says: GB2312 text reads " + hexes(text)))

    # The four-byte codes of the BMP.
    swapped = {}  # standard character -> the Private Use one its pair had before 2022
    for code, g in zip(pairs, glibc):
        p = python_decode("gb18030", code)
        if g and p and g != p and 0xE000 <= ord(p) <= 0xF8FF and ord(g) <= 0xFFFF:
            swapped[g] = p
    fours = [four_byte(i) for i in range(39420)]
    glibc4 = iconv_decode("GB18030", fours)
    four_of = []
    for index, (code, g) in enumerate(zip(fours, glibc4)):
        p = python_decode("gb18030", code)
        chosen = g
        if g != p:
            if g is None and p in swapped:
                chosen = swapped[p]
            elif g == "\ue7c7":
                chosen = g
            else:
                raise SystemExit(f"GB18030 {code.hex()}: no rule for {hexes(g)} / {hexes(p)}")
            choices.append(("GB18030", code.hex().upper(),
                            {"glibc GB18030": g, "Python gb18030": p}, chosen))
        four_of.append(ord(chosen) if chosen else 0)

    # Every BMP character but the surrogates has exactly one code.
    owner = {}
    for code, (cp, _) in pair_of.items():
        owner.setdefault(cp, []).append(code)
    for index, cp in enumerate(four_of):
        if cp:
            owner.setdefault(cp, []).append(four_byte(index))
    for cp in range(0x80, 0x10000):
        if 0xD800 <= cp <= 0xDFFF:
            continue
        if len(owner.get(cp, [])) != 1:
            raise SystemExit(f"GB18030: U+{cp:04X} has codes {owner.get(cp)}")

    # GBK's encoder is glibc's: the euro sign is the byte 0x80.
    if iconv_encode("GBK", ["\u20ac"]) != [b"\x80"]:
        raise SystemExit("glibc GBK no longer writes the euro sign as 0x80")
    return gb2312_table, pair_of, four_of


def segments(four_of):
    """The four-byte codes as runs where index and character both count up."""
    runs = []
    for index, cp in enumerate(four_of):
        if not cp:
            continue
        if runs and runs[-1][0] + runs[-1][2] == index and runs[-1][1] + runs[-1][2] == cp:
            runs[-1][2] += 1
        else:
            runs.append([index, cp, 1])
    return runs


# ---- BIG5: CP950 and Big5-HKSCS ----

def big5_tables(choices):
    codes = [bytes([l, t]) for l in range(0x81, 0xFF) for t in TRAILS_BIG5]
    hkscs = iconv_decode("BIG5-HKSCS", codes)
    cp950_table, hkscs_table = {}, {}
    for code, h in zip(codes, hkscs):
        c = python_decode("cp950", code)
        number = int.from_bytes(code, "big")
        if number in SEQUENCES and h != "".join(map(chr, SEQUENCES[number])):
            raise SystemExit(f"BIG5-HKSCS {code.hex()} is no longer {SEQUENCES[number]}")
        if c is not None and h is not None and c != h:
            choices.append(("BIG5", code.hex().upper(), {"Python cp950": c, "glibc BIG5-HKSCS": h},
                            "as the label says: big5 reads " + hexes(c) + ", big5-hkscs " +
                            hexes(h)))
        either = c if c is not None else h
        cp950_table[code] = either
        hkscs_table[code] = h if h is not None else c
    # Where other codecs of the same names read otherwise: listed, not followed.
    glibc_big5 = iconv_decode("BIG5", codes)
    for code, g in zip(codes, glibc_big5):
        others = {"glibc BIG5 (CP950)": g, "Python big5": python_decode("big5", code),
                  "Python big5hkscs": python_decode("big5hkscs", code)}
        chosen = cp950_table[code]
        for name, text in others.items():
            if text is not None and text != chosen and text != hkscs_table[code]:
                if g is not None and 0xE000 <= ord(g[0]) <= 0xF8FF and name == "glibc BIG5 (CP950)":
                    continue  # user-defined codes glibc reads as Private Use: summed up in the docs
                choices.append(("BIG5 (not followed)", code.hex().upper(), {name: text},
                                "big5 " + hexes(chosen) + ", big5-hkscs " + hexes(hkscs_table[code])))
    return codes, cp950_table, hkscs_table


def big5_decode_arrays(codes, tables):
    supplement = sorted({ord(t) for table in tables for t in table.values()
                         if t and len(t) == 1 and ord(t) > 0xFFFF})
    if len(supplement) > 0x800:
        raise SystemExit(f"{len(supplement)} plane-2 characters do not fit the surrogate range")
    index_of = {cp: i for i, cp in enumerate(supplement)}
    arrays = []
    for table in tables:
        values = [0] * (126 * ROW)
        for code in codes:
            text = table[code]
            number = int.from_bytes(code, "big")
            slot = (code[0] - 0x81) * ROW + code[1] - 0x40
            if text is None:
                continue
            if number in SEQUENCES:
                values[slot] = 1 + sorted(SEQUENCES).index(number)
            elif ord(text) > 0xFFFF:
                values[slot] = SUPPLEMENT_BASE + index_of[ord(text)]
            else:
                values[slot] = ord(text)
        arrays.append(values)
    return supplement, arrays


# ---- Encoders as two-level tables ----

def paged(code_of):
    """code_of: BMP code point -> 16-bit code. A page of 256 code points with
    no code shares page 0; returns (page of each high byte, the pages' codes)."""
    pages = {}
    page_numbers = [0] * 256
    data = [[0] * 256]
    for high in range(256):
        block = [code_of.get(high << 8 | low, 0) for low in range(256)]
        if not any(block):
            continue
        key = tuple(block)
        if key not in pages:
            pages[key] = len(data)
            data.append(block)
        page_numbers[high] = pages[key]
    if len(data) > 256:
        raise SystemExit("more than 255 pages")
    return page_numbers, [v for block in data for v in block]


def encoder_from_python(encoding, limit=0x10000):
    code_of = {}
    for cp in range(0x80, limit):
        if 0xD800 <= cp <= 0xDFFF:
            continue
        b = python_encode(encoding, chr(cp))
        if b is not None and len(b) == 2:
            code_of[cp] = int.from_bytes(b, "big")
    return code_of


def encoder_from_iconv(encoding, characters, choices):
    code_of = {}
    for cp, b in zip(characters, iconv_encode(encoding, [chr(c) for c in characters])):
        if b is not None:
            if cp == 0x80 and b == b"\x80":
                # glibc passes the C1 control U+0080 through as the byte 0x80,
                # which BIG5 has no character for.
                choices.append((encoding + " (not followed)", "80", {"glibc": "\x80"}, None))
                continue
            if len(b) != 2:
                raise SystemExit(f"{encoding}: U+{cp:04X} is {b.hex()}")
            code_of[cp] = int.from_bytes(b, "big")
    return code_of


# ---- Output ----

def array(kind, name, values, per_line=12, width=4):
    lines = [f"const {kind} {name}[{len(values)}] = {{"]
    for start in range(0, len(values), per_line):
        row = ", ".join(f"0x{v:0{width}X}" for v in values[start:start + per_line])
        lines.append(f"    {row},")
    lines.append("};")
    return lines


def write(path, generator, lines):
    header = ["// Generated by tools/make_encoding_tables.py from", f"// {generator}; do not edit.",
              '#include "encoding/tables.h"', "", "// clang-format off"]
    with open(path, "w", encoding="ascii") as f:
        f.write("\n".join(header + lines + ["// clang-format on"]) + "\n")


def gb_output(gb2312_table, pair_of, four_of):
    pair_values = [0] * (126 * 256)
    gbk_bits = [0] * ((126 * ROW + 7) // 8)
    for code, (cp, in_gbk) in pair_of.items():
        pair_values[(code[0] - 0x81) * 256 + ((code[1] - 0xA1) & 0xFF)] = cp
        slot = (code[0] - 0x81) * ROW + code[1] - 0x40
        if in_gbk:
            gbk_bits[slot // 8] |= 1 << (slot % 8)
    runs = segments(four_of)
    by_character = sorted(runs, key=lambda r: r[1])
    page_numbers, page_codes = paged({cp: int.from_bytes(code, "big")
                                      for code, (cp, _) in pair_of.items()})
    lines = []
    lines += array("std::uint16_t", "kGb2312CodePoints", gb2312_table)
    lines += [""] + array("std::uint16_t", "kGb18030PairCodePoints", pair_values)
    lines += [""] + array("std::uint8_t", "kGbkPairBits", gbk_bits, 16, 2)
    lines += ["", f"const FourByteRun kGb18030FourByteRuns[{len(runs)}] = {{"]
    lines += [f"    {{{i}, 0x{cp:04X}, {n}}}," for i, cp, n in runs] + ["};"]
    lines += ["", f"const FourByteRun kGb18030FourByteRunsByCharacter[{len(runs)}] = {{"]
    lines += [f"    {{{i}, 0x{cp:04X}, {n}}}," for i, cp, n in by_character] + ["};"]
    lines += [""] + array("std::uint8_t", "kGb18030PairPages", page_numbers, 16, 2)
    lines += [""] + array("std::uint16_t", "kGb18030PairCodes", page_codes)
    return lines, len(runs), len(page_codes) // 256


def big5_output(codes, cp950_table, hkscs_table, choices):
    supplement, (cp950_values, hkscs_values) = big5_decode_arrays(codes, [cp950_table, hkscs_table])
    cp950_code_of = encoder_from_python("cp950")
    bmp_and_plane2 = [cp for cp in range(0x80, 0x30000)
                      if not 0xD800 <= cp <= 0xDFFF and not 0x10000 <= cp < 0x20000]
    hkscs_code_of = encoder_from_iconv("BIG5-HKSCS", bmp_and_plane2, choices)
    hkscs_bmp = {cp: c for cp, c in hkscs_code_of.items() if cp <= 0xFFFF}
    hkscs_plane2 = sorted((cp, c) for cp, c in hkscs_code_of.items() if cp > 0xFFFF)
    cp950_pages, cp950_codes = paged(cp950_code_of)
    hkscs_pages, hkscs_codes = paged(hkscs_bmp)
    lines = []
    lines += array("std::uint16_t", "kBig5Cp950CodePoints", cp950_values)
    lines += [""] + array("std::uint16_t", "kBig5HkscsCodePoints", hkscs_values)
    lines += [""] + array("std::uint32_t", "kBig5Plane2", supplement, 8, 5)
    lines += [""] + array("std::uint8_t", "kCp950Pages", cp950_pages, 16, 2)
    lines += [""] + array("std::uint16_t", "kCp950Codes", cp950_codes)
    lines += [""] + array("std::uint8_t", "kBig5HkscsPages", hkscs_pages, 16, 2)
    lines += [""] + array("std::uint16_t", "kBig5HkscsCodes", hkscs_codes)
    lines += ["", f"const Plane2Code kBig5HkscsPlane2Codes[{len(hkscs_plane2)}] = {{"]
    for start in range(0, len(hkscs_plane2), 6):
        row = ", ".join(f"{{0x{cp:05X}, 0x{c:04X}}}" for cp, c in hkscs_plane2[start:start + 6])
        lines.append(f"    {row},")
    lines.append("};")
    sizes = {"kBig5Plane2Count": len(supplement), "kCp950PageCount": len(cp950_codes) // 256,
             "kBig5HkscsPageCount": len(hkscs_codes) // 256,
             "kBig5HkscsPlane2CodeCount": len(hkscs_plane2)}
    return lines, sizes


def docs(choices, path):
    out = ["# Where the system's codecs disagree, and what Tavelo reads",
           "",
           "Generated by `tools/make_encoding_tables.py`, which reads every code of",
           "every encoding with glibc's iconv and Python's codecs; do not edit. The",
           "rules behind each choice are in [encodings.md](encodings.md).",
           "",
           "| encoding | code | the codecs read | Tavelo reads |",
           "|---|---|---|---|"]
    for encoding, code, readings, chosen in choices:
        said = "; ".join(f"{name}: {hexes(text)}" for name, text in readings.items())
        shown = chosen if isinstance(chosen, str) and chosen.startswith(("as ", "big5 ")) \
            else hexes(chosen)
        out.append(f"| {encoding} | {code} | {said} | {shown} |")
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--output-dir", default=os.path.join(ROOT, "encoding"))
    parser.add_argument("--docs", default=os.path.join(ROOT, "docs", "encoding-choices.md"))
    args = parser.parse_args()
    choices = []
    gb2312_table, pair_of, four_of = gb_tables(choices)
    lines, run_count, page_count = gb_output(gb2312_table, pair_of, four_of)
    write(os.path.join(args.output_dir, "gb_tables.cpp"),
          "glibc's GB2312, GBK and GB18030 and Python's gb2312, gbk and gb18030", lines)
    codes, cp950_table, hkscs_table = big5_tables(choices)
    big5_lines, sizes = big5_output(codes, cp950_table, hkscs_table, choices)
    write(os.path.join(args.output_dir, "big5_tables.cpp"),
          "Python's cp950 and glibc's BIG5-HKSCS", big5_lines)
    docs(choices, args.docs)
    print(f"kGb18030FourByteRunCount = {run_count}, kGb18030PageCount = {page_count}, " +
          ", ".join(f"{k} = {v}" for k, v in sizes.items()))


if __name__ == "__main__":
    main()
