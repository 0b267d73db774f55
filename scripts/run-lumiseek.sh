#!/bin/bash
# Starts the built lumiseek.exe under Wine, as `make run` does.
#   scripts/run-lumiseek.sh [WINDOWS_BUILD_DIR]     (default build/win)
# The program runs from build/run/ (its settings file, lumiseek.ini, stays there between runs) in its own
# 64-bit Wine prefix build/wine-run/. When the engine was built, its es.exe goes beside the program,
# with es-roots.txt naming your home folder, so searches work without Everything; the native es goes
# beside it too, and es.exe hands each search to it (Wine's own folder reading is far slower).
# The prefix gets the espeak-ng voice (build/win/wine/lumiseek_espeak.dll) as its speech voice.
# On $DISPLAY when it is set; otherwise on a new Xvfb display, which is said on the terminal.
set -euo pipefail
cd "$(dirname "$0")/.."
WIN_DIR=${1:-build/win}
RUN_DIR=build/run
export WINEPREFIX=${WINEPREFIX:-$PWD/build/wine-run}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}

# The 64-bit loader itself: the 32-bit one may be installed but unable to run on this kernel.
WINE=wine
if [ -x /usr/lib/wine/wine64 ]; then
  WINE=/usr/lib/wine/wine64
  export WINELOADER=$WINE
fi

if [ ! -f "$WIN_DIR/lumiseek.exe" ]; then
  echo "run: $WIN_DIR/lumiseek.exe is missing: the Windows build failed or did not run (make build)" >&2
  exit 1
fi
mkdir -p "$RUN_DIR"
cp -f "$WIN_DIR/lumiseek.exe" "$RUN_DIR/"
# The restarter that an update starts beside the program.
[ -f "$WIN_DIR/start_lumiseek.exe" ] && cp -f "$WIN_DIR/start_lumiseek.exe" "$RUN_DIR/"
if [ -f "$WIN_DIR/engine/es.exe" ]; then
  cp -f "$WIN_DIR/engine/es.exe" "$RUN_DIR/"
  # Under Wine, drive Z: is the Linux root, so /home/me is Z:\home\me.
  printf 'Z:%s\r\n' "$(printf '%s' "$HOME" | tr / '\\')" > "$RUN_DIR/es-roots.txt"
  NATIVE_ES=${NATIVE_ES:-build/native/engine/es}
  if [ -x "$NATIVE_ES" ]; then cp -f "$NATIVE_ES" "$RUN_DIR/es"; else rm -f "$RUN_DIR/es"; fi
fi

XVFB_PID=
cleanup() {
  if [ -n "$XVFB_PID" ]; then
    # Wine's helper processes of this prefix would lose their display: end them first.
    wineserver -k 2>/dev/null || true
    kill "$XVFB_PID" 2>/dev/null || true
  fi
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  n=99
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
  echo "No display: starting Lumiseek on Xvfb display $DISPLAY."
  echo "  Take a screenshot with:  DISPLAY=$DISPLAY import -window root lumiseek.png"
  echo "  Send keys with:          DISPLAY=$DISPLAY xdotool key F9"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "run: creating the Wine prefix $WINEPREFIX (once)"
  WINEDLLOVERRIDES="mscoree,mshtml=" "$WINE" wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi

# Xvfb has no window manager, so Wine draws the window frames itself there; on a desktop the
# window manager does.
if [ -n "$XVFB_PID" ]; then
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
else
  "$WINE" reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1 || true
fi

# The speaking voice: registered as the class behind SAPI.SpVoice in this prefix on every start.
VOICE_DLL=$WIN_DIR/wine/lumiseek_espeak.dll
if [ -f "$VOICE_DLL" ]; then
  mkdir -p "$WINEPREFIX/drive_c/lumiseek-voice"
  cp -f "$VOICE_DLL" "$WINEPREFIX/drive_c/lumiseek-voice/"
  clsid='{96749377-3391-11D2-9EE3-00C04F797396}'
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CLASSES_ROOT\\SAPI.SpVoice\\CLSID]\r\n@="%s"\r\n\r\n[HKEY_CLASSES_ROOT\\CLSID\\%s\\InprocServer32]\r\n@="C:\\\\lumiseek-voice\\\\lumiseek_espeak.dll"\r\n"ThreadingModel"="Both"\r\n' \
    "$clsid" "$clsid" > "$WINEPREFIX/drive_c/lumiseek-voice/voice.reg"
  "$WINE" regedit /S 'C:\lumiseek-voice\voice.reg' >/dev/null 2>&1 || true
  if command -v espeak-ng >/dev/null 2>&1; then
    echo "run: Lumiseek speaks through espeak-ng (Linux's speech program) on your sound device"
  else
    echo "run: espeak-ng is not installed, so Lumiseek stays silent (make deps installs it)" >&2
  fi
fi

echo "run: starting $RUN_DIR/lumiseek.exe (close its window or press Esc to end)"
cd "$RUN_DIR"
"$WINE" ./lumiseek.exe
