#!/usr/bin/env python3
"""tavelo-render on real files, as a user runs it from a shell: the hostile
cases of its input and output (links to the input, streams, devices, full
disks) in one table. Each failure is one line with exit status 1 and leaves
no PNG; a stream is painted as its file is.

usage: render_tool_files_test.py TAVELO_RENDER SAMPLE
"""
import collections
import os
import shutil
import sys

from tool_cases import (FULL, absent, clear, feed_fifo, finish, holds, is_device, is_link,
                        opened_at, path, run, run_cases, write)

RENDER = sys.argv[1]
SAMPLE = sys.argv[2]
DOC = path("doc.gb")
PNG = path("page.png")

Case = collections.namedtuple(
    "Case", "name arguments status words named expect setup stdin pipe limit tmpfs",
    defaults=(None, None, None, None, None, None, None, False))


def prepare():
    clear()
    shutil.copyfile(SAMPLE, DOC)
    os.link(DOC, path("hard.gb"))
    os.symlink(DOC, path("soft.gb"))
    os.mkdir(path("sub"))


def reference():
    """The page of the sample as a regular file, which every stream must give too."""
    prepare()
    result = run(RENDER, [DOC, path("reference.png")])
    assert result.returncode == 0, result.stderr
    with open(path("reference.png"), "rb") as f:
        return f.read()


def render_of_zeros():
    prepare()
    with open(path("zeros"), "wb") as f:
        f.truncate(8 << 20)
    result = run(RENDER, [path("zeros"), path("zeros.png")])
    assert result.returncode == 0, result.stderr
    with open(path("zeros.png"), "rb") as f:
        return f.read()


def main():
    page = reference()
    with open(SAMPLE, "rb") as f:
        sample = f.read()
    kept = holds(DOC, sample)
    # /dev/zero shows its first 32,768 lines of NUL bytes, as a file of them does.
    zeros = render_of_zeros()
    cases = [
        Case("the document as output", [DOC, DOC], 1, "input file itself", DOC),
        Case("the document through a parent step", [DOC, path("sub/../doc.gb")], 1,
             "input file itself", path("sub/../doc.gb")),
        Case("a hard link to the document", [DOC, path("hard.gb")], 1, "input file itself",
             path("hard.gb")),
        Case("a symbolic link to the document", [DOC, path("soft.gb")], 1, "input file itself",
             path("soft.gb"), [is_link(path("soft.gb"))]),
        Case("standard input as the document, the output its file", ["/dev/stdin", DOC], 1,
             "input file itself", DOC, stdin=DOC),
        Case("a folder as the document", [path("sub"), PNG], 1, "cannot open", path("sub"),
             [absent(PNG)]),
        Case("a FIFO as the document", [path("fifo"), PNG], 0, expect=[holds(PNG, page)],
             setup=lambda: feed_fifo("fifo", sample)),
        Case("a pipe on standard input", ["/dev/stdin", PNG], 0, expect=[holds(PNG, page)],
             pipe=sample),
        # The painter goes back to its lines' offsets, which count from where
        # standard input stood when the tool was given it.
        Case("standard input part read", ["-", PNG], 0, expect=[holds(PNG, page)],
             setup=lambda: write("padded", b"skipped\r\n" + sample),
             stdin=lambda: opened_at(path("padded"), len(b"skipped\r\n"))),
        Case("an endless device", ["/dev/zero", PNG], 0, expect=[holds(PNG, zeros)]),
        Case("the device that is always full", [DOC, "/dev/full"], 1, "cannot write", "/dev/full",
             [is_device("/dev/full")]),
        Case("a disk that takes 100 bytes", [DOC, PNG], 1, "cannot write", PNG, [absent(PNG)],
             limit=100),
        Case("a disk that takes nothing, the PNG existing", [DOC, PNG], 1, "cannot write", PNG,
             [absent(PNG)], setup=lambda: open(PNG, "wb").write(b"old"), limit=0),
        Case("a full disk through a link to nothing", [DOC, path("link.png")], 1, "cannot write",
             path("link.png"), [absent(path("made.png")), is_link(path("link.png"))],
             setup=lambda: os.symlink(path("made.png"), path("link.png")), limit=100),
        Case("a full tmpfs", [DOC, path(FULL + "/page.png")], 1, "cannot write",
             path(FULL + "/page.png"), [absent(path(FULL + "/page.png"))],
             setup=lambda: write(FULL + "/filler", b"x" * (60 << 10)), tmpfs=True),
        Case("an output in a missing folder", [DOC, path("none/page.png")], 1, "cannot create",
             path("none/page.png")),
    ]
    passed, failed, skipped = run_cases(RENDER, "tavelo-render", cases, prepare, [kept])
    return finish(passed, failed, skipped)


if __name__ == "__main__":
    sys.exit(main())
