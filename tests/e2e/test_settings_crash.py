"""The settings file survives the program being killed while it saves: afterwards it is always the
old file or the new one, whole.

The save runs at exit and takes well under a millisecond, too short to hit from outside. So the
test preloads a small library into the Wine process (slowsave/slow_save.c) that stretches the save
without changing what it does: the temporary file is written 16 bytes at a time, 5 ms apart, and
its flush and close take 200 ms more (the whole save about 0.8 s). The test watches the folder with inotify and kills the Wine
process (SIGKILL) when a chosen step shows: the temporary file created, partly written, closed, or
moved onto the settings file."""
import ctypes
import os
import select
import shutil
import signal
import struct
import subprocess
import time
from pathlib import Path

import harness
from test_foundation import wait_ready

IN_MODIFY, IN_CLOSE_WRITE, IN_MOVED_TO, IN_CREATE = 0x2, 0x8, 0x80, 0x100
TMP, INI = "lumiseek.ini.tmp", "lumiseek.ini"
# (file, event, then seconds before the kill)
KILL_POINTS = [(TMP, IN_CREATE, 0), (TMP, IN_MODIFY, 0), (TMP, IN_MODIFY, 0.15), (TMP, IN_MODIFY, 0.3),
               (TMP, IN_CLOSE_WRITE, 0), (TMP, IN_CLOSE_WRITE, 0.1), (INI, IN_MOVED_TO, 0)]


class FolderWatch:
    """inotify events of one folder."""

    def __init__(self, folder):
        libc = ctypes.CDLL("libc.so.6", use_errno=True)
        self.fd = libc.inotify_init1(os.O_NONBLOCK)
        assert self.fd >= 0, "inotify_init1 failed"
        assert libc.inotify_add_watch(self.fd, str(folder).encode(), IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE) >= 0

    def wait_for(self, name, mask, timeout):
        """Returns as soon as `name` sees an event of `mask`; False after timeout seconds."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if not select.select([self.fd], [], [], 0.05)[0]:
                continue
            data = os.read(self.fd, 65536)
            at = 0
            while at < len(data):
                _, event, _, length = struct.unpack_from("iIII", data, at)
                event_name = data[at + 16:at + 16 + length].rstrip(b"\0").decode()
                at += 16 + length
                if event_name == name and event & mask:
                    return True
        return False

    def close(self):
        os.close(self.fd)


def slow_save_library(folder):
    source = Path(__file__).parent / "slowsave" / "slow_save.c"
    library = Path(folder) / "slow_save.so"
    compiler = shutil.which("cc") or shutil.which("gcc")
    assert compiler, "no C compiler for the preloaded library"
    subprocess.run([compiler, "-shared", "-fPIC", "-O2", "-o", library, source, "-ldl"], check=True)
    return library


def save_once(wine_env, folder, artifacts, old, library, kill_at=None):
    """Starts with the old file, exits with Esc and, at `kill_at`, kills the program (None: lets it
    finish). Returns the settings file's bytes afterwards and the temporary file's (None: none)."""
    run = harness.LumiseekRun(wine_env, folder, artifacts)
    tmp = run.dir / TMP
    if tmp.exists():
        tmp.unlink()
    try:
        run.start(settings=old, env={"LD_PRELOAD": str(library)})
        wait_ready(run)
        watch = FolderWatch(run.dir)
        try:
            run.key("Escape")
            if kill_at is None:
                assert run.wait_exit() == 0
            else:
                name, event, delay = kill_at
                assert watch.wait_for(name, event, timeout=30), "the save never reached %s" % (kill_at,)
                time.sleep(delay)
                os.kill(run.proc.pid, signal.SIGKILL)
                run.proc.wait(10)
        finally:
            watch.close()
    finally:
        run.kill()
    return run.settings_bytes(), tmp.read_bytes() if tmp.exists() else None


def test_settings_file_is_old_or_new_when_killed_during_the_save(wine_env, tmp_path, request):
    artifacts = harness.ARTIFACTS / request.node.name
    library = slow_save_library(tmp_path)
    old = harness.settings_file({"SearchTerm": "budget", "FontSize": "40", "vRate": "2"}).encode("utf-8")
    new, _ = save_once(wine_env, tmp_path / "clean", artifacts, old, library)
    assert new != old and new.startswith(b"\xff\xfe") and new.endswith("\r\n".encode("utf-16-le"))

    left = []
    for kill_at in KILL_POINTS:
        data, tmp = save_once(wine_env, tmp_path / "killed", artifacts, old, library, kill_at)
        assert data in (old, new), "killed at %s: a torn settings file of %d bytes" % (kill_at, len(data))
        left.append((kill_at, data == new, None if tmp is None else len(tmp)))
    # The kills landed inside the save: the old file stood beside a temporary one that was partly
    # written, and beside one that was whole; once moved, the new file.
    sizes = [size for _, is_new, size in left if not is_new and size is not None]
    assert any(size < len(new) for size in sizes) and len(new) in sizes and left[-1][1], left
