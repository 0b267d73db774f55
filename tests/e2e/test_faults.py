"""An engine that stalls, is killed or crashes, a search from a list that fails, and a second start in
the same folder: the program keeps answering, says what happened, and keeps the rows it showed."""
import subprocess
import time

import harness

ROWS = [
    ("1234567", "05/17/2023 10:22", r"C:\Data\Budget-March.xls"),
    ("2500", "12/31/2022 09:05", r"C:\Data\Old, kept\budget-2022.xls"),
]


def linux_processes(marker):
    """Linux pids of the processes whose command line holds `marker`."""
    out = subprocess.run(["ps", "-eo", "pid,args"], capture_output=True, text=True).stdout
    return [int(line.split()[0]) for line in out.splitlines()[1:] if marker in line]


def test_a_stalled_killed_or_crashed_engine_keeps_the_rows_and_esc_still_works(lumiseek):
    lumiseek.start(settings=dict(harness.QUIET, LastRow="2"), es="recorder", last_results=ROWS).wait_started()
    results = lumiseek.dir / "results.txt"
    before = results.read_bytes()
    (lumiseek.dir / "es-stall.txt").write_text("")

    # Stalled: es and the process it started run until Esc, which ends both; the rows stay.
    lumiseek.type("budget")
    lumiseek.press("File Search for budget", "ctrl+f")
    harness.poll(lambda: len(linux_processes("--stalled-child")) == 1 or None, 15, what="the stalled es's child")
    lumiseek.screenshot("loading")
    assert "Search Cancelled" in lumiseek.heard("Search Cancelled", "Escape")
    harness.poll(lambda: not linux_processes("--stalled-child") or None, 10, what="es and its child ended")
    assert results.read_bytes() == before
    assert lumiseek.control_text(503).startswith("     2  budget-2022.xls  ")

    # Killed from outside (under Wine the exit code is then 0): a failure, the file untouched.
    mark = lumiseek.press("File Search for budget", "ctrl+f")
    harness.poll(lambda: linux_processes("--stalled-child") or None, 15, what="the stalled es")
    for pid in linux_processes("es.exe"):
        subprocess.run(["kill", "-9", str(pid)])
    lumiseek.wait_spoken("Search Failed : no results were written", mark)
    assert results.read_bytes() == before
    for pid in linux_processes("--stalled-child"):
        subprocess.run(["kill", "-9", str(pid)])

    # Crashed after writing a torn row: the torn row is not shown as a result.
    (lumiseek.dir / "es-stall.txt").unlink()
    lumiseek.put_es("recorder", results=harness.results_text(ROWS)[:-20], exit_code=-1073741819)
    said = lumiseek.heard("Search Failed : the search engine stopped unexpectedly", "ctrl+f")
    assert not any(text.startswith("Search is complete") for text in said)
    assert lumiseek.control_text(503).startswith("     2  budget-2022.xls  ")

    # From each list, a search that fails leaves that list and its mode: Esc returns to the results
    # rather than ending the program, and Enter on a row runs the row.
    lumiseek.put_es("recorder", exit_code=8)
    for show, first_row in (("F1", "1 "), ("F2", "1 ")):
        lumiseek.key(show)
        time.sleep(0.5)
        lumiseek.press("Search Failed : Everything is not running", "ctrl+f")
        assert lumiseek.control_text(503).strip().startswith(first_row)
        lumiseek.press("Returning to Last Results", "Escape")
    assert lumiseek.running()

    # After all that, Esc (with nothing being said) still ends the program.
    lumiseek.speaking(False)
    lumiseek.key("Escape")
    assert lumiseek.wait_exit() == 0


def test_a_second_start_in_the_same_folder_brings_the_first_to_the_front_and_ends(lumiseek, artifacts):
    lumiseek.start(settings=harness.QUIET, es="recorder", last_results=ROWS).wait_started()
    lines = len(lumiseek.voice_lines())
    second = lumiseek.session.popen([lumiseek.exe], cwd=lumiseek.dir,
                                    env=dict(LUMISEEK_VOICE_LOG=harness.winpath(lumiseek.voice_log)),
                                    log=artifacts / "second-wine-output.txt")
    assert second.wait(30) == 0
    time.sleep(1)
    assert lumiseek.voice_lines()[lines:] == []
    assert lumiseek.running()
    assert lumiseek.close() == 0


def test_garbage_geometry_a_huge_font_and_a_utf16_results_file(lumiseek):
    # The last results in UTF-16 with its byte-order mark, LF line ends, a name holding a double quote.
    rows = ROWS + [("7", "01/02/2024 08:00", r'C:\Data\dq"name.txt')]
    text = harness.results_text(rows).replace('dq"name', 'dq""name').replace("\r\n", "\n")
    (lumiseek.dir / "results.txt").write_bytes(b"\xff\xfe" + text.encode("utf-16-le"))
    lumiseek.start(settings=dict(harness.QUIET, Width="abc", Height="-5", FontSize="2147483647", LastRow="3"),
                   es="recorder").wait_started()
    x, y, width, height = lumiseek.geometry()
    assert 400 <= width <= 1920 and 300 <= height <= 1080, (width, height)
    assert lumiseek.control_text(503).startswith('     3  dq"name.txt  ')
    # At the largest font size read, a row of the list is still in sight below its header.
    left, top, w, h = lumiseek.control_rect(501)
    white = harness.colour_share(lumiseek.screenshot("utf16-results"), "#FFFFFF", (left, top, left + w, top + h))
    assert white < 0.6, white
    assert lumiseek.close() == 0
    saved = lumiseek.settings_text()
    assert "Width=abc" not in saved and "FontSize= 2147483647" not in saved
