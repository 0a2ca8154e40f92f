#!/usr/bin/env python3
"""Checks tavelo-convert's HZ and quoted-printable decoders against Python's
own: the "hz" codec and quopri.

On documents made by Python's encoders, whose output keeps to the forms both
decoders read alike, the two must give the same bytes. Where the rules differ
the difference is listed below with its reason, and each listed input is run
through both to show that they still differ exactly so.

usage: converters_crosscheck.py TAVELO_CONVERT
"""
import codecs
import os
import quopri
import random
import shutil
import subprocess
import sys
import tempfile

CONVERT = sys.argv[1]
WORK = tempfile.mkdtemp(prefix="tavelo-crosscheck-")


def ours(kind, data):
    source = os.path.join(WORK, "in")
    target = os.path.join(WORK, "out")
    with open(source, "wb") as f:
        f.write(data)
    subprocess.run([CONVERT, kind, source, target], check=True)
    with open(target, "rb") as f:
        return f.read()


def python_hz(data):
    """The hz codec's reading as GB2312 bytes, or None where it refuses the input."""
    try:
        return data.decode("hz").encode("gb2312")
    except UnicodeError:
        return None


def hz_encode(text):
    """Python's HZ encoding of text, one character at a time.

    Its encoder, given a whole text, drops the second "~" of an escaped tilde
    whenever the first one fills its output buffer: it has taken the character
    before it asks for more room, and on the retry the character is gone. Fed
    one character at a time, each call has room enough for both.
    """
    encoder = codecs.getincrementalencoder("hz")()
    return b"".join(encoder.encode(c) for c in text) + encoder.encode("", final=True)


def gb2312_characters():
    """Every GB2312 character, symbols and hanzi."""
    found = []
    for lead in range(0xA1, 0xF8):
        for trail in range(0xA1, 0xFF):
            try:
                found.append(bytes([lead, trail]).decode("gb2312"))
            except UnicodeError:
                pass
    return found


def hz_documents(rng, count):
    """Mixed Chinese and ASCII text with LF and CR LF lines, tildes and braces."""
    chinese = gb2312_characters()
    ascii_pieces = list("abc xyz 123 ,.;:!?") + ["~", "~~", "{", "}", "~{", "\t"]
    for _ in range(count):
        text = []
        for _ in range(rng.randrange(0, 400)):
            r = rng.random()
            if r < 0.55:
                text.append(rng.choice(chinese))
            elif r < 0.9:
                text.append(rng.choice(ascii_pieces))
            else:
                text.append(rng.choice(["\n", "\r\n"]))
        yield "".join(text)


def qp_documents(rng, count):
    """Text and binary data, long lines, spaces and tabs at line ends, '=' signs."""
    for _ in range(count):
        kind = rng.random()
        if kind < 0.4:
            data = bytes(rng.randrange(256) for _ in range(rng.randrange(0, 600)))
        else:
            alphabet = b"abc xyz=\t\r\n\xc4\xe3\xba\xc3 " + bytes(range(0x21, 0x7F))
            data = bytes(rng.choice(alphabet) for _ in range(rng.randrange(0, 600)))
        yield data, rng.random() < 0.5


# Inputs where our reading and Python's differ, each with the reason ours is
# as it is. Every one is checked to still differ in exactly this way.
HZ_DIFFERENCES = [
    (b"a~\nb", b"a~\nb",
     "only '~' CR LF joins lines: documents here end lines with CR LF, so '~' LF stays "
     "(Python takes '~' LF as the continuation)"),
    (b"a~\r\nb", b"ab",
     "'~' CR LF is the line continuation of CR LF text (Python refuses it)"),
    (b"a~xb", b"a~xb", "'~' before any other byte is kept, not refused"),
    (b"a~}b", b"a~}b", "'~}' outside a run is kept, not refused"),
    (b"~{<;\r\n<;~}", b"~{<;\r\n<;~}",
     "a run must be pairs up to '~}' or the end; a line end inside it leaves the whole run "
     "as it was (Python refuses it)"),
    (b"~{*!~}", b"\xaa\xa1",
     "a pair becomes its two bytes with the top bit set, assigned in GB2312 or not "
     "(Python refuses unassigned codes)"),
    (b"\xb0\xa1", b"\xb0\xa1",
     "bytes with the top bit set pass, so GB2312 text already decoded survives "
     "(Python refuses 8-bit bytes)"),
]

QP_DIFFERENCES = [
    (b"=4a", b"=4a",
     "hex digits are upper case only, as encoders must write them; '=4a' is left as text "
     "(Python also reads lower case)"),
    (b"ab=", b"ab=", "a lone '=' at the end stays (Python drops it)"),
    (b"==41", b"=A",
     "after '=' and a non-digit the byte is read again, so the second '=' starts an escape "
     "(Python copies '==' as '=' and goes on after it)"),
    (b"=\rxy\nz", b"xy\nz",
     "'=' CR is a soft line break by itself; the bytes after it are ordinary input "
     "(Python drops everything up to the next LF)"),
    (b"=\r\r\n", b"\r\n",
     "'=' CR removes only itself; the CR LF after it is a hard line end "
     "(Python drops the rest of the line)"),
]


def main():
    rng = random.Random(1234)
    failures = []

    hz_count = 0
    for text in hz_documents(rng, 300):
        encoded = hz_encode(text)
        expected = python_hz(encoded)
        if expected != text.encode("gb2312"):
            failures.append(f"Python's own HZ does not decode back: {text!r}")
            continue
        got = ours("hz", encoded)
        hz_count += 1
        if got != expected:
            failures.append(f"HZ: {encoded!r}: ours {got!r}, Python {expected!r}")

    qp_count = 0
    for data, quotetabs in qp_documents(rng, 300):
        encoded = quopri.encodestring(data, quotetabs=quotetabs)
        expected = quopri.decodestring(encoded)
        got = ours("qp", encoded)
        qp_count += 1
        if got != expected:
            failures.append(f"QP: {encoded!r}: ours {got!r}, quopri {expected!r}")

    for kind, decode, differences in (("hz", python_hz, HZ_DIFFERENCES),
                                      ("qp", quopri.decodestring, QP_DIFFERENCES)):
        for data, specified, reason in differences:
            got = ours(kind, data)
            theirs = decode(data)
            if got != specified:
                failures.append(f"{kind} {data!r}: ours {got!r}, specified {specified!r}")
            elif theirs == got:
                failures.append(f"{kind} {data!r}: no longer differs from Python ({reason})")
            else:
                shown = "refused" if theirs is None else repr(theirs)
                print(f"differs as intended, {kind} {data!r}: ours {got!r}, Python {shown}: {reason}")

    for failure in failures:
        print("FAIL", failure)
    print(f"HZ: {hz_count} documents from the hz codec, QP: {qp_count} from quopri, "
          f"{len(HZ_DIFFERENCES) + len(QP_DIFFERENCES)} documented differences")
    passed = hz_count + qp_count + len(HZ_DIFFERENCES) + len(QP_DIFFERENCES) - len(failures)
    print(f"{passed} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    try:
        status = main()
    finally:
        shutil.rmtree(WORK, ignore_errors=True)
    sys.exit(status)
