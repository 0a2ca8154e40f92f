"""What the GTK benchmarks share: the native reader started in the X server
of DISPLAY with a HOME of its own, its window and client area, their pixels
read with XGetImage and keys sent with XTest (libX11 and libXtst through
ctypes, so that a look costs milliseconds and no process), and the
program's processor time and memory from /proc."""
import ctypes
import ctypes.util
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


_x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
_x11.XOpenDisplay.restype = ctypes.c_void_p
_x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x11.XGetImage.restype = ctypes.POINTER(XImage)
_x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                           ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
_x11.XSetErrorHandler.argtypes = [ctypes.c_void_p]
_x11.XStringToKeysym.restype = ctypes.c_ulong
_x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
_x11.XKeysymToKeycode.restype = ctypes.c_ubyte
_x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
_x11.XFlush.argtypes = [ctypes.c_void_p]
_x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
_xtst = ctypes.cdll.LoadLibrary(ctypes.util.find_library("Xtst"))
_xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
# A window that goes away between two looks is an error the looks survive.
_ignore_errors = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
_x11.XSetErrorHandler(ctypes.cast(_ignore_errors, ctypes.c_void_p))
# XDestroyImage is a macro: the image and its pixels are freed as it frees them.
_libc = ctypes.CDLL(None)
_libc.free.argtypes = [ctypes.c_void_p]
display = _x11.XOpenDisplay(None)
_Z_PIXMAP = 2
_ALL_PLANES = 0xFFFFFFFF
_DARK = bytes(range(128))


def greys(window, x, y, width, height):
    """The grey of each pixel of a rectangle of the window (the green byte of
    each 32-bit pixel), or None while it cannot be read."""
    image = _x11.XGetImage(display, window, x, y, width, height, _ALL_PLANES, _Z_PIXMAP)
    if not image:
        return None
    im = image.contents
    bits = im.bits_per_pixel
    data = ctypes.string_at(im.data, im.bytes_per_line * im.height)
    _libc.free(ctypes.cast(im.data, ctypes.c_void_p))
    _libc.free(ctypes.cast(image, ctypes.c_void_p))
    return data[1::4] if bits == 32 else None


def glyph_pixels(window, width, height):
    """Dark pixels on a mostly white client area, else 0 (a window not yet
    drawn reads black); None while it cannot be read."""
    grey = greys(window, 0, 0, width, height)
    if grey is None:
        return None
    dark = len(grey) - len(grey.translate(None, _DARK))
    return dark if dark < len(grey) // 2 else 0


def bottom_lines(client):
    """The greys of the bottom three text lines of the client area (id, width, height)."""
    window, width, height = client
    return greys(window, 0, height - 3 * 18, width, 3 * 18)


def wait_page(client, before, deadline):
    """The time the bottom lines last changed, once they have changed from
    before and then stood for 100 ms (a page drawn a piece at a time is
    timed to its last piece), and the lines then; None when they never
    changed."""
    changed, now = None, before
    while time.monotonic() < deadline:
        look = bottom_lines(client)
        if look is not None and look != now:
            changed, now = time.monotonic(), look
        elif changed is not None and time.monotonic() - changed > 0.1:
            break
        time.sleep(0.0005)
    return changed, now


def press(key):
    """Presses and releases a key (an X keysym name) as the user would."""
    code = _x11.XKeysymToKeycode(display, _x11.XStringToKeysym(key.encode()))
    _xtst.XTestFakeKeyEvent(display, code, 1, 0)
    _xtst.XTestFakeKeyEvent(display, code, 0, 0)
    _x11.XSync(display, 0)


def find_window(pattern, pid, deadline):
    while time.monotonic() < deadline:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid), "--name",
                                pattern], capture_output=True, text=True).stdout.split()
        if found:
            return int(found[0])
        time.sleep(0.005)
    return None


def client_of(window):
    """The client area, (id, width, height): the largest child X window of the main window."""
    tree = subprocess.run(["xwininfo", "-children", "-id", str(window)], capture_output=True,
                          text=True).stdout
    best = None
    for match in re.finditer(r"^\s+(0x[0-9a-f]+) .* (\d+)x(\d+)\+-?\d+\+-?\d+\s", tree, re.M):
        width, height = int(match.group(2)), int(match.group(3))
        if best is None or width * height > best[1] * best[2]:
            best = (int(match.group(1), 16), width, height)
    return best


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def x_server_pid():
    """The process of the X server of DISPLAY, when it runs on this machine; else None."""
    number = os.environ.get("DISPLAY", "").lstrip(":").split(".")[0]
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/cmdline", "rb") as cmdline:
                words = cmdline.read().split(b"\0")
        except OSError:
            continue
        if words and os.path.basename(words[0]).startswith(b"X") and f":{number}".encode() in words:
            return int(entry)
    return None


def status_kb(pid, field):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    return -1


def wait_idle(pid, deadline):
    """Waits until the program has used under 2% of a processor for a second
    (the layout's timer slices are done); the time its work ended."""
    last_cpu, last_time, idle_since = cpu_seconds(pid), time.monotonic(), None
    while time.monotonic() < deadline:
        time.sleep(0.1)
        cpu, now = cpu_seconds(pid), time.monotonic()
        busy = (cpu - last_cpu) / (now - last_time) > 0.02
        last_cpu, last_time = cpu, now
        if busy:
            idle_since = None
        elif idle_since is None:
            idle_since = now
        elif now - idle_since >= 1.0:
            break
    return idle_since or time.monotonic()


def _hex32(value):
    return ",".join(f"{value >> shift & 0xFF:02x}" for shift in (0, 8, 16, 24))


class Program:
    """The reader on a document, with a HOME of its own whose settings skip
    the first run's questions, place the window so that its client area is
    about client_width x client_height, and, given reading_mode (the menu's
    index, 0 = GB2312), read in that mode without detection."""

    def __init__(self, tavelo, document, cache, client_width=706, client_height=535,
                 reading_mode=None):
        self.work = tempfile.mkdtemp(prefix="tavelo-gtk-bench-")
        env = dict(os.environ, HOME=f"{self.work}/home", XDG_CONFIG_HOME=f"{self.work}/config",
                   XDG_DATA_HOME=f"{self.work}/data", XDG_CACHE_HOME=cache, NO_AT_BRIDGE="1",
                   GSETTINGS_BACKEND="memory", GDK_BACKEND="x11",
                   GTK_IM_MODULE="gtk-im-context-simple")
        for folder in ("home", "config/tavelo", "data"):
            os.makedirs(f"{self.work}/{folder}")
        # The scroll bar takes 14 pixels of the width, the menu bar 25 of the height.
        left, top = 20, 20
        right, bottom = left + client_width + 14, top + client_height + 25
        mode = "" if reading_mode is None else \
            f"detect encoding=hex:{_hex32(0)}\nreading mode=hex:{_hex32(reading_mode)}\n"
        with open(f"{self.work}/config/tavelo/settings.ini", "w") as settings:
            settings.write("[Software\\Kestrow\\Tavelo\\window position]\nwinstatus=hex:00,00\n"
                           f"left=hex:{_hex32(left)}\ntop=hex:{_hex32(top)}\n"
                           f"right=hex:{_hex32(right)}\nbottom=hex:{_hex32(bottom)}\n\n"
                           "[Software\\Kestrow\\Tavelo\\options]\n"
                           f"silent mode=hex:{_hex32(0)}\nauto open file=hex:{_hex32(0)}\n{mode}\n"
                           "[Software\\Kestrow\\Tavelo\\last directory]\n")
        self.started = time.monotonic()
        self.process = subprocess.Popen([tavelo, document], env=env, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        self.pid = self.process.pid

    def end(self):
        self.process.send_signal(signal.SIGTERM)
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.work, ignore_errors=True)
