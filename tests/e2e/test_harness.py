"""The harness itself: the test voice as the program sees it through "SAPI.SpVoice", the window and key
plumbing on Xvfb, and the es recorder. Driven by the probe program, so these hold before and apart
from lumiseek.exe."""
import harness


def run_probe(probe, *args):
    probe.start(args=list(args), wait_window=False)
    code = probe.wait_exit(60)
    output = (probe.voice_dir / "wine-output.txt").read_text(errors="replace")
    return code, output


def test_voice_logs_speak_flags_text_and_rates(probe):
    code, output = run_probe(probe, "rate", "3", "speak", "3", "Speech is Enabled", "speak", "2", "Exiting Lumiseek",
                             "rate", "-3", "speak", "1", "Größe: 5 € — naïve", "speak", "1", "two\r\nlines",
                             "rawspeak", "3", "through slot 20", "speak", "3", "")
    assert code == 0, output
    assert "no voice" not in output
    assert probe.voice_lines() == [
        "rate\t3",
        "3\tSpeech is Enabled",
        "2\tExiting Lumiseek",
        "rate\t-3",
        "1\tGröße: 5 € — naïve",
        "1\ttwo\u240d\u240alines",
        "3\tthrough slot 20",
        "3\t",
    ]
    assert probe.spoken()[:2] == [(3, "Speech is Enabled"), (2, "Exiting Lumiseek")]
    assert probe.rates() == [3, -3]


def test_voice_status_follows_the_speaking_flag(probe):
    _, output = run_probe(probe, "status")
    assert "status 1 0x00000000" in output
    probe.speaking(True)
    _, output = run_probe(probe, "status")
    assert "status 2 0x00000000" in output
    probe.speaking(False)
    _, output = run_probe(probe, "status")
    assert "status 1 0x00000000" in output


def test_window_is_found_by_title_and_receives_keys(probe):
    probe.start(args=["window", "Lumiseek 4.2 probe window"])
    assert probe.title() == "Lumiseek 4.2 probe window"

    mark = probe.mark()
    probe.key("a")
    probe.wait_voice("3\tkey 65", after=mark)
    mark = probe.mark()
    probe.key("ctrl+u", "F9", "ctrl+8")
    lines = probe.wait_voice(lambda new: len(new) >= 3, after=mark)
    assert lines == ["3\tkey C-85", "3\tkey 120", "3\tkey C-56"]

    # The probe paints its client area in the icon's blue (0x00237A); the screenshot must show it.
    shot = probe.screenshot("probe-window")
    assert harness.colour_share(shot, "#00237A") > 0.05

    mark = probe.mark()
    probe.key("Escape")
    probe.wait_voice("2\tbye", after=mark)
    assert probe.wait_exit() == 0


def test_es_recorder_records_arguments_and_answers_with_prepared_results(wine_env, run_wine, tmp_path):
    folder = tmp_path / "app"
    folder.mkdir()
    run = harness.LumiseekRun(wine_env, folder, tmp_path / "artifacts")
    prepared = "Name,Path\r\n\"budget.xls\",\"c:\\data\\\"\r\n"
    run.put_es("recorder", results=prepared, exit_code=3)

    done = run_wine([folder / "es.exe", "-n", "50", "!c:\\windows", "budget 2024", "-export-csv", "out.csv"], cwd=folder)
    assert done.returncode == 3, done.stdout
    # Found in the current folder by CMD, as the program runs it.
    run_wine(["cmd", "/c", "es ext:doc;xls"], cwd=folder)

    assert run.es_calls() == ['-n 50 !c:\\windows "budget 2024" -export-csv out.csv', "ext:doc;xls"]
    assert (folder / "out.csv").read_bytes() == prepared.encode()
    assert (folder / "results.txt").read_bytes() == prepared.encode()
