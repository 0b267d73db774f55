#!/usr/bin/env python3
"""How long the results list takes to answer End, Home, Down and Up with a million rows and with ten,
under Wine on Xvfb, measured from outside: from the key press to the test voice's log line of the
newly selected row's name (the list's selection change speaks it).

    LUMISEEK_BUILD_WIN=build/win python3 bench/list_keys_wine.py [ROWS ...]

Needs the Windows build (lumiseek.exe, the test voice, the es recorder) and the e2e harness."""
import pathlib
import sys
import tempfile
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import harness  # noqa: E402


def results(rows):
    lines = ["Size,Date Modified,Filename\r\n"]
    lines += ["%d,05/17/2023 10:22,\"C:\\Data\\folder %d\\file %07d.txt\"\r\n" % (n, n % 97, n) for n in range(rows)]
    return "".join(lines).encode()


def press(run, key, name):
    """Seconds from the key press until the voice speaks `name`."""
    mark = run.mark()
    start = time.monotonic()
    run.session.x("xdotool", "key", "--window", run.window, key)
    while not any(line.endswith("\t" + name) for line in run.voice_lines()[mark:]):
        if time.monotonic() - start > 30:
            raise AssertionError("no %r after %s" % (name, key))
        time.sleep(0.005)
    return time.monotonic() - start


def time_keys(run, name, rows, repeats=5):
    """The best times of End (from row 1), Home (from the last row), Down (from row 1) and Up
    (from row 2), pressed in that order, again and again."""
    keys = [("End", rows - 1), ("Home", 0), ("Down", 1), ("Up", 0)]
    best = {}
    for _ in range(repeats):
        for key, row in keys:
            took = press(run, key, name(row))
            best[key] = min(took, best.get(key, took))
    return best


def main():
    counts = [int(a) for a in sys.argv[1:]] or [10, 1000000]
    with tempfile.TemporaryDirectory() as root:
        session = harness.WineSession(root)
        session.start()
        try:
            for rows in counts:
                run = harness.LumiseekRun(session, pathlib.Path(root) / ("app%d" % rows), pathlib.Path(root) / "art")
                settings = harness.settings_file({"ShowToolbar": "0", "SpeakShortcuts": "0"})
                run.start(settings=settings, es="recorder", results=results(rows))
                run.wait_voice(lambda new: any("SearchBox has focus" in line for line in new), timeout=60)
                run.type("file")
                mark = run.mark()
                started = time.monotonic()
                run.key("ctrl+f")
                run.wait_voice(lambda new: any("Search is complete" in line for line in new), mark, timeout=300)
                search = time.monotonic() - started
                best = time_keys(run, lambda row: "file %07d.txt" % row, rows)
                print("%9d rows: search and import %.2f s; key to spoken name, best of 5: %s" % (
                    rows, search, ", ".join("%s %.0f ms" % (k, t * 1000) for k, t in best.items())), flush=True)
                run.kill()
        finally:
            session.stop()


if __name__ == "__main__":
    main()
