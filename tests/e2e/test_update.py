"""The online update under Wine against a local web server: an error page, a missing file and a
program without a good signature by the key the program trusts (a throwaway key pair, named through
LUMISEEK_UPDATE_KEY) are refused and leave the program as it was; a signed program is installed, the
old one kept as lumiseek.old, and the restarter starts the new one once the old one has ended."""
import shutil
import subprocess
import sys

import harness

STARTS = ["Updating Lumiseek", "Downloading. Lumiseek does not respond until the download ends."]
SIGN = [sys.executable, str(harness.REPO / "scripts" / "sign-release.py")]


def serve(exe, body, key=None, signed=None):
    """Puts `body` at the address, with a signature by `key` of `signed` (else of `body`) beside it."""
    exe.with_suffix(".exe.sig").unlink(missing_ok=True)
    if key:
        exe.write_bytes(signed or body)
        subprocess.run(SIGN + ["sign", key, exe], check=True, capture_output=True)
    exe.write_bytes(body)


def test_update_refuses_what_is_no_signed_program_and_restarts_into_a_new_one(lumiseek, wine_env, tmp_path):
    shutil.copy2(harness.built("start_lumiseek.exe"), lumiseek.dir)
    ours, other = tmp_path / "ours.pem", tmp_path / "other.pem"
    for key in (ours, other):
        subprocess.run(["openssl", "genpkey", "-algorithm", "EC", "-pkeyopt", "ec_paramgen_curve:P-256", "-out", key],
                       check=True, capture_output=True)
    trusted = subprocess.run(SIGN + ["public-key", ours], check=True, capture_output=True, text=True).stdout.strip()
    exe = tmp_path / "site" / "lumiseek.exe"
    exe.parent.mkdir()
    with harness.web_server(exe.parent) as address:
        lumiseek.start(settings=harness.QUIET,
                       env={"LUMISEEK_UPDATE_URL": address + "lumiseek.exe", "LUMISEEK_UPDATE_KEY": trusted})
        lumiseek.wait_started()
        original = lumiseek.exe.read_bytes()
        # A program: this one with bytes after its end, which Windows ignores.
        newer = original + b"the newer build"
        attempts = {"page": lambda: serve(exe, b"<html><body>Maintenance</body></html>", ours),
                    "404": exe.unlink,
                    "unsigned": lambda: serve(exe, newer),
                    "signed over other bytes": lambda: serve(exe, newer, ours, signed=original + b"another build"),
                    "signed with another key": lambda: serve(exe, newer, other)}
        for attempt, put in attempts.items():
            put()
            assert lumiseek.heard("Lumiseek Update Failed", "ctrl+o") == STARTS + ["Lumiseek Update Failed"], attempt
            assert sorted(p.name for p in lumiseek.dir.glob("lumiseek.*")) == ["lumiseek.exe", "lumiseek.ini"]
            assert lumiseek.exe.read_bytes() == original
        serve(exe, newer, ours)
        mark = lumiseek.press("Update successful. Restarting Lumiseek.", "ctrl+o")
        assert lumiseek.wait_exit() == 0
    try:
        assert lumiseek.exe.read_bytes().endswith(b"the newer build")
        assert (lumiseek.dir / "lumiseek.old").read_bytes() == original
        assert not (lumiseek.dir / "lumiseek.tmp").exists()
        # The new program speaks its welcome into the same voice log and shows its window.
        lumiseek.wait_started(after=mark)
        assert lumiseek.texts_since(mark)[2:4] == ["Update successful. Restarting Lumiseek.", "Exiting Lumiseek"]
        wine_env.wait_window(harness.TITLE_PATTERN)
    finally:
        wine_env.end_all_programs()  # the restarted program is not the harness's process
