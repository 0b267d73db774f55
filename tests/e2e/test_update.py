"""The online update under Wine against a local web server. Refused, with the program left as it was:
an error page, a missing file, programs without a good signature by the key the program trusts (a
throwaway key pair, named through LUMISEEK_UPDATE_KEY), an older or equal version, another program, a
missing restarter, a download over 64 MiB and an endless signature (neither held in memory nor left in
the folder or the cache), and a server that never answers (Esc cancels at once, else 30 s end it).
Installed: a newer signed program, restarted by the restarter; one that cannot start is undone by the
restarter, which starts the previous one, and that start says so once."""
import shutil
import threading
import time

import harness
from update_server import MIB, Site, folder_bytes, keys, resident_mib, signed, with_version

STARTS = ["Updating Lumiseek", "Downloading. Press Escape to cancel."]
FAILED = "Lumiseek Update Failed"
RESTARTING = "Update successful. Restarting Lumiseek."
RESTORED = "The last update could not start; the previous version was restored"


def test_update_refuses_all_but_a_newer_signed_lumiseek_and_never_hangs_or_fills(lumiseek, wine_env, tmp_path):
    ours, other, trusted = keys(tmp_path)
    shutil.copy2(harness.built("start_lumiseek.exe"), lumiseek.dir)
    original = harness.built("lumiseek.exe").read_bytes()
    newer = with_version(original, (4, 2, 1, 0))
    with Site() as site:
        lumiseek.start(settings=harness.QUIET, env={"LUMISEEK_UPDATE_URL": site.address, "LUMISEEK_UPDATE_KEY": trusted})
        lumiseek.wait_started()
        exe, sig = "/lumiseek.exe", "/lumiseek.exe.sig"

        def refused(what, body, signature=None, said=FAILED, timeout=20, starts=STARTS):
            site.routes.clear()
            if body is not None:
                site.routes[exe] = body
            if signature is not None:
                site.routes[sig] = signature
            heard = lumiseek.texts_since(lumiseek.press(said, "ctrl+o", timeout=timeout))
            assert heard[:len(starts)] == starts and heard[-1] == said, (what, heard)
            assert sorted(p.name for p in lumiseek.dir.glob("lumiseek.*")) == ["lumiseek.exe", "lumiseek.ini"], what
            assert lumiseek.exe.read_bytes() == original, what
            return heard

        refused("page", b"<html><body>Maintenance</body></html>", signed(b"<html></html>", ours, tmp_path))
        refused("404", None)
        # A slow download of known size says how far it is every 10 s.
        heard = refused("slow, no signature", ("trickle", newer, 12), timeout=30)
        progress = [text for text in heard if text.startswith("Downloading, ")]
        assert len(progress) == 1 and 60 <= int(progress[0].split()[1]) <= 100, heard
        refused("unsigned", newer)
        refused("signed over other bytes", newer, signed(newer + b"another build", ours, tmp_path))
        refused("signed with another key", newer, signed(newer, other, tmp_path))
        refused("older", with_version(original, (4, 1, 9, 0)), signed(with_version(original, (4, 1, 9, 0)), ours, tmp_path))
        refused("equal", original, signed(original, ours, tmp_path), said="Lumiseek is up to date")
        es = harness.engine_exe().read_bytes()
        refused("another program", es, signed(es, ours, tmp_path))

        # An endless download stops after 64 MiB; nothing stays in the folder or in the cache.
        users = wine_env.prefix / "drive_c" / "users"
        before = folder_bytes(users)
        refused("200 MiB", ("stream", 200 * MIB), signed(b"x", ours, tmp_path), timeout=120)
        assert 64 * MIB <= site.sent[exe] < 100 * MIB
        assert folder_bytes(users) - before < MIB

        # An endless signature after a good program is cut at its 64 bytes, never taken into memory.
        base, peak = resident_mib(lumiseek.proc.pid), [0]
        done = threading.Event()

        def sample():
            while not done.wait(0.1):
                peak[0] = max(peak[0], resident_mib(lumiseek.proc.pid))

        sampler = threading.Thread(target=sample)
        sampler.start()
        try:
            refused("2 GB signature", newer, ("stream", 2048 * MIB), timeout=60)
        finally:
            done.set()
            sampler.join()
        assert base > 10 and peak[0] - base < 100, (base, peak[0])
        assert site.sent[sig] < 64 * MIB

        # A server that never answers: without Esc, 30 s end the attempt; Esc ends it at once.
        site.routes[exe] = "silent"
        started = time.monotonic()
        mark = lumiseek.press(STARTS[1], "ctrl+o")
        lumiseek.wait_spoken(FAILED, mark, timeout=45)
        assert 28 < time.monotonic() - started < 45
        assert not (lumiseek.dir / "lumiseek.tmp").exists()
        mark = lumiseek.press(STARTS[1], "ctrl+o")
        time.sleep(1)
        pressed = time.monotonic()
        lumiseek.key("Escape")
        lumiseek.wait_spoken("Lumiseek Update Cancelled", mark, timeout=5)
        assert time.monotonic() - pressed < 5

        # Without the restarter nothing is fetched and nothing renamed.
        (lumiseek.dir / "start_lumiseek.exe").unlink()
        asked = len(site.requests)
        refused("no restarter", newer, signed(newer, ours, tmp_path), starts=STARTS[:1])
        assert len(site.requests) == asked

        # Alt+F4 during a download that gets no answer: cancelled, and the program ends at once, with
        # the abandoned downloads still waiting for their answers.
        shutil.copy2(harness.built("start_lumiseek.exe"), lumiseek.dir)
        site.routes[exe] = "silent"
        mark = lumiseek.press(STARTS[1], "ctrl+o")
        closed = time.monotonic()
        lumiseek.key("alt+F4")
        assert lumiseek.wait_exit(15) == 0
        assert time.monotonic() - closed < 10
        assert lumiseek.texts_since(mark)[-2:] == ["Lumiseek Update Cancelled", "Exiting Lumiseek"]
        assert sorted(p.name for p in lumiseek.dir.glob("lumiseek.*")) == ["lumiseek.exe", "lumiseek.ini"]


def test_update_installs_a_newer_build_and_the_restarter_undoes_one_that_cannot_start(lumiseek, wine_env, tmp_path):
    ours, _, trusted = keys(tmp_path)
    shutil.copy2(harness.built("start_lumiseek.exe"), lumiseek.dir)
    original = harness.built("lumiseek.exe").read_bytes()
    broken = with_version(original, (4, 2, 1, 0), exits_at_once=True)
    newer = with_version(original, (4, 2, 1, 0))
    with Site() as site:
        site.routes = {"/lumiseek.exe": broken, "/lumiseek.exe.sig": signed(broken, ours, tmp_path)}
        lumiseek.start(settings=harness.QUIET, env={"LUMISEEK_UPDATE_URL": site.address, "LUMISEEK_UPDATE_KEY": trusted})
        lumiseek.wait_started()
        try:
            # The broken build is installed; it ends at once with exit code 1; the previous one is back.
            mark = lumiseek.press(RESTARTING, "ctrl+o")
            assert lumiseek.wait_exit() == 0
            lumiseek.wait_started(after=mark)
            lumiseek.wait_spoken(RESTORED, mark)
            heard = lumiseek.texts_since(mark)
            welcome = [n for n, text in enumerate(heard) if text.startswith("Welcome to Lumiseek")]
            assert heard.count(RESTORED) == 1 and welcome == [welcome[0]] and heard.index(RESTORED) > welcome[0], heard
            assert lumiseek.exe.read_bytes() == original
            log = (lumiseek.dir / "update.log").read_text().splitlines()
            assert log[0].startswith("Restored ") and "exit code 1 " in log[0], log
            lumiseek.window = wine_env.wait_window(harness.TITLE_PATTERN)

            # From the restored program, a good newer build: installed and started; said once only.
            site.routes = {"/lumiseek.exe": newer, "/lumiseek.exe.sig": signed(newer, ours, tmp_path)}
            mark = lumiseek.press(RESTARTING, "ctrl+o")
            harness.poll(lambda: lumiseek.exe.read_bytes() == newer, 30, what="the newer build installed")
            lumiseek.wait_started(after=mark)
            assert (lumiseek.dir / "lumiseek.old").read_bytes() == original
            assert not (lumiseek.dir / "lumiseek.tmp").exists()
            assert RESTORED not in lumiseek.texts_since(mark)
            assert lumiseek.texts_since(mark)[2:4] == [RESTARTING, "Exiting Lumiseek"]
            wine_env.wait_window(harness.TITLE_PATTERN)
            assert (lumiseek.dir / "update.log").read_text().splitlines()[1:] == ["Reported at start."]
        finally:
            wine_env.end_all_programs()  # the restarted programs are not the harness's process
