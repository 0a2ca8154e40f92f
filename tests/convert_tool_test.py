#!/usr/bin/env python3
"""tavelo-convert's command line: what it writes, what it refuses, its exit
status and its one-line error naming the file.

usage: convert_tool_test.py TAVELO_CONVERT
"""
import os
import quopri
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

    # Inputs larger than the reader addresses: the command line reads them in
    # blocks, so nothing refuses them for their size; a file size limit stops
    # each run early (sparse files, no disk used).
    for size in (2**31 - 1, 2**31, 2**32 + 5):
        prepare()
        big = sparse("big.txt", size)
        result = run(["qp", big, path("out")], limit_file_size(1000))
        ok = (result.returncode == 1 and b"2 GB" not in result.stderr
              and b"could not write" in result.stderr and not os.path.exists(path("out")))
        if not ok:
            print(f"FAIL a document of {size} bytes: {result.returncode} {result.stderr!r}")
        count(ok)

    # detect names each file's encoding, and auto --to utf-8 makes every text
    # the same UTF-8; a binary file is refused and no output is left.
    text = "床前明月光，疑是地上霜。\r\nok\r\n"
    samples = {
        "gb2312": text.encode("gb2312"),
        "big5": "床前明月光，疑是地上霜。\r\nok\r\n".encode("big5"),
        "hz": text.encode("hz"),
        "qp (decodes to gb2312)": quopri.encodestring(text.encode("gb2312")),
        "utf-8": text.encode("utf-8"),
        "ascii": b"just ASCII\r\n",
        "binary": b"\x00\x01\x02ELF",
    }
    prepare()
    names = []
    for i, data in enumerate(samples.values()):
        names.append(path(f"sample{i}"))
        with open(names[-1], "wb") as f:
            f.write(data)
    result = run(["detect"] + names + [path("none.txt")])
    expected = "".join(f"{n}: {label}\n" for n, label in zip(names, samples))
    ok = (result.stdout.decode() == expected and result.returncode == 1
          and path("none.txt") in result.stderr.decode())
    if not ok:
        print(f"FAIL detect: {result.returncode} {result.stdout!r} {result.stderr!r}")
    count(ok)
    for i, (name, label) in enumerate(zip(names, samples)):
        out = path(f"auto-out{i}")
        result = run(["auto", "--to", "utf-8", name, out])
        if label == "binary":
            count(check("auto on a binary file", result, 1, name, "binary", out, None))
            continue
        with open(name, "rb") as f:
            want = f.read() if label == "ascii" else text.encode("utf-8")
        count(check(f"auto --to utf-8 on {label}", result, 0, None, None, out, want))
    count(check("gb --to utf-8", run(["gb", "--to", "utf-8", names[0], path("out")]), 0, None,
                None, path("out"), text.encode("utf-8")))
    count(check("hz, its GB2312 output", run(["auto", names[2], path("out")]), 0, None, None,
                path("out"), text.encode("gb2312")))
    count(check("an unknown --to", run(["gb", "--to", "latin-1", names[0], path("out2")]), 2,
                None, "usage", path("out2"), None))

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
