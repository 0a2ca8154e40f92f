#!/usr/bin/env python3
"""The native reader (GTK 3) opening a document, in the X server of DISPLAY:
the time from its start to its window, to the first text in the client area
and to the whole first page; then the time until it stops using the
processor (the layout's timer slices done) and its peak memory (VmHWM).
Between the two, in a document over 1 MB, Page Down is pressed
KEYS_DURING_LAYOUT times (5 by default), 0.3 s apart, each timed to its page: how long the window keeps
the user waiting while a slice of the layout runs.

    gtk_first_page.py TAVELO DOCUMENT [DOCUMENT...]

Each document is read GTK_RUNS times (3 by default), each a fresh start of
the program with its own HOME, at the default window size, detection
picking the mode as at a first run; one start before them fills the font
cache they share. The client area is looked at with XGetImage as often as
it can be. One "key=value" a line, a blank line after each start.
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


def measure(tavelo, document, cache):
    print(f"document={document}\nbytes={os.path.getsize(document)}")
    program = gtk_x11.Program(tavelo, document, cache)
    start = program.started
    try:
        window = gtk_x11.find_window("^Tavelo - ", program.pid, start + 30)
        if window is None:
            print("error=no window in 30 s")
            return
        shown = time.monotonic()
        client = gtk_x11.client_of(window)
        # The first text seen, then the page whole: the same glyph pixels twice running.
        first_text = first_page = None
        previous = 0
        while client is not None and time.monotonic() < start + 30:
            seen = time.monotonic()
            dark = gtk_x11.glyph_pixels(*client)
            if dark is None:
                client = gtk_x11.client_of(window)
                continue
            if dark > 200 and first_text is None:
                first_text = seen
            if dark > 200 and dark == previous:
                break
            if dark != previous:
                first_page = seen
            previous = dark
            time.sleep(0.002)
        hwm_first = gtk_x11.status_kb(program.pid, "VmHWM")
        print(f"window_ms={(shown - start) * 1000:.0f}")
        if first_text is None:
            print("error=no text in the client area in 30 s")
            return
        print(f"client={client[1]}x{client[2]}\nglyph_pixels={dark}")
        print(f"start_to_first_text_ms={(first_text - start) * 1000:.0f}")
        print(f"start_to_first_page_ms={(first_page - start) * 1000:.0f}")
        print(f"vm_hwm_at_first_page_kb={hwm_first}")
        # Page Down while the layout's slices run: the window answers between two.
        subprocess.run(["xdotool", "windowfocus", "--sync", str(window)], capture_output=True)
        latencies = []
        before = gtk_x11.bottom_lines(client)
        keys = int(os.environ.get("KEYS_DURING_LAYOUT", "5"))
        for _ in range(keys if os.path.getsize(document) > 1 << 20 else 0):
            time.sleep(0.3)
            pressed = time.monotonic()
            gtk_x11.press("Next")
            shown, before = gtk_x11.wait_page(client, before, pressed + 10)
            if shown is not None:
                latencies.append((shown - pressed) * 1000)
        if latencies:
            print(f"keys_during_layout={len(latencies)}")
            print(f"key_to_page_during_layout_ms_median={statistics.median(latencies):.0f}")
            print(f"key_to_page_during_layout_ms_max={max(latencies):.0f}")
        idle = gtk_x11.wait_idle(program.pid, start + 600)
        print(f"start_to_idle_ms={(idle - start) * 1000:.0f}")
        print(f"cpu_seconds={gtk_x11.cpu_seconds(program.pid):.2f}")
        print(f"vm_hwm_kb={gtk_x11.status_kb(program.pid, 'VmHWM')}")
        print(f"vm_rss_kb={gtk_x11.status_kb(program.pid, 'VmRSS')}")
    finally:
        program.end()


def main():
    if len(sys.argv) < 3 or not gtk_x11.display:
        sys.exit("usage (in an X server): gtk_first_page.py TAVELO DOCUMENT [DOCUMENT...]")
    cache = tempfile.mkdtemp(prefix="tavelo-gtk-cache-")
    try:
        # The first start fills the font cache, as it was long ago for a user.
        print("warm_up=1")
        measure(sys.argv[1], sys.argv[2], cache)
        print()
        for _ in range(int(os.environ.get("GTK_RUNS", "3"))):
            for document in sys.argv[2:]:
                measure(sys.argv[1], document, cache)
                print()
    finally:
        shutil.rmtree(cache, ignore_errors=True)


if __name__ == "__main__":
    main()
