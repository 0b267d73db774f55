"""The harness can see a fault: the test voice logs exactly what was spoken and with which flags and
rates, and the es recorder keeps exactly the arguments it received. Driven by the probe program, so
these hold apart from lumiseek.exe."""
import harness


def test_voice_logs_speak_flags_text_and_rates(probe):
    probe.start(args=["rate", "3", "speak", "3", "Speech is Enabled", "rate", "-3", "speak", "1", "Größe: 5 €",
                      "speak", "1", "two\r\nlines", "rawspeak", "2", "through slot 20"], wait_window=False)
    code = probe.wait_exit(60)
    assert code == 0, (probe.voice_dir / "wine-output.txt").read_text(errors="replace")
    assert probe.voice_lines() == ["rate\t3", "3\tSpeech is Enabled", "rate\t-3", "1\tGröße: 5 €",
                                   "1\ttwo\u240d\u240alines", "2\tthrough slot 20"]


def test_es_recorder_records_arguments_and_answers_with_prepared_results(wine_env, run_wine, tmp_path):
    folder = tmp_path / "app"
    folder.mkdir()
    run = harness.LumiseekRun(wine_env, folder, tmp_path / "artifacts")
    prepared = "Name,Path\r\n\"budget.xls\",\"c:\\data\\\"\r\n"
    run.put_es("recorder", results=prepared, exit_code=3)
    done = run_wine([folder / "es.exe", "-n", "50", "!c:\\windows", "budget 2024", "-export-csv", "out.csv"],
                    cwd=folder)
    assert done.returncode == 3, done.stdout
    assert run.es_calls() == ['-n 50 !c:\\windows "budget 2024" -export-csv out.csv']
    assert (folder / "out.csv").read_bytes() == prepared.encode()
