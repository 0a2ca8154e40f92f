#!/usr/bin/env python3
"""Measures tavelo-convert detect beside enca -L chinese, uchardet, Python's
chardet and charset-normalizer on short Chinese texts with known encodings.

Every text is cut three ways: a snippet of at most 20 bytes (from a random
place in a random line), one whole line, and a whole paragraph. The labels:

- gb2312, big5, hz, qp, utf-8: Debian's Chinese fortunes (package
  fortunes-zh: chinese, tang300, song100) written as GB2312, BIG5 (their
  traditional form by OpenCC s2t), HZ, quoted-printable of the GB2312 bytes
  and UTF-8; a text an encoding cannot hold is left out of that label.
- gbk: texts in GBK that GB2312 cannot read: the fortunes in traditional
  characters or with rare ones, and Debian's guides in traditional Chinese
  (debian-reference-zh-tw, maint-guide-zh-tw; no-break spaces made spaces).
- gb18030, big5-hkscs: Cantonese phrases and sentences of at least four
  hanzi from Rime's Cantonese dictionary (rime-data-jyut6ping3:
  jyut6ping3.words and .phrase), in GB18030 those with a character beyond
  GBK, in Big5-HKSCS those with one that only HKSCS has. A line is one
  phrase; a paragraph is such a phrase and five to nine more picked at
  random, one to a line.
For gbk, gb18030 and big5-hkscs every text holds a code that the narrower
encoding (GB2312, GBK, BIG5 as CP950) cannot read; a snippet is cut around
one. Detection is trained on manpages-zh, jieba's dictionary and ibus-table's
Cantonese, none of these.

An answer counts when it names the label's encoding or a superset that reads
the text alike: for gb2312 any of GB2312, GBK, GB18030; for gbk GBK, CP936
or GB18030; for gb18030 GB18030; for big5 BIG5, CP950 or Big5-HKSCS; for
big5-hkscs Big5-HKSCS; for quoted-printable the answer must say
quoted-printable and name the GB2312 family for what it decodes to
(tavelo-convert: "qp (decodes to gb2312)", enca: "GBK/qp"). tavelo-convert
must name the label itself, the narrowest encoding that reads the text.

usage: detection_eval.py [--tavelo-convert PATH] [--count N] [--seed N] [--check]
  --check  exits 1 unless tavelo-convert is ahead of each peer on every
           label and length (ties at 100 % count as ahead) and answers
           every case of CASES right
"""
import argparse
import codecs
import concurrent.futures
import functools
import gzip
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
GUIDES = ["/usr/share/debian-reference/debian-reference.zh-tw.txt.gz",
          "/usr/share/doc/maint-guide-zh-tw/maint-guide.zh-tw.txt.gz"]
CANTONESE = ["/usr/share/rime-data/jyut6ping3.words.dict.yaml",
             "/usr/share/rime-data/jyut6ping3.phrase.dict.yaml"]
LABELS = ["gb2312", "gbk", "gb18030", "big5", "big5-hkscs", "hz", "qp", "utf-8"]
LENGTHS = ["20 bytes", "line", "paragraph"]
ANSI = re.compile(r"\x1b\[[0-9;]*[A-Za-z]")
HANZI = re.compile(r"[\u3400-\u9fff\U00020000-\U0003134f]")
GB_FAMILY = {"gb2312", "gbk", "gb18030", "euc-cn", "cp936"}
ACCEPTED = {"gb2312": GB_FAMILY, "gbk": {"gbk", "cp936", "gb18030"}, "gb18030": {"gb18030"},
            "big5": {"big5", "cp950", "big5-hkscs", "big5hkscs"},
            "big5-hkscs": {"big5-hkscs", "big5hkscs"}, "hz": {"hz", "hz-gb-2312"},
            "utf-8": {"utf-8"}}
# The new labels: Python's codec, and the narrower one that must fail on the bytes.
WIDER = {"gbk": ("gbk", "gb2312"), "gb18030": ("gb18030", "gbk"),
         "big5-hkscs": ("big5hkscs", "cp950")}

# Texts whose answer is known without peers: the corners of detection.
CASES = [
    ("GBK, one character GB2312 lacks", "朱镕基总理".encode("gbk"), "gbk"),
    ("GB18030, a four-byte code", "佢喺𨋢度".encode("gb18030"), "gb18030"),
    ("GB18030, Extension A", "係㗎".encode("gb18030"), "gb18030"),
    ("Big5-HKSCS", "佢哋食咗飯".encode("big5hkscs"), "big5-hkscs"),
    ("UTF-16 with a mark", "\ufeff中文 text".encode("utf-16-le"), "utf-16"),
    ("UTF-16 big-endian with a mark", "\ufeff中文".encode("utf-16-be"), "utf-16"),
    ("UTF-16 of ASCII with a mark", "\ufeffRe: hello".encode("utf-16-le"), "utf-16"),
    ("UTF-16 without a mark", "中文, text\r\n".encode("utf-16-le"), "utf-16"),
    ("big-endian UTF-16 without a mark", "中文, text\r\n".encode("utf-16-be"), "binary"),
    ("UTF-8 with a mark", "\ufeff中".encode("utf-8"), "utf-8"),
    ("bytes no text has", bytes(range(0x80, 0x86)), "binary"),
]


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


def encodes(text, codec):
    try:
        text.encode(codec)
        return True
    except UnicodeError:
        return False


def wider_bytes(label, text):
    """The text in the label's encoding when the narrower encoding cannot read those bytes."""
    codec, narrower = WIDER[label]
    try:
        data = text.encode(codec)
    except UnicodeError:
        return None
    try:
        data.decode(narrower)
        return None
    except UnicodeError:
        return data


def guide_paragraphs():
    paragraphs = []
    for path in GUIDES:
        with gzip.open(path, "rt", encoding="utf-8") as f:
            text = f.read().replace("\xa0", " ")
        paragraphs += [p.strip("\n").replace("\n", "\r\n") + "\r\n" for p in text.split("\n\n")]
    return paragraphs


@functools.lru_cache(maxsize=None)
def cantonese_phrases():
    phrases = []
    for path in CANTONESE:
        with open(path, encoding="utf-8") as f:
            body = f.read().split("\n...\n", 1)[1]
        phrases += [line.split("\t")[0] for line in body.split("\n")
                    if line and not line.startswith("#")]
    return [p for p in phrases if len(HANZI.findall(p)) >= 4]


def wide_snippet(rng, label, line):
    """At most 20 bytes of line around one of its codes that the narrower encoding cannot
    read, from a random place up to it; one that the end of the line cuts short takes in
    what comes before instead."""
    codec = WIDER[label][0]
    places = [i for i, ch in enumerate(line) if wider_bytes(label, ch) is not None]
    place = rng.choice(places)
    start = rng.randrange(max(0, place - 9), place + 1)
    end = start
    while end < len(line) and len(line[start:end + 1].encode(codec)) <= 20:
        end += 1
    while end <= place:
        start += 1
        end = max(end, start)
        while end < len(line) and len(line[start:end + 1].encode(codec)) <= 20:
            end += 1
    while start > 0 and len(line[start - 1:end].encode(codec)) <= 20:
        start -= 1
    return line[start:end]


def wide_pool(label):
    """The label's (gbk, gb18030, big5-hkscs) lines, and its paragraphs or the phrases to
    fill them with."""
    if label == "gbk":
        paragraphs = [t for t in fortunes() + guide_paragraphs() if wider_bytes(label, t)]
        lines = [l.strip() for p in paragraphs for l in p.split("\r\n")
                 if HANZI.search(l) and wider_bytes(label, l.strip())]
        return lines, paragraphs
    phrases = [p for p in cantonese_phrases() if encodes(p, WIDER[label][0])]
    return [p for p in phrases if wider_bytes(label, p)], phrases


def wide_texts(rng, label, pool, length, count):
    """count texts of the label of one length."""
    lines, paragraphs = pool
    if length == "paragraph" and label == "gbk":
        return rng.sample(paragraphs, min(count, len(paragraphs)))
    chosen = rng.sample(lines, min(count, len(lines)))
    if length == "paragraph":
        return ["\r\n".join([first] + rng.choices(paragraphs, k=rng.randint(5, 9))) + "\r\n"
                for first in chosen]
    if length == "line":
        return chosen
    return [wide_snippet(rng, label, l) for l in chosen]


def make_samples(args, folder):
    """Writes every labelled text into folder; returns (length, label, path) of each."""
    samples = []

    def write(length, label, i, data):
        path = os.path.join(folder, f"{length[0]}{i}.{label}")
        with open(path, "wb") as f:
            f.write(data)
        samples.append((length, label, path))

    rng = random.Random(args.seed)
    texts = fortunes()
    for length in LENGTHS:
        chosen = cut(rng, texts, length, args.count)
        for i, (text, trad) in enumerate(zip(chosen, traditional(chosen))):
            for label, data in encodings(text, trad).items():
                if data is not None:
                    write(length, label, i, data)
    for label in WIDER:
        pool = wide_pool(label)
        for length in LENGTHS:
            rng = random.Random(f"{args.seed} {label} {length}")
            for i, text in enumerate(wide_texts(rng, label, pool, length, args.count)):
                data = wider_bytes(label, text)
                if data is not None and HANZI.search(text):
                    write(length, label, i, data)
    return samples


# ---- The detectors ----

def run_over_files(command, paths):
    """A detector that takes many files and prints "FILE: ANSWER" for each; its runs over
    500 files at a time share the processors."""
    chunks = [paths[start:start + 500] for start in range(0, len(paths), 500)]

    def run(chunk):
        return subprocess.run(command + chunk + chunk[:1], capture_output=True).stdout

    answers = {}
    with concurrent.futures.ThreadPoolExecutor(os.cpu_count() or 1) as pool:
        for out in pool.map(run, chunks):
            for line in out.decode("utf-8", "replace").splitlines():
                name, _, answer = line.partition(": ")
                answers[name] = answer.strip()
    return [answers.get(p, "") for p in paths]


# Debian's Python, which has python3-chardet and python3-charset-normalizer.
PEER_PYTHON = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable


def python_peer(module, answer, paths):
    """A Python detector; answer is an expression of the bytes b."""
    program = (f"import sys, {module}\n"
               "for p in sys.argv[1:]:\n"
               "    b = open(p, 'rb').read()\n"
               f"    print(p + ': ' + str({answer}))\n")
    return run_over_files([PEER_PYTHON, "-c", program], paths)


def correct(detector, label, answer):
    a = answer.strip().lower().replace("_", "-")
    if detector == "tavelo-convert":
        return a == "qp (decodes to gb2312)" if label == "qp" else a.split(" ")[0] == label
    # enca -e names surfaces after the charset: GBK/qp, GBK/CRLF, GBK/qp/CRLF.
    charset, *surfaces = a.split("/")
    quoted = "qp" in surfaces
    if label == "qp" or quoted:
        return label == "qp" and quoted and charset in GB_FAMILY
    return charset in ACCEPTED[label]


def check_cases(convert, folder):
    """The CASES tavelo-convert answers wrongly."""
    paths = []
    for i, (_, data, _) in enumerate(CASES):
        paths.append(os.path.join(folder, f"case{i}"))
        with open(paths[-1], "wb") as f:
            f.write(data)
    answers = run_over_files([convert, "detect"], paths)
    return [f"{what}: {answer}, not {wanted}"
            for (what, _, wanted), answer in zip(CASES, answers) if answer != wanted]


# ---- The measurement ----

def main():
    args = parse_arguments()
    convert = os.path.abspath(args.tavelo_convert)
    for tool in ("enca", "uchardet", "opencc"):
        if shutil.which(tool) is None:
            print(f"skipped: {tool} is missing (scripts/install-packages installs it)")
            return 77
    for module in ("chardet", "charset_normalizer"):
        if subprocess.run([PEER_PYTHON, "-c", f"import {module}"]).returncode != 0:
            print(f"skipped: Python's {module} is missing (scripts/install-packages installs it)")
            return 77
    for path in [os.path.join(FORTUNES, "tang300")] + GUIDES + CANTONESE:
        if not os.path.exists(path):
            print(f"skipped: {path} is missing (scripts/install-packages installs it)")
            return 77
    folder = tempfile.mkdtemp(prefix="tavelo-detect-")
    try:
        samples = make_samples(args, folder)
        paths = [p for _, _, p in samples]
        detectors = {
            "tavelo-convert": run_over_files([convert, "detect"], paths),
            "enca -L chinese": run_over_files(["enca", "-L", "chinese", "-e"], paths),
            "uchardet": run_over_files(["uchardet"], paths),
            "chardet": python_peer("chardet", "chardet.detect(b)['encoding']", paths),
            "charset-normalizer": python_peer(
                "charset_normalizer",
                "getattr(charset_normalizer.from_bytes(b).best(), 'encoding', None)", paths),
        }
        names = list(detectors)
        print(f"{args.count} texts per length, seed {args.seed}; accuracy in % (texts)")
        widths = [10, 9] + [max(6, len(n)) for n in names] + [5]
        header = ["label", "length"] + names + ["texts"]
        print("| " + " | ".join(h.ljust(w) for h, w in zip(header, widths)) + " |")
        print("|" + "|".join("-" * (w + 1) + (":" if i >= 2 else "-")
                             for i, w in enumerate(widths)) + "|")
        behind = []
        for label in LABELS:
            for length in LENGTHS:
                rows = [i for i, (l, lab, _) in enumerate(samples) if l == length and lab == label]
                scores = {}
                for name in names:
                    right = sum(correct(name, label, detectors[name][i]) for i in rows)
                    scores[name] = 100.0 * right / len(rows) if rows else 0.0
                cells = [label, length] + [f"{scores[n]:.2f}" for n in names] + [str(len(rows))]
                print("| " + " | ".join(c.ljust(w) if i < 2 else c.rjust(w)
                                        for i, (c, w) in enumerate(zip(cells, widths))) + " |")
                ours = scores["tavelo-convert"]
                for name in names[1:]:
                    if ours <= scores[name] and ours < 100.0:
                        behind.append(f"{label}, {length}: {name} {scores[name]:.2f} >= {ours:.2f}")
        wrong = {}
        for i, (length, label, path) in enumerate(samples):
            answer = detectors["tavelo-convert"][i]
            if not correct("tavelo-convert", label, answer):
                wrong.setdefault((label, length, answer), []).append(path)
        if wrong:
            print("tavelo-convert's misses (label, length, answer: count):")
            for (label, length, answer), missed in sorted(wrong.items(), key=lambda e: -len(e[1])):
                print(f"  {label}, {length}, {answer}: {len(missed)}")
        if behind:
            print("not ahead:\n  " + "\n  ".join(behind))
        failed_cases = check_cases(convert, folder)
        if failed_cases:
            print("cases answered wrongly:\n  " + "\n  ".join(failed_cases))
        return 1 if args.check and (behind or failed_cases) else 0
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
