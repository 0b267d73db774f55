"""End-to-end harness: a Wine prefix on an Xvfb display, and lumiseek.exe driven from outside.

The pytest fixtures in conftest.py build on the two classes here:

* WineSession: one fresh 64-bit prefix and one Xvfb display for the whole test run, with the
  test voice registered as the class behind "SAPI.SpVoice".
* LumiseekRun: one copy of lumiseek.exe in its own folder, started, driven with xdotool and
  observed through the voice log, the settings file, the window title, the clipboard and
  screenshots.

Waiting is always polling with a bound (`poll`), never a bare sleep.
"""
import contextlib
import functools
import http.server
import os
import re
import shutil
import signal
import subprocess
import tempfile
import threading
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
BUILD_WIN = Path(os.environ.get("LUMISEEK_BUILD_WIN", REPO / "build" / "win"))
ARTIFACTS = Path(os.environ.get("LUMISEEK_E2E_ARTIFACTS", REPO / "build" / "e2e"))

VOICE_CLSID = "{96749377-3391-11D2-9EE3-00C04F797396}"
TITLE_PATTERN = "^Lumiseek 4.2"
SCREEN = "1920x1080x24"
# The toolbar hidden and shortcuts not announced: the search box on top, no "Shortcut Pressed" prefix.
QUIET = {"ShowToolbar": "0", "SpeakShortcuts": "0"}


class HarnessError(AssertionError):
    """A precondition of the harness failed (missing build, Wine or display trouble)."""


def poll(check, timeout, interval=0.1, what="condition"):
    """Calls check() until it returns a true value and returns that value; fails after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = check()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise AssertionError("timed out after %.1f s waiting for %s" % (timeout, what))
        time.sleep(interval)


def built(name):
    """A file of the Windows build; fails loudly when it is missing, since `make test` builds it."""
    path = BUILD_WIN / name
    if not path.is_file():
        raise HarnessError("%s is missing: build the Windows program first (make build)" % path)
    return path


def engine_exe():
    """The engine's own es.exe from the Windows build, or None when the build has none."""
    for candidate in (BUILD_WIN / "engine" / "es.exe", BUILD_WIN / "es.exe"):
        if candidate.is_file():
            return candidate
    found = sorted(BUILD_WIN.glob("**/es.exe"))
    return found[0] if found else None


def winpath(path):
    """The Windows form of a host path (the prefix maps Z: to /)."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def decode_settings(data):
    """Text of a settings file: UTF-16LE or UTF-8 by byte-order mark, else Windows-1252."""
    if data.startswith(b"\xff\xfe"):
        return data[2:].decode("utf-16-le")
    if data.startswith(b"\xef\xbb\xbf"):
        return data[3:].decode("utf-8")
    return data.decode("cp1252", errors="replace")


def settings_file(pairs, section="All"):
    """Text of a settings file from (key, value) pairs or a dict, one key per line, CR LF endings."""
    items = pairs.items() if isinstance(pairs, dict) else pairs
    return "[%s]\r\n" % section + "".join("%s=%s\r\n" % (k, v) for k, v in items)


def results_text(rows):
    """A results.txt in Lumiseek's layout from (size, date, path) rows."""
    return "Size,Date Modified,Filename\r\n" + "".join('%s,%s,"%s"\r\n' % row for row in rows)


def column_of_pixels(png, x):
    """The colours ("#RRGGBB") of the pixel column x of a screenshot, from the top."""
    out = subprocess.run(["convert", str(png), "-alpha", "off", "-crop", "1x100000+%d+0" % x, "+repage",
                          "-depth", "8", "txt:-"], stdout=subprocess.PIPE, check=True, timeout=60).stdout.decode()
    return re.findall(r"#[0-9A-F]{6}", out.upper())


def click_name_header(run, name, below=0, clicks=1):
    """Clicks the results list's Name header (or `below` pixels lower, `clicks` times). Wine draws the
    caption itself, so the client area's top is found in a screenshot (kept as `name`): the search box
    (blue) starts there when no toolbar is shown, and the list's header row 2.7 x FontSize + 5 pixels
    (FontSize 36: 102) below it."""
    x, y, _, _ = run.geometry()
    column = column_of_pixels(run.screenshot(name), x + 40)
    top = next(i for i in range(y, len(column)) if column[i] == "#0000FF")
    run.mouse(x + 10 + 120, top + 102 + 20 + below, "click", "--repeat", clicks, "1")


def toolbar_band(run, png):
    """Screen rows (top, bottom) of the toolbar: from the search box's top (its blue starts the
    client area's content) up through the toolbar's background, read at the window's right end."""
    x, y, w, _ = run.geometry()
    top_of_box = column_of_pixels(png, x + 40).index("#0000FF", y)
    right = column_of_pixels(png, x + w - 30)
    background = right[top_of_box - 3]
    top = top_of_box - 3
    while right[top - 1] == background:
        top -= 1
    return top, top_of_box, background


def busy_columns(png, left, right, top, bottom, background):
    """For each screen column from left to right: whether rows top to bottom hold anything but the
    background colour."""
    out = subprocess.run(["convert", str(png), "-alpha", "off", "-crop",
                          "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage", "-depth", "8", "txt:-"],
                         stdout=subprocess.PIPE, check=True, timeout=60).stdout.decode().upper()
    busy = [False] * (right - left)
    for column, colour in re.findall(r"^(\d+),\d+:.*?(#[0-9A-F]{6})", out, re.M):
        if colour != background:
            busy[int(column)] = True
    return busy


def icon_centres(run, png, icon=48):
    """The x of each toolbar icon's middle, left to right, and the y of the icons' middle: runs of
    columns where the icons' rows of the toolbar hold anything but its background."""
    x, _, w, _ = run.geometry()
    top, _, background = toolbar_band(run, png)
    busy = busy_columns(png, x + 5, x + w - 40, top + 6, top + icon - 2, background)
    centres, start = [], None
    for i, b in enumerate(busy + [False]):
        if b and start is None:
            start = i
        elif not b and start is not None:
            if i - start >= 20:
                centres.append(x + 5 + (start + i) // 2)
            start = None
    return centres, top + icon // 2


def pixel(png, x, y):
    """The colour (red, green, blue) of one pixel of a screenshot."""
    out = subprocess.run(["convert", str(png), "-alpha", "off", "-crop", "1x1+%d+%d" % (x, y), "+repage", "-depth", "8",
                          "txt:-"], stdout=subprocess.PIPE, check=True, timeout=60).stdout.decode()
    value = re.findall(r"#([0-9A-Fa-f]{6})", out)[0]
    return tuple(int(value[i:i + 2], 16) for i in (0, 2, 4))


def colour_share(png, colour, box=None):
    """Share (0 to 1) of the pixels of an image, or of its box = (left, top, right, bottom), that have
    exactly the colour "#RRGGBB"."""
    crop = ["-crop", "%dx%d+%d+%d" % (box[2] - box[0], box[3] - box[1], box[0], box[1]), "+repage"] if box else []
    out = subprocess.run(["convert", str(png)] + crop + ["-alpha", "off", "-fill", "black", "+opaque", colour,
                          "-fill", "white", "-opaque", colour, "-format", "%[fx:mean]", "info:"],
                         stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60, check=True)
    return float(out.stdout)


@contextlib.contextmanager
def program_in(session, folder, artifacts):
    """A LumiseekRun for lumiseek.exe in `folder` while the block runs; then it is ended and its logs kept."""
    run = LumiseekRun(session, folder, artifacts)
    try:
        yield run
    finally:
        run.kill()
        run.keep_artifacts()


@contextlib.contextmanager
def web_server(folder):
    """Serves the files of a folder on 127.0.0.1 while the block runs; gives the base address."""
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(http.server.SimpleHTTPRequestHandler, directory=str(folder)))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        yield "http://127.0.0.1:%d/" % server.server_address[1]
    finally:
        server.shutdown()
        server.server_close()


def _find_wine():
    """The 64-bit loader itself: the 32-bit one may be installed but unable to run here."""
    for loader in ("/usr/lib/wine/wine64", "/usr/lib64/wine/wine64", shutil.which("wine64") or ""):
        if loader and os.access(loader, os.X_OK):
            return loader
    wine = shutil.which("wine")
    if not wine:
        raise HarnessError("wine is not installed (make deps)")
    return wine


def _find_wineserver():
    for server in ("/usr/lib/wine/wineserver64", shutil.which("wineserver") or ""):
        if server and os.access(server, os.X_OK):
            return server
    raise HarnessError("wineserver is not installed (make deps)")


def _free_display():
    for n in range(99, 300):
        if not os.path.exists("/tmp/.X%d-lock" % n) and not os.path.exists("/tmp/.X11-unix/X%d" % n):
            yield n


class WineSession:
    """A fresh 64-bit Wine prefix and an Xvfb display, for one test run."""

    def __init__(self, root):
        self.root = Path(root)
        self.prefix = self.root / "prefix"
        self.wine = _find_wine()
        self.wineserver = _find_wineserver()
        self.display = None
        self._xvfb = None
        self.env = dict(os.environ)
        for var in ("WINEDLLOVERRIDES", "WINEDEBUG", "WINEPREFIX", "WINEARCH", "WINELOADER"):
            self.env.pop(var, None)
        self.env.update(WINEPREFIX=str(self.prefix), WINEARCH="win64", WINEDEBUG="-all")
        # Windows programs started by run() and popen() get none of this process's other open files;
        # the benchmarks keep them, as a shell starting `make run` does.
        self.close_fds = True
        if self.wine.endswith("wine64"):
            self.env["WINELOADER"] = self.wine

    # --- set-up and tear-down ---

    def start(self):
        self.root.mkdir(parents=True, exist_ok=True)
        self._start_xvfb()
        self._boot()
        # A persistent server: it forks into the background, so its output must not be a pipe we wait on.
        subprocess.run([self.wineserver, "-p"], env=self.env, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._register_test_voice()
        return self

    def stop(self):
        if self.prefix.exists():
            subprocess.run([self.wineserver, "-k"], env=self.env, timeout=60,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.run([self.wineserver, "-w"], env=self.env, timeout=60,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if self._xvfb and self._xvfb.poll() is None:
            self._xvfb.send_signal(signal.SIGTERM)
            try:
                self._xvfb.wait(10)
            except subprocess.TimeoutExpired:
                self._xvfb.kill()
                self._xvfb.wait(10)
        if not os.environ.get("LUMISEEK_E2E_KEEP_PREFIX"):
            shutil.rmtree(self.prefix, ignore_errors=True)

    def _start_xvfb(self):
        log = open(self.root / "xvfb.log", "wb")
        for n in _free_display():
            proc = subprocess.Popen(["Xvfb", ":%d" % n, "-screen", "0", SCREEN, "-nolisten", "tcp", "-noreset"],
                                    stdout=log, stderr=subprocess.STDOUT)
            env = dict(self.env, DISPLAY=":%d" % n)

            def ready():
                if proc.poll() is not None:
                    return "gone"
                ok = subprocess.run(["xdotool", "getdisplaygeometry"], env=env, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL).returncode == 0
                return "up" if ok else None

            state = poll(ready, 15, what="Xvfb on :%d" % n)
            if state == "up":
                self._xvfb = proc
                self.display = ":%d" % n
                self.env["DISPLAY"] = self.display
                return
            # Another program took that display between the check and the start: try the next.
        raise HarnessError("no free X display for Xvfb")

    def _boot(self):
        self.root.mkdir(parents=True, exist_ok=True)
        # No Mono or Gecko install dialogs during the boot.
        env = dict(self.env, WINEDLLOVERRIDES="mscoree,mshtml=")
        done = self.run(["wineboot", "-i"], env=env, timeout=300)
        subprocess.run([self.wineserver, "-w"], env=env, timeout=300)
        if not (self.prefix / "system.reg").is_file():
            raise HarnessError("wineboot did not create the prefix:\n" + done.stdout)

    def _register_test_voice(self):
        dll_dir = self.prefix / "drive_c" / "lumiseek-test"
        dll_dir.mkdir(parents=True, exist_ok=True)
        shutil.copy2(built("testvoice/lumiseek_testvoice.dll"), dll_dir / "lumiseek_testvoice.dll")
        server = "HKCR\\CLSID\\%s\\InprocServer32" % VOICE_CLSID
        for args in (
            ["reg", "add", "HKCR\\SAPI.SpVoice\\CLSID", "/ve", "/d", VOICE_CLSID, "/f"],
            ["reg", "add", server, "/ve", "/d", "C:\\lumiseek-test\\lumiseek_testvoice.dll", "/f"],
            ["reg", "add", server, "/v", "ThreadingModel", "/d", "Both", "/f"],
            # There is no window manager on Xvfb: Wine draws the captions and frames itself.
            ["reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d", "N", "/f"],
            # A crashing program ends instead of waiting in Wine's crash dialog.
            ["reg", "add", "HKCU\\Software\\Wine\\WineDbg", "/v", "ShowCrashDialog", "/t", "REG_DWORD", "/d", "0", "/f"],
        ):
            done = self.run(args, timeout=60)
            if done.returncode != 0:
                raise HarnessError("registry set-up failed: %s\n%s" % (args, done.stdout))

    def use_voice(self, dll):
        """Registers the in-process server `dll` (a built file) as the class behind "SAPI.SpVoice" for
        the programs started next; returns a function that puts the test voice back."""
        def register(path):
            server = "HKCR\\CLSID\\%s\\InprocServer32" % VOICE_CLSID
            done = self.run(["reg", "add", server, "/ve", "/d", path, "/f"], timeout=60)
            if done.returncode != 0:
                raise HarnessError("could not register %s: %s" % (path, done.stdout))

        dll_dir = self.prefix / "drive_c" / "lumiseek-test"
        shutil.copy2(built(dll), dll_dir / Path(dll).name)
        register("C:\\lumiseek-test\\" + Path(dll).name)
        return lambda: register("C:\\lumiseek-test\\lumiseek_testvoice.dll")

    # --- running things ---

    def run(self, args, cwd=None, timeout=60, env=None):
        """Runs a Windows program under Wine and waits for it; returns CompletedProcess with stdout and
        stderr together as text. Output goes through a file: Wine's background processes inherit the
        handles, so a pipe would stay open after the program ended."""
        cmd = [self.wine] + [str(a) for a in args]
        with tempfile.TemporaryFile() as out:
            proc = subprocess.Popen(cmd, cwd=cwd, env=dict(self.env, **(env or {})), stdout=out,
                                    stderr=subprocess.STDOUT, close_fds=self.close_fds)
            try:
                code = proc.wait(timeout)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait(10)
                raise
            out.seek(0)
            text = out.read().decode("utf-8", errors="replace")
        return subprocess.CompletedProcess(cmd, code, text, None)

    def popen(self, args, cwd=None, env=None, log=None):
        out = open(log, "wb") if log else subprocess.DEVNULL
        return subprocess.Popen([self.wine] + [str(a) for a in args], cwd=cwd, env=dict(self.env, **(env or {})),
                                stdout=out, stderr=subprocess.STDOUT, close_fds=self.close_fds)

    def x(self, *args, timeout=20, check=True):
        """Runs an X tool (xdotool, xclip, import) on the session's display; returns its stdout."""
        done = subprocess.run([str(a) for a in args], env=self.env, timeout=timeout,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        if check and done.returncode != 0:
            raise AssertionError("%s failed (%d): %s" % (" ".join(map(str, args)), done.returncode,
                                                          done.stderr.decode(errors="replace").strip()))
        return done.stdout.decode("utf-8", errors="replace")

    def wait_window(self, pattern, timeout=20):
        """The id of a visible window of any program whose title matches `pattern`, once there is one."""
        return poll(lambda: self.x("xdotool", "search", "--onlyvisible", "--name", pattern, check=False).split(),
                    timeout, what="a window titled %r" % pattern)[0]

    def screenshot(self, path):
        path = Path(path)
        path.parent.mkdir(parents=True, exist_ok=True)
        self.x("import", "-window", "root", path, timeout=60)
        return path

    def print_to_file(self, output, work_dir):
        """Makes a PostScript printer (Wine's driver) the default and sends its jobs into the file
        `output` (a host path); the driver's data file goes to `work_dir`."""
        done = self.run([built("printer/add_printer.exe"), "Lumiseek Test Printer", winpath(work_dir)])
        if done.returncode != 0:
            raise HarnessError("add_printer failed (%d): %s" % (done.returncode, done.stdout))
        self.run(["reg", "add", "HKCU\\Software\\Wine\\Printing\\Spooler", "/v", "LPT1:", "/d", output, "/f"])

    def end_all_programs(self):
        """Ends every program of the prefix (also those the tested program started) and brings the
        persistent server back."""
        for flag in ("-k", "-w", "-p"):
            subprocess.run([self.wineserver, flag], env=self.env, timeout=60,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def shell_opens_with(self, program, classes, backup_dir):
        """Makes the shell's "open" of each class of HKCR in `classes` run `program` "%1": an
        extension (".bas") gets a file type of its own, "Folder" loses its DDE command (with it the
        shell reports failure although the command ran), "https" is kept from winebrowser.
        Returns a function that puts the classes back as they were."""
        def reg(*args):
            return self.run(["reg"] + [str(a) for a in args], timeout=60).returncode == 0

        backup_dir = Path(backup_dir)
        backup_dir.mkdir(parents=True, exist_ok=True)
        saved = []
        for name in classes:
            key = "HKCR\\" + name
            backup = backup_dir / ("class-%s.reg" % name.lstrip("."))
            saved.append((key, backup if reg("export", key, backup, "/y") else None))
            if name.startswith("."):
                key = "HKCR\\lumiseek-test" + name
                reg("add", "HKCR\\" + name, "/ve", "/d", "lumiseek-test" + name, "/f")
                saved.append((key, None))
            reg("delete", key + "\\shell\\open\\ddeexec", "/f")
            if not reg("add", key + "\\shell\\open\\command", "/ve", "/d", '"%s" "%%1"' % winpath(program), "/f"):
                raise HarnessError("could not register the open command of %s" % name)

        def restore():
            for key, backup in reversed(saved):
                reg("delete", key, "/f")
                if backup is not None:
                    reg("import", backup)
        return restore


class LumiseekRun:
    """One program folder, one run of a program in it, and what can be observed from outside."""

    def __init__(self, session, folder, artifacts, exe=None, exe_name="lumiseek.exe"):
        self.session = session
        self.dir = Path(folder)
        self.dir.mkdir(parents=True, exist_ok=True)
        self.artifacts = Path(artifacts)
        self.exe_source = exe
        self.exe_name = exe_name
        self.voice_dir = self.dir.parent / (self.dir.name + "-voice")
        self.voice_dir.mkdir(parents=True, exist_ok=True)
        self.voice_log = self.voice_dir / "voice.log"
        self.proc = None
        self.window = None

    # --- the program folder ---

    @property
    def exe(self):
        return self.dir / self.exe_name

    @property
    def settings_path(self):
        """The settings file: the executable's name with .ini, beside it."""
        return self.exe.with_suffix(".ini")

    def write_settings(self, settings):
        """A dict of keys or a str: written as UTF-16LE with BOM, as the program writes it; bytes: as they are."""
        if isinstance(settings, dict):
            settings = settings_file(settings)
        data = settings if isinstance(settings, bytes) else b"\xff\xfe" + settings.encode("utf-16-le")
        self.settings_path.write_bytes(data)

    def settings_bytes(self):
        return self.settings_path.read_bytes()

    def settings_text(self):
        return decode_settings(self.settings_bytes())

    def put_es(self, es, results=None, roots=None, exit_code=None):
        """Places an es beside the program.
        es: "recorder" (records its arguments in es-args.txt and answers with `results`: rows, text or
        bytes), "engine" (our engine's es.exe searching `roots`), or the path of any program to copy as es.exe."""
        if es == "recorder":
            shutil.copy2(built("esrecorder/es_recorder.exe"), self.dir / "es.exe")
            if results is not None:
                results = results if isinstance(results, (str, bytes)) else results_text(results)
                data = results if isinstance(results, bytes) else results.encode("utf-8")
                (self.dir / "es-results.txt").write_bytes(data)
            if exit_code is not None:
                (self.dir / "es-exitcode.txt").write_text(str(exit_code))
        elif es == "engine":
            source = engine_exe()
            if source is None:
                raise HarnessError("the engine's es.exe is not in %s (make build)" % BUILD_WIN)
            shutil.copy2(source, self.dir / "es.exe")
            lines = [winpath(r) for r in (roots or [])]
            (self.dir / "es-roots.txt").write_text("".join(l + "\r\n" for l in lines), encoding="utf-8")
        else:
            shutil.copy2(es, self.dir / "es.exe")

    def es_command_lines(self):
        """The recorder's whole command lines, program name included, one per call."""
        path = self.dir / "es-args.txt"
        return path.read_text(encoding="utf-8").split("\n")[:-1] if path.exists() else []

    def es_calls(self):
        """Argument strings the recorder was called with, one per call: each command line without
        its program name (quoted or not) and the one blank after it."""
        calls = []
        for line in self.es_command_lines():
            end = line.index('"', 1) + 1 if line.startswith('"') else line.find(" ")
            calls.append(line[end + 1:] if end >= 0 else "")
        return calls

    # --- starting and stopping ---

    def start(self, settings=None, es=None, args=(), wait_window=True, env=None, last_results=None, **es_options):
        """Copies the program in, writes the settings file, es and the last results (rows for
        results.txt) when given, starts it (with `env` added to its environment), and waits for its
        window (unless wait_window is False)."""
        if self.exe_source is None:
            self.exe_source = built("lumiseek.exe")
        if not self.exe.exists():
            shutil.copy2(self.exe_source, self.exe)
        if settings is not None:
            self.write_settings(settings)
        if es is not None:
            self.put_es(es, **es_options)
        if last_results is not None:
            (self.dir / "results.txt").write_bytes(results_text(last_results).encode("utf-8"))
        self.proc = self.session.popen([self.exe] + list(args), cwd=self.dir,
                                       env=dict(env or {}, LUMISEEK_VOICE_LOG=winpath(self.voice_log)),
                                       log=self.voice_dir / "wine-output.txt")
        if wait_window:
            self.wait_window()
        return self

    def wait_window(self, pattern=TITLE_PATTERN, timeout=45):
        def find():
            if self.proc.poll() is not None:
                raise AssertionError("the program ended with exit code %s before its window appeared"
                                     % self.proc.returncode)
            # Only this run's windows: Wine sets _NET_WM_PID to the process it runs the program in.
            out = self.session.x("xdotool", "search", "--onlyvisible", "--pid", self.proc.pid, "--name", pattern,
                                 check=False)
            ids = out.split()
            return ids[0] if ids else None

        self.window = poll(find, timeout, interval=0.25, what="a window titled %r" % pattern)
        return self.window

    def wait_started(self, after=0):
        """Waits until the program has come up and given the search box the focus (spoken with the
        welcome at the end of the deferred start-up, unless the box had the focus before)."""
        self.wait_voice(lambda new: any("SearchBox has focus" in line for line in new), after, timeout=30)

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def wait_exit(self, timeout=30):
        """Waits for the program to end and returns its exit code."""
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError("the program did not end within %d s" % timeout)

    def close(self, timeout=30):
        """Alt+F4 to the window, then waits for the program to end; returns the exit code."""
        self.key("alt+F4")
        return self.wait_exit(timeout)

    def kill(self):
        if self.running():
            self.proc.kill()
            self.proc.wait(10)
            # Programs it started (es) would otherwise live on.
            self.session.end_all_programs()

    # --- driving ---

    def focus(self):
        self.session.x("xdotool", "windowfocus", self.window)

    def key(self, *keys, delay_ms=60):
        """Key presses in xdotool's names ("F9", "ctrl+u", "Escape", "alt+F4"), typed into the focused window."""
        if self.window is None:
            self.wait_window()
        self.focus()
        self.session.x("xdotool", "key", "--clearmodifiers", "--delay", delay_ms, *keys)

    def type(self, text, delay_ms=60):
        self.focus()
        self.session.x("xdotool", "type", "--delay", delay_ms, text)

    # --- observing ---

    def voice_lines(self):
        """Lines of the voice log so far: "<flags>\\t<text>" for Speak, "rate\\t<n>" for SetRate."""
        if not self.voice_log.exists():
            return []
        return self.voice_log.read_bytes().decode("utf-8", errors="replace").splitlines()

    def spoken(self):
        """(flags, text) of every Speak call so far, in order."""
        out = []
        for line in self.voice_lines():
            head, _, text = line.partition("\t")
            if head.isdigit():
                out.append((int(head), text))
        return out

    def rates(self):
        """Every rate handed to SetRate so far, in order."""
        return [int(line.partition("\t")[2]) for line in self.voice_lines() if line.startswith("rate\t")]

    def mark(self):
        """A position in the voice log; pass it as `after` to wait only for what comes later."""
        return len(self.voice_lines())

    def wait_voice(self, expected, after=0, timeout=15):
        """Waits until the voice log, from line `after` on, satisfies `expected`:
        a str is one whole line ("3\\tSpeech is Enabled"); a callable gets the list of new lines.
        Returns the new lines."""
        if isinstance(expected, str):
            check = lambda lines: expected in lines
            what = "voice line %r" % expected
        else:
            check = expected
            what = "voice log condition %s" % getattr(expected, "__name__", "")

        def ready():
            lines = self.voice_lines()[after:]
            return lines if check(lines) else None

        try:
            return poll(ready, timeout, what=what)
        except AssertionError as e:
            raise AssertionError("%s; voice log from line %d:\n%s" % (e, after, "\n".join(self.voice_lines()[after:])))

    def texts_since(self, after):
        """The texts of the Speak calls after voice line `after`."""
        return [line.partition("\t")[2] for line in self.voice_lines()[after:] if line.partition("\t")[0].isdigit()]

    def wait_spoken(self, text, after, timeout=20):
        """Waits for a Speak call with exactly this text after voice line `after`."""
        self.wait_voice(lambda new: any(line.partition("\t")[2] == text for line in new), after, timeout)

    def act(self, action, text, timeout=20):
        """Calls action() (a click, a pointer move) and waits for a Speak call with exactly this text;
        returns the voice line the wait began at."""
        mark = self.mark()
        action()
        self.wait_spoken(text, mark, timeout)
        return mark

    def press(self, text, *keys, timeout=20):
        """Presses the keys and waits for a Speak call with exactly this text; returns the voice line
        the wait began at."""
        return self.act(lambda: self.key(*keys), text, timeout)

    def heard(self, text, *keys):
        """Presses the keys, waits for a Speak call with exactly this text and returns the texts of
        every Speak call from the press on."""
        return self.texts_since(self.press(text, *keys))

    def speaking(self, on):
        """Makes the test voice report that it is speaking (on) or done (off) to GetStatus."""
        flag = self.voice_dir / "speaking.flag"
        if on:
            flag.write_bytes(b"")
        elif flag.exists():
            flag.unlink()

    def mouse(self, x, y, *click):
        """Moves the pointer to the screen point x, y, then clicks as xdotool's words say ("click", "1")."""
        self.session.x("xdotool", "mousemove", x, y, *click)

    def wait_status(self, start):
        """Waits until the status bar's text starts with `start`; returns the text."""
        return poll(lambda: (text := self.control_text(503)).startswith(start) and text, 10,
                    what="the status bar starting %r" % start)

    def geometry(self):
        """The window's X, Y, WIDTH and HEIGHT on the screen, frame included (Wine draws it)."""
        shell = self.session.x("xdotool", "getwindowgeometry", "--shell", self.window)
        values = dict(line.split("=", 1) for line in shell.split())
        return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    def title(self):
        return self.session.x("xdotool", "getwindowname", self.window).rstrip("\n")

    def window_texts(self, *control_ids, title_prefix="Lumiseek 4.2", names=False):
        """Caption and control texts of the running window, read from inside Wine with WM_GETTEXT:
        {"title": caption, "503": status bar text, ...}; with names=True the controls' accessible
        names instead, as a screen reader reads them."""
        done = self.session.run([built("wintext/wintext.exe")] + (["--names"] if names else []) + [title_prefix] +
                                [str(i) for i in control_ids], timeout=30)
        if done.returncode == 2:
            raise AssertionError("no window titled %r%s" % (title_prefix, "..."))
        texts = {}
        for line in done.stdout.splitlines():
            key, sep, text = line.partition("\t")
            if sep:
                texts[key] = text
        return texts

    def control_text(self, control_id):
        """WM_GETTEXT of a control of the main window (the status bar answers with its first part)."""
        return self.window_texts(control_id)[str(control_id)]

    def control_rect(self, control_id):
        """A control's client area on the screen: (left, top, width, height)."""
        return tuple(int(v) for v in self.window_texts(control_id)["rect%d" % control_id].split())

    def clipboard(self):
        return self.session.x("xclip", "-o", "-selection", "clipboard", check=False, timeout=10)

    def screenshot(self, name):
        return self.session.screenshot(self.artifacts / (name + ".png"))

    def screenshot_until(self, name, check, what, timeout=15):
        """Takes screenshots (kept as `name`) until check(the screenshot) gives a true value, and
        returns that value: the window may still be repainting."""
        return poll(lambda: check(self.screenshot(name)), timeout, interval=0.5, what=what)

    def keep_artifacts(self):
        """Copies the voice log, the settings file, the es calls and Wine's output next to the screenshots."""
        self.artifacts.mkdir(parents=True, exist_ok=True)
        for source in (self.voice_log, self.settings_path, self.dir / "es-args.txt",
                       self.voice_dir / "wine-output.txt"):
            if source.exists():
                shutil.copy2(source, self.artifacts / source.name)
