#!/usr/bin/env python3
"""Times tavelo-convert's three converters beside other tools on the same
inputs, and counts where their outputs differ, with the reasons.

  Save in GB  beside  iconv -c -f BIG5 -t GB2312,
                      iconv -f BIG5 -t UTF-8 | opencc -c t2s.json | iconv -c -t GB2312,
                      autogb -i big5 -o gb (zh-autoconvert)
  Decode HZ   beside  Python's hz codec, autogb -i hz -o gb
  Decode QP   beside  qprint -d
  BIG5 to UTF-8 (big5-to-gb --to utf-8)  beside  iconv -f BIG5 -t UTF-8
  GB2312 to UTF-8 (gb --to utf-8)        beside  iconv -f GB2312 -t UTF-8

At the end it checks the targets set for the command line, all in this one
run: Save in GB at least 2x iconv's speed, Decode HZ at least autogb's,
Decode QP at least 2x qprint's, BIG5 to UTF-8 at least iconv's.

The inputs are made here: BIG5 text through Python's cp950 codec, HZ through
its hz codec and quoted-printable through quopri, each --mb MB of Chinese
text with some ASCII in CR LF lines. Each tool runs as a process on a file,
best of --runs; MB/s counts the input's bytes. The files lie in a RAM-backed
folder (/dev/shm where there is one, else --folder): on a disk the time of
every tool goes mostly to the kernel writing back the output it truncated and
rewrote, which measures the disk, not the converter.

usage: compare_converters.py [--tavelo-convert PATH] [--mb N] [--runs N] [--folder DIR] [--check]
  --check  exits 1 when a target is missed
"""
import argparse
import codecs
import collections
import difflib
import os
import platform
import quopri
import random
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--tavelo-convert", default=os.path.join(HERE, "..", "build", "tools",
                                                                 "tavelo-convert"))
    parser.add_argument("--mb", type=float, default=16.0, help="size of each input in MB")
    parser.add_argument("--folder", default="/dev/shm" if os.path.isdir("/dev/shm") else None,
                        help="where the inputs and outputs are made")
    parser.add_argument("--runs", type=int, default=7, help="runs of each tool; the best counts")
    parser.add_argument("--check", action="store_true", help="exit 1 when a target is missed")
    return parser.parse_args()


# ---- Inputs ----

def zipf_picker(rng, items, exponent=1.0):
    """Picks items with a Zipf-like frequency over a shuffled order, as in real text."""
    items = list(items)
    rng.shuffle(items)
    weights = [1.0 / (rank + 1) ** exponent for rank in range(len(items))]
    cumulative = []
    total = 0.0
    for w in weights:
        total += w
        cumulative.append(total)
    return lambda count: rng.choices(items, cum_weights=cumulative, k=count)


def big5_characters():
    """BIG5 characters that Python's big5 and cp950 and glibc's BIG5 all read alike,
    split into the frequent hanzi (0xA440-0xC67E), the others and the symbols."""
    candidates = []
    for lead in range(0xA1, 0xFA):
        for trail in list(range(0x40, 0x7F)) + list(range(0xA1, 0xFF)):
            code = bytes([lead, trail])
            try:
                ch = code.decode("big5")
            except UnicodeError:
                continue
            if ch.encode("cp950") == code:
                candidates.append((code, ch))
    listing = b"\n".join(code for code, _ in candidates) + b"\n"
    glibc = subprocess.run(["iconv", "-c", "-f", "BIG5", "-t", "UTF-8"], input=listing,
                           capture_output=True).stdout.decode().split("\n")
    symbols, frequent, others = [], [], []
    for (code, ch), seen in zip(candidates, glibc):
        if seen != ch:
            continue
        if code < b"\xa4\x40":
            symbols.append(ch)
        elif code <= b"\xc6\x7e":
            frequent.append(ch)
        else:
            others.append(ch)
    return symbols, frequent, others


def gb2312_characters():
    symbols, hanzi = [], []
    for lead in range(0xA1, 0xF8):
        for trail in range(0xA1, 0xFF):
            try:
                ch = bytes([lead, trail]).decode("gb2312")
            except UnicodeError:
                continue
            (symbols if lead < 0xB0 else hanzi).append(ch)
    return symbols, hanzi


def text_lines(rng, size, pick_hanzi, pick_rare, pick_symbol, ascii_words):
    """Lines of 20 to 60 characters: mostly hanzi, some symbols, ASCII words."""
    lines = []
    total = 0
    while total < size:
        length = rng.randrange(20, 61)
        kinds = rng.choices("hrsa", weights=[84, 4, 7, 5], k=length)
        counts = collections.Counter(kinds)
        pools = {"h": iter(pick_hanzi(counts["h"])), "r": iter(pick_rare(counts["r"])),
                 "s": iter(pick_symbol(counts["s"])),
                 "a": iter(rng.choices(ascii_words, k=counts["a"]))}
        line = "".join(next(pools[k]) for k in kinds)
        lines.append(line)
        total += len(line) * 2 + 2
    return lines


def hz_encode(text):
    """Python's HZ encoding, one character at a time: given a whole text its
    encoder loses the second "~" of an escaped tilde at its buffer's edge."""
    encoder = codecs.getincrementalencoder("hz")()
    return b"".join(encoder.encode(c) for c in text) + encoder.encode("", final=True)


def make_inputs(folder, size, rng):
    ascii_words = [" ", " ", "a", "the ", "2024", "ok", ", ", ". ", "(x)", "~", "A-1 "]
    symbols, frequent, others = big5_characters()
    lines = text_lines(rng, size, zipf_picker(rng, frequent), zipf_picker(rng, others),
                       zipf_picker(rng, symbols, 1.3), ascii_words)
    big5 = "\r\n".join(lines).encode("cp950") + b"\r\n"

    gb_symbols, gb_hanzi = gb2312_characters()
    gb_lines = text_lines(rng, size, zipf_picker(rng, gb_hanzi), zipf_picker(rng, gb_hanzi),
                          zipf_picker(rng, gb_symbols, 1.3), ascii_words)
    hz_parts = []
    for line in gb_lines:
        encoded = line.encode("hz")
        try:
            whole = encoded.decode("hz") == line
        except UnicodeError:
            whole = False
        if not whole:
            encoded = hz_encode(line)
        hz_parts.append(encoded)
    hz = b"\r\n".join(hz_parts) + b"\r\n"

    # Quoted-printable of GB2312 text: every byte of a hanzi becomes an escape.
    qp_source = "\r\n".join(gb_lines[: len(gb_lines) // 3]).encode("gb2312") + b"\r\n"
    qp = quopri.encodestring(qp_source)

    gb = "\r\n".join(gb_lines).encode("gb2312") + b"\r\n"
    paths = {}
    for name, data in (("big5.txt", big5), ("hz.txt", hz), ("qp.txt", qp), ("gb.txt", gb)):
        paths[name] = os.path.join(folder, name)
        with open(paths[name], "wb") as f:
            f.write(data)
    return paths


# ---- Timing ----

def best_time(command, runs):
    best = None
    for _ in range(runs):
        start = time.perf_counter()
        result = subprocess.run(command, shell=True, stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE)
        elapsed = time.perf_counter() - start
        if result.returncode not in (0, 1):
            raise SystemExit(f"{command}: exit {result.returncode}: {result.stderr[:200]!r}")
        best = elapsed if best is None else min(best, elapsed)
    return best


# ---- Differences ----

def compare_text(ours, theirs, source_lines, reasons_for):
    """Character differences of two GB2312 outputs of the same lines; ours holds
    one character for each source character, so the source is at hand."""
    ours_lines = ours.decode("gb18030", "replace").split("\n")
    their_lines = theirs.decode("gb18030", "replace").split("\n")
    if len(ours_lines) != len(their_lines):
        return None
    counts = collections.Counter()
    examples = collections.defaultdict(collections.Counter)
    differing_lines = 0
    for index, (a, b) in enumerate(zip(ours_lines, their_lines)):
        if a == b:
            continue
        differing_lines += 1
        source = source_lines[index] if index < len(source_lines) else ""
        for tag, i1, i2, j1, j2 in difflib.SequenceMatcher(None, a, b, autojunk=False).get_opcodes():
            if tag == "equal":
                continue
            for k in range(max(i2 - i1, j2 - j1)):
                src = source[i1 + k] if i1 + k < min(i2, len(source)) else ""
                mine = a[i1 + k] if i1 + k < i2 else ""
                other = b[j1 + k] if j1 + k < j2 else ""
                reason = reasons_for(src, mine, other)
                counts[reason] += 1
                examples[reason][f"{src or '-'}>{mine or '-'}/{other or '-'}"] += 1
    return differing_lines, counts, examples


def save_gb_reason(source, mine, other):
    if mine == "\u3000" and source not in ("\u3000", ""):
        if other == "\u25a1":
            return ("no GB2312 counterpart on either side: we write A1A1 (ideographic space), "
                    "the peer A1F5 (white square)")
        if other == "":
            return "no GB2312 counterpart on either side: we write A1A1, the peer drops it"
        return "no counterpart in our table, the peer has one"
    if other == "":
        return "dropped by the peer (no GB2312 code there); our table maps it"
    if other == "\u25a1":
        return "the peer writes A1F5 (white square) for it; our table maps it"
    if mine == "":
        return "the peer writes a character where we write none"
    if source == mine:
        return "GB2312 has the traditional form itself: we keep it, the peer simplifies"
    if source == other:
        return "GB2312 has the traditional form itself: the peer keeps it, we simplify"
    return "both simplify, to different characters (variants, look-alikes, phrase context)"


def byte_reason(source, mine, other):
    if mine == "\r" and other == "":
        return "the peer ends lines with LF alone: it drops the CR of each CR LF; we keep the bytes"
    if mine == "" and other in ("~", "{", "}"):
        return "the peer keeps HZ's escapes (~{, ~} and the doubled ~) in its output"
    return "other bytes"


def report_differences(name, ours, theirs, source_lines, reasons_for, total_characters):
    if ours == theirs:
        print(f"    {name}: identical output")
        return
    compared = compare_text(ours, theirs, source_lines, reasons_for)
    if compared is None:
        ours_ends, their_ends = ours.count(b"\n"), theirs.count(b"\n")
        print(f"    {name}: outputs differ in their line count (ours {ours_ends}, "
              f"theirs {their_ends} line ends)")
        return
    lines, counts, examples = compared
    total = sum(counts.values())
    print(f"    {name}: {total} characters differ ({100.0 * total / total_characters:.3f}% of "
          f"{total_characters}), on {lines} lines")
    for reason, count in counts.most_common():
        shown = ", ".join(f"{e} x{n}" for e, n in examples[reason].most_common(5))
        print(f"      {count:8d}  {reason}  (source>ours/theirs: {shown})")


# ---- The comparisons ----

def main():
    args = parse_arguments()
    convert = os.path.abspath(args.tavelo_convert)
    if not os.access(convert, os.X_OK):
        raise SystemExit(f"no tavelo-convert at {convert}: build it first (cmake --build build)")
    for tool in ("iconv", "opencc", "autogb", "qprint"):
        if shutil.which(tool) is None:
            raise SystemExit(f"{tool} is missing: run scripts/install-packages")

    folder = tempfile.mkdtemp(prefix="tavelo-bench-", dir=args.folder)
    try:
        rng = random.Random(20240607)
        size = int(args.mb * 1_000_000)
        paths = make_inputs(folder, size, rng)
        out = os.path.join(folder, "out")
        python = sys.executable

        print(f"machine: {platform.processor() or platform.machine()}, {os.cpu_count()} cores, "
              f"{platform.system()} {platform.release()}; Python {platform.python_version()}")
        print(f"each tool best of {args.runs} runs, as a process on a file in {folder}; "
              "MB = 10^6 bytes")

        groups = [
            ("Save in GB", "big5.txt", f"{convert} big5-to-gb {{i}} {{o}}", [
                ("iconv -c -f BIG5 -t GB2312", "iconv -c -f BIG5 -t GB2312 {i} > {o}"),
                ("iconv | opencc t2s | iconv -c",
                 "iconv -f BIG5 -t UTF-8 {i} | opencc -c t2s.json | iconv -c -t GB2312 > {o}"),
                ("autogb -i big5 -o gb", "autogb -i big5 -o gb < {i} > {o}"),
            ]),
            ("Decode HZ", "hz.txt", f"{convert} hz {{i}} {{o}}", [
                ("Python hz codec",
                 f"{python} -c \"import sys; sys.stdout.buffer.write(open(sys.argv[1], 'rb')"
                 f".read().decode('hz').encode('gb2312'))\" {{i}} > {{o}}"),
                ("autogb -i hz -o gb", "autogb -i hz -o gb < {i} > {o}"),
            ]),
            ("Decode QP", "qp.txt", f"{convert} qp {{i}} {{o}}", [
                ("qprint -d", "qprint -d {i} {o}"),
            ]),
            ("BIG5 to UTF-8", "big5.txt", f"{convert} big5-to-gb --to utf-8 {{i}} {{o}}", [
                ("iconv -f BIG5 -t UTF-8", "iconv -c -f BIG5 -t UTF-8 {i} > {o}"),
            ]),
            ("GB2312 to UTF-8", "gb.txt", f"{convert} gb --to utf-8 {{i}} {{o}}", [
                ("iconv -f GB2312 -t UTF-8", "iconv -f GB2312 -t UTF-8 {i} > {o}"),
            ]),
        ]
        # (group, peer, the least ratio of our speed to the peer's)
        targets = [("Save in GB", "iconv -c -f BIG5 -t GB2312", 2.0),
                   ("Decode HZ", "autogb -i hz -o gb", 1.0),
                   ("Decode QP", "qprint -d", 2.0),
                   ("BIG5 to UTF-8", "iconv -f BIG5 -t UTF-8", 1.0)]
        speeds = {}
        for title, input_name, ours_command, peers in groups:
            source = paths[input_name]
            input_size = os.path.getsize(source)
            print(f"\n{title}: input {input_size / 1e6:.2f} MB")
            results = []
            outputs = {}
            for label, command in [("tavelo-convert", ours_command)] + peers:
                line = command.format(i=source, o=out)
                seconds = best_time(line, args.runs)
                with open(out, "rb") as f:
                    outputs[label] = f.read()
                results.append((label, seconds))
            fastest = min(s for _, s in results)
            ours_seconds = results[0][1]
            for label, seconds in results:
                speeds[(title, label)] = input_size / 1e6 / seconds
                print(f"  {label:34s} {input_size / 1e6 / seconds:9.1f} MB/s  {seconds * 1000:8.1f} ms")
            fastest_label = min(results, key=lambda r: r[1])[0]
            print(f"  ours / fastest ({fastest_label}): {fastest / ours_seconds:.3f} of its speed "
                  f"({ours_seconds / fastest:.2f}x its time)")
            with open(source, "rb") as f:
                data = f.read()
            if title == "BIG5 to UTF-8":
                print("  differences from ours: by design (ours simplifies through Save in GB)")
                continue
            if title == "GB2312 to UTF-8":
                same = outputs["tavelo-convert"] == outputs[results[1][0]]
                print(f"  differences from ours: {'identical output' if same else 'outputs differ'}")
                continue
            if title == "Save in GB":
                source_lines = data.decode("cp950").split("\n")
                reasons = save_gb_reason
            elif title == "Decode HZ":
                source_lines = []
                reasons = byte_reason
            else:
                source_lines = []
                reasons = byte_reason
            characters = len(outputs["tavelo-convert"].decode("gb18030", "replace"))
            print("  differences from ours:")
            for label, _ in results[1:]:
                report_differences(label, outputs["tavelo-convert"], outputs[label], source_lines,
                                   reasons, characters)
        print("\ntargets (ours / peer, in this run):")
        missed = 0
        for title, peer, least in targets:
            ratio = speeds[(title, "tavelo-convert")] / speeds[(title, peer)]
            held = ratio >= least
            missed += not held
            print(f"  {title:14s} {ratio:6.2f}x {peer:28s} (at least {least:.0f}x): "
                  f"{'held' if held else 'MISSED'}")
        return 1 if args.check and missed else 0
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
