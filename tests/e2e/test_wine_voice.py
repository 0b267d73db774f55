"""The espeak-ng voice under Wine, driven by the probe as lumiseek.exe drives a voice: each
utterance goes to a WAV file of its own (LUMISEEK_VOICE_WAV), so what espeak-ng made is measured."""
import shutil

import pytest

LONG = " ".join(["The quick brown fox jumps over the lazy dog."] * 400)


@pytest.fixture
def espeak(wine_env, probe, tmp_path):
    if not shutil.which("espeak-ng"):
        raise AssertionError("espeak-ng is not installed (make deps)")
    restore = wine_env.use_voice("wine/lumiseek_espeak.dll")
    wav = tmp_path / "wav"

    def run(*args):  # the probe with these arguments: its output, and the sizes of its WAV files
        shutil.rmtree(wav, ignore_errors=True)
        wav.mkdir()
        probe.start(args=list(args), wait_window=False, env={"LUMISEEK_VOICE_WAV": str(wav)})
        code = probe.wait_exit(60)
        out = (probe.voice_dir / "wine-output.txt").read_text(errors="replace")
        assert code == 0, out
        return out, {p.name: p.stat().st_size for p in wav.glob("*.wav")}

    yield run
    restore()


def test_espeak_voice_speaks_purges_reports_status_and_rate(espeak, tmp_path):
    # Speech grows with the text; a synchronous Speak returns with its speech done.
    out, sizes = espeak("speak", "0", "Search is complete", "status", "speak", "0",
                        "Search is complete: 2,500 files found, the first one is called budget.txt", "status")
    assert out.count("status 1 ") == 2, out
    assert 44 < sizes["1.wav"] < sizes["2.wav"] / 2, sizes

    # An asynchronous Speak returns while speaking; the status turns to done at the end; a purge
    # ends the long text early (espeak-ng is stopped: far less than its whole length is made).
    (tmp_path / "long.txt").write_text(LONG, encoding="utf-8")
    out, whole = espeak("speak", "1", "@" + str(tmp_path / "long.txt"), "status", "wait", "status")
    assert "status 2 " in out.split("wait")[0] and out.rstrip().endswith("status 1 0x00000000"), out
    out, cut = espeak("speak", "1", "@" + str(tmp_path / "long.txt"), "sleep", "300", "speak", "3", "Stop", "wait",
                      "status")
    assert out.rstrip().endswith("status 1 0x00000000"), out
    assert 0 < cut["1.wav"] < whole["1.wav"] / 2 and cut["2.wav"] > 44, (cut, whole)

    # The program's fast rate (3) speaks the same text in clearly less time than its slow one (-3).
    out, sizes = espeak("rate", "3", "speak", "0", "Speech rate changed", "rate", "-3", "speak", "0",
                        "Speech rate changed")
    assert sizes["1.wav"] < sizes["2.wav"] * 0.7, sizes
