#!/usr/bin/env python3
"""The tools as `cmake --install` puts them in a prefix: exactly the programs
and man pages, each program working from a folder of its own, each page
rendered by groff without a warning and naming every option its tool's
--help names.

usage: install_test.py CMAKE BUILD VERSION BUILT_RENDER SAMPLE WITH_READER
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

CMAKE, BUILD, VERSION, BUILT_RENDER, SAMPLE, WITH_READER = sys.argv[1:7]
BUILD, BUILT_RENDER, SAMPLE = (os.path.abspath(p) for p in (BUILD, BUILT_RENDER, SAMPLE))
TOOLS = ["tavelo-convert", "tavelo-render"] + (["tavelo"] if WITH_READER == "1" else [])
VERSIONED = ["tavelo-convert", "tavelo-render"]

# Conversions whose bytes Python's own codecs give.
CONVERSIONS = [
    (["big5-to-gb"], "中國書\r\n".encode("big5"), "中国书\r\n".encode("gb2312")),
    (["gb", "--to", "utf-8"], "汉字 abc\n".encode("gb2312"), "汉字 abc\n".encode("utf-8")),
]

failures = []


def expect(ok, what):
    if not ok:
        failures.append(what)


def run(command, folder):
    return subprocess.run(command, cwd=folder, capture_output=True, timeout=120)


def read(name):
    with open(name, "rb") as f:
        return f.read()


def page_text(page, folder):
    """The page as plain text on lines too long to break."""
    result = run(["groff", "-man", "-Tascii", "-P-cbou", "-rLL=2000n", page], folder)
    return result.stdout.decode()


def main():
    with tempfile.TemporaryDirectory(prefix="tavelo-install-") as scratch:
        prefix, folder = os.path.join(scratch, "prefix"), os.path.join(scratch, "elsewhere")
        os.mkdir(folder)
        result = run([CMAKE, "--install", BUILD, "--prefix", prefix], folder)
        if result.returncode != 0:
            print(result.stdout.decode(), result.stderr.decode())
            return 1
        installed = sorted(os.path.relpath(os.path.join(d, f), prefix)
                           for d, _, files in os.walk(prefix) for f in files)
        wanted = sorted([f"bin/{t}" for t in TOOLS] + [f"share/man/man1/{t}.1" for t in TOOLS])
        expect(installed == wanted, f"installed {installed}, not {wanted}")
        tool = {t: os.path.join(prefix, "bin", t) for t in TOOLS}
        page = {t: os.path.join(prefix, "share/man/man1", t + ".1") for t in TOOLS}

        for name in VERSIONED:
            version = run([tool[name], "--version"], folder)
            expect(version.stdout == f"{name} {VERSION}\n".encode(),
                   f"{name} --version printed {version.stdout!r}")

        for arguments, given, wanted_bytes in CONVERSIONS:
            with open(os.path.join(folder, "in"), "wb") as f:
                f.write(given)
            result = run([tool["tavelo-convert"]] + arguments + ["in", "out"], folder)
            expect(result.returncode == 0 and read(os.path.join(folder, "out")) == wanted_bytes,
                   f"tavelo-convert {' '.join(arguments)}: {result.stderr!r}")

        shutil.copyfile(SAMPLE, os.path.join(folder, "sample.gb"))
        installed_page = run([tool["tavelo-render"], "sample.gb", "installed.png"], folder)
        built_page = run([BUILT_RENDER, "sample.gb", "built.png"], folder)
        expect(installed_page.returncode == 0 and built_page.returncode == 0 and
               read(os.path.join(folder, "installed.png")) == read(os.path.join(folder, "built.png")),
               f"the installed tavelo-render drew another page: {installed_page.stderr!r}")

        for name in TOOLS:
            result = run(["groff", "-man", "-Tutf8", "-ww", "-z", page[name]], folder)
            expect(result.returncode == 0 and not result.stderr,
                   f"groff on {name}.1: {result.stderr.decode()}")
        for name in ["tavelo-convert", "tavelo-render"]:
            usage = run([tool[name], "--help"], folder).stdout.decode()
            text = page_text(page[name], folder)
            options = set(re.findall(r"(?<![\w-])--[a-z][\w-]*", usage))
            expect(options, f"{name} --help names no option")
            for option in sorted(options):
                expect(re.search(r"(?<![\w-])" + re.escape(option) + r"(?![\w-])", text),
                       f"{name}.1 does not name {option}")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
