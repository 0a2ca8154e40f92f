#!/usr/bin/env python3
"""Build conversion/detect_model.cpp, the cost of each character that
encoding detection weighs a reading of a text with.

Training text, never the texts that docs/detection.md measures detection on
(the fortunes of fortunes-zh, the Cantonese of rime-data-jyut6ping3, the
Debian guides in zh_TW) nor the message catalogs under /usr/share/locale:

- Debian's Chinese manual pages (package manpages-zh): the simplified pages
  (zh_CN) and the traditional ones (zh_TW), each also turned into the other
  script by OpenCC (t2s, s2t);
- the word frequencies of jieba's dictionary (package python3-jieba, under
  the Expat licence): every word's count counted for each of its
  characters, in the simplified script it comes in and in OpenCC's
  traditional form of it;
- the characters of Cantonese writing that ibus-table's Cantonese input
  method offers (package ibus-table-cantonese, from its cantonese.txt under
  the MIT licence), each counted once and as often again as the table's
  frequency for it says, in the traditional script they come in and in
  OpenCC's simplified form: Mandarin text hardly has them, Hong Kong's
  texts do.

Each source gives every character a frequency in simplified text and one in
traditional text; the model is their even mixture, so a traditional
character costs what its simplified one does and GBK text in either script
reads cheaply. A character's cost is -2 log2 of its smoothed frequency (half
bits; as if counted among ten million characters, half a count added), at
most kUnseenCost, the cost of a hanzi never seen, or kUnseenSymbolCost for
any other character never seen. An entry's top bit flags a character of
simplified text that traditional text has far more rarely (SCRIPT_GAP).
The table holds every CJK Unified Ideograph (U+4E00..U+9FFF) by position,
and the other characters cheaper than an unseen one by code point. ASCII is
left out: detection does not weigh it. The output is deterministic for the
same packages.

Usage: python3 tools/make_detect_model.py [--output PATH]
"""
import argparse
import collections
import glob
import gzip
import math
import os
import re
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
MAN = "/usr/share/man"
JIEBA = "/usr/lib/python3/dist-packages/jieba/dict.txt"
CANTONESE = "/usr/share/ibus-table/tables/cantonese.db"
FIRST_HANZI, LAST_HANZI = 0x4E00, 0x9FFF
NOMINAL_COUNT = 10_000_000
# A character that costs this much more (half bits) in traditional text than
# in simplified text, or more, is flagged as simplified only.
SCRIPT_GAP = 8
SIMPLIFIED_ONLY = 0x80
# An unseen symbol (punctuation, box drawing, kana, letters) costs this much
# less than an unseen hanzi: Chinese text has a few hundred such symbols in
# use against tens of thousands of hanzi, and the training text, words and
# prose, has few of them.
UNSEEN_SYMBOL_SAVING = 10


def page_text(path):
    """The words of a manual page: its troff requests and escapes left out."""
    with gzip.open(path, "rb") as f:
        raw = f.read()
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError:
        return ""
    lines = []
    for line in text.split("\n"):
        if line.startswith((".", "'")):
            line = re.sub(r"^[.'][A-Za-z]+\s*", "", line)
        line = re.sub(r"\\f.|\\\(..|\\[-&e|^ ]|\\\".*", "", line)
        lines.append(line)
    return "\n".join(lines)


def pages(language):
    texts = []
    for path in sorted(glob.glob(os.path.join(MAN, language, "man*", "*.gz"))):
        texts.append(page_text(path))
    return "\n".join(texts)


def opencc(config, text):
    return subprocess.run(["opencc", "-c", config], input=text.encode("utf-8"),
                          capture_output=True, check=True).stdout.decode("utf-8")


def frequencies(counts):
    total = sum(counts.values())
    return {c: n / total for c, n in sorted(counts.items())}


def manual_page_texts():
    """The manual pages in the simplified script and in the traditional one."""
    simplified, traditional = pages("zh_CN"), pages("zh_TW")
    if not simplified or not traditional:
        raise SystemExit("no Chinese manual pages: install manpages-zh")
    counts = [collections.Counter(), collections.Counter()]
    for script, text in ((0, simplified), (0, opencc("t2s.json", traditional)),
                         (1, traditional), (1, opencc("s2t.json", simplified))):
        counts[script].update(c for c in text if ord(c) >= 0x80)
    return counts


def jieba_counts():
    """jieba's dictionary, one "word count part-of-speech" a line, in simplified
    and traditional form."""
    if not os.path.exists(JIEBA):
        raise SystemExit(f"no {JIEBA}: install python3-jieba")
    words, weights = [], []
    with open(JIEBA, encoding="utf-8") as f:
        for line in f:
            word, weight = line.split()[:2]
            words.append(word)
            weights.append(int(weight))
    traditional = opencc("s2t.json", "\n".join(words) + "\n").split("\n")[:len(words)]
    counts = [collections.Counter(), collections.Counter()]
    for script, form in ((0, words), (1, traditional)):
        for word, weight in zip(form, weights):
            for c in word:
                if ord(c) >= 0x80:
                    counts[script][c] += weight
    return counts


def cantonese_counts():
    """The Cantonese input method's phrases, weighted by their frequencies."""
    if not os.path.exists(CANTONESE):
        raise SystemExit(f"no {CANTONESE}: install ibus-table-cantonese")
    import sqlite3
    table = sqlite3.connect(CANTONESE)
    rows = sorted(table.execute("SELECT phrase, freq FROM phrases"))
    table.close()
    phrases = [phrase for phrase, _ in rows]
    simplified = opencc("t2s.json", "\n".join(phrases) + "\n").split("\n")[:len(phrases)]
    counts = [collections.Counter(), collections.Counter()]
    for script, form in ((0, simplified), (1, phrases)):
        for phrase, (_, frequency) in zip(form, rows):
            for c in phrase:
                if ord(c) >= 0x80:
                    counts[script][c] += 1 + frequency
    return counts


def cost(p):
    return round(-2 * math.log2((p * NOMINAL_COUNT + 0.5) / NOMINAL_COUNT))


def is_hanzi(c):
    o = ord(c)
    return 0x3400 <= o < 0xA000 or 0xF900 <= o < 0xFB00 or 0x20000 <= o < 0x32000


def model(scripts):
    """Each character's cost in the mixture of both scripts, with its flag."""
    mixture = collections.defaultdict(float)
    for script in scripts:
        for c, p in script.items():
            mixture[c] += p / len(scripts)
    unseen = cost(0.0)
    unseen_symbol = unseen - UNSEEN_SYMBOL_SAVING

    def most(c):
        return unseen if is_hanzi(c) else unseen_symbol

    def entry(c):
        simplified, traditional = (cost(script.get(c, 0.0)) for script in scripts)
        flag = SIMPLIFIED_ONLY if traditional - simplified >= SCRIPT_GAP else 0
        return min(most(c), cost(mixture.get(c, 0.0))) | flag

    hanzi = [entry(chr(c)) for c in range(FIRST_HANZI, LAST_HANZI + 1)]
    others = [(ord(c), entry(c)) for c in sorted(mixture, key=ord)
              if not FIRST_HANZI <= ord(c) <= LAST_HANZI and cost(mixture[c]) < most(c)]
    return unseen, unseen_symbol, hanzi, others


def render(declaration, values, per_line):
    lines = [f"{declaration} = {{"]
    for start in range(0, len(values), per_line):
        lines.append("    " + ", ".join(values[start:start + per_line]) + ",")
    lines.append("};")
    return lines


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--output", default=os.path.join(HERE, "..", "conversion",
                                                         "detect_model.cpp"))
    args = parser.parse_args()
    # Each script's frequencies (simplified, traditional): the even mixture of the sources.
    sources = [manual_page_texts(), jieba_counts(), cantonese_counts()]
    scripts = []
    for script in (0, 1):
        mixture = collections.defaultdict(float)
        for source in sources:
            for c, p in frequencies(source[script]).items():
                mixture[c] += p / len(sources)
        scripts.append(mixture)
    unseen, unseen_symbol, hanzi, others = model(scripts)
    out = ["// Generated by tools/make_detect_model.py from Debian's Chinese manual pages and",
           "// jieba's dictionary and ibus-table's Cantonese; do not edit.",
           '#include "conversion/detect_model.h"', "", "// clang-format off",
           f"const std::uint8_t kUnseenCost = {unseen};",
           f"const std::uint8_t kUnseenSymbolCost = {unseen_symbol};", ""]
    out += render("const std::uint8_t kHanziCost[kHanziCount]", [str(v) for v in hanzi], 24)
    out += [""] + [f"const int kOtherCount = {len(others)};"]
    out += render("const char32_t kOtherCharacters[]", [f"0x{c:04X}" for c, _ in others], 12)
    out += render("const std::uint8_t kOtherCosts[]", [str(v) for _, v in others], 24)
    out += ["// clang-format on"]
    with open(args.output, "w", encoding="ascii") as f:
        f.write("\n".join(out) + "\n")
    print(f"{len(others)} characters besides the {len(hanzi)} hanzi; unseen costs {unseen}")


if __name__ == "__main__":
    main()
