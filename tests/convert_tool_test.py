#!/usr/bin/env python3
"""tavelo-convert's command line: what it writes, what it refuses, its exit
status and its one-line error naming the file.

usage: convert_tool_test.py TAVELO_CONVERT
"""
import os
import resource
import shutil
import signal
import subprocess
import sys
import tempfile

CONVERT = sys.argv[1]
WORK = tempfile.mkdtemp(prefix="tavelo-convert-test-")
INPUT = os.path.join(WORK, "in.txt")
CONTENT = b"a~~b~{<;~}=41\r\n"


def path(name):
    return os.path.join(WORK, name)


def limit_file_size(size):
    """For the child: writes past size bytes fail (EFBIG) instead of killing it."""
    def apply():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (size, size))
    return apply


def sparse(name, size):
    with open(path(name), "wb") as f:
        f.truncate(size)
    return path(name)


def prepare():
    """The scratch folder as every case starts from it."""
    for entry in os.listdir(WORK):
        full = path(entry)
        if os.path.isdir(full) and not os.path.islink(full):
            shutil.rmtree(full)
        else:
            os.remove(full)
    with open(INPUT, "wb") as f:
        f.write(CONTENT)
    os.mkdir(path("sub"))
    os.link(INPUT, path("hard.txt"))
    os.symlink(INPUT, path("soft.txt"))


# name, arguments, exit status, the file the error names (None: no error),
# words of the error, the output and what it must hold afterwards (None: absent).
CASES = [
    ("no arguments", [], 2, None, "usage", None, None),
    ("an unknown converter", ["utf8", INPUT, path("out")], 2, None, "usage", None, None),
    ("HZ", ["hz", INPUT, path("out")], 0, None, None, path("out"), b"a~b\xbc\xbb=41\r\n"),
    ("QP", ["qp", INPUT, path("out")], 0, None, None, path("out"), b"a~~b~{<;~}A\r\n"),
    ("BIG5 to GB", ["big5-to-gb", INPUT, path("out")], 0, None, None, path("out"), CONTENT),
    ("a missing input", ["hz", path("none.txt"), path("out")], 1, path("none.txt"),
     "cannot open", path("out"), None),
    ("the input as output", ["hz", INPUT, INPUT], 1, INPUT, "input file itself", INPUT, CONTENT),
    ("the input in other letter case", ["hz", INPUT, path("IN.TXT")], 1, path("IN.TXT"),
     "input file itself", INPUT, CONTENT),
    ("the input through a parent step", ["qp", INPUT, path("sub/../in.txt")], 1,
     path("sub/../in.txt"), "input file itself", INPUT, CONTENT),
    ("a hard link to the input", ["qp", INPUT, path("hard.txt")], 1, path("hard.txt"),
     "input file itself", INPUT, CONTENT),
    ("a symbolic link to the input", ["qp", INPUT, path("soft.txt")], 1, path("soft.txt"),
     "input file itself", INPUT, CONTENT),
    ("an output in a missing folder", ["hz", INPUT, path("none/out")], 1, path("none/out"),
     "cannot create", path("none/out"), None),
    ("a folder as output", ["hz", INPUT, path("sub")], 1, path("sub"), "cannot create", None, None),
]


def run(arguments, preexec=None):
    return subprocess.run([CONVERT] + arguments, capture_output=True, preexec_fn=preexec)


def check(name, result, status, named, words, output, held):
    problems = []
    if result.returncode != status:
        problems.append(f"exit status {result.returncode}, expected {status}")
    error = result.stderr.decode(errors="replace")
    if words is None and error:
        problems.append(f"unexpected error {error!r}")
    if words is not None:
        if error.count("\n") != 1 or words not in error:
            problems.append(f"error {error!r} is not one line with {words!r}")
        if named is not None and named not in error:
            problems.append(f"error {error!r} does not name {named}")
    if output is not None:
        if held is None and os.path.exists(output):
            problems.append(f"{output} exists")
        if held is not None:
            with open(output, "rb") as f:
                content = f.read()
            if content != held:
                problems.append(f"{output} holds {content!r}, expected {held!r}")
    for problem in problems:
        print(f"FAIL {name}: {problem}")
    return not problems


def main():
    passed = failed = 0

    def count(ok):
        nonlocal passed, failed
        passed, failed = passed + ok, failed + (not ok)

    for name, arguments, status, named, words, output, held in CASES:
        prepare()
        count(check(name, run(arguments), status, named, words, output, held))

    # Inputs the reader cannot address whole: sparse files, no disk used.
    for size, status in ((2**31 - 1, None), (2**31, 1), (2**32 + 5, 1)):
        prepare()
        big = sparse("big.txt", size)
        if status is None:
            # Readable to its last byte: refused only later, by a file size limit, so
            # the whole run is not made; the refusal must not be the size one.
            result = run(["qp", big, path("out")], limit_file_size(1000))
            ok = b"2 GB" not in result.stderr and b"could not write" in result.stderr
            if not ok:
                print(f"FAIL a document just below 2 GB: {result.stderr!r}")
            count(ok)
        else:
            count(check(f"a document of {size} bytes", run(["qp", big, path("out")]), status,
                        big, "2 GB", path("out"), None))

    # A failed write: what was written goes, and the error names the output.
    for limit in (0, 40):
        prepare()
        with open(INPUT, "wb") as f:
            f.write(b"x" * 100)
        count(check(f"a disk taking {limit} bytes", run(["hz", INPUT, path("out")],
                                                         limit_file_size(limit)),
                    1, path("out"), "could not write", path("out"), None))

    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    try:
        status = main()
    finally:
        shutil.rmtree(WORK, ignore_errors=True)
    sys.exit(status)
