#!/usr/bin/env python3
"""The delay from Speak to the first sound of the espeak-ng voice under Wine. Not part of make test.

    /usr/bin/python3 bench/voice_latency.py [--runs N]

The voice is registered in a fresh Wine prefix (the end-to-end harness) and driven by the probe
program: it notes the clock, calls Speak asynchronously, and the voice sends the speech to a WAV
file (LUMISEEK_VOICE_WAV). The delay is the time until the file holds its first block of sound
(4 KiB, 93 ms of speech), polled every half millisecond: Speak, the shell, espeak-ng's start and
the synthesis of that first block. A sound device adds its own buffering on top."""
import argparse
import os
import shutil
import statistics
import sys
import tempfile
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(REPO / "tests" / "e2e"))
import harness  # noqa: E402

TEXT = "Search is complete : 12 Matches : budget notes.txt"


def one_delay(session, work, n):
    wav = work / ("wav%d" % n)
    wav.mkdir()
    out = work / ("probe%d.txt" % n)
    proc = session.popen([harness.built("testvoice/voice_probe.exe"), "sleep", "300", "clock", "speak", "1", TEXT,
                          "wait"], cwd=work, env={"LUMISEEK_VOICE_WAV": str(wav)}, log=out)
    first = None
    while first is None and proc.poll() is None:
        try:
            if (wav / "1.wav").stat().st_size > 44:
                first = time.time() * 1000
        except OSError:
            pass
        time.sleep(0.0005)
    proc.wait(60)
    clock = [line.split()[1] for line in out.read_text().splitlines() if line.startswith("clock")]
    if first is None or not clock:
        raise SystemExit("no sound was written:\n" + out.read_text())
    return first - float(clock[0])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=15)
    args = parser.parse_args()
    try:
        os.nice(-10)
    except OSError:
        pass
    work = Path(tempfile.mkdtemp(prefix="voice-latency-"))
    session = harness.WineSession(work / "wine")
    try:
        session.start()
        session.use_voice("wine/lumiseek_espeak.dll")
        delays = [one_delay(session, work, n) for n in range(args.runs)]
    finally:
        session.stop()
        shutil.rmtree(work, ignore_errors=True)
    delays.sort()
    print("Speak to the first sound written, %d runs: median %.0f ms, fastest %.0f ms, slowest %.0f ms"
          % (len(delays), statistics.median(delays), delays[0], delays[-1]))


if __name__ == "__main__":
    main()
