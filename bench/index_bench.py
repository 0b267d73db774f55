#!/usr/bin/env python3
"""The resident index against the walk, on a generated tree (bench/make_tree.py):

    python3 bench/index_bench.py [TREE] [TOP] [ES]
      TREE  where the tree is (made when missing; default /tmp/es-bench/tree-TOP)
      TOP   top folders of 100,000 entries each (default 2: 220,000 entries; 10: 1,100,000)
      ES    the native es (default build/native/engine/es)

Prints, as a markdown table: the walk and the indexed search (median of 11 each, wall time of the
whole es process) for a substring term limited to 100 rows and newest first (as Lumiseek asks), a
folder search and a sort by date; the first build and a restart from the cache file (until
-index-status says ready); the service's memory per entry beyond 16 MB (once the table is saved, and
after the searches); and how long a new file takes to show in a search. Every indexed answer is
compared with the walked one. The service runs with its own runtime and cache folders under /tmp and is
stopped at the end."""
import os
import statistics
import subprocess
import sys
import tempfile
import time

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TOP = int(sys.argv[2]) if len(sys.argv) > 2 else 2
TREE = sys.argv[1] if len(sys.argv) > 1 else "/tmp/es-bench/tree-%d" % TOP
ES = sys.argv[3] if len(sys.argv) > 3 else os.path.join(REPO, "build/native/engine/es")
RUNS = 11

work = tempfile.mkdtemp(prefix="es-index-bench-")
env = dict(os.environ, XDG_RUNTIME_DIR=work + "/run", XDG_CACHE_HOME=work + "/cache")
env.pop("ES_NO_INDEX", None)
os.makedirs(work + "/run", mode=0o700)


def es(*args, check=True):
    return subprocess.run([ES, *args], env=env, capture_output=True, check=check)


def timed(args):
    start = time.perf_counter()
    out = es(*args).stdout
    return time.perf_counter() - start, out


def median_of(args):
    times, out = [], None
    for _ in range(RUNS):
        t, out = timed(args)
        times.append(t)
    return statistics.median(times), out


def rss_of(pid):
    return int(next(l for l in open("/proc/%d/status" % pid) if l.startswith("VmRSS")).split()[1])


def wait_ready(limit=600):
    start = time.perf_counter()
    while time.perf_counter() - start < limit:
        status = es("-index-status", check=False)
        if status.returncode == 0:
            return time.perf_counter() - start, status.stdout.decode()
        time.sleep(0.01)
    raise SystemExit("the service was not ready within %d s" % limit)


def main():
    subprocess.run([sys.executable, os.path.join(REPO, "bench/make_tree.py"), TREE, str(TOP)], check=True)
    es("-no-index", "-path", TREE, "-n", "0")  # warm the cache
    queries = [
        ("substring, 100 rows, newest first", ["-size", "-dm", "-sort", "dm", "-n", "100", "report"]),
        ("folders only, by name, 100 rows", ["/ad", "-sort", "name", "-n", "100", "music"]),
        ("sort by date, all rows of ext:mp3", ["-dm", "-sort", "dm", "ext:mp3"]),
    ]
    rows = []
    start = time.perf_counter()
    es("-index-start", "-path", TREE)
    _, status = wait_ready()
    build = time.perf_counter() - start  # from the start command on
    entries = int(status.split()[1])
    pid = int(status.split()[4])
    # The table is saved right after it is ready, through a copy of it: its memory is read once saved.
    cache_file = work + "/cache/lumiseek/index.bin"
    while not os.path.exists(cache_file):
        time.sleep(0.05)
    time.sleep(0.5)
    rss_kb = rss_of(pid)
    for name, args in queries:
        walk, walked = median_of(["-no-index", "-path", TREE, *args])
        indexed, answer = median_of(["-path", TREE, *args])
        same = "same" if answer == walked else "DIFFERENT"
        rows.append("| %s | %.3f | %.4f | %.0fx | %s |" % (name, walk, indexed, walk / indexed, same))
    rss_after_kb = rss_of(pid)
    probe = os.path.join(TREE, "archive", "index bench probe %d.txt" % os.getpid())
    open(probe, "w").close()
    t0 = time.perf_counter()
    while b"probe" not in es("-path", TREE, "index bench probe").stdout:
        if time.perf_counter() - t0 > 10:
            break
    change = time.perf_counter() - t0
    os.remove(probe)
    es("-index-stop")
    start = time.perf_counter()
    es("-index-start", "-path", TREE)
    wait_ready()
    restart = time.perf_counter() - start
    es("-index-stop")
    print("entries: %d" % entries)
    print("| search | walk (s) | indexed (s) | walk / indexed | answer |")
    print("|---|---|---|---|---|")
    print("\n".join(rows))
    print("\nfirst build %.2f s, restart from the cache file %.2f s (%.0f %% of the build)" %
          (build, restart, 100 * restart / build))
    print("service memory %.1f MB: %.0f bytes an entry beyond 16 MB" %
          (rss_kb / 1024, max(0, rss_kb * 1024 - 16 * 2**20) / entries))
    print("after the searches %.1f MB (what they freed, kept by the allocator for the next)" % (rss_after_kb / 1024))
    print("a new file shown by a search after %.3f s" % change)


try:
    main()
finally:
    es("-index-stop", check=False)
    subprocess.run(["rm", "-rf", work])
