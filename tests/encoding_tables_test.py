#!/usr/bin/env python3
"""Every code of every decoder and encoder of the encoding room, through
codec-probe (tests/codec_probe.cpp), against glibc's iconv and Python's codecs.

Decoders read every pair, every single byte from 0x80 and, for GB18030 and
GBK, every four-byte code of the BMP and a stride through the rest; UTF-8 and
UTF-16 their edges. Encoders write every code point from U+0080 to U+10FFFF.

Wherever ours differs from a codec of the label's name, either the code is
listed in docs/encoding-choices.md (and ours reads what the list says Tavelo
reads; an encoder writes each character at the code Tavelo reads it from), or
the difference is one of the choices named in DECODING_CHOICES and
ENCODING_CHOICES below. Anything else fails, and so does a named choice that
no longer makes any difference.

usage: encoding_tables_test.py CODEC_PROBE ENCODING_CHOICES_MD
"""
import re
import shutil
import subprocess
import sys
import time
from collections import Counter
from concurrent.futures import ThreadPoolExecutor

PROBE = sys.argv[1]
CHOICES = sys.argv[2]
SHOWN = 20  # failures printed per label and direction

BIG5_FAMILY = ("BIG5", "BIG5 (not followed)", "BIG5-HKSCS (not followed)")
# Each label: the docs' families that hold its choices, and the codecs of its
# name. glibc's CP950 is another name of its BIG5.
LABELS = {
    "gb2312": (("GB2312",), [("iconv", "GB2312"), ("python", "gb2312")]),
    "gbk": (("GB18030",), [("iconv", "GBK"), ("iconv", "CP936"), ("python", "gbk")]),
    "gb18030": (("GB18030",), [("iconv", "GB18030"), ("python", "gb18030")]),
    "big5": (BIG5_FAMILY, [("python", "cp950"), ("iconv", "BIG5")]),
    "big5-hkscs": (BIG5_FAMILY, [("iconv", "BIG5-HKSCS"), ("python", "big5hkscs")]),
    "utf-8": ((), [("python", "utf-8")]),
    "utf-16": ((), [("python", "utf-16")]),
}
ENCODERS = ["gb2312", "gbk", "gb18030", "big5", "big5-hkscs", "utf-16"]


# ---- The code spaces ----

def pairs(leads, trails):
    return [bytes([lead, trail]) for lead in leads for trail in trails]


def four_byte(index):
    b4, index = index % 10, index // 10
    b3, index = index % 126, index // 126
    return bytes([0x81 + index // 10, 0x30 + index % 10, 0x81 + b3, 0x30 + b4])


SINGLES = [bytes([b]) for b in range(0x80, 0x100)]
SUPPLEMENTARY = 189000  # the four-byte index of U+10000


def gb_codes():
    planes = [SUPPLEMENTARY + p * 0x10000 + d for p in range(16) for d in (0, 0xFFFF)]
    indexes = (list(range(39420)) + [39420, SUPPLEMENTARY - 1] + planes +
               list(range(SUPPLEMENTARY, SUPPLEMENTARY + 0x100000, 1009)) +
               [SUPPLEMENTARY + 0x100000, 126 * 10 * 126 * 10 - 1])
    return pairs(range(0x81, 0xFF), range(0x40, 0xFF)) + SINGLES + [four_byte(i) for i in indexes]


def utf8_codes():
    """Every lead byte before every second byte, and each lead's sequences at
    the edges of its second byte's range, whole and cut short."""
    codes = pairs(range(0x80, 0x100), [b for b in range(0x100) if b != 0x0A])
    for lead in range(0xC0, 0x100):
        for second in (0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0):
            for tail in (b"", b"\x80", b"\xbf", b"\x80\x80", b"\xbf\xbf", b"\x80A",
                         b"\x80\x80\x80"):
                codes.append(bytes([lead, second]) + tail)
    return codes


def utf16_codes():
    """Every unit, with either byte-order mark and without one; every high
    surrogate before a low one and before others, every low one alone; an odd
    byte. Codes holding a line feed cannot be probed, and "-" is the probe's
    word for unreadable."""
    units = [u for u in range(0x10000) if u != 0x2D]
    codes = []
    for mark, order in ((b"", "little"), (b"\xff\xfe", "little"), (b"\xfe\xff", "big")):
        def unit(u):
            return u.to_bytes(2, order)
        codes += [mark + unit(u) for u in units]
        codes += [mark + unit(high) + unit(low) for high in range(0xD800, 0xDC00)
                  for low in (0xDBFF, 0xDC00, 0xDFFF, 0xE000, 0x0041)]
        codes += [mark + unit(low) + unit(0xD800) for low in range(0xDC00, 0xE000)]
        codes += [mark + unit(0x4E2D) + b"A", mark + b"A"]
    return [c for c in codes if b"\n" not in c]


def code_space(label):
    if label == "gb2312":
        return pairs(range(0xA1, 0xFF), range(0xA1, 0xFF)) + SINGLES
    if label in ("gbk", "gb18030"):
        return gb_codes()
    if label.startswith("big5"):
        return pairs(range(0x81, 0xFF), range(0x40, 0xFF)) + SINGLES
    return utf8_codes() + SINGLES if label == "utf-8" else utf16_codes()


CHARACTERS = [chr(c) for c in range(0x80, 0x110000) if not 0xD800 <= c <= 0xDFFF]
# Ê and ê with a macron or caron: the four Big5-HKSCS codes of two characters.
SEQUENCES = ["\u00ca\u0304", "\u00ca\u030c", "\u00ea\u0304", "\u00ea\u030c"]


def texts(label):
    return CHARACTERS + (SEQUENCES if label == "big5-hkscs" else [])


# ---- Ours and theirs, one input a line, all in one run ----

def lines(command, data, count):
    # iconv -c fails when it dropped anything, which is what it is here for.
    out = subprocess.run(command, input=data, capture_output=True, check=command[0] == PROBE).stdout
    parts = out.split(b"\n")
    if len(parts) != count + 1:
        raise ValueError(f"{' '.join(command)}: {len(parts) - 1} lines for {count}")
    return parts[:-1]


def probe_decode(label, codes):
    found = lines([PROBE, "decode", label], b"".join(c + b"\n" for c in codes), len(codes))
    return [None if p == b"-" else p.decode("utf-8") for p in found]


def probe_encode(label, items):
    found = lines([PROBE, "encode", label], "".join(t + "\n" for t in items).encode(), len(items))
    return [None if p == b"-" else p.decode().upper() for p in found]


def read_alone(code, text):
    """glibc -c drops a lead it cannot read and reads the trail alone: as
    ASCII, or 0x80 as U+0080, which its BIG5s pass through."""
    return any(ord(c) < 0x80 for c in text) or len(code) > 1 and text[-1] == chr(code[-1]) < "\xa0"


def iconv_decode(encoding, codes):
    """Each code on its own line, None where glibc reads no character. Where
    it swallows a line end (GB18030 0x80), halves until that code runs alone."""
    command = ["iconv", "-c", "-f", encoding, "-t", "UTF-8"]
    try:
        found = lines(command, b"".join(c + b"\n" for c in codes), len(codes))
    except ValueError:
        if len(codes) > 1:
            half = len(codes) // 2
            return iconv_decode(encoding, codes[:half]) + iconv_decode(encoding, codes[half:])
        found = [subprocess.run(command, input=codes[0], capture_output=True).stdout]
    texts = [p.decode("utf-8") for p in found]
    return [t if t and not read_alone(c, t) else None for c, t in zip(codes, texts)]


def iconv_encode(encoding, items):
    command = ["iconv", "-c", "-f", "UTF-8", "-t", encoding]
    found = lines(command, "".join(t + "\n" for t in items).encode(), len(items))
    return [p.hex().upper() or None for p in found]


def python_decode(encoding, codes):
    def one(code):
        try:
            return code.decode(encoding)
        except UnicodeError:
            return None
    return [one(c) for c in codes]


def python_encode(encoding, items):
    if encoding == "utf-16":  # its bytes hold line feeds; it writes everything
        return [t.encode(encoding).hex().upper() for t in items]
    found = "".join(t + "\n" for t in items).encode(encoding, errors="ignore").split(b"\n")
    return [p.hex().upper() or None for p in found[:-1]]


RUNNERS = {("ours", "decode"): probe_decode, ("ours", "encode"): probe_encode,
           ("iconv", "decode"): iconv_decode, ("iconv", "encode"): iconv_encode,
           ("python", "decode"): python_decode, ("python", "encode"): python_encode}


# ---- What the docs say Tavelo reads ----

def parse_reading(cell):
    """A "Tavelo reads" cell as {label: text}; the label None stands for all."""
    def text(hexes):
        return None if hexes == "none" else "".join(
            chr(int(h, 16)) for h in re.findall(r"U\+([0-9A-F]+)", hexes))
    by_label = re.fullmatch(r"(?:as the label says: )?big5 (?:reads )?(\S+), big5-hkscs (\S+)",
                            cell)
    if by_label:
        return {"big5": text(by_label[1]), "big5-hkscs": text(by_label[2])}
    gb2312 = re.fullmatch(r"as the label says: GB2312 text reads (\S+)", cell)
    if gb2312:
        return {"gb2312": text(gb2312[1])}
    if not re.fullmatch(r"none|U\+[0-9A-F]+(\+U\+[0-9A-F]+)*", cell):
        raise SystemExit(f"{CHOICES}: cannot read {cell!r}")
    return {None: text(cell)}


def documented(label):
    """The codes the docs list for label's families, each with what ours reads."""
    listed = {}
    with open(CHOICES, encoding="utf-8") as f:
        for row in f:
            cells = [c.strip() for c in row.strip().strip("|").split("|")]
            if len(cells) == 4 and cells[0] in LABELS[label][0]:
                reading = parse_reading(cells[3])
                listed[cells[1]] = reading.get(label, reading.get(None))
    return listed


# ---- The differences by design ----

def private_use(text):
    return text is not None and len(text) == 1 and "\ue000" <= text <= "\uf8ff"


# Differences from a codec that are Tavelo's choices, not codes of the docs'
# table: (label, the codec or "any", why, the test each such code or
# character must pass). at(label, source) is another reading of the same
# code or character, by "ours" or a codec of that label.
DECODING_CHOICES = [
    ("gbk", "any", "GBK's decoder is GB18030's: what GBK leaves empty (the user-defined "
     "areas, GB18030's additions, the four-byte codes, 0x80) reads as in GB18030",
     lambda code, ours, theirs, at: theirs is None and ours == at("gb18030", "ours")),
    ("gb18030", "any", "0x80 reads as the euro sign, the byte CP936 writes for it",
     lambda code, ours, theirs, at: code == b"\x80" and ours == "\u20ac"),
    ("big5", "any", "codes CP950 leaves empty read as in Big5-HKSCS",
     lambda code, ours, theirs, at:
         at("big5", "python cp950") is None and ours == at("big5-hkscs", "ours")),
    ("big5", "iconv BIG5", "glibc reads the user-defined codes as Private Use characters",
     lambda code, ours, theirs, at: private_use(theirs) and ours == at("big5", "python cp950")),
    ("big5-hkscs", "any", "codes Big5-HKSCS leaves empty read as in CP950",
     lambda code, ours, theirs, at: theirs is None and ours == at("big5", "python cp950")),
    ("big5-hkscs", "python big5hkscs", "Big5-HKSCS is glibc's HKSCS-2008; Python's "
     "big5hkscs is HKSCS-2004, without 2008's additions",
     lambda code, ours, theirs, at:
         theirs is None and ours == at("big5-hkscs", "iconv BIG5-HKSCS")),
]
ENCODING_CHOICES = [
    ("gbk", "python gbk", "the euro sign is the byte 0x80, as glibc and Windows write it",
     lambda text, ours, theirs, at: text == "\u20ac" and ours == "80"),
    ("big5", "iconv BIG5", "BIG5 is written as Windows' code page 950 (Python's cp950) writes "
     "it: also the kana at C6CF..C6DF, and one-way codes of Big5-HKSCS's characters "
     "(U+00A2 as A246, which CP950 reads as U+FFE0)",
     lambda text, ours, theirs, at: theirs is None and ours == at("big5", "python cp950")),
    ("big5", "iconv BIG5", "glibc writes Private Use characters at the user-defined codes",
     lambda text, ours, theirs, at: private_use(text) and ours is None),
    ("big5-hkscs", "python big5hkscs", "Big5-HKSCS is written as glibc writes it "
     "(HKSCS-2008; Python's big5hkscs also writes CP950's U+02CD, U+2574 and U+FFE3)",
     lambda text, ours, theirs, at: ours == at("big5-hkscs", "iconv BIG5-HKSCS")),
]


# ---- The comparison ----

def written_as_listed(text, ours, theirs, listed, back):
    """The docs account for an encoder's difference when the codec's code is
    listed as reading another character, ours reads back as the character,
    and one of the two codes is listed."""
    return ((theirs is None or listed.get(theirs, text) != text) and
            (ours is None or back[ours] == text) and (theirs in listed or ours in listed))


def check(direction, label, inputs, results, choices, used):
    """label's failures in one direction: differences neither listed nor chosen.
    results[label][source] is each source's answer to every input."""
    listed = documented(label)
    ours = results[label]["ours"]
    if direction == "decode":
        keys = [c.hex().upper() for c in inputs]
        failures = [f"{k}: ours {shown(o)}, the docs say {shown(listed[k])}"
                    for k, o in zip(keys, ours) if k in listed and listed[k] != o]
    else:  # what ours writes where it differs, read back by ours
        failures = []
        written = sorted({o for i, o in enumerate(ours) if o is not None and
                          any(theirs[i] != o for theirs in results[label].values())})
        back = dict(zip(written, probe_decode(label, [bytes.fromhex(o) for o in written])))
    for name, answers in results[label].items():
        if name == "ours":
            continue
        for i, (item, mine, theirs) in enumerate(zip(inputs, ours, answers)):
            if mine == theirs:
                continue
            if direction == "decode":
                said = keys[i] in listed
                what = f"{keys[i]}: ours {shown(mine)}, {name} {shown(theirs)}"
            else:
                said = written_as_listed(item, mine, theirs, listed, back)
                what = f"{shown(item)}: ours {mine or 'none'}, {name} {theirs or 'none'}"
            if said:
                used["listed in the docs"] += 1
                continue
            at = lambda other, source: results[other][source][i]
            why = next((why for lab, codec, why, test in choices if lab == label and
                        codec in ("any", name) and test(item, mine, theirs, at)), None)
            if why is None:
                failures.append(what)
            else:
                used[why] += 1
    return failures


def shown(text):
    return "none" if text is None else "+".join(f"U+{ord(c):04X}" for c in text)


def main():
    if shutil.which("iconv") is None:
        print("skipped: iconv is not installed")
        return 77
    start = time.time()
    failed = 0
    with ThreadPoolExecutor(2) as jobs:
        for direction, labels, inputs_of, choices in (
                ("decode", LABELS, code_space, DECODING_CHOICES),
                ("encode", ENCODERS, texts, ENCODING_CHOICES)):
            inputs = {label: inputs_of(label) for label in labels}
            futures = {label: {f"{who} {name}".strip(): jobs.submit(
                RUNNERS[who, direction], name or label, inputs[label])
                for who, name in [("ours", "")] + LABELS[label][1]} for label in labels}
            results = {label: {source: f.result() for source, f in found.items()}
                       for label, found in futures.items()}
            for label in labels:
                used = Counter()
                failures = check(direction, label, inputs[label], results, choices, used)
                stale = [f"no longer differs from {codec}: {why}" for lab, codec, why, _ in choices
                         if lab == label and why not in used]
                failures += stale
                failed += len(failures)
                print(f"{direction} {label}: {len(inputs[label])} inputs, "
                      f"{sum(used.values())} differences accounted for, {len(failures)} failures")
                for why, count in used.items():
                    print(f"  {count}: {why}")
                for failure in failures[:SHOWN]:
                    print(f"  FAIL {direction} {label} {failure}")
                if len(failures) > SHOWN:
                    print(f"  ... and {len(failures) - SHOWN} more")
    print(f"{failed} failures in {time.time() - start:.0f} s")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
