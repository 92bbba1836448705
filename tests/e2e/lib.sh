# Helpers for the end-to-end scripts, sourced inside a Wine session by a script
# given the Windows build tree. Screenshots go to OUT, BUILD/e2e by default.
set -u
BUILD=$(cd "$1" && pwd)
OUT=${OUT:-$BUILD/e2e}
mkdir -p "$OUT"
SCR="$BUILD/GyrelSaver.scr"
failures=0
check() { # check "what" command...
  if "${@:2}"; then echo "ok   $1"; else echo "FAIL $1"; failures=$((failures + 1)); fi
}
finish() { echo "$failures failures"; [ "$failures" = 0 ]; }
greater() { awk 'BEGIN { for (i = 2; i < ARGC; i++) if (!(ARGV[i - 1] + 0 > ARGV[i] + 0)) exit 1 }' "$@"; } # a > b > ...
settings_key='HKCU\Software\Quorvel\GyrelSaver'
reset_settings() { wine reg delete "$settings_key" /f >/dev/null 2>&1 || true; }
set_settings() { for s in "$@"; do wine reg add "$settings_key" /v "${s%=*}" /t REG_DWORD /d "${s#*=}" /f >/dev/null 2>&1; done; } # NAME=NUMBER...
# A fresh wineserver and services; they must not hold the output CTest reads.
restart_wine() { wineserver -k; wineserver -w; wineserver -p </dev/null >/dev/null 2>&1; wineboot </dev/null >/dev/null 2>&1; }
# x_window TITLE: the X window titled exactly so, after up to 15 s.
x_window() { timeout 15 xdotool search --sync --name "^$1\$" | head -1; }
# use_screen DISPLAY_NUMBER XEPHYR_SCREEN_ARGS...: until the script ends, Xephyr with those
# screens for Wine to run on; the session's own display in $session_display.
use_screen() {
  session_display=$DISPLAY
  Xephyr ":$1" "${@:2}" -ac -nolisten tcp >"$OUT/xephyr.log" 2>&1 &
  xephyr=$!
  sleep 2
  export DISPLAY=":$1"
  restart_wine
}
# use_two_monitors DISPLAY_NUMBER: two emulated 800 x 600 monitors side by side
# (Xinerama, which Wine reads when told not to use XRandR).
use_two_monitors() {
  x11_key='HKCU\Software\Wine\X11 Driver'
  wine reg add "$x11_key" /v UseXRandR /d N /f >/dev/null 2>&1
  use_screen "$1" +xinerama -screen 800x600 -screen 800x600
  trap 'wine reg delete "$x11_key" /v UseXRandR /f >/dev/null 2>&1; DISPLAY=$session_display restart_wine; kill $xephyr' EXIT
}
# start_saver SCR ARGS...: starts a full-screen saver and waits for its window; pid in $saver.
start_saver() { wine "$@" & saver=$!; x_window 'Screen Saver' >/dev/null; sleep 0.5; }
# wait_exit PID: up to 10 s for it to end; its status in $exit_status ("timeout": killed).
wait_exit() { if timeout 10 tail -s 0.1 --pid="$1" -f /dev/null; then wait "$1"; exit_status=$?; else exit_status=timeout; kill "$1"; fi; }
close_with() { xdotool "$@"; wait_exit "$saver"; } # close_with INPUT...: xdotool input, then wait_exit $saver
# Pixels of curves: those more than 8% off a blurred copy in some channel. The
# gradient is smooth, so it has none; a pen of any colour stands out somewhere.
curve_pixels() {
  convert "$1" \( +clone -blur 0x2 \) -compose difference -composite -separate \
    -evaluate-sequence max -threshold 8% -format '%[fx:round(mean*w*h)]' info:
}
