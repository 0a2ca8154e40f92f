#!/usr/bin/env python3
"""Measures tavelo-convert detect beside enca -L chinese, uchardet and
Python's chardet on short Chinese texts with known encodings.

The texts are Debian's Chinese fortunes (package fortunes-zh: chinese,
tang300, song100), cut three ways: a snippet of at most 20 bytes of GB2312
(from a random place in a random line), one whole line, and the whole
fortune (a paragraph). Each text is written in five encodings: GB2312, BIG5
(its traditional form by OpenCC s2t), HZ, quoted-printable of the GB2312
bytes, and UTF-8. A text that an encoding cannot hold is left out of that
label. Detection's statistics are trained on the manual pages of manpages-zh,
never on these fortunes.

An answer counts when it names the label's encoding: for GB2312 any of
GB2312, GBK, GB18030 (a superset reads the text alike), for BIG5 BIG5 or
CP950; for quoted-printable the answer must say quoted-printable and name the
GB2312 family for what it decodes to (tavelo-convert: "qp (decodes to
gb2312)", enca: "GBK/qp").

usage: detection_eval.py [--tavelo-convert PATH] [--count N] [--seed N] [--check]
  --check  exits 1 unless tavelo-convert is ahead of each peer on every
           label and length (ties at 100 % count as ahead)
"""
import argparse
import codecs
import os
import quopri
import random
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
FORTUNES = "/usr/share/games/fortunes"
LABELS = ["gb2312", "big5", "hz", "qp", "utf-8"]
LENGTHS = ["20 bytes", "line", "paragraph"]
ANSI = re.compile(r"\x1b\[[0-9;]*[A-Za-z]")
HANZI = re.compile(r"[\u4e00-\u9fff]")
GB_FAMILY = {"gb2312", "gbk", "gb18030", "euc-cn", "cp936"}
BIG5_FAMILY = {"big5", "cp950", "big5-hkscs"}
HZ_FAMILY = {"hz", "hz-gb-2312"}


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--tavelo-convert", default=os.path.join(HERE, "..", "build", "tools",
                                                                 "tavelo-convert"))
    parser.add_argument("--count", type=int, default=1000, help="texts per length")
    parser.add_argument("--seed", type=int, default=20261208)
    parser.add_argument("--check", action="store_true")
    return parser.parse_args()


# ---- The labelled texts ----

def fortunes():
    texts = []
    for name in ("chinese", "tang300", "song100"):
        with open(os.path.join(FORTUNES, name), encoding="utf-8") as f:
            for entry in f.read().split("\n%\n"):
                text = ANSI.sub("", entry).strip("\n")
                if HANZI.search(text):
                    texts.append(text.replace("\n", "\r\n") + "\r\n")
    return texts


def snippet(rng, text):
    lines = [line for line in text.split("\r\n") if HANZI.search(line)]
    line = rng.choice(lines).strip()
    start = rng.randrange(len(line))
    piece = ""
    for ch in line[start:]:
        try:
            if len((piece + ch).encode("gb2312")) > 20:
                break
        except UnicodeError:
            break
        piece += ch
    return piece


def cut(rng, texts, length, count):
    chosen = rng.sample(texts, min(count, len(texts)))
    if length == "paragraph":
        return chosen
    if length == "line":
        return [rng.choice([l for l in t.split("\r\n") if HANZI.search(l)]).strip()
                for t in chosen]
    return [s for s in (snippet(rng, t) for t in chosen) if HANZI.search(s)]


def traditional(texts):
    """OpenCC s2t of each text, in one run: the texts go one to a line."""
    joined = "\n".join(t.replace("\r\n", "\x01") for t in texts) + "\n"
    out = subprocess.run(["opencc", "-c", "s2t.json"], input=joined.encode("utf-8"),
                         capture_output=True, check=True).stdout.decode("utf-8")
    result = [t.replace("\x01", "\r\n") for t in out.split("\n")[:len(texts)]]
    assert len(result) == len(texts)
    return result


def hz_encode(text):
    encoder = codecs.getincrementalencoder("hz")()
    return b"".join(encoder.encode(c) for c in text) + encoder.encode("", final=True)


def encodings(text, traditional_text):
    """The text's bytes under each label, or None where the encoding lacks a character."""
    out = {}
    try:
        gb = text.encode("gb2312")
    except UnicodeError:
        gb = None
    out["gb2312"] = gb
    try:
        out["big5"] = traditional_text.encode("big5")
    except UnicodeError:
        out["big5"] = None
    out["hz"] = hz_encode(text) if gb is not None else None
    out["qp"] = quopri.encodestring(gb) if gb is not None else None
    out["utf-8"] = text.encode("utf-8")
    return out


# ---- The detectors ----

def run_over_files(command, paths):
    """A detector that takes many files and prints "FILE: ANSWER" for each."""
    answers = {}
    for start in range(0, len(paths), 500):
        chunk = paths[start:start + 500]
        if len(chunk) == 1:
            chunk = chunk + chunk
        out = subprocess.run(command + chunk, capture_output=True).stdout.decode("utf-8",
                                                                                 "replace")
        for line in out.splitlines():
            name, _, answer = line.partition(": ")
            answers[name] = answer.strip()
    return [answers.get(p, "") for p in paths]


def chardet_answers(samples):
    """Python's chardet, run by a Python that has it (Debian's python3-chardet)."""
    program = ("import sys, chardet\n"
               "for p in sys.argv[1:]:\n"
               "    print(p + ': ' + str(chardet.detect(open(p, 'rb').read())['encoding']))\n")
    python = sys.executable
    try:
        import chardet  # noqa: F401
    except ImportError:
        python = "/usr/bin/python3"
    return run_over_files([python, "-c", program], samples)


def correct(detector, label, answer):
    a = answer.strip().lower()
    if detector == "tavelo-convert":
        return a == "qp (decodes to gb2312)" if label == "qp" else a.split(" ")[0] == label
    # enca -e names surfaces after the charset: GBK/qp, GBK/CRLF, GBK/qp/CRLF.
    charset, *surfaces = a.split("/")
    quoted = "qp" in surfaces
    if label == "qp" or quoted:
        return label == "qp" and quoted and charset in GB_FAMILY
    a = charset
    wanted = {"gb2312": GB_FAMILY, "big5": BIG5_FAMILY, "hz": HZ_FAMILY,
              "utf-8": {"utf-8"}}[label]
    return a in wanted


# ---- The measurement ----

def main():
    args = parse_arguments()
    convert = os.path.abspath(args.tavelo_convert)
    for tool in ("enca", "uchardet", "opencc"):
        if shutil.which(tool) is None:
            print(f"skipped: {tool} is missing (scripts/install-packages installs it)")
            return 77
    if not os.path.exists(os.path.join(FORTUNES, "tang300")):
        print("skipped: fortunes-zh is not installed")
        return 77
    rng = random.Random(args.seed)
    texts = fortunes()
    folder = tempfile.mkdtemp(prefix="tavelo-detect-")
    try:
        samples = []  # (length, label, path)
        for length in LENGTHS:
            chosen = cut(rng, texts, length, args.count)
            for i, (text, trad) in enumerate(zip(chosen, traditional(chosen))):
                for label, data in encodings(text, trad).items():
                    if data is None:
                        continue
                    path = os.path.join(folder, f"{length[0]}{i}.{label}")
                    with open(path, "wb") as f:
                        f.write(data)
                    samples.append((length, label, path))
        paths = [p for _, _, p in samples]
        detectors = {
            "tavelo-convert": run_over_files([convert, "detect"], paths),
            "enca -L chinese": run_over_files(["enca", "-L", "chinese", "-e"], paths),
            "uchardet": run_over_files(["uchardet"], paths),
            "chardet": chardet_answers(paths),
        }
        names = list(detectors)
        print(f"{len(texts)} fortunes; {args.count} texts per length, seed {args.seed}; "
              "accuracy in % (texts)")
        header = f"| {'label':8s} | {'length':9s} | " + " | ".join(f"{n:15s}" for n in names)
        print(header + " |")
        print("|" + "|".join("-" * (len(c) + 2) for c in header.split(" | ")[1:-1]) + "|")
        behind = []
        for label in LABELS:
            for length in LENGTHS:
                rows = [i for i, (l, lab, _) in enumerate(samples) if l == length and lab == label]
                scores = {}
                for name in names:
                    right = sum(correct(name, label, detectors[name][i]) for i in rows)
                    scores[name] = 100.0 * right / len(rows) if rows else 0.0
                cells = " | ".join(f"{scores[n]:6.2f}{'':9s}" for n in names)
                print(f"| {label:8s} | {length:9s} | {cells} | ({len(rows)})")
                ours = scores["tavelo-convert"]
                for name in names[1:]:
                    if ours <= scores[name] and ours < 100.0:
                        behind.append(f"{label}, {length}: {name} {scores[name]:.2f} >= {ours:.2f}")
        wrong = {}
        for i, (length, label, path) in enumerate(samples):
            answer = detectors["tavelo-convert"][i]
            if not correct("tavelo-convert", label, answer):
                wrong.setdefault((label, answer), []).append(path)
        if wrong:
            print("tavelo-convert's misses (label, answer: count):")
            for (label, answer), paths_wrong in sorted(wrong.items(), key=lambda e: -len(e[1])):
                print(f"  {label}, {answer}: {len(paths_wrong)}")
        if behind:
            print("not ahead:\n  " + "\n  ".join(behind))
        return 1 if args.check and behind else 0
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
