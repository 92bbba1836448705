#!/bin/bash
# The saver as the 9x family sees it: Wine reports Windows 98 to it, and test
# doubles of PASSWORD.CPL and MPR.DLL sit beside a copy of it.
#   win9x_e2e.sh BUILD_DIR   (inside scripts/wine-session.sh)
set -u
BUILD=$(cd "$1" && pwd)
OUT="$BUILD/e2e-9x"
rm -rf "$OUT"
mkdir -p "$OUT"
. "$(dirname "$0")/lib.sh"

cp "$BUILD/GyrelSaver.scr" "$BUILD/doubles/PASSWORD.CPL" "$BUILD/doubles/MPR.DLL" "$OUT/"
SCR9X="$OUT/GyrelSaver.scr"
scr9x_windows=$(winepath -w "$SCR9X")
version_key='HKCU\Software\Wine\AppDefaults\GyrelSaver.scr'
desktop_key='HKCU\Control Panel\Desktop'
export GYREL_DOUBLE_LOG="$OUT/doubles.log"
export GYREL_VERIFY_ANSWER_FILE="$OUT/answer"
as_win98() { wine reg add "$version_key" /v Version /d win98 /f >/dev/null 2>&1; }
as_default() { wine reg delete "$version_key" /f >/dev/null 2>&1; }
use_password() { wine reg add "$desktop_key" /v ScreenSaveUsePassword /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
prompts() { grep -c '^verify' "$GYREL_DOUBLE_LOG" 2>/dev/null || true; }
trap 'as_default; use_password 0' EXIT

reset_settings
as_win98

echo "== password switch off"
use_password 0
: >"$GYREL_DOUBLE_LOG"
start_saver "$SCR9X" /s
close_with xdotool click 1
check "closes at the first request, exit 0 ($exit_status)" [ "$exit_status" = 0 ]
check "no password prompt" [ "$(prompts)" = 0 ]

echo "== password switch on"
use_password 1
echo 0 >"$GYREL_VERIFY_ANSWER_FILE"
: >"$GYREL_DOUBLE_LOG"
wine "$SCR9X" /s & saver=$!
wait_for_saver
sleep 0.5
xdotool click 1
sleep 0.05
xdotool click 1 # within 200 ms of the refused prompt
sleep 1
check "a refused password keeps the saver" running $saver
check "one prompt for two quick requests ($(prompts))" [ "$(prompts)" = 1 ]
check "the running flag is set while it runs" grep -q 'running=1' "$GYREL_DOUBLE_LOG"
xdotool click 1
sleep 1
check "a later request prompts again ($(prompts))" [ "$(prompts)" = 2 ]
echo 1 >"$GYREL_VERIFY_ANSWER_FILE"
xdotool click 1
wait_exit $saver 10
check "an accepted password closes, exit 0 ($exit_status)" [ "$exit_status" = 0 ]
check "the running flag is cleared at the end" grep -q '^running 0' <<<"$(probe running-flag)"

echo "== password change"
: >"$GYREL_DOUBLE_LOG"
result=$(WINEDLLOVERRIDES="mpr=n" probe run "$scr9x_windows" "GyrelSaver.scr /a {hwnd}")
owner=$(sed -n 's/^window //p' <<<"$result")
check "/a ends with 0 ($(tail -1 <<<"$result"))" grep -q '^exit 0' <<<"$result"
check "/a calls the change entry with SCRSAVE and the owner" \
  grep -q "^change provider=SCRSAVE owner=$owner flags=0" "$GYREL_DOUBLE_LOG"
result=$(GYREL_DOUBLE_FAULT=1 WINEDLLOVERRIDES="mpr=n" probe run "$scr9x_windows" "GyrelSaver.scr /a {hwnd}" 2>/dev/null)
check "a fault inside a mode ends with -1 through the guard ($(tail -1 <<<"$result"))" \
  grep -q '^exit -1$' <<<"$result"

echo "== default Windows version"
as_default
: >"$GYREL_DOUBLE_LOG"
result=$(WINEDLLOVERRIDES="mpr=n" probe run "$scr9x_windows" "GyrelSaver.scr /a {hwnd}")
check "/a ends with -1 ($(tail -1 <<<"$result"))" grep -q '^exit -1$' <<<"$result"
check "/a shows nothing and calls nothing" [ ! -s "$GYREL_DOUBLE_LOG" ]
use_password 1
start_saver "$SCR9X" /s
close_with xdotool click 1
check "no password is asked outside the 9x family ($exit_status, $(prompts) prompts)" \
  [ "$exit_status" = 0 ] && [ "$(prompts)" = 0 ]

echo "$failures failures"
[ "$failures" = 0 ]
