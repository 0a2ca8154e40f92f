#!/usr/bin/env python3
"""The native reader (GTK 3) repainting a 1,920 x 1,080 client area in each
reading mode, in the X server of DISPLAY (at least 2048 x 1200): the time
from a Page Down or Page Up key, pressed about 10,000 display lines down a
novel-like text, to the new page standing whole in the window, and the
program's processor time for each.

    gtk_repaint.py TAVELO MAKE_NOVEL [MODE...]

For each mode (all eight by default) make_novel writes a 4 MB text, the
program opens it in that mode from its saved settings (big5-as-gb2312: GB2312
and a .b5 name, so Open turns BIG5 mode on), Page Down takes it to line
10,000 or so, and once the layout is done Page Up and Page Down alternate
KEYS times (20 by default). The bottom three lines of the client area are
looked at with XGetImage until they change and then stand still for 100 ms:
the time is that of their last change, so it includes the X server's
drawing of the glyphs. The processor time of the program and of the X server
(when it runs here) for each key come with it. One "key=value" a line, a blank line after each mode.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gtk_x11  # noqa: E402

# The menu's index of each mode; None: the GB2312 index with a .b5 name.
MODES = {"gb2312": 0, "big5-as-gb2312": 0, "gb18030": 1, "big5": 2, "big5-hkscs": 3,
         "utf-8": 4, "utf-16": 5, "hz": 6}
PAGE_LINES = 1080 // 18
TOP_LINE = 10000


def measure(tavelo, make_novel, mode, folder, cache, keys):
    document = f"{folder}/novel.{'b5' if mode == 'big5-as-gb2312' else 'txt'}"
    subprocess.run([make_novel, "--encoding", mode, "4M", document], check=True)
    print(f"mode={mode}\nbytes={os.path.getsize(document)}")
    program = gtk_x11.Program(tavelo, document, cache, 1920, 1080, MODES[mode])
    try:
        window = gtk_x11.find_window("^Tavelo - ", program.pid, program.started + 30)
        if window is None:
            print("error=no window in 30 s")
            return
        subprocess.run(["xdotool", "windowfocus", "--sync", str(window)], capture_output=True)
        gtk_x11.wait_idle(program.pid, time.monotonic() + 300)
        client = gtk_x11.client_of(window)
        print(f"client={client[1]}x{client[2]}")
        for _ in range(TOP_LINE // PAGE_LINES):
            gtk_x11.press("Next")
        gtk_x11.wait_idle(program.pid, time.monotonic() + 300)
        latencies = []
        server = gtk_x11.x_server_pid()
        server_before = gtk_x11.cpu_seconds(server) if server else 0
        cpu_before = gtk_x11.cpu_seconds(program.pid)
        before = gtk_x11.bottom_lines(client)
        for i in range(keys):
            pressed = time.monotonic()
            gtk_x11.press("Prior" if i % 2 == 0 else "Next")
            shown, before = gtk_x11.wait_page(client, before, pressed + 10)
            if shown is None:
                print("error=the page did not change in 10 s")
                return
            latencies.append((shown - pressed) * 1000)
        cpu = gtk_x11.cpu_seconds(program.pid) - cpu_before
        print(f"keys={keys}")
        print(f"key_to_page_ms_median={statistics.median(latencies):.1f}")
        print(f"key_to_page_ms_min={min(latencies):.1f}\nkey_to_page_ms_max={max(latencies):.1f}")
        print(f"program_cpu_ms_per_key={cpu * 1000 / keys:.1f}")
        if server:
            server_cpu = gtk_x11.cpu_seconds(server) - server_before
            print(f"x_server_cpu_ms_per_key={server_cpu * 1000 / keys:.1f}")
    finally:
        program.end()
        os.remove(document)


def main():
    if len(sys.argv) < 3 or not gtk_x11.display:
        sys.exit("usage (in an X server): gtk_repaint.py TAVELO MAKE_NOVEL [MODE...]")
    modes = sys.argv[3:] or list(MODES)
    folder = tempfile.mkdtemp(prefix="tavelo-gtk-repaint-", dir="/dev/shm"
                              if os.access("/dev/shm", os.W_OK) else None)
    cache = tempfile.mkdtemp(prefix="tavelo-gtk-cache-")
    try:
        for mode in modes:
            measure(sys.argv[1], sys.argv[2], mode, folder, cache,
                    int(os.environ.get("KEYS", "20")))
            print()
    finally:
        shutil.rmtree(folder, ignore_errors=True)
        shutil.rmtree(cache, ignore_errors=True)


if __name__ == "__main__":
    main()
