#!/usr/bin/env python3
"""tavelo-convert --in-place killed outright (SIGKILL) at random moments: after
each kill the file holds either its old bytes or the whole new ones, and the
next run converts it and removes what the killed one left.

usage: in_place_kill_test.py TAVELO_CONVERT [ROUNDS]
"""
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

CONVERT = sys.argv[1]
ROUNDS = int(sys.argv[2]) if len(sys.argv) > 2 else 30
TEXT = "床前明月光，疑是地上霜。舉頭望明月，低頭思故鄉。\r\n" * 300000
OLD = TEXT.encode("gbk")
NEW = TEXT.encode("utf-8")


def main():
    work = tempfile.mkdtemp(prefix="tavelo-kill-test-")
    name = os.path.join(work, "poem.txt")
    command = [CONVERT, "--in-place", "-t", "utf-8", name]
    with open(name, "wb") as f:
        f.write(OLD)
    start = time.monotonic()
    subprocess.run(command, check=True)
    whole = time.monotonic() - start
    random.seed(23)
    problems = []
    seen = {"old": 0, "new": 0, "mid-write": 0}
    for round_number in range(ROUNDS):
        with open(name, "wb") as f:
            f.write(OLD)
        tool = subprocess.Popen(command, stderr=subprocess.DEVNULL)
        time.sleep(random.uniform(0, whole * 1.2))
        tool.send_signal(signal.SIGKILL)
        tool.wait()
        with open(name, "rb") as f:
            after = f.read()
        if after not in (OLD, NEW):
            problems.append(f"round {round_number}: the file holds {len(after)} other bytes")
        seen["old" if after == OLD else "new"] += 1
        seen["mid-write"] += any(entry != "poem.txt" for entry in os.listdir(work))
        subprocess.run(command, check=True, stderr=subprocess.DEVNULL)
        with open(name, "rb") as f:
            if f.read() != NEW:
                problems.append(f"round {round_number}: the next run did not convert it")
        left = [entry for entry in os.listdir(work) if entry != "poem.txt"]
        if left:
            problems.append(f"round {round_number}: the next run left {left}")
    shutil.rmtree(work)
    for problem in problems:
        print(f"FAIL {problem}")
    print(f"{ROUNDS} rounds killed within {whole * 1.2:.3f} s: the file was old {seen['old']}, "
          f"new {seen['new']} times, killed mid-write {seen['mid-write']}; {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
