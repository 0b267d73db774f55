"""Printing under Wine into a file through Wine's PostScript driver: the dialog confirmed with a key,
the names found in the printed text up to the limit, the same lines on the clipboard; a cancelled
dialog is spoken."""
import subprocess

import harness


def test_print_to_a_file_and_cancel(lumiseek, wine_env, tmp_path):
    output = tmp_path / "printed.ps"
    wine_env.print_to_file(output, tmp_path)
    names = ["alpha.txt", "bravo.txt", "charlie.txt", "delta.txt"]
    rows = [("1", "05/17/2023 10:22", "C:\\Data\\" + n) for n in names]
    lumiseek.start(settings=dict(harness.QUIET, MaxPrintLines="3"), last_results=rows).wait_started()

    def print_and_answer_the_dialog(key):
        mark = lumiseek.press("Printing With Small Font ...", "ctrl+p")
        # A key sent to the window (key --window) would stay held down in Wine for the next program.
        wine_env.x("xdotool", "windowfocus", "--sync", wine_env.wait_window("^Print$"))
        wine_env.x("xdotool", "key", "--clearmodifiers", key)
        return mark

    print_and_answer_the_dialog("Return")
    harness.poll(lambda: output.exists() and b"%%EOF" in output.read_bytes(), 30, what="the printed file")
    text = subprocess.run(["ps2ascii", str(output)], stdout=subprocess.PIPE, check=True, timeout=60).stdout.decode()
    assert text.split() == names[:3]
    assert lumiseek.clipboard().replace("\r\n", "\n") == "alpha.txt\nbravo.txt\ncharlie.txt"
    lumiseek.wait_spoken("Printing Cancelled", print_and_answer_the_dialog("Escape"))
