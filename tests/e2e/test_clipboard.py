"""Copy Results and Copy File from end to end: what reaches the X clipboard through Wine, and what is
said when a row is no file."""
import os
from urllib.parse import unquote, urlparse

import harness
from test_search import SETTINGS


def test_copy_results_keeps_names_outside_ascii_and_copy_file_puts_a_file_on_the_clipboard(lumiseek):
    data = lumiseek.dir.parent / "data"
    (data / "photos").mkdir(parents=True)
    (data / "report.txt").write_text("report")
    rows = [("6", "05/17/2023 10:22", harness.winpath(data / "report.txt")),
            ("", "05/18/2023 09:05", harness.winpath(data / "photos")),
            ("3", "12/31/2022 09:05", r"C:\Data\Café €.txt")]
    results = harness.results_text(rows)
    (lumiseek.dir / "results.txt").write_bytes(results.encode("utf-8"))
    lumiseek.start(settings=harness.settings_file(SETTINGS))
    lumiseek.wait_voice(lambda new: any("SearchBox has focus" in line for line in new), timeout=30)

    # The results file as es wrote it, in UTF-8: "Café €" arrives whole, not as ANSI mojibake.
    lumiseek.press("Search Results Copied to Clipboard", "ctrl+shift+c")
    text_copied = harness.poll(lambda: lumiseek.clipboard().replace("\r\n", "\n"), 10, what="clipboard text")
    assert text_copied == results.replace("\r\n", "\n")

    # A folder row is no file: said so, and the clipboard keeps the results text.
    lumiseek.press("Results List has focus. report.txt", "Tab")
    lumiseek.press("photos", "Down")
    lumiseek.press("photos is not a file", "ctrl+d")
    assert lumiseek.clipboard().replace("\r\n", "\n") == text_copied

    # The file row: a file list that Wine offers to X as a file URI.
    lumiseek.press("report.txt", "Up")
    lumiseek.press("Copying File " + harness.winpath(data / "report.txt").lower(), "ctrl+d")
    uris = lumiseek.session.x("xclip", "-o", "-selection", "clipboard", "-t", "text/uri-list").split()
    assert len(uris) == 1 and uris[0].startswith("file://"), uris
    assert os.path.samefile(unquote(urlparse(uris[0]).path), data / "report.txt")
