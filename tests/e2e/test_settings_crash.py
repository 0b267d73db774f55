"""The settings file survives the program being killed while it saves: afterwards it is always the
old file or the new one, whole.

The save at exit takes well under a millisecond, too short to hit from outside, so a library preloaded
into the Wine process (slowsave/slow_save.c) stretches it without changing what it does: the temporary
file is written 16 bytes at a time, 5 ms apart, then its flush and its close take 200 ms more each.
The test looks at the folder every millisecond and kills the Wine process (SIGKILL) a chosen time
after a step shows: the temporary file there, partly written, whole, or moved onto the settings file."""
import os
import shutil
import signal
import subprocess
import time
from pathlib import Path

import harness

TMP = "lumiseek.ini.tmp"
# (step, then seconds before the kill); 0.3 s after "whole" the temporary file is closed, not yet moved.
KILL_POINTS = [("there", 0), ("written", 0), ("written", 0.15), ("written", 0.3), ("whole", 0), ("whole", 0.3),
               ("moved", 0)]


def reached(step, folder, new):
    """Whether the save in `folder`, which writes the settings file `new`, has come to `step`."""
    if step == "moved":
        return (folder / "lumiseek.ini").read_bytes() == new
    size = (folder / TMP).stat().st_size if (folder / TMP).exists() else -1
    return {"there": size >= 0, "written": size > 0, "whole": size == len(new)}[step]


def save_once(wine_env, folder, artifacts, old, library, kill_at=None, new=None):
    """Starts with the old file, exits with Esc and, at `kill_at`, kills the program (None: lets it
    finish). Returns the settings file's bytes afterwards and the temporary file's (None: none)."""
    with harness.program_in(wine_env, folder, artifacts) as run:
        (run.dir / TMP).unlink(missing_ok=True)
        run.start(settings=old, env={"LD_PRELOAD": str(library)})
        run.wait_started()
        run.key("Escape")
        if kill_at is None:
            assert run.wait_exit() == 0
        else:
            step, delay = kill_at
            harness.poll(lambda: reached(step, run.dir, new), 30, interval=0.001, what="the save's step " + step)
            time.sleep(delay)
            os.kill(run.proc.pid, signal.SIGKILL)
            run.proc.wait(10)
    tmp = folder / TMP
    return (folder / "lumiseek.ini").read_bytes(), tmp.read_bytes() if tmp.exists() else None


def test_settings_file_is_old_or_new_when_killed_during_the_save(wine_env, tmp_path, artifacts):
    library = tmp_path / "slow_save.so"
    subprocess.run([shutil.which("cc") or "gcc", "-shared", "-fPIC", "-O2", "-o", library,
                    Path(__file__).parent / "slowsave" / "slow_save.c", "-ldl"], check=True)
    old = harness.settings_file({"SearchTerm": "budget", "FontSize": "40", "vRate": "2"}).encode("utf-8")
    new, _ = save_once(wine_env, tmp_path / "clean", artifacts, old, library)
    assert new != old and new.startswith(b"\xff\xfe") and new.endswith("\r\n".encode("utf-16-le"))

    left = []
    for kill_at in KILL_POINTS:
        data, tmp = save_once(wine_env, tmp_path / "killed", artifacts, old, library, kill_at, new)
        assert data in (old, new), "killed at %s: a torn settings file of %d bytes" % (kill_at, len(data))
        left.append((kill_at, data == new, None if tmp is None else len(tmp)))
    # The kills landed inside the save: the old file stood beside a temporary one that was partly
    # written, and beside one that was whole; once moved, the new file.
    sizes = [size for _, is_new, size in left if not is_new and size is not None]
    assert any(size < len(new) for size in sizes) and len(new) in sizes and left[-1][1], left
