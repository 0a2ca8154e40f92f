#!/usr/bin/env python3
"""Every process-wide variable of the logic lives in its room's state.cpp and
is put back by that file's Reset...State, so that a fresh process in the tests
(tests/fresh_process.cpp) cannot miss one.

Arguments: the source folder, then the logic's object files (one argument
each, or as one CMake list joined by semicolons). The variables are
read from the objects' symbol tables (objdump), so a file-static block or a
function's static counts as well.
"""
import re
import subprocess
import sys
from pathlib import Path

WRITABLE = re.compile(r"^\.(bss|data|tbss|tdata)(\.|$)")
RESET_BODY = re.compile(r"^void Reset\w+State\(\) \{\n(.*?)^\}", re.M | re.S)


def variables(obj):
    """The names of the writable data objects an object file defines."""
    table = subprocess.run(["objdump", "-tC", obj], check=True, capture_output=True,
                           text=True).stdout
    names = []
    for line in table.splitlines():
        # address, flags (7 columns), section, then size and name after a tab
        match = re.match(r"^[0-9a-f]+ (.{7}) (\S+)\t[0-9a-f]+ +(.+)$", line)
        if not match or "O" not in match.group(1):
            continue
        section, name = match.group(2), match.group(3)
        if section.startswith(".data.rel.ro") or not WRITABLE.match(section):
            continue
        if name.startswith((".", "__")) or "guard variable" in name:
            continue  # sanitizer and compiler bookkeeping
        # A std::string's symbol carries its ABI tag: "findText[abi:cxx11]".
        names.append(re.sub(r"\[abi:\w+\]", "", name.split("::")[-1]))
    return names


def source_of(obj):
    """document/state.cpp for .../tavelo_logic.dir/document/state.cpp.o."""
    path = Path(obj).as_posix()
    return path.split(".dir/", 1)[1].removesuffix(".o")


def main():
    root = Path(sys.argv[1])
    faults = []
    for obj in ";".join(sys.argv[2:]).split(";"):
        source = source_of(obj)
        names = variables(obj)
        if not names:
            continue
        if not source.endswith("/state.cpp"):
            room = source.split("/")[0]
            faults += [f"{source}: {n} is process-wide: declare it in {room}/state.h, define "
                       f"and reset it in {room}/state.cpp" for n in names]
            continue
        body = RESET_BODY.search((root / source).read_text(encoding="utf-8"))
        if body is None:
            faults.append(f"{source}: no Reset...State() found")
            continue
        faults += [f"{source}: {n} is not reset in its Reset...State"
                   for n in names if not re.search(rf"\b{re.escape(n)}\b", body.group(1))]
    for fault in faults:
        print(fault, file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
