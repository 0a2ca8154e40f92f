#!/usr/bin/env python3
"""Times tavelo-convert's converters beside other tools on the same inputs, and
counts where their outputs differ, with the reasons.

  Save in GB  beside  iconv -c -f BIG5 -t GB2312,
                      iconv -f BIG5 -t UTF-8 | opencc -c t2s.json | iconv -c -t GB2312,
                      autogb -i big5 -o gb (zh-autoconvert)
  Decode HZ   beside  Python's hz codec, autogb -i hz -o gb
  Decode QP   beside  qprint -d
  BIG5 to UTF-8 (big5-to-gb --to utf-8)  beside  iconv -f BIG5 -t UTF-8
  GB2312 to UTF-8 (gb --to utf-8)        beside  iconv -f GB2312 -t UTF-8

and the user's path, detection included, "auto --to ENCODING", beside
iconv, ICU's uconv and encoding_rs (bench/encoding_rs_peer, built here with
cargo from Debian's crate sources, and skipped where cargo is missing):

  auto: GBK to UTF-8, auto: GB18030 to UTF-8, auto: BIG5 to UTF-8 (CP950,
  traditional characters kept), auto: UTF-8 to GB18030, auto: UTF-8 to BIG5,
  and auto: GBK HTML to UTF-8 (a page of markup with Chinese in it).

Every table also shows dd bs=1M copying the same input: the floor no
converter can beat. Each auto job's output must equal iconv's byte for byte
(and iconv's Python's codec's): the texts are made of characters that both
read and write alike.

At the end it checks the targets set for the command line, all in this one
run: Save in GB at least 2x iconv's speed, Decode HZ at least autogb's,
Decode QP at least 2x qprint's, BIG5 to UTF-8 at least iconv's; and each auto
job but the HTML one at least 2x iconv, 1.5x uconv and 1.5x encoding_rs
(the faster of its two ways).

The inputs are made here, each --mb MB of Zipf-distributed Chinese text with
some ASCII in CR LF lines: BIG5 through Python's cp950 codec, HZ through its
hz codec, quoted-printable through quopri, GBK with GBK's own characters
(traditional ones and names such as 镕 喆 堃 啰), GB18030 with four-byte ones
too (CJK Extension A and B, Tibetan, Mongolian, Yi, Uyghur, emoji), and the
GB18030 and BIG5 texts again in UTF-8. Each tool runs as a process on a file,
best of --runs; MB/s counts the input's bytes. The files lie in a RAM-backed
folder (/dev/shm where there is one, else --folder): on a disk the time of
every tool goes mostly to the kernel writing back the output it truncated and
rewrote, which measures the disk, not the converter.

usage: compare_converters.py [--tavelo-convert PATH] [--mb N] [--runs N] [--folder DIR]
                             [--timeout S] [--check]
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
import shlex
import shutil
import subprocess
import sys
import tempfile
import time
import unicodedata

HERE = os.path.dirname(os.path.abspath(__file__))
PEER_SOURCE = os.path.join(HERE, "encoding_rs_peer")


def parse_arguments():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--tavelo-convert", default=os.path.join(HERE, "..", "build", "tools",
                                                                 "tavelo-convert"))
    parser.add_argument("--mb", type=float, default=16.0, help="size of each input in MB")
    parser.add_argument("--folder", default="/dev/shm" if os.path.isdir("/dev/shm") else None,
                        help="where the inputs and outputs are made")
    parser.add_argument("--runs", type=int, default=7, help="runs of each tool; the best counts")
    parser.add_argument("--timeout", type=float, default=300.0,
                        help="seconds one run may take before it counts as failed")
    parser.add_argument("--check", action="store_true", help="exit 1 when a target is missed")
    return parser.parse_args()


# ---- Inputs ----

def zipf_picker(rng, items, exponent=1.0, first=()):
    """Picks items with a Zipf-like frequency over a shuffled order, as in real text;
    the items of first, where present, lead the order."""
    items = list(items)
    rng.shuffle(items)
    if first:
        present, leading = set(items), set(first)
        items = [item for item in first if item in present] + \
            [item for item in items if item not in leading]
    weights = [1.0 / (rank + 1) ** exponent for rank in range(len(items))]
    cumulative = []
    total = 0.0
    for w in weights:
        total += w
        cumulative.append(total)
    return lambda count: rng.choices(items, cum_weights=cumulative, k=count)


def iconv(arguments, data):
    return subprocess.run(["iconv"] + arguments, input=data, capture_output=True).stdout


def agreed_characters(candidates, python_codecs, glibc_codecs):
    """(code, character) for each candidate that Python's and glibc's codecs all
    write as the same code and read back as the same character."""
    pairs = []
    for ch in candidates:
        try:
            codes = {ch.encode(name) for name in python_codecs}
            code = codes.pop()
            if codes or any(code.decode(name) != ch for name in python_codecs):
                continue
        except UnicodeError:
            continue
        pairs.append((code, ch))
    for name in glibc_codecs:
        # One character a line; no code of these encodings holds the byte 0x0A.
        written = iconv(["-c", "-f", "UTF-8", "-t", name],
                        "".join(ch + "\n" for _, ch in pairs).encode()).split(b"\n")
        read = iconv(["-c", "-f", name, "-t", "UTF-8"],
                     b"".join(code + b"\n" for code, _ in pairs)).decode().split("\n")
        if len(written) != len(pairs) + 1 or len(read) != len(pairs) + 1:
            raise SystemExit(f"iconv {name} lost lines of the character listing")
        pairs = [(code, ch) for (code, ch), w, r in zip(pairs, written, read)
                 if w == code and r == ch]
    return pairs


def two_byte_characters(codec, leads, trails):
    candidates = []
    for lead in leads:
        for trail in trails:
            try:
                candidates.append(bytes([lead, trail]).decode(codec))
            except UnicodeError:
                pass
    return [ch for ch in candidates if len(ch) == 1]


def big5_characters():
    """BIG5 characters that Python's big5 and cp950 and glibc's BIG5 and CP950 all
    read and write alike, split into the frequent hanzi (0xA440-0xC67E), the
    others and the symbols."""
    candidates = two_byte_characters("big5", range(0xA1, 0xFA),
                                     list(range(0x40, 0x7F)) + list(range(0xA1, 0xFF)))
    symbols, frequent, others = [], [], []
    for code, ch in agreed_characters(candidates, ("big5", "cp950"), ("BIG5", "CP950")):
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


def gbk_characters():
    """GBK characters that Python's gbk and gb18030 and glibc's GBK and GB18030 all
    read and write alike: the symbols, GB2312's hanzi, and the hanzi only GBK has
    (traditional forms, names), which include every lead 0x81-0xA0 and trails
    0x40-0x7E."""
    candidates = two_byte_characters("gbk", range(0x81, 0xFF),
                                     list(range(0x40, 0x7F)) + list(range(0x80, 0xFF)))
    symbols, gb2312_hanzi, gbk_hanzi = [], [], []
    for code, ch in agreed_characters(candidates, ("gbk", "gb18030"), ("GBK", "GB18030")):
        in_gb2312 = 0xA1 <= code[0] <= 0xF7 and code[1] >= 0xA1
        if in_gb2312 and code[0] >= 0xB0:
            gb2312_hanzi.append(ch)
        elif not in_gb2312 and unicodedata.category(ch) == "Lo":
            gbk_hanzi.append(ch)
        else:
            symbols.append(ch)
    return symbols, gb2312_hanzi, gbk_hanzi


def four_byte_characters():
    """Characters GB18030 writes in four bytes, on which Python's codec and glibc's
    agree: CJK Extension A and B, and scripts of China's languages and emoji."""
    ranges = [(0x3400, 0x4DBF), (0x20000, 0x2A6DF), (0x0F40, 0x0F6C), (0x1820, 0x1877),
              (0xA000, 0xA48C), (0x0626, 0x06D5), (0x1EA0, 0x1EF9), (0x1F600, 0x1F64F)]
    candidates = [chr(c) for first, last in ranges for c in range(first, last + 1)
                  if unicodedata.category(chr(c)) != "Cn"]
    return [ch for code, ch in agreed_characters(candidates, ("gb18030",), ("GB18030",))
            if len(code) == 4]


def text_line(rng, length, pools):
    """A line of length characters, each kind drawn with its pool's weight."""
    kinds = rng.choices(range(len(pools)), weights=[weight for weight, _ in pools], k=length)
    counts = collections.Counter(kinds)
    picked = [iter(pick(counts[index])) for index, (_, pick) in enumerate(pools)]
    return "".join(next(picked[k]) for k in kinds)


def text_lines(rng, size, pools):
    """Lines of 20 to 60 characters: mostly hanzi, some symbols, ASCII words."""
    lines = []
    total = 0
    while total < size:
        line = text_line(rng, rng.randrange(20, 61), pools)
        lines.append(line)
        total += len(line) * 2 + 2
    return lines


def hz_encode(text):
    """Python's HZ encoding, one character at a time: given a whole text its
    encoder loses the second "~" of an escaped tilde at its buffer's edge."""
    encoder = codecs.getincrementalencoder("hz")()
    return b"".join(encoder.encode(c) for c in text) + encoder.encode("", final=True)


ASCII_WORDS = [" ", " ", "a", "the ", "2024", "ok", ", ", ". ", "(x)", "~", "A-1 "]


def html_page(rng, size, pools):
    """A page of news items: markup and ASCII mostly, Chinese in titles and summaries."""
    lines = ["<!DOCTYPE html>", '<html lang="zh-CN">', "<head>",
             '<meta http-equiv="Content-Type" content="text/html; charset=gbk">',
             f"<title>{text_line(rng, 12, pools)}</title>",
             '<link rel="stylesheet" type="text/css" href="/static/css/main.css?v=20240607">',
             '<script type="text/javascript" src="/static/js/jquery-1.12.4.min.js"></script>',
             "</head>", '<body class="list-page">', '<div id="content" class="container">']
    total = sum(len(line) + 2 for line in lines)
    item = 0
    while total < size:
        item += 1
        title = text_line(rng, rng.randrange(8, 21), pools)
        month, day = rng.randrange(1, 13), rng.randrange(1, 29)
        block = [f'<div class="news-item" id="item-{item}" data-channel="{rng.choice(CHANNELS)}">',
                 f'  <h3><a href="https://www.example.com.cn/{rng.choice(CHANNELS)}/2024{month:02d}'
                 f'/{item}.html" target="_blank" title="{title}">{title}</a></h3>',
                 f'  <p class="summary">{text_line(rng, rng.randrange(20, 61), pools)}</p>',
                 f'  <span class="date">2024-{month:02d}-{day:02d} {rng.randrange(24):02d}:'
                 f'{rng.randrange(60):02d}</span> <a class="more" href="/{rng.choice(CHANNELS)}/'
                 f'{item}.html" rel="nofollow">&gt;&gt;</a>',
                 "</div>"]
        lines += block
        total += sum(len(line) + 2 for line in block) + len(title) * 2
    lines += ["</div>", "</body>", "</html>"]
    return "\r\n".join(lines) + "\r\n"


CHANNELS = ["news", "finance", "sports", "tech", "culture", "world", "local"]


def make_inputs(folder, size, rng):
    """The inputs' paths by name, and the texts the auto jobs' inputs hold."""
    ascii_pick = lambda count: rng.choices(ASCII_WORDS, k=count)
    symbols, frequent, others = big5_characters()
    big5_text = "\r\n".join(text_lines(rng, size, [
        (84, zipf_picker(rng, frequent)), (4, zipf_picker(rng, others)),
        (7, zipf_picker(rng, symbols, 1.3)), (5, ascii_pick)])) + "\r\n"
    big5 = big5_text.encode("cp950")

    gb_symbols, gb_hanzi = gb2312_characters()
    gb_lines = text_lines(rng, size, [
        (84, zipf_picker(rng, gb_hanzi)), (4, zipf_picker(rng, gb_hanzi)),
        (7, zipf_picker(rng, gb_symbols, 1.3)), (5, ascii_pick)])
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

    # GBK's own characters, names first, then traditional forms, among the rare ones.
    gbk_symbols, gbk_common, gbk_only = gbk_characters()
    gbk_pools = [(80, zipf_picker(rng, gbk_common)),
                 (8, zipf_picker(rng, gbk_only, first="镕喆堃啰們這個來說時國會")),
                 (7, zipf_picker(rng, gbk_symbols, 1.3)), (5, ascii_pick)]
    gbk_text = "\r\n".join(text_lines(rng, size, gbk_pools)) + "\r\n"
    gb18030_text = "\r\n".join(text_lines(rng, size, [
        (80, zipf_picker(rng, gbk_common)), (5, zipf_picker(rng, gbk_only)),
        (3, zipf_picker(rng, four_byte_characters())),
        (7, zipf_picker(rng, gbk_symbols, 1.3)), (5, ascii_pick)])) + "\r\n"
    html_text = html_page(rng, size, gbk_pools)

    texts = {"gbk.txt": (gbk_text, "gbk"), "gb18030.txt": (gb18030_text, "gb18030"),
             "big5.txt": (big5_text, "cp950"), "page-gbk.html": (html_text, "gbk"),
             "gb18030-utf8.txt": (gb18030_text, "utf-8"), "big5-utf8.txt": (big5_text, "utf-8")}
    paths = {}
    files = [("hz.txt", hz), ("qp.txt", qp), ("gb.txt", gb), ("big5.txt", big5)]
    files += [(name, text.encode(codec)) for name, (text, codec) in texts.items()
              if name != "big5.txt"]
    for name, data in files:
        paths[name] = os.path.join(folder, name)
        with open(paths[name], "wb") as f:
            f.write(data)
    return paths, texts


# ---- Timing ----

def run_once(command, out, timeout):
    """Runs command ({i} and {o} filled in) with a fresh output, directly where it
    is no pipeline, so that no shell's start counts; (seconds, exit status, error)."""
    if os.path.exists(out):
        os.unlink(out)
    words = shlex.split(command)
    stdin = stdout = None
    try:
        if "|" in words:
            start = time.perf_counter()
            result = subprocess.run(command, shell=True, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.PIPE, timeout=timeout)
            return time.perf_counter() - start, result.returncode, result.stderr
        argv = []
        tokens = iter(words)
        for word in tokens:
            if word == "<":
                stdin = open(next(tokens), "rb")
            elif word == ">":
                stdout = open(next(tokens), "wb")
            else:
                argv.append(word)
        start = time.perf_counter()
        result = subprocess.run(argv, stdin=stdin, stdout=stdout or subprocess.DEVNULL,
                                stderr=subprocess.PIPE, timeout=timeout)
        return time.perf_counter() - start, result.returncode, result.stderr
    except subprocess.TimeoutExpired:
        return None, None, f"timed out after {timeout:.0f} s".encode()
    except OSError as error:
        return None, None, str(error).encode()
    finally:
        for f in (stdin, stdout):
            if f:
                f.close()


def best_time(command, out, runs, timeout, allowed=(0,)):
    """The best of runs, or None and why it failed."""
    best = None
    for _ in range(runs):
        seconds, status, stderr = run_once(command, out, timeout)
        if seconds is None or status not in allowed:
            why = stderr.decode(errors="replace").strip().splitlines()
            state = f"exit {status}" if status is not None else "did not run"
            return None, f"{state}: {why[0][:100] if why else 'no message'}"
        best = seconds if best is None else min(best, seconds)
    return best, None


def time_tools(tools, source, out, args, peers_may_exit_1):
    """Times each (label, command) on source; the first is ours. Returns
    [(label, seconds or None, error)] and the outputs of those that ran."""
    results, outputs = [], {}
    for index, (label, command) in enumerate(tools):
        allowed = (0, 1) if index and peers_may_exit_1 else (0,)
        seconds, error = best_time(command.format(i=source, o=out), out, args.runs, args.timeout,
                                   allowed)
        results.append((label, seconds, error))
        if seconds is not None:
            with open(out, "rb") as f:
                outputs[label] = f.read()
    return results, outputs


def print_table(results, input_size, floor_seconds):
    """MB/s of each tool, and how our speed compares with each."""
    ours = results[0][1]
    print(f"  {'tool':40s} {'MB/s':>9s} {'ms':>9s}  ours/tool")
    for label, seconds, error in results + [("dd bs=1M (floor)", floor_seconds, None)]:
        if seconds is None:
            print(f"  {label:40s}   FAILED: {error}")
            continue
        ratio = f"{seconds / ours:8.2f}x" if ours else ""
        print(f"  {label:40s} {input_size / 1e6 / seconds:9.1f} {seconds * 1000:9.1f}  {ratio}")


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


def characters_of(line, encoding):
    """The line's characters, each with the bytes that make it."""
    decoder = codecs.getincrementaldecoder(encoding)("replace")
    tokens, start = [], 0
    for end in range(1, len(line) + 1):
        text = decoder.decode(line[end - 1:end])
        if text:
            tokens.append((text, line[start:end]))
            start = end
    tail = decoder.decode(b"", final=True)
    if tail or start < len(line):
        tokens.append((tail, line[start:]))
    return tokens


def shown_characters(tokens):
    return " ".join(f"{text if text.isprintable() else repr(text)[1:-1]}"
                    f"({' '.join(f'U+{ord(c):04X}' for c in text)}: {code.hex()})"
                    for text, code in tokens) or "-"


def describe_difference(first, second, encoding, examined=5000):
    """"identical", or how two outputs in encoding differ: the commonest changes."""
    if first == second:
        return "identical"
    a, b = first.split(b"\n"), second.split(b"\n")
    if len(a) != len(b):
        at = next((k for k, (x, y) in enumerate(zip(first, second)) if x != y),
                  min(len(first), len(second)))
        return (f"DIFFERENT: {len(first)} and {len(second)} bytes, {len(a)} and {len(b)} lines; "
                f"first difference at byte {at}: {first[at:at + 12]!r} / {second[at:at + 12]!r}")
    differing = [(x, y) for x, y in zip(a, b) if x != y]
    changes = collections.Counter()
    for x, y in differing[:examined]:
        x, y = characters_of(x, encoding), characters_of(y, encoding)
        matcher = difflib.SequenceMatcher(None, x, y, autojunk=False)
        for tag, i1, i2, j1, j2 in matcher.get_opcodes():
            if tag != "equal":
                changes[(tuple(x[i1:i2]), tuple(y[j1:j2]))] += 1
    shown = "; ".join(f"{shown_characters(p)} > {shown_characters(q)} x{n}"
                      for (p, q), n in changes.most_common(5))
    counted = f", {sum(changes.values())} changes" if len(differing) <= examined else \
        f", {sum(changes.values())} changes in the first {examined} of them"
    return (f"DIFFERENT on {len(differing)} of {len(a)} lines{counted} "
            f"(commonest, left > right: {shown})")


# ---- The encoding_rs peer ----

def build_encoding_rs_peer(target_dir):
    """Builds bench/encoding_rs_peer with cargo (or finds the build fresh);
    (path, description) or (None, why it is skipped)."""
    cargo = shutil.which("cargo")
    if cargo is None:
        return None, "cargo is missing (scripts/install-packages installs cargo and " \
                     "librust-encoding-rs-dev)"
    command = [cargo, "build", "--release", "--offline", "--quiet", "--target-dir", target_dir]
    # Cargo reads .cargo/config.toml, which names Debian's crate folder, from its
    # working folder.
    result = subprocess.run(command, cwd=PEER_SOURCE, capture_output=True, text=True)
    lock = os.path.join(PEER_SOURCE, "Cargo.lock")
    if result.returncode != 0 and os.path.exists(lock):
        # A lock file another cargo wrote may be one this cargo cannot read.
        os.unlink(lock)
        result = subprocess.run(command, cwd=PEER_SOURCE, capture_output=True, text=True)
    if result.returncode != 0:
        why = result.stderr.strip().splitlines()
        return None, f"cargo build failed: {why[-1] if why else result.returncode}"
    version = "?"
    if os.path.exists(lock):
        lines = open(lock).read().split("\n")
        for k, line in enumerate(lines):
            if line == 'name = "encoding_rs"' and k + 1 < len(lines):
                version = lines[k + 1].split('"')[1]
    cargo_version = subprocess.run([cargo, "--version"], capture_output=True,
                                   text=True).stdout.strip()
    return (os.path.join(target_dir, "release", "encoding_rs_peer"),
            f"encoding_rs {version} (release build: opt-level 3, LTO, fast-legacy-encode; "
            f"{cargo_version} at {cargo})")


# ---- The comparisons ----

def machine_line():
    model = "unknown CPU"
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    model = line.split(":", 1)[1].strip()
                    break
    except OSError:
        model = platform.processor() or platform.machine()
    usable = len(os.sched_getaffinity(0)) if hasattr(os, "sched_getaffinity") else os.cpu_count()
    return (f"machine: {model}, {os.cpu_count()} cores ({usable} usable), {platform.system()} "
            f"{platform.release()}; Python {platform.python_version()}")


def first_line(command):
    result = subprocess.run(command, capture_output=True, text=True)
    return (result.stdout or result.stderr).strip().split("\n")[0]


def main():
    args = parse_arguments()
    convert = os.path.abspath(args.tavelo_convert)
    if not os.access(convert, os.X_OK):
        raise SystemExit(f"no tavelo-convert at {convert}: build it first (cmake --build build)")
    for tool in ("iconv", "opencc", "autogb", "qprint"):
        if shutil.which(tool) is None:
            raise SystemExit(f"{tool} is missing: run scripts/install-packages")

    # The peer's build lies beside tavelo-convert's build, else in the temporary folder.
    tools_folder = os.path.dirname(convert)
    if os.path.basename(tools_folder) == "tools":
        peer_target = os.path.join(os.path.dirname(tools_folder), "encoding_rs_peer")
    else:
        peer_target = os.path.join(tempfile.gettempdir(), "tavelo-encoding_rs_peer")
    peer, peer_note = build_encoding_rs_peer(peer_target)
    uconv = shutil.which("uconv")

    folder = tempfile.mkdtemp(prefix="tavelo-bench-", dir=args.folder)
    try:
        rng = random.Random(20240607)
        size = int(args.mb * 1_000_000)
        paths, texts = make_inputs(folder, size, rng)
        out = os.path.join(folder, "out")
        python = sys.executable

        print(machine_line())
        print(f"each tool best of {args.runs} runs, as a process on a file in {folder}; "
              "MB = 10^6 bytes; ours/tool is our speed over the tool's")
        print(f"peers: {first_line(['iconv', '--version'])}; "
              f"{first_line([uconv, '--version']) if uconv else 'uconv: missing (icu-devtools)'}")
        print(f"  encoding_rs: {peer_note if peer else 'SKIPPED: ' + peer_note}")

        floors = {}
        print("inputs, and dd bs=1M copying each (the floor):")
        for name, path in paths.items():
            data = open(path, "rb").read()
            # ASCII characters, not bytes below 0x80: BIG5 and GBK trail bytes can be.
            text = texts[name][0] if name in texts else None
            ascii_share = (f"ASCII {100 * len(text.encode('ascii', 'ignore')) / len(data):4.1f}%"
                           if text else " " * 11)
            floors[name], error = best_time(f"dd bs=1M if={path} of={out}", out, args.runs,
                                            args.timeout)
            speed = f"{len(data) / 1e6 / floors[name]:8.1f} MB/s" if floors[name] else error
            print(f"  {name:18s} {len(data) / 1e6:7.2f} MB  {ascii_share}  dd {speed}")

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
        failures = {}
        for title, input_name, ours_command, peers in groups:
            source = paths[input_name]
            input_size = os.path.getsize(source)
            print(f"\n{title}: input {input_name}, {input_size / 1e6:.2f} MB")
            results, outputs = time_tools([("tavelo-convert", ours_command)] + peers, source, out,
                                          args, peers_may_exit_1=True)
            print_table(results, input_size, floors[input_name])
            for label, seconds, error in results:
                if seconds is None:
                    failures[(title, label)] = error
                else:
                    speeds[(title, label)] = input_size / 1e6 / seconds
            ran = [r for r in results if r[1] is not None]
            if "tavelo-convert" not in outputs or len(ran) < 2:
                continue
            fastest_label, fastest, _ = min(ran, key=lambda r: r[1])
            ours_seconds = results[0][1]
            print(f"  ours / fastest ({fastest_label}): {fastest / ours_seconds:.3f} of its speed "
                  f"({ours_seconds / fastest:.2f}x its time)")
            with open(source, "rb") as f:
                data = f.read()
            if title == "BIG5 to UTF-8":
                print("  differences from ours: by design (ours simplifies through Save in GB)")
                continue
            if title == "GB2312 to UTF-8":
                same = outputs["tavelo-convert"] == outputs.get(results[1][0])
                print(f"  differences from ours: {'identical output' if same else 'outputs differ'}")
                continue
            if title == "Save in GB":
                source_lines = data.decode("cp950").split("\n")
                reasons = save_gb_reason
            else:
                source_lines = []
                reasons = byte_reason
            characters = len(outputs["tavelo-convert"].decode("gb18030", "replace"))
            print("  differences from ours:")
            for label, _, _ in ran[1:]:
                report_differences(label, outputs["tavelo-convert"], outputs[label], source_lines,
                                   reasons, characters)

        # The user's path: auto --to ENCODING, detection included.
        # (title, input, --to, iconv's names, ICU's names, encoding_rs's way and label,
        #  the output's encoding in Python, whether the job has targets)
        jobs = [
            ("auto: GBK to UTF-8", "gbk.txt", "utf-8", ("GBK", "UTF-8"), ("gbk", "utf-8"),
             ("decode", "gbk"), "utf-8", True),
            ("auto: GB18030 to UTF-8", "gb18030.txt", "utf-8", ("GB18030", "UTF-8"),
             ("gb18030", "utf-8"), ("decode", "gb18030"), "utf-8", True),
            ("auto: BIG5 to UTF-8", "big5.txt", "utf-8", ("CP950", "UTF-8"),
             ("windows-950", "utf-8"), ("decode", "big5"), "utf-8", True),
            ("auto: UTF-8 to GB18030", "gb18030-utf8.txt", "gb18030", ("UTF-8", "GB18030"),
             ("utf-8", "gb18030"), ("encode", "gb18030"), "gb18030", True),
            ("auto: UTF-8 to BIG5", "big5-utf8.txt", "big5", ("UTF-8", "CP950"),
             ("utf-8", "windows-950"), ("encode", "big5"), "cp950", True),
            ("auto: GBK HTML to UTF-8", "page-gbk.html", "utf-8", ("GBK", "UTF-8"),
             ("gbk", "utf-8"), ("decode", "gbk"), "utf-8", False),
        ]
        job_targets = []
        for title, input_name, to, iconv_names, icu_names, rs_job, out_codec, has_targets in jobs:
            source = paths[input_name]
            input_size = os.path.getsize(source)
            print(f"\n{title}: input {input_name}, {input_size / 1e6:.2f} MB; "
                  f"ours: tavelo-convert auto --to {to}")
            tools = [("tavelo-convert", f"{convert} auto --to {to} {{i}} {{o}}"),
                     (f"iconv -f {iconv_names[0]} -t {iconv_names[1]}",
                      f"iconv -f {iconv_names[0]} -t {iconv_names[1]} {{i}} > {{o}}")]
            if uconv:
                # Substitution as ours does on a bad byte; 128 KB blocks as ours reads
                # (the 4 KB default costs it time in calls).
                tools.append((f"uconv -f {icu_names[0]} -t {icu_names[1]}",
                              f"{uconv} --callback substitute -b 131072 -f {icu_names[0]} "
                              f"-t {icu_names[1]} -o {{o}} {{i}}"))
            if peer:
                tools.append((f"encoding_rs {rs_job[1]}, streaming",
                              f"{peer} {rs_job[0]} {rs_job[1]} {{i}} {{o}}"))
                tools.append((f"encoding_rs {rs_job[1]}, whole buffer",
                              f"{peer} {rs_job[0]} {rs_job[1]} {{i}} {{o}} --whole"))
            results, outputs = time_tools(tools, source, out, args, peers_may_exit_1=False)
            print_table(results, input_size, floors[input_name])
            if not uconv:
                print("  uconv: SKIPPED, missing (install icu-devtools)")
            if not peer:
                print(f"  encoding_rs: SKIPPED, {peer_note}")

            text, _ = texts[input_name]
            reference = text.encode(out_codec)
            iconv_label = tools[1][0]
            ours = outputs.get("tavelo-convert")
            print("  output:")
            if iconv_label in outputs:
                print(f"    iconv = Python's {out_codec} codec: "
                      f"{describe_difference(outputs[iconv_label], reference, out_codec)}")
            expected = outputs.get(iconv_label, reference)
            if ours is None:
                print("    ours: none, tavelo-convert failed")
            else:
                print(f"    ours = iconv: {describe_difference(ours, expected, out_codec)}")
            for label, _, _ in results[2:]:
                if label in outputs:
                    print(f"    {label} beside iconv (left): "
                          f"{describe_difference(expected, outputs[label], out_codec)}")

            seconds = {label: s for label, s, _ in results if s is not None}
            rs = [s for label, s in seconds.items() if label.startswith("encoding_rs")]
            peer_seconds = [("iconv", seconds.get(iconv_label), 2.0),
                            ("uconv", next((s for label, s in seconds.items()
                                            if label.startswith("uconv")), None), 1.5),
                            ("encoding_rs", min(rs) if rs else None, 1.5)]
            job_targets.append((title, has_targets, seconds.get("tavelo-convert"), peer_seconds))

        print("\ntargets (ours / peer, in this run):")
        missed = 0
        for title, peer_label, least in targets:
            if (title, "tavelo-convert") not in speeds or (title, peer_label) not in speeds:
                missed += 1
                why = failures.get((title, "tavelo-convert")) or failures.get((title, peer_label))
                print(f"  {title:24s} not measured: {why}")
                continue
            ratio = speeds[(title, "tavelo-convert")] / speeds[(title, peer_label)]
            held = ratio >= least
            missed += not held
            print(f"  {title:24s} {ratio:6.2f}x {peer_label:28s} (at least {least:.0f}x): "
                  f"{'held' if held else 'MISSED'}")
        for title, has_targets, ours_seconds, peer_seconds in job_targets:
            for peer_label, theirs, least in peer_seconds:
                goal = f"(at least {least:g}x)" if has_targets else "(no target)"
                if ours_seconds is None:
                    missed += has_targets
                    print(f"  {title:24s} {'':7s} {peer_label:12s} {goal}: "
                          f"{'MISSED, ' if has_targets else ''}tavelo-convert failed")
                    continue
                if theirs is None:
                    print(f"  {title:24s} {'':7s} {peer_label:12s} {goal}: "
                          "not checked, the peer did not run")
                    continue
                ratio = theirs / ours_seconds
                verdict = ("held" if ratio >= least else "MISSED") if has_targets else "reported"
                missed += has_targets and ratio < least
                print(f"  {title:24s} {ratio:6.2f}x {peer_label:12s} {goal}: {verdict}")
        return 1 if args.check and missed else 0
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
