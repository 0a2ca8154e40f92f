#!/usr/bin/env python3
"""tavelo-convert gb --to utf-8 against glibc's iconv -f GB2312 -t UTF-8 at
every one of the 94 x 94 positions: where iconv gives a character ours gives
the same one, and where iconv has none ours gives U+FFFD. Also a text of
ASCII, CR LF and pairs, which both must read alike.

usage: gb2312_utf8_test.py TAVELO_CONVERT
"""
import os
import shutil
import subprocess
import sys
import tempfile

CONVERT = sys.argv[1]


def main():
    if shutil.which("iconv") is None:
        print("skipped: iconv is not installed")
        return 77
    work = tempfile.mkdtemp(prefix="tavelo-gb-utf8-")
    try:
        positions = [bytes([lead, trail]) for lead in range(0xA1, 0xFF)
                     for trail in range(0xA1, 0xFF)]
        source = os.path.join(work, "all.gb")
        target = os.path.join(work, "all.utf8")
        with open(source, "wb") as f:
            f.write(b"".join(p + b"\n" for p in positions))
        subprocess.run([CONVERT, "gb", "--to", "utf-8", source, target], check=True)
        with open(target, "rb") as f:
            ours = f.read().decode("utf-8").split("\n")[:-1]
        # -c drops a pair that GB2312 does not define, leaving its line empty.
        theirs = subprocess.run(["iconv", "-c", "-f", "GB2312", "-t", "UTF-8", source],
                                capture_output=True).stdout.decode("utf-8").split("\n")[:-1]
        assert len(ours) == len(theirs) == 94 * 94, (len(ours), len(theirs))
        failed = 0
        defined = 0
        for code, mine, other in zip(positions, ours, theirs):
            defined += other != ""
            if mine != (other or "\ufffd"):
                failed += 1
                if failed <= 10:
                    print(f"FAIL {code.hex()}: ours {mine!r}, iconv {other!r}")
        text = "第一行 line one\r\n第二行，「引号」。\r\n".encode("gb2312")
        with open(source, "wb") as f:
            f.write(text)
        subprocess.run([CONVERT, "gb", "--to", "utf-8", source, target], check=True)
        with open(target, "rb") as f:
            mine = f.read()
        expected = subprocess.run(["iconv", "-f", "GB2312", "-t", "UTF-8", source],
                                  capture_output=True, check=True).stdout
        passed = 94 * 94 - failed + (mine == expected)
        failed += mine != expected
        print(f"{defined} positions defined by iconv; {passed} passed, {failed} failed")
        return 1 if failed else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
