"""The harness can see a fault: the test voice logs exactly what was spoken and with which flags and
rates. Driven by the probe program, so this holds apart from lumiseek.exe."""


def test_voice_logs_speak_flags_text_and_rates(probe):
    probe.start(args=["rate", "3", "speak", "3", "Speech is Enabled", "rate", "-3", "speak", "1", "Größe: 5 €",
                      "speak", "1", "two\r\nlines", "rawspeak", "2", "through slot 20"], wait_window=False)
    code = probe.wait_exit(60)
    assert code == 0, (probe.voice_dir / "wine-output.txt").read_text(errors="replace")
    assert probe.voice_lines() == ["rate\t3", "3\tSpeech is Enabled", "rate\t-3", "1\tGröße: 5 €",
                                   "1\ttwo\u240d\u240alines", "2\tthrough slot 20"]

