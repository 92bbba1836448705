#!/bin/bash
# The saver as the 9x family sees it: Wine reports Windows 98 to it, and a
# test double of PASSWORD.CPL (it refuses once, then accepts) sits beside a copy of it.
#   win9x_e2e.sh BUILD_DIR   (inside scripts/wine-session.sh)
OUT=$(cd "$1" && pwd)/e2e-9x
rm -rf "$OUT"
. "$(dirname "$0")/lib.sh"
cp "$BUILD/GyrelSaver.scr" "$BUILD/doubles/PASSWORD.CPL" "$OUT/"
version_key='HKCU\Software\Wine\AppDefaults\GyrelSaver.scr'
use_password() { wine reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
export GYREL_DOUBLE_LOG="$OUT/doubles.log"
prompts() { cat "$GYREL_DOUBLE_LOG" 2>/dev/null | grep -c '^verify' || true; }
flag() { wine rundll32 "$(winepath -w "$OUT/PASSWORD.CPL")",Load; tail -1 "$GYREL_DOUBLE_LOG" | cut -d' ' -f2; }
trap 'wine reg delete "$version_key" /f >/dev/null 2>&1; use_password 0' EXIT
reset_settings
wine reg add "$version_key" /v Version /d win98 /f >/dev/null 2>&1
use_password 0
start_saver "$OUT/GyrelSaver.scr" /s
close_with click 1
check "password switch off: a click closes, exit 0 ($exit_status), no prompt" [ "$exit_status/$(prompts)" = 0/0 ]
use_password 1
start_saver "$OUT/GyrelSaver.scr" /s
xdotool click 1 sleep 0.05 click 1 sleep 1 # the second within 200 ms of the refused prompt
check "a refused password keeps the saver, one prompt for two clicks ($(prompts)), running flag set" \
  [ "$(kill -0 $saver 2>/dev/null && prompts)/$(grep -c '^verify running=1' "$GYREL_DOUBLE_LOG")" = 1/1 ]
close_with click 1
check "a later click prompts again; accepted, it closes, exit 0 ($exit_status), flag cleared" \
  [ "$exit_status/$(prompts)/$(flag)" = 0/2/running=0 ]
GYREL_DOUBLE_FAULT=1 start_saver "$OUT/GyrelSaver.scr" /s
close_with click 1
check "a fault while it runs ends it with -1 through the guard ($exit_status), flag cleared" \
  [ "$exit_status/$(flag)" = 255/running=0 ]

finish
