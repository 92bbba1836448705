#!/bin/bash
# The saver as the 9x family sees it: Wine reports Windows 98 to it, and test
# doubles of PASSWORD.CPL and MPR.DLL sit beside a copy of it.
#   win9x_e2e.sh BUILD_DIR   (inside scripts/wine-session.sh)
OUT=$(cd "$1" && pwd)/e2e-9x
rm -rf "$OUT"
. "$(dirname "$0")/lib.sh"
cp "$BUILD/GyrelSaver.scr" "$BUILD/doubles/PASSWORD.CPL" "$BUILD/doubles/MPR.DLL" "$OUT/"
scr9x=$(winepath -w "$OUT/GyrelSaver.scr")
version_key='HKCU\Software\Wine\AppDefaults\GyrelSaver.scr'
as_win98() { wine reg add "$version_key" /v Version /d win98 /f >/dev/null 2>&1; }
use_password() { wine reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
export GYREL_DOUBLE_LOG="$OUT/doubles.log" GYREL_VERIFY_ANSWER_FILE="$OUT/answer"
prompts() { cat "$GYREL_DOUBLE_LOG" 2>/dev/null | grep -c '^verify' || true; }
trap 'wine reg delete "$version_key" /f >/dev/null 2>&1; use_password 0' EXIT
reset_settings
as_win98

echo "== password switch off: the first request closes"
use_password 0
start_saver "$OUT/GyrelSaver.scr" /s
xdotool click 1
wait_exit $saver
check "exit 0 ($exit_status), no prompt" [ "$exit_status/$(prompts)" = 0/0 ]

echo "== password switch on"
use_password 1
echo 0 >"$GYREL_VERIFY_ANSWER_FILE"
start_saver "$OUT/GyrelSaver.scr" /s
xdotool click 1
sleep 0.05
xdotool click 1 # within 200 ms of the refused prompt
sleep 1
check "a refused password keeps the saver, one prompt for two requests ($(prompts))" \
  [ "$(running $saver && prompts)" = 1 ]
check "the running flag is set while it runs" grep -q 'running=1' "$GYREL_DOUBLE_LOG"
xdotool click 1
sleep 1
check "a later request prompts again ($(prompts))" [ "$(prompts)" = 2 ]
echo 1 >"$GYREL_VERIFY_ANSWER_FILE"
xdotool click 1
wait_exit $saver
check "an accepted password closes, exit 0 ($exit_status), flag cleared" \
  [ "$exit_status/$(probe running-flag)" = "0/running 0" ]
GYREL_DOUBLE_FAULT=1 start_saver "$OUT/GyrelSaver.scr" /s
xdotool click 1
wait_exit $saver
check "a fault while it runs ends it with -1 through the guard ($exit_status), flag cleared" \
  [ "$exit_status/$(probe running-flag)" = "255/running 0" ]

echo "== password change"
: >"$GYREL_DOUBLE_LOG"
result=$(WINEDLLOVERRIDES="mpr=n" probe run "$scr9x" "GyrelSaver.scr /a {hwnd}")
owner=$(sed -n 's/^window //p' <<<"$result")
check "/a calls the change entry with SCRSAVE and the owner, exit 0" \
  grep -qz "change provider=SCRSAVE owner=$owner flags=0.*" "$GYREL_DOUBLE_LOG"
check "/a ends with 0 ($(tail -1 <<<"$result"))" grep -q '^exit 0$' <<<"$result"
result=$(GYREL_DOUBLE_FAULT=1 WINEDLLOVERRIDES="mpr=n" probe run "$scr9x" "GyrelSaver.scr /a {hwnd}" 2>/dev/null)
check "a fault inside /a ends with -1 ($(tail -1 <<<"$result"))" grep -q '^exit -1$' <<<"$result"
wine reg delete "$version_key" /f >/dev/null 2>&1
: >"$GYREL_DOUBLE_LOG"
result=$(WINEDLLOVERRIDES="mpr=n" probe run "$scr9x" "GyrelSaver.scr /a {hwnd}")
check "outside the 9x family /a ends with -1, calls nothing ($(tail -1 <<<"$result"))" \
  [ "$(tail -1 <<<"$result")/$(wc -c <"$GYREL_DOUBLE_LOG")" = "exit -1/0" ]
finish
