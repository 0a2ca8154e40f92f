#!/usr/bin/env python3
"""tavelo-convert on real files, as a user runs it from a shell: what it
writes, what it refuses, its exit status and its one-line error naming the
file; the hostile cases (names, links, streams, devices, inputs past 2 GB, full
disks) and detect, auto and --to utf-8 in one table.

usage: convert_tool_test.py TAVELO_CONVERT [--skip-slow]

--skip-slow leaves out the rows that read 2 GB or more (the sanitized build, where
they take minutes and run no code the other rows miss).
"""
import collections
import os
import pty
import quopri
import signal
import subprocess
import sys
import threading
import time

from tool_cases import (FULL, absent, arrived, broken_terminal, clear, feed_fifo, drain_fifo,
                        finish, holds, is_device, is_fifo, is_link, path, read, run_cases, write)

CONVERT = sys.argv[1]
CONTENT = b"a~~b~{<;~}=41\r\n"
HZ_OUT = b"a~b\xbc\xbb=41\r\n"
QP_OUT = b"a~~b~{<;~}A\r\n"
INPUT = path("in.txt")
OUT = path("out")
LONG_RUN = b"~{" + b"<;" * (9 << 20)  # 18 MB of one HZ run, past a stream's 16 MB history
SHORT_RUN = b"~{" + b"<;" * (1 << 19) + b"~}"
FILLER = b"x" * 100000
two_gb = 2**31

TEXT = "床前明月光，疑是地上霜。\r\nok\r\n"
UTF8 = TEXT.encode("utf-8")
# One sample of each encoding detect names, with the name it must print.
SAMPLES = [("gb2312", TEXT.encode("gb2312")), ("big5", TEXT.encode("big5")),
           ("hz", TEXT.encode("hz")), ("qp (decodes to gb2312)", quopri.encodestring(TEXT.encode("gb2312"))),
           ("utf-8", UTF8), ("ascii", b"just ASCII\r\n"), ("binary", b"\x00\x01\x02ELF")]
SAMPLE = {label.split()[0]: path(f"sample-{label.split()[0]}") for label, _ in SAMPLES}

# Texts that only the wider encodings hold, each with the codec that reads it
# rightly: GBK's names and traditional characters, GB18030's four-byte codes,
# CP950's traditional text, and Hong Kong's characters in Big5-HKSCS.
WIDE = [
    ("gbk", "gbk", "朱镕基、陶喆和王堃都说：啰嗦的時間過得很快。\r\n"),
    ("gb18030", "gb18030", "㐀㙓䶵是扩展A区的字，𠀀𠁻𪚥是扩展B区的字。\r\n"),
    ("big5", "cp950", "閱讀器顯示繁體中文，每個字都保留原樣。\r\n"),
    ("big5-hkscs", "big5hkscs", "佢哋喺度食嘢，啲嘢好好食，冇問題囉。\r\n"),
]

Case = collections.namedtuple(
    "Case", "name arguments status words named expect setup stdin pipe limit meanwhile tmpfs slow "
    "stdout", defaults=(None, None, None, None, None, None, None, None, False, False, None))


def iconv(target, name):
    """What the system's iconv writes for the UTF-8 file name in target."""
    return subprocess.run(["iconv", "-f", "UTF-8", "-t", target.upper(), name],
                          capture_output=True, check=True).stdout


def prepare():
    """The scratch folder as every case starts from it."""
    clear()
    write("in.txt", CONTENT)
    os.mkdir(path("sub"))
    os.link(INPUT, path("hard.txt"))
    os.symlink(INPUT, path("soft.txt"))
    os.symlink(path("soft.txt"), path("softer.txt"))
    for label, content in SAMPLES:
        write(os.path.basename(SAMPLE[label.split()[0]]), content)


def peak_memory(arguments):
    """The most memory in KB the tool held while converting, and its exit status."""
    measure = ("import resource, subprocess, sys\n"
               "status = subprocess.run(sys.argv[1:], stderr=subprocess.DEVNULL).returncode\n"
               "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss, status)\n")
    out = subprocess.run([sys.executable, "-c", measure, CONVERT] + arguments,
                         capture_output=True, text=True, check=True).stdout.split()
    return int(out[0]), int(out[1])


def within_memory(arguments, kilobytes):
    def check():
        peak, status = peak_memory(arguments)
        if status != 0:
            return f"exit status {status}"
        return None if peak < kilobytes else f"{peak} KB at the peak"
    return check


def sparse(name, size):
    with open(path(name), "wb") as f:
        f.truncate(size)


def counted_fifo(name, into):
    """Makes a FIFO whose reader (a thread) counts what is written into it, into the list into."""
    os.mkfifo(path(name))

    def count():
        total = 0
        with open(path(name), "rb") as f:
            while chunk := f.read(1 << 20):
                total += len(chunk)
        into.append(total)
    threading.Thread(target=count, daemon=True).start()


def grow(name, size, after):
    """Meanwhile: the file grows to size once the tool has been reading for a while."""
    def act():
        time.sleep(after)
        with open(path(name), "r+b") as f:
            f.truncate(size)
    return act


def no_temporary():
    """No temporary file of --in-place is left anywhere in the scratch folder."""
    left = [os.path.join(folder, name) for folder, _, names in os.walk(path("."))
            for name in names if name.startswith(".tavelo-convert.")]
    return f"left behind: {left}" if left else None


def mode_is(name, mode):
    return lambda: None if os.stat(name).st_mode & 0o7777 == mode else \
        f"{name} has mode {os.stat(name).st_mode & 0o7777:o}, expected {mode:o}"


def leftover(folder):
    """What a run killed outright leaves: the temporary file of a process that has ended."""
    gone = subprocess.Popen(["true"])
    gone.wait()
    return write(f"{folder}/.tavelo-convert.{gone.pid}.tmp", b"half")


def named_tree(root, codec, names):
    """A tree under path(root) whose file and folder names (str, "/" between) are written in
    codec's bytes, each file holding its own name in GBK ("小说" in GBK is UTF-8 by chance)."""
    for name in names:
        full = os.fsencode(path(root)) + b"/" + name.encode(codec)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(name.encode("gbk", "replace"))


GBK_NAMES = ["小说/第一章.txt", "小说/第二章.txt", "红楼梦.txt"]
BIG5_NAMES = ["閱讀器說明.txt", "繁體中文/紅樓夢.txt"]

fifo_out = []
counted = []
KEPT = holds(INPUT, CONTENT)
GBK = WIDE[0][2].encode("gbk")
CASES = [
    Case("no arguments", [], 2, "usage"),
    Case("an unknown converter", ["utf8", INPUT, OUT], 2, "usage"),
    Case("HZ", ["hz", INPUT, OUT], 0, expect=[holds(OUT, HZ_OUT)]),
    Case("QP", ["qp", INPUT, OUT], 0, expect=[holds(OUT, QP_OUT)]),
    Case("BIG5 to GB", ["big5-to-gb", INPUT, OUT], 0, expect=[holds(OUT, CONTENT)]),
    Case("a missing input", ["hz", path("none.txt"), OUT], 1, "cannot open", path("none.txt"),
         [absent(OUT)]),
    Case("a folder as input", ["hz", path("sub"), OUT], 1, "cannot open", path("sub"),
         [absent(OUT)]),
    # The output is the input by some name: refused before anything is written.
    Case("the input as output", ["hz", INPUT, INPUT], 1, "input file itself", INPUT, [KEPT]),
    Case("the input through a parent step", ["qp", INPUT, path("sub/../in.txt")], 1,
         "input file itself", path("sub/../in.txt"), [KEPT]),
    Case("a hard link to the input", ["qp", INPUT, path("hard.txt")], 1, "input file itself",
         path("hard.txt"), [KEPT]),
    Case("a symbolic link to the input", ["qp", INPUT, path("soft.txt")], 1, "input file itself",
         path("soft.txt"), [KEPT, is_link(path("soft.txt"))]),
    Case("a link to a link to the input", ["qp", INPUT, path("softer.txt")], 1,
         "input file itself", path("softer.txt"), [KEPT]),
    Case("standard input as the input, the output its file", ["qp", "/dev/stdin", INPUT], 1,
         "input file itself", INPUT, [KEPT], stdin=INPUT),
    # Names are used as given.
    Case("the input's name in other letter case is another file", ["qp", INPUT, path("IN.TXT")], 0,
         expect=[KEPT, holds(path("IN.TXT"), QP_OUT)]),
    Case("a backslash is part of a name", ["hz", path("a\\b.txt"), path("c\\d")], 0,
         expect=[holds(path("c\\d"), HZ_OUT), absent(path("c"))],
         setup=lambda: write("a\\b.txt", CONTENT)),
    # Streams.
    Case("a FIFO as input", ["hz", path("fifo"), OUT], 0, expect=[holds(OUT, HZ_OUT)],
         setup=lambda: feed_fifo("fifo", CONTENT)),
    Case("a pipe on standard input", ["hz", "/dev/stdin", OUT], 0, expect=[holds(OUT, HZ_OUT)],
         pipe=CONTENT),
    Case("a character device as input", ["qp", "/dev/null", OUT], 0, expect=[holds(OUT, b"")]),
    Case("an HZ run of 1 MB read again from a pipe", ["hz", "/dev/stdin", OUT], 0,
         expect=[holds(OUT, b"\xbc\xbb" * (1 << 19))], pipe=SHORT_RUN),
    # The blocks are read in order: an HZ run is not gone back to however long.
    Case("an HZ run longer than a stream's history", ["hz", "/dev/stdin", OUT], 0,
         expect=[holds(OUT, b"\xbc\xbb" * (9 << 20))], pipe=LONG_RUN),
    # Inputs past the reader's 2 GB: converted whole, read in blocks; a file
    # size limit stops the quick rows early (sparse files, no disk used).
    Case("a file of 2 GB is not refused for its size", ["qp", path("big"), OUT], 1,
         "could not write", OUT, [absent(OUT)], setup=lambda: sparse("big", two_gb), limit=1000),
    Case("a file of 4 GB and 5 bytes is not refused for its size", ["qp", path("big"), OUT], 1,
         "could not write", OUT, [absent(OUT)], setup=lambda: sparse("big", 2**32 + 5), limit=1000),
    Case("a file of 4 GB and 5 bytes converts whole", ["qp", path("big"), path("fifo")], 0,
         expect=[lambda: None if arrived(counted) == [2**32 + 5] else f"{counted} bytes written"],
         setup=lambda: (counted.clear(), sparse("big", 2**32 + 5), counted_fifo("fifo", counted)),
         slow=True),
    Case("a file that grows past 2 GB is converted as far as it was read",
         ["qp", path("grows"), path("fifo")], 0,
         expect=[lambda: None if arrived(counted) and counted[0] in (two_gb - 4096, two_gb + 4096)
                 else f"{counted} bytes written"],
         setup=lambda: (counted.clear(), sparse("grows", two_gb - 4096),
                        counted_fifo("fifo", counted)),
         meanwhile=grow("grows", two_gb + 4096, 1.0), slow=True),
    # Outputs that cannot be written whole: what the tool made goes, nothing else.
    Case("a disk that takes nothing", ["hz", path("x"), OUT], 1, "could not write", OUT,
         [absent(OUT)], setup=lambda: write("x", FILLER), limit=0),
    Case("a disk that takes 40 bytes", ["hz", path("x"), OUT], 1, "could not write", OUT,
         [absent(OUT)], setup=lambda: write("x", FILLER), limit=40),
    Case("a failed write to an output that existed", ["qp", path("x"), OUT], 1, "could not write",
         OUT, [absent(OUT)], setup=lambda: (write("x", FILLER), write("out", b"old")), limit=40),
    Case("a failed write through a link to nothing", ["qp", path("x"), path("link")], 1,
         "could not write", path("link"), [absent(path("made")), is_link(path("link"))],
         setup=lambda: (write("x", FILLER), os.symlink(path("made"), path("link"))), limit=40),
    Case("a failed write through a link to a file", ["qp", path("x"), path("link")], 1,
         "could not write", path("link"), [holds(path("target"), b""), is_link(path("link"))],
         setup=lambda: (write("x", FILLER), write("target", b"old"),
                        os.symlink(path("target"), path("link"))), limit=40),
    Case("a failed write to a hard link of another file", ["qp", path("x"), OUT], 1,
         "could not write", OUT, [absent(OUT), holds(path("other"), b"")],
         setup=lambda: (write("x", FILLER), write("other", b"old"), os.link(path("other"), OUT)),
         limit=40),
    Case("the device that is always full", ["qp", path("x"), "/dev/full"], 1, "could not write",
         "/dev/full", [is_device("/dev/full")], setup=lambda: write("x", FILLER)),
    Case("a device that takes everything", ["qp", INPUT, "/dev/null"], 0,
         expect=[is_device("/dev/null")]),
    Case("a device as input and output", ["qp", "/dev/null", "/dev/null"], 0,
         expect=[is_device("/dev/null")]),
    Case("a FIFO as output", ["qp", INPUT, path("fifo")], 0,
         expect=[is_fifo(path("fifo")),
                 lambda: None if arrived(fifo_out) == [QP_OUT] else f"{fifo_out}"],
         setup=lambda: (fifo_out.clear(), drain_fifo("fifo", fifo_out))),
    Case("a full tmpfs", ["hz", path("x"), path(FULL + "/out")], 1, "could not write",
         path(FULL + "/out"), [absent(path(FULL + "/out"))],
         setup=lambda: write("x", FILLER * 3), tmpfs=True),
    Case("a full tmpfs through a link", ["hz", path("x"), path("link")], 1, "could not write",
         path("link"), [absent(path(FULL + "/made")), is_link(path("link"))],
         setup=lambda: (write("x", FILLER * 3), os.symlink(path(FULL + "/made"), path("link"))),
         tmpfs=True),
    Case("an output in a missing folder", ["hz", INPUT, path("none/out")], 1, "cannot create",
         path("none/out"), [absent(path("none"))]),
    Case("a folder as output", ["hz", INPUT, path("sub")], 1, "cannot create", path("sub")),
    # detect names each file's encoding; auto --to utf-8 makes every text the
    # same UTF-8 (ASCII stays as it is); a binary file is refused, no output left.
    Case("detect", ["detect"] + [SAMPLE[label.split()[0]] for label, _ in SAMPLES]
         + [path("none.txt")], 1, "cannot open", path("none.txt"),
         stdout="".join(f"{SAMPLE[label.split()[0]]}: {label}\n" for label, _ in SAMPLES)),
] + [
    Case(f"auto --to utf-8 on {label}", ["auto", "--to", "utf-8", SAMPLE[label], OUT], 0,
         expect=[holds(OUT, b"just ASCII\r\n" if label == "ascii" else UTF8)])
    for label in ("gb2312", "big5", "hz", "qp", "utf-8", "ascii")
] + [
    Case("auto on a binary file", ["auto", "--to", "utf-8", SAMPLE["binary"], OUT], 1, "binary",
         SAMPLE["binary"], [absent(OUT)]),
    Case("gb --to utf-8", ["gb", "--to", "utf-8", SAMPLE["gb2312"], OUT], 0,
         expect=[holds(OUT, UTF8)]),
    Case("auto on HZ gives GB2312", ["auto", SAMPLE["hz"], OUT], 0,
         expect=[holds(OUT, TEXT.encode("gb2312"))]),
    Case("an unknown --to", ["gb", "--to", "latin-1", SAMPLE["gb2312"], OUT], 2, "usage",
         expect=[absent(OUT)]),
    # "-" is standard input and output; standard output that is the input is refused.
    Case("standard input to standard output", ["gb", "--to", "utf-8", "-", "-"], 0,
         pipe=TEXT.encode("gb2312"), stdout=TEXT),
    Case("detect on standard input", ["detect", "-"], 0, stdin=SAMPLE["big5"], stdout="-: big5\n"),
    Case("a read that fails in the middle", ["gb", "-", OUT], 1, "could not be read", "-",
         [absent(OUT)], stdin=lambda: broken_terminal(CONTENT)),
    Case("a read that fails in auto's sample", ["auto", "-", OUT], 1, "could not be read", "-",
         [absent(OUT)], stdin=lambda: broken_terminal(CONTENT)),
    # Many inputs into one folder, each under its own name, never over an input.
    Case("a folder of mixed texts to UTF-8", ["auto", "--to", "utf-8", "-o", path("utf8")]
         + [SAMPLE[label] for label in ("gb2312", "big5", "hz", "qp")], 0,
         expect=[holds(path(f"utf8/sample-{label}"), UTF8)
                 for label in ("gb2312", "big5", "hz", "qp")]),
    Case("a folder that is the inputs' own", ["big5-to-gb", "-o", path("."), INPUT], 1,
         "one of the inputs", INPUT.replace("in.txt", "./in.txt")),
    Case("two inputs of one name", ["qp", "-o", path("o"), INPUT, path("sub/in.txt")], 1,
         "same name", path("o/in.txt"), [holds(path("o/in.txt"), QP_OUT)],
         setup=lambda: write("sub/in.txt", b"other")),
    Case("a folder that is a file", ["qp", "-o", INPUT, SAMPLE["ascii"]], 1,
         "cannot make the folder", INPUT),
    Case("standard input into a folder", ["qp", "-o", path("o"), "-"], 2, "usage",
         expect=[absent(path("o"))]),
] + [
    # Every character kept: the wider encodings, plain and quoted-printable, to
    # UTF-8 exactly as the right codec reads them; quoted-printable without
    # --to gives what the text itself gives.
    Case(f"auto --to utf-8 on {label}{' in qp' if qp else ''}",
         ["auto", "--to", "utf-8", path(f"wide-{label}"), OUT], 0, expect=[holds(OUT, text.encode())],
         setup=lambda label=label, codec=codec, text=text, qp=qp: write(
             f"wide-{label}", quopri.encodestring(text.encode(codec)) if qp else text.encode(codec)))
    for label, codec, text in WIDE for qp in (False, True)
] + [
    Case(f"auto on {label} in qp", ["auto", path(f"wide-{label}.qp"), OUT], 0,
         expect=[lambda label=label: holds(OUT, read(path(f"direct-{label}")))()],
         setup=lambda label=label, codec=codec, text=text: (
             write(f"wide-{label}", text.encode(codec)),
             write(f"wide-{label}.qp", quopri.encodestring(text.encode(codec))),
             subprocess.run([CONVERT, "auto", path(f"wide-{label}"), path(f"direct-{label}")])))
    for label, codec, text in WIDE + [("big5 sample", "big5", TEXT)]
] + [
    Case("UTF-8 to GB18030 and back", ["auto", "--to", "gb18030", path("wide.utf8"), OUT], 0,
         expect=[holds(OUT, WIDE[1][2].encode("gb18030"))],
         setup=lambda: write("wide.utf8", WIDE[1][2].encode())),
    Case("UTF-8 to BIG5", ["auto", "--to", "big5", path("wide.utf8"), OUT], 0,
         expect=[holds(OUT, WIDE[2][2].encode("cp950"))],
         setup=lambda: write("wide.utf8", WIDE[2][2].encode())),
    # Nothing is replaced in silence: one line counts it, the status stays 0.
    Case("bytes GBK cannot read", ["auto", "--to", "utf-8", path("bad.gbk"), OUT], 0,
         "2 bytes could not be read as gbk and became U+FFFD", path("bad.gbk"),
         [holds(OUT, WIDE[0][2].encode() + "\ufffd\ufffd".encode())],
         setup=lambda: write("bad.gbk", WIDE[0][2].encode("gbk") + b"\xff\xff")),
    Case("characters BIG5 has no code for", ["auto", "--to", "big5", path("wide.utf8"), OUT], 0,
         "3 characters have no code in big5", path("wide.utf8"),
         [holds(OUT, "朱?基、陶?和王堃".encode("cp950", "replace"))],
         setup=lambda: write("wide.utf8", "朱镕基、陶喆和王堃".encode())),
] + [
    # iconv's form writes what iconv writes, from the text's own encoding.
    Case(f"-f utf-8 -t {target} writes what iconv writes",
         ["-f", "utf-8", "-t", target, "-o", OUT, path(f"iconv-{label}")], 0,
         expect=[lambda target=target, label=label: holds(OUT, iconv(target, path(f"iconv-{label}")))()],
         setup=lambda label=label, text=text: write(f"iconv-{label}", text.encode()))
    for label, _, text in WIDE for target in ("gbk", "gb18030", "utf-16")
    if target != "gbk" or label == "gbk"
] + [
    Case("-f big5 -t utf-8", ["--from", "cp950", "--to", "utf8", "-o", OUT, path("wide-big5")], 0,
         expect=[holds(OUT, WIDE[2][2].encode())],
         setup=lambda: write("wide-big5", WIDE[2][2].encode("cp950"))),
    Case("-f gbk to standard output, from standard input", ["-f", "gbk", "-t", "utf-8"], 0,
         pipe=WIDE[0][2].encode("gbk"), stdout=WIDE[0][2]),
    # What TO cannot hold stops the file, named with the offset and the bytes.
    Case("-t gb2312 stops at 镕", ["-f", "utf-8", "-t", "gb2312", "-o", OUT, path("wide.utf8")], 1,
         "has no code for at offset 6 (E9 95 95)", path("wide.utf8"), [absent(OUT)],
         setup=lambda: write("wide.utf8", "朱基镕".encode())),
    Case("-c leaves it out", ["-c", "-f", "utf-8", "-t", "gb2312", "-o", OUT, path("wide.utf8")], 0,
         "1 character has no code in gb2312 and was left out", path("wide.utf8"),
         [holds(OUT, "朱基".encode("gb2312"))], setup=lambda: write("wide.utf8", "朱基镕".encode())),
    Case("--replace writes ?", ["--replace", "-f", "utf-8", "-t", "gb2312", "-o", OUT,
                               path("wide.utf8")], 0, "and became \"?\"", path("wide.utf8"),
         [holds(OUT, "朱基".encode("gb2312") + b"?")],
         setup=lambda: write("wide.utf8", "朱基镕".encode())),
    Case("a byte FROM cannot read stops the file", ["-f", "gbk", "-o", OUT, path("bad.gbk")], 1,
         "cannot be read as gbk at offset 4 (FF)", path("bad.gbk"), [absent(OUT)],
         setup=lambda: write("bad.gbk", "朱基".encode("gbk") + b"\xff\xff")),
    Case("several inputs into a folder", ["-f", "auto", "-t", "utf-8", "-o", path("each"),
                                          path("wide-gbk"), path("wide-big5")], 0,
         expect=[holds(path("each/wide-gbk"), WIDE[0][2].encode()),
                 holds(path("each/wide-big5"), WIDE[2][2].encode())],
         setup=lambda: (write("wide-gbk", WIDE[0][2].encode("gbk")),
                        write("wide-big5", WIDE[2][2].encode("cp950")))),
    Case("-l lists the encodings and their aliases", ["-l"], 0,
         expect=[lambda: None if b"gbk (cp936, ms936, windows-936)\n" in subprocess.run(
             [CONVERT, "-l"], capture_output=True).stdout else "-l does not list gbk's aliases"]),
    Case("an unknown FROM", ["-f", "latin-9", path("wide.utf8")], 2, "usage"),
    # -r mirrors a tree: text converted, binary copied, links left, one closing line.
    Case("-r mirrors a tree", ["-r", "-t", "utf-8", "-o", path("mirror"), path("tree")], 0,
         "2 files converted (big5 1, gbk 1), 1 copied, 0 failed",
         expect=[holds(path("mirror/tree/a.txt"), WIDE[0][2].encode()),
                 holds(path("mirror/tree/sub/b.txt"), WIDE[2][2].encode()),
                 holds(path("mirror/tree/sub/deeper/c.bin"), b"\x00\x01\x02ELF")],
         setup=lambda: (os.makedirs(path("tree/sub/deeper"), exist_ok=True),
                        write("tree/a.txt", WIDE[0][2].encode("gbk")),
                        write("tree/sub/b.txt", WIDE[2][2].encode("cp950")),
                        write("tree/sub/deeper/c.bin", b"\x00\x01\x02ELF"))),
    Case("-r reports a link and does not follow it", ["-r", "-o", path("linked"), path("ltree")], 0,
         "is a symbolic link; not followed", path("ltree/link.txt"),
         [holds(path("linked/ltree/a.txt"), WIDE[0][2].encode()), absent(path("linked/ltree/link.txt"))],
         setup=lambda: (os.makedirs(path("ltree"), exist_ok=True),
                        write("ltree/a.txt", WIDE[0][2].encode("gbk")),
                        os.path.lexists(path("ltree/link.txt")) or
                        os.symlink("a.txt", path("ltree/link.txt")))),
    Case("-r with the output inside the input", ["-r", "-o", path("itree/out"), path("itree")], 0,
         expect=[holds(path("itree/out/itree/a.txt"), WIDE[0][2].encode()),
                 absent(path("itree/out/itree/out"))],
         setup=lambda: (os.makedirs(path("itree"), exist_ok=True),
                        write("itree/a.txt", WIDE[0][2].encode("gbk")))),
    Case("-r without -o", ["-r", path("tree")], 2, "usage"),
    Case("-r over a loop of links", ["-r", "-o", path("looped"), path("loop")], 0,
         "is a symbolic link; not followed", path("loop/again"),
         [holds(path("looped/loop/a.txt"), WIDE[0][2].encode()), absent(path("looped/loop/again"))],
         setup=lambda: (os.makedirs(path("loop")), write("loop/a.txt", GBK),
                        os.symlink("..", path("loop/again")))),
    # --in-place: the new bytes take the file's place only when whole.
    Case("--in-place keeps the permission bits", ["--in-place", "-t", "utf-8", path("p.txt")], 0,
         expect=[holds(path("p.txt"), WIDE[0][2].encode()), mode_is(path("p.txt"), 0o640)],
         setup=lambda: (write("p.txt", GBK), os.chmod(path("p.txt"), 0o640))),
    Case("--in-place leaves a file already in TO", ["--in-place", path("p.txt"), path("u.txt")], 0,
         "1 file converted (gbk 1), 1 unchanged, 0 failed",
         expect=[holds(path("p.txt"), WIDE[0][2].encode()), holds(path("u.txt"), UTF8)],
         setup=lambda: (write("p.txt", GBK), write("u.txt", UTF8))),
    Case("--in-place stops at a byte it cannot read", ["--in-place", "-f", "gbk", path("bad.gbk")],
         1, "cannot be read as gbk at offset 4", path("bad.gbk"),
         [holds(path("bad.gbk"), "朱基".encode("gbk") + b"\xff")],
         setup=lambda: write("bad.gbk", "朱基".encode("gbk") + b"\xff")),
    Case("--in-place on a full disk", ["--in-place", path(FULL + "/p.txt")], 1,
         "could not be converted in place", path(FULL + "/p.txt"),
         [holds(path(FULL + "/p.txt"), GBK * 1000)],
         setup=lambda: write(FULL + "/p.txt", GBK * 1000), tmpfs=True),
    Case("--in-place removes what a killed run left", ["--in-place", path("p.txt")], 0,
         expect=[holds(path("p.txt"), WIDE[0][2].encode())],
         setup=lambda: (write("p.txt", GBK), leftover("."))),
    Case("--in-place -r over a tree", ["--in-place", "-r", path("ptree")], 0,
         "2 files converted (big5 1, gbk 1), 1 unchanged, 0 failed",
         expect=[holds(path("ptree/a.txt"), WIDE[0][2].encode()),
                 holds(path("ptree/sub/b.txt"), WIDE[2][2].encode()),
                 holds(path("ptree/sub/c.bin"), b"\x00\x01\x02ELF")],
         setup=lambda: (os.makedirs(path("ptree/sub")), write("ptree/a.txt", GBK),
                        write("ptree/sub/b.txt", WIDE[2][2].encode("cp950")),
                        write("ptree/sub/c.bin", b"\x00\x01\x02ELF"), leftover("ptree/sub"))),
    Case("--in-place leaves a link", ["--in-place", path("soft.txt")], 0, "is a symbolic link",
         path("soft.txt"), [is_link(path("soft.txt"))]),
    Case("--in-place of a folder without -r", ["--in-place", path("sub")], 1, "-r converts",
         path("sub")),
    Case("--in-place with -o", ["--in-place", "-o", OUT, INPUT], 2, "usage"),
    Case("-j 0", ["-r", "-j", "0", "-o", OUT, INPUT], 2, "usage"),
    # --names: names in GBK or BIG5 bytes written in UTF-8, the encoding detected over all.
] + [
    Case(f"--names on {codec} names", ["-r", "-j", "--names", "-f", "auto", "-t", "utf-8", "-o",
                                       path("nout"), path("ntree")], 0,
         f"0 failed, {len(names) + 1} names written in UTF-8",
         expect=[holds(path(f"nout/ntree/{name}"), name.encode()) for name in names],
         setup=lambda codec=codec, names=names: named_tree("ntree", codec, names))
    for codec, names in (("gbk", GBK_NAMES), ("big5", BIG5_NAMES))
] + [
    Case("--names-from big5", ["-r", "--names-from", "big5", "-o", path("nout"), path("ntree")], 0,
         expect=[holds(path("nout/ntree/說明.txt"), "說明.txt".encode())],
         setup=lambda: named_tree("ntree", "big5", ["說明.txt"])),
    Case("--in-place --names renames", ["--in-place", "-r", "--names", path("ntree")], 0,
         "3 files converted (gb2312 3), 0 unchanged, 0 failed, 4 names written in UTF-8",
         expect=[holds(path(f"ntree/{name}"), name.encode()) for name in GBK_NAMES]
         + [lambda: None if set(os.listdir(path("ntree"))) == {"小说", "红楼梦.txt"}
            else f"ntree holds {os.listdir(os.fsencode(path('ntree')))}"],
         setup=lambda: named_tree("ntree", "gbk", GBK_NAMES)),
    Case("names that would become one", ["-r", "--names-from", "gbk", "-o", path("nout"),
                                         path("ntree")], 0, "becomes 说明~1, as another name",
         expect=[holds(path("nout/ntree/说明~1"), "说明".encode()),
                 lambda: None if os.path.isdir(path("nout/ntree/说明")) else "说明 is gone"],
         setup=lambda: (named_tree("ntree", "gbk", ["说明"]), os.mkdir(path("ntree/说明")))),
    Case("--names without a tree", ["--names", "-o", OUT, INPUT], 2, "usage"),
    # Memory stays small however the input runs on.
    Case("an HZ run that never closes, 64 MB", ["hz", path("run.hz"), OUT], 0,
         expect=[within_memory(["auto", "--to", "utf-8", path("run.hz"), OUT], 64 << 10),
                 within_memory(["hz", path("run.hz"), OUT], 64 << 10)],
         setup=lambda: write("run.hz", b"~{" + b"<;" * (32 << 20) + b"\n"), slow=True),
    Case("quoted-printable without line breaks, 64 MB", ["qp", path("long.qp"), OUT], 0,
         expect=[within_memory(["auto", "--to", "utf-8", path("long.qp"), OUT], 64 << 10)],
         setup=lambda: write("long.qp", b"=D6=D0" * (11 << 20)), slow=True),
]


def interrupted(signal_number, output, setup, expect):
    """Ends a conversion from a FIFO held open with the signal once its output has begun; the
    tool dies of it, its output removed as after any failure."""
    prepare()
    setup()
    os.mkfifo(path("fifo"))
    tool = subprocess.Popen([CONVERT, "gb", path("fifo"), output], stderr=subprocess.PIPE)
    with open(path("fifo"), "wb") as feed:
        feed.write(FILLER * 30)
        feed.flush()
        made = os.path.realpath(output)
        for _ in range(500):
            if os.path.exists(made) and os.path.getsize(made) > 0:
                break
            time.sleep(0.01)
        tool.send_signal(signal_number)
        status = tool.wait(timeout=30)
    tool.stderr.close()
    problems = [] if status == -signal_number else [f"exit status {status}"]
    return problems + [p for p in (e() for e in expect) if p]


# Signals that end a run from outside, and what the output is afterwards.
INTERRUPTIONS = [
    ("SIGINT, a new output", signal.SIGINT, OUT, lambda: None, [absent(OUT)]),
    ("SIGTERM, an output that existed", signal.SIGTERM, OUT, lambda: write("out", b"old"),
     [absent(OUT)]),
    ("SIGHUP, through a link to a file", signal.SIGHUP, path("link"),
     lambda: (write("target", b"old"), os.symlink(path("target"), path("link"))),
     [holds(path("target"), b""), is_link(path("link"))]),
]


def in_place_interrupted():
    """SIGTERM while a large file is converted in place: the file as it was, nothing left."""
    prepare()
    sparse("big", 1 << 30)
    tool = subprocess.Popen([CONVERT, "--in-place", "-f", "gbk", path("big")],
                            stderr=subprocess.DEVNULL)
    def writing():  # the temporary file has its first bytes: the signal will remove it
        sizes = [os.stat(path(n)).st_size for n in os.listdir(path(".")) if n.startswith(".tav")]
        return any(sizes)
    begun = time.monotonic() + 20
    while time.monotonic() < begun and tool.poll() is None and not writing():
        time.sleep(0.001)
    tool.send_signal(signal.SIGTERM)
    status = tool.wait(timeout=30)
    problems = [] if status == -signal.SIGTERM else [f"exit status {status}"]
    if os.path.getsize(path("big")) != 1 << 30 or open(path("big"), "rb").read(16) != bytes(16):
        problems.append("the file changed")
    return problems + [p for p in [no_temporary()] if p]


def tree_of_files(count):
    """A tree of GBK texts, every fifth one with a byte GBK cannot read, under long names so
    that lines cut apart would show."""
    for i in range(count):
        folder = path(f"many/{i % 7}")
        os.makedirs(folder, exist_ok=True)
        bad = b"\xff" if i % 5 == 0 else b""
        write(f"many/{i % 7}/{'长' * 60}{i}.txt", GBK * (i + 1) + bad)


def parallel_like_serial():
    """-j 3 writes what -j 1 writes: the same files, status and lines, each line whole, the
    summary last."""
    prepare()
    tree_of_files(60)
    runs = []
    for jobs in ("1", "3"):
        result = subprocess.run([CONVERT, "-r", "-j", jobs, "-f", "gbk", "-o", path("j" + jobs),
                                 path("many")], capture_output=True)
        lines = result.stderr.decode().splitlines(keepends=True)
        files = {os.path.relpath(os.path.join(d, n), path("j" + jobs)): read(os.path.join(d, n))
                 for d, _, names in os.walk(path("j" + jobs)) for n in names}
        runs.append((result.returncode, sorted(lines[:-1]), lines[-1:], files))
    problems = [] if runs[0] == runs[1] else ["-j 3 and -j 1 differ"]
    status, errors, summary, files = runs[1]
    if status != 1 or len(errors) != 12 or len(files) != 48:
        problems.append(f"status {status}, {len(errors)} error lines, {len(files)} files")
    if not all(line.startswith("tavelo-convert: ") and line.count("tavelo-convert") == 1
               and line.endswith("not converted\n") for line in errors):
        problems.append(f"lines cut apart: {errors}")
    if summary != ["tavelo-convert: 48 files converted (gbk 48), 0 copied, 12 failed\n"]:
        problems.append(f"summary {summary}")
    return problems


def full_disk_mid_tree():
    """-r into a 64 KB tmpfs that fills up after a few files: each file that does not fit is
    reported and removed, the others written whole, the closing line counts both."""
    if not os.path.ismount(path(FULL)):
        return []  # reported as skipped by the table's tmpfs rows
    prepare()
    for i in range(6):
        write(f"tree{i}.txt", GBK * 300)
    result = subprocess.run([CONVERT, "-r", "-j", "2", "-o", path(FULL + "/out")]
                            + [path(f"tree{i}.txt") for i in range(6)], capture_output=True)
    lines = result.stderr.decode().splitlines()
    made = os.listdir(path(FULL + "/out"))
    problems = [] if result.returncode == 1 else [f"exit status {result.returncode}"]
    problems += [p for p in (holds(path(f"{FULL}/out/{name}"), WIDE[0][2].encode() * 300)()
                             for name in made) if p]
    failed = [line for line in lines if "could not write the file" in line]
    summary = f"{len(made)} files converted (gbk {len(made)}), 0 copied, {6 - len(made)} failed"
    if not made or len(failed) != 6 - len(made) or not lines[-1].endswith(summary):
        problems.append(f"{made} written, standard error {lines}")
    return problems


def progress_on_terminal():
    """On a terminal, an input past 64 MB has its progress line, erased at the end."""
    prepare()
    sparse("big", 70 << 20)
    master, terminal = pty.openpty()
    tool = subprocess.Popen([CONVERT, "gb", path("big"), OUT], stderr=terminal)
    os.close(terminal)
    shown = b""
    while True:
        try:
            chunk = os.read(master, 4096)
        except OSError:  # the terminal's other end has gone
            break
        if not chunk:
            break
        shown += chunk
    os.close(master)
    line = f"\rtavelo-convert: {path('big')}: 64 MB of 70 MB".encode()
    problems = [] if tool.wait() == 0 else ["the conversion failed"]
    if not shown.startswith(line) or not shown.endswith(b" " * (len(line) - 1) + b"\r"):
        problems.append(f"the terminal showed {shown[:80]!r}...{shown[-40:]!r}")
    return problems + [p for p in [holds(OUT, bytes(70 << 20))()] if p]


def main():
    passed, failed, skipped = run_cases(CONVERT, "tavelo-convert", CASES, prepare, [KEPT, no_temporary],
                                        skip_slow="--skip-slow" in sys.argv)
    others = [(name, lambda number=number, output=output, setup=setup, expect=expect:
               interrupted(number, output, setup, expect))
              for name, number, output, setup, expect in INTERRUPTIONS]
    for name, test in others + [("progress on a terminal", progress_on_terminal),
                                ("SIGTERM during --in-place", in_place_interrupted),
                                ("-j 3 as -j 1", parallel_like_serial),
                                ("a full disk mid-tree", full_disk_mid_tree)]:
        problems = test()
        for problem in problems:
            print(f"FAIL {name}: {problem}")
        passed, failed = passed + (not problems), failed + bool(problems)
    return finish(passed, failed, skipped)


if __name__ == "__main__":
    sys.exit(main())
