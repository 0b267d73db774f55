"""es.exe under Wine reading its raw command line, with and without the native es beside it."""
import os
import re
import shutil
import signal
import subprocess
import time

import harness

NATIVE = harness.REPO / "build" / "native" / "engine" / "es"  # make build makes it


def _app(tmp_path, name, roots, native=None):
    """A folder with es.exe, es-roots.txt and, when given, a program named es beside it."""
    app = tmp_path / name
    app.mkdir()
    shutil.copy2(harness.engine_exe(), app / "es.exe")
    if native:
        shutil.copy2(native, app / "es")
    (app / "es-roots.txt").write_text("".join(r + "\r\n" for r in roots), encoding="utf-8")
    return app


def test_es_hands_the_search_to_the_native_es_beside_it(run_wine, tmp_path):
    """Under Wine with the native es beside es.exe, every search kind writes the same results.txt,
    byte for byte, as es.exe's own walk (which the release tests check against the files themselves)."""
    native = NATIVE
    tree = tmp_path / "tree"
    deep = tree / "Projekte, neu" / ("lang " * 30).strip() / ("länger " * 30).strip()
    for name in ("Daten, alt/Büdget 100% & co.txt", "Daten, alt/notes draft.md", "ÄÖÜ straße/Grüße.txt",
                 "ÄÖÜ straße/.hidden budget", "x/Windows/budget.ini", "Program Files/Budget App/budget.exe",
                 str((deep / "budget final.txt").relative_to(tree)), "ok,name,with,commas.txt"):
        (tree / name).parent.mkdir(parents=True, exist_ok=True)
        (tree / name).write_bytes(b"x" * len(name))
    os.symlink(tree / "Daten, alt", tree / "link to daten")
    os.symlink(tree / "Daten, alt" / "notes draft.md", tree / "link to notes.md")
    win_tree = harness.winpath(tree)
    common = " !%s\\x\\windows\\ !\"%s\\program files\\\"  -size -size-format 2 -dm " % (win_tree.lower(), win_tree)
    searches = {"files": common + "/a-d  -sort dm  -n 100 -export-csv results.txt budget",
                "folders": common + "/ad  -sort name  -n 100 -export-csv results.txt a",
                "both": common + " -sort dm  -n 100 -export-csv results.txt budget|grüße|daten",
                "custom": common + " -sort name  -export-csv results.txt ext:txt;md;ini;exe !\"final\""}
    outputs = {}
    for beside in ("own", "native", "stand-in", "not executable"):
        app = _app(tmp_path, beside, [win_tree], {"own": None, "stand-in": "/bin/false"}.get(beside, native))
        if beside == "not executable":
            os.chmod(app / "es", 0o644)
        for kind, args in searches.items():
            if beside in ("stand-in", "not executable") and kind != "both":
                continue
            # The batch file hands its line to es.exe unchanged; cmd would read a bare | as a pipe.
            (app / "bat.bat").write_text("@es.exe" + args.replace("|", "^|") + "\r\n", encoding="utf-8")
            done = run_wine(["cmd", "/c", "bat.bat"], cwd=app, timeout=120)
            results = app / "results.txt"
            outputs[beside, kind] = (done.returncode, results.read_bytes() if results.exists() else None)
            results.unlink(missing_ok=True)
    for kind in searches:
        code, own = outputs["own", kind]
        assert code == 0 and own.count(b"\r\n") > 2, (kind, own)
        # The quoted exclusion holds; a path longer than MAX_PATH is read and written whole.
        assert b"Budget App" not in own and (kind != "files" or b"\\budget final.txt" in own), (kind, own)
        assert outputs["native", kind] == (0, own), kind
    # A program beside es.exe that cannot take the search (it ends without answering, or it cannot
    # be run at all) leaves it to es.exe's own walk.
    assert outputs["stand-in", "both"] == outputs["not executable", "both"] == outputs["own", "both"]
    assert not [p for p in tmp_path.glob("*/*.tmp")]


def test_both_walks_agree_on_odd_names_at_the_command_line_limit_and_a_killed_search_leaves_the_old_file(
        wine_env, tmp_path):
    """Own walk and hand-off over a tree of names Windows cannot hold (quotes, line breaks, tabs, blanks
    at the ends, faulty UTF-8, wildcards), long paths (past Linux's 4,096 bytes too), link loops and a
    folder removed during the walk;
    then a search with about 32,500 characters of command line; then es.exe killed while its native
    es is held up: the old results.txt stays and the native es ends."""
    tree = tmp_path / "odd tree"
    tree.mkdir()
    t = os.fsencode(tree)
    odd = [b'dq"name.txt', b'cr\rlf\n.txt', b'tab\t.txt', b' lead.txt', b'trail .txt', b'-dash.txt',
           b'bad\xff.txt', b'bad\xc3.txt', b'star*q?.txt', b'lt<gt>|.txt', b'back\\slash.txt', b'col:on.txt']
    folders = [b'dq"dir', b'cr\r\ndir', b'bad\xfedir', b'-dash dir', b'pipe|dir', b' lead dir', b'tab\tdir']
    for folder in folders + [b'dq"dir/cr\r\nin', b'bad\xfedir/dq"in']:
        os.mkdir(t + b"/" + folder)
        for name in odd:
            open(t + b"/" + folder + b"/" + name, "wb").write(b"x")
    for name in odd:
        open(t + b"/" + name, "wb").write(b"xy")
    long_dir = t + b"/long"
    for i in range(13):  # past 260 characters, short of Linux's 4,096 bytes
        long_dir += b"/" + (b"segment %02d " % i) * 2
    os.makedirs(long_dir)
    open(long_dir + b"/deep file.txt", "wb").write(b"x")
    # Past 4,096 and 8,192 bytes of Linux path (which Wine refuses whole), made one folder at a time.
    folder = os.open(long_dir, os.O_RDONLY | os.O_DIRECTORY)
    for i in range(48):
        name = (b"tief %02d " % i) * 22
        os.mkdir(name, dir_fd=folder)
        inner = os.open(name, os.O_RDONLY | os.O_DIRECTORY, dir_fd=folder)
        os.close(folder)
        folder = inner
        if i in (26, 47):
            os.mkdir(b'dq"deep', dir_fd=folder)
            os.close(os.open(b'dq"deep/deepest %02d.txt' % i, os.O_WRONLY | os.O_CREAT, dir_fd=folder))
    os.close(folder)
    os.symlink(t, t + b"/loop to top")
    os.symlink(t + b"/dq\"dir", t + b"/dq\"dir/loop back")
    os.mkdir(t + b"/closed")
    open(t + b"/closed/inside.txt", "wb").write(b"x")
    os.chmod(t + b"/closed", 0)
    win_tree = harness.winpath(tree)
    own = _app(tmp_path, "own", [win_tree])
    native = _app(tmp_path, "native", [win_tree], NATIVE)
    results = {}
    for app in (own, native):
        done = wine_env.run(["es.exe", "-size", "-dm", "-sort", "path", "-export-csv", "results.txt"], cwd=app,
                            timeout=120)
        results[app.name] = (done.returncode, (app / "results.txt").read_bytes())
    code, rows = results["own"]
    assert code == 0 and results["native"] == results["own"]
    # Every odd name is listed inside every odd folder: each folder was entered by both walks.
    assert rows.count(b"inner") == 0 and rows.count(b'dq""name.txt"') == len(folders) + 3
    assert rows.count(b"cr\rlf\n.txt") == len(folders) + 3 and b"deep file.txt" in rows
    deepest = [row for row in rows.split(b"\r\n") if b"deepest " in row]
    assert len(deepest) == 2 and len(deepest[0]) > 4096 + 100 and len(deepest[1]) > 8192 + 100, deepest
    assert rows.count(b"bad\xef\xbf\xbd.txt") == 2 * (len(folders) + 3)

    # The command line at Windows' limit: 2,950 exclusions and the term last. A cut line would lose
    # the last exclusion (which hides one of the two matches) and the term (every file would match).
    (tree / "shown").mkdir()
    (tree / "shown" / "needle here.txt").write_text("x")
    (tree / "hidden").mkdir()
    (tree / "hidden" / "needle there.txt").write_text("x")
    exclusions = ["!\\x%06d\\" % i for i in range(2949)] + ["!\\hidden\\"]
    args = ["-sort", "name", "-export-csv", "limit.txt"] + exclusions + ["needle"]
    assert 32000 < len(" ".join(["es.exe"] + args)) < 32767
    limit = {}
    for app in (own, native):
        done = wine_env.run(["es.exe"] + args, cwd=app, timeout=120)
        limit[app.name] = (done.returncode, (app / "limit.txt").read_bytes() if (app / "limit.txt").exists() else None)
    assert limit["own"] == limit["native"] == (0, b'Filename\r\n"%s\\shown\\needle here.txt"\r\n' %
                                                  win_tree.encode())

    # Killed: the native es is stopped in its walk, es.exe is killed from Linux (Wine then reports 0),
    # the native es continues and must end without writing anything in place.
    before = (native / "results.txt").read_bytes()
    (native / "es-roots.txt").write_text("Z:\\usr\r\nZ:\\var\r\n", encoding="utf-8")  # a walk long enough to catch
    proc = wine_env.popen(["es.exe", "-sort", "path", "-export-csv", "results.txt"], cwd=native)
    child = None
    marker = b"%s\0-wine-handoff" % os.fsencode(native / "es")
    for _ in range(20000):
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                if open("/proc/%s/cmdline" % pid, "rb").read().startswith(marker):
                    child = int(pid)
            except OSError:
                pass
        if child or proc.poll() is not None:
            break
    assert child, "the native es was not seen running"
    os.kill(child, signal.SIGSTOP)
    engine = subprocess.run(["pgrep", "-f", "es.exe -sort path"], capture_output=True, text=True).stdout.split()
    for pid in engine:
        os.kill(int(pid), signal.SIGKILL)
    proc.wait(20)
    os.kill(child, signal.SIGCONT)
    for _ in range(200):
        if not os.path.exists("/proc/%d" % child) or open("/proc/%d/stat" % child).read().split()[2] == "Z":
            break
        time.sleep(0.01)
    else:
        raise AssertionError("the native es outlived es.exe")
    assert (native / "results.txt").read_bytes() == before
    assert not list(native.glob("*.tmp")) and not list(own.glob("*.tmp"))
    os.chmod(t + b"/closed", 0o755)


def _index_services(app):
    """Linux pids of es.exe index services started from the folder `app`."""
    out = subprocess.run(["ps", "-eo", "pid,args"], capture_output=True, text=True).stdout
    marker = "%s\\es.exe -index-serve" % harness.winpath(app)
    return [int(line.split()[0]) for line in out.splitlines() if marker in line]


def test_es_exe_keeps_its_own_index_service_or_uses_the_native_one(wine_env, tmp_path):
    """es.exe alone keeps an index service of its own: -index-start ends at once, holding no pipe; it
    becomes ready, answers a search with the bytes of a walk, finds a file made afterwards within
    about a second, saves its table under LOCALAPPDATA and ends on -index-stop. With a native es beside
    it, the native es keeps the service: the same answers; the search asks the service (held up, it
    costs the answer's wait); -index-stop ends it, and a search handed over then starts it again."""
    tree = tmp_path / "tree"
    for i in range(40):
        os.makedirs(tree / ("folder %d" % (i % 4)), exist_ok=True)
        (tree / ("folder %d" % (i % 4)) / ("needle %02d.txt" % i)).write_bytes(b"x" * i)
    win_tree = harness.winpath(tree)
    own, app = _app(tmp_path, "own", [win_tree]), _app(tmp_path, "native", [win_tree], NATIVE)
    (tmp_path / "run").mkdir(mode=0o700)
    # Wine sets LOCALAPPDATA from the prefix's profile: the session's own prefix, private to the tests.
    cache = list(wine_env.prefix.glob("drive_c/users/*/AppData/Local"))[0] / "Lumiseek" / "index.bin"
    cache.unlink(missing_ok=True)
    env = {"XDG_RUNTIME_DIR": str(tmp_path / "run"), "XDG_CACHE_HOME": str(tmp_path / "cache"), "ES_NO_INDEX": "0"}
    search = ("-sort", "name", "-size", "needle")

    def es(*args, cwd=app):
        return wine_env.run(["es.exe"] + list(args), cwd=cwd, env=env, timeout=60)

    def start_ready(cwd, entries):
        # Its output a pipe: es.exe must end, and the pipe reach its end, though the service runs on.
        # (Wine hands every Windows process it starts the Linux standard error of its starter: es.exe's
        # own service holds that one.)
        started = subprocess.Popen([wine_env.wine, "es.exe", "-index-start"], cwd=cwd, env=dict(wine_env.env, **env),
                                   stdout=subprocess.PIPE, close_fds=True,
                                   stderr=subprocess.STDOUT if cwd == app else subprocess.DEVNULL)
        out, _ = started.communicate(timeout=30)
        assert started.returncode == 0 and re.fullmatch(rb"(ready|building) \d+ entries.*\n", out), out
        for _ in range(50):
            status = es("-index-status", cwd=cwd)
            if status.returncode == 0:
                break
        match = re.fullmatch(r"ready %d entries pid (\d+)\n" % entries, status.stdout)
        assert status.returncode == 0 and match, status.stdout
        return int(match.group(1))

    def found_within(cwd, name, seconds):
        (tree / "folder 2" / name).write_text("new")
        made, end = time.monotonic(), time.monotonic() + seconds
        while name not in (found := es(*search, cwd=cwd)).stdout and time.monotonic() < end:
            pass
        walked = es("-no-index", *search, cwd=cwd)
        assert found.returncode == walked.returncode == 0 and found.stdout == walked.stdout
        assert "%s\\folder 2\\%s" % (win_tree, name) in found.stdout
        return found, walked, time.monotonic() - made

    service = None
    try:
        start_ready(own, 44)
        [own_service] = _index_services(own)
        found, walked, seen_after = found_within(own, "needle own.txt", 8)
        assert found.stdout.count("\n") == 41 and seen_after < 8, seen_after  # bounds loose: Wine under load
        # Held up, it costs the search its answer's bound, then the walk.
        os.kill(own_service, signal.SIGSTOP)
        began = time.monotonic()
        held = es(*search, cwd=own)
        os.kill(own_service, signal.SIGCONT)
        assert 2 <= time.monotonic() - began < 15 and held.stdout == walked.stdout
        assert (es("-index-stop", cwd=own).stdout, es("-index-status", cwd=own).returncode) == ("stopped\n", 2)
        assert cache.stat().st_size > 0

        def gone(pid=None):
            """Whether the service `pid` (or, without one, every one of `own`) ended within 5 s."""
            for _ in range(100):
                running = _index_services(own)
                if (pid not in running) if pid else not running:
                    return True
                time.sleep(0.05)
        assert gone(own_service)
        # With none running, a search walks and starts one; killed, the next search walks at once (and
        # starts another).
        assert es(*search, cwd=own).stdout == walked.stdout
        for _ in range(50):
            if es("-index-status", cwd=own).returncode == 0:
                break
        [own_service] = _index_services(own)
        os.kill(own_service, signal.SIGKILL)
        assert gone(own_service)
        began = time.monotonic()
        assert es(*search, cwd=own).stdout == walked.stdout and time.monotonic() - began < 5
        assert es("-index-stop", cwd=own).stdout == "stopped\n"
        assert gone()

        service = start_ready(app, 45)
        found, walked, _ = found_within(app, "needle fresh.txt", 8)
        assert found.stdout.count("\n") == 42

        # Held up, the service makes the search wait for its answer's bound, then walk: asked it was.
        os.kill(service, signal.SIGSTOP)
        began = time.monotonic()
        held = es(*search)
        os.kill(service, signal.SIGCONT)
        assert time.monotonic() - began >= 2 and held.stdout == walked.stdout
        stopped = es("-index-stop")
        assert (stopped.returncode, stopped.stdout, es("-index-status").stdout) == (0, "stopped\n", "not running\n")
        # A search handed over that finds none starts the native service, not es.exe's.
        assert es(*search).stdout == walked.stdout
        for _ in range(50):
            if (status := es("-index-status")).returncode == 0:
                break
        assert re.fullmatch(r"ready 46 entries pid \d+\n", status.stdout) and not _index_services(app), status.stdout
        assert es("-index-stop").stdout == "stopped\n"
    finally:
        if service:
            os.kill(service, signal.SIGCONT)
        subprocess.run([str(NATIVE), "-index-stop"], env=dict(os.environ, **env), timeout=30, capture_output=True)
        wine_env.run(["es.exe", "-index-stop"], cwd=own, env=env, timeout=30)
        for pid in _index_services(own):
            os.kill(pid, signal.SIGKILL)
