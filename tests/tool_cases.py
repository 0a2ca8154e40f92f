"""What the command-line tools' tests share: a scratch folder of real files,
runs of a tool (with standard input, a FIFO fed beside it, a file size limit
that makes writes fail as on a full disk), a small full tmpfs when mounting
is allowed, and the checks of a case's one-line error and its files."""
import os
import resource
import shutil
import signal
import stat
import subprocess
import tempfile
import threading

WORK = tempfile.mkdtemp(prefix="tavelo-tool-test-")


def path(name):
    return os.path.join(WORK, name)


def clear(folder=WORK):
    """The scratch folder empty again (a mounted folder stays mounted, emptied)."""
    for entry in os.listdir(folder):
        full = os.path.join(folder, entry)
        if os.path.ismount(full):
            clear(full)
            continue
        if os.path.isdir(full) and not os.path.islink(full):
            shutil.rmtree(full)
        else:
            os.remove(full)


def write(name, content):
    with open(path(name), "wb") as f:
        f.write(content)
    return path(name)


def read(name):
    with open(name, "rb") as f:
        return f.read()


def limit_file_size(size):
    """For the child: writes past size bytes fail (EFBIG) instead of killing it."""
    def apply():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
        resource.setrlimit(resource.RLIMIT_FSIZE, (size, size))
    return apply


def feed_fifo(name, content):
    """Makes a FIFO and writes content into it from a thread once a reader opens it."""
    os.mkfifo(path(name))

    def feed():
        with open(path(name), "wb") as f:
            try:
                f.write(content)
            except BrokenPipeError:
                pass
    threading.Thread(target=feed, daemon=True).start()
    return path(name)


def drain_fifo(name, into):
    """Makes a FIFO whose reader (a thread) collects what is written into the list into."""
    os.mkfifo(path(name))

    def drain():
        with open(path(name), "rb") as f:
            into.append(f.read())
    threading.Thread(target=drain, daemon=True).start()
    return path(name)


def opened_at(name, offset):
    """A descriptor of the file, read as far as offset already (as after `head` in a shell)."""
    descriptor = os.open(name, os.O_RDONLY)
    os.lseek(descriptor, offset, os.SEEK_SET)
    return descriptor


def broken_terminal(content):
    """A terminal that gives content, then fails (EIO) as one whose other end has gone: a read
    error in the middle of an input. Its descriptor."""
    import pty
    import tty
    master, slave = pty.openpty()
    tty.setraw(slave)
    os.write(slave, content)
    os.close(slave)
    return master


def arrived(into, seconds=10):
    """What a FIFO's reading thread collected into the list into, once it has: it ends just
    after the tool does."""
    import time
    for _ in range(seconds * 100):
        if into:
            break
        time.sleep(0.01)
    return into


FULL = "full"  # the folder of the small tmpfs, below WORK


def mount_full_tmpfs():
    """A 64 KB tmpfs at path(FULL); the reason it could not be made, or None."""
    os.makedirs(path(FULL), exist_ok=True)
    result = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tavelo-test", path(FULL)],
                            capture_output=True)
    if result.returncode != 0:
        return "mounting a tmpfs is not allowed here: " + result.stderr.decode(errors="replace").strip()
    return None


def unmount_full_tmpfs():
    if os.path.ismount(path(FULL)):
        subprocess.run(["umount", "-l", path(FULL)])


def run(tool, arguments, stdin=None, pipe=None, preexec=None):
    """Runs the tool with the file stdin (a name, or a function giving a descriptor), or the
    bytes pipe through a pipe, on standard input."""
    if pipe is not None:
        return subprocess.run([tool] + arguments, input=pipe, capture_output=True,
                              preexec_fn=preexec, timeout=600)
    if callable(stdin):
        source = stdin()
        try:
            return subprocess.run([tool] + arguments, stdin=source, capture_output=True,
                                  preexec_fn=preexec, timeout=600)
        finally:
            os.close(source)
    with open(stdin or os.devnull, "rb") as source:
        return subprocess.run([tool] + arguments, stdin=source, capture_output=True,
                              preexec_fn=preexec, timeout=600)


# What a case's files must be afterwards: each gives a problem, or None.
def holds(name, content):
    def check():
        if not os.path.exists(name):
            return f"{name} is missing"
        got = read(name)
        return None if got == content else f"{name} holds {got[:40]!r}..., expected {content[:40]!r}..."
    return check


def absent(name):
    return lambda: f"{name} exists" if os.path.lexists(name) else None


def kind(name, test, what):
    def check():
        if not os.path.lexists(name):
            return f"{name} is missing"
        return None if test(os.lstat(name).st_mode) else f"{name} is no longer {what}"
    return check


def is_device(name):
    return kind(name, stat.S_ISCHR, "a device")


def is_fifo(name):
    return kind(name, stat.S_ISFIFO, "a FIFO")


def is_link(name):
    return kind(name, stat.S_ISLNK, "a symbolic link")


def check(tool_name, name, result, status, words, named, expectations):
    """Prints and returns the case's problems: status, one error line with its words, the files."""
    problems = []
    if result.returncode != status:
        problems.append(f"exit status {result.returncode}, expected {status}")
    error = result.stderr.decode(errors="replace")
    if words is None and error:
        problems.append(f"unexpected error {error!r}")
    if words is not None:
        if error.count("\n") != 1 or tool_name not in error or words not in error:
            problems.append(f"error {error!r} is not one line of {tool_name} with {words!r}")
        if named is not None and named not in error:
            problems.append(f"error {error!r} does not name {named}")
    problems += [p for p in (e() for e in expectations) if p]
    for problem in problems:
        print(f"FAIL {name}: {problem}")
    return not problems


def run_cases(tool, tool_name, cases, prepare, always, skip_slow=False):
    """Runs a table of cases, each from prepare()'s scratch folder: its setup, anything it
    does meanwhile, the tool, then its status, error line, printed output and files, and the
    expectations always checked. Rows that need the small tmpfs where none can be mounted, or
    are slow when skip_slow, are skipped with the reason. Returns passed, failed, skipped."""
    passed = failed = 0
    skipped = []
    tmpfs_problem = mount_full_tmpfs()
    for case in cases:
        if case.tmpfs and tmpfs_problem:
            skipped.append(f"{case.name}: {tmpfs_problem}")
            continue
        if getattr(case, "slow", False) and skip_slow:
            skipped.append(f"{case.name}: reads 2 GB, left to the optimised build")
            continue
        prepare()
        if case.setup:
            case.setup()
        if getattr(case, "meanwhile", None):
            threading.Thread(target=case.meanwhile, daemon=True).start()
        result = run(tool, case.arguments, stdin=case.stdin, pipe=case.pipe,
                     preexec=limit_file_size(case.limit) if case.limit is not None else None)
        expected = getattr(case, "stdout", None)
        printed = result.stdout.decode(errors="replace")
        output = [] if expected is None or printed == expected else [
            lambda: f"printed {printed!r}, expected {expected!r}"]
        ok = check(tool_name, case.name, result, case.status, case.words, case.named,
                   (case.expect or []) + output + always)
        passed, failed = passed + ok, failed + (not ok)
    return passed, failed, skipped


def finish(passed, failed, skipped):
    for reason in skipped:
        print(f"SKIP {reason}")
    print(f"{passed} passed, {failed} failed, {len(skipped)} skipped")
    unmount_full_tmpfs()
    shutil.rmtree(WORK, ignore_errors=True)
    return 1 if failed else 0
