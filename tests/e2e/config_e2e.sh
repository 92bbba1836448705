#!/bin/bash
# The help viewer from the real GyrelSaver.scr's dialog under Wine, also with
# a help control planted beside it (scripts/take-screenshots.sh shows the dialog;
# its owner and results are checked on the dialog itself).
#   config_e2e.sh BUILD_DIR   (inside scripts/wine-session.sh)
. "$(dirname "$0")/lib.sh"
scr=$(winepath -w "$SCR")
reset_settings

wine reg add "$settings_key" /v HelpFile /d "$(winepath -w "$BUILD/GyrelSaver.chm")" /f >/dev/null 2>&1
check "the Help button opens the help viewer" grep -q '^help viewer 1' <<<"$(probe help "$scr")"
# A control planted beside a downloaded saver is never run, even when the
# registered control cannot be loaded: the system's copy opens the help.
# Wine prefers its own control unless told to search for a native one first.
mkdir -p "$OUT/planted"
cp "$SCR" "$OUT/planted/"
cp "$BUILD/doubles/PASSWORD.CPL" "$OUT/planted/hhctrl.ocx" # a DLL that logs its loading
control='HKCR\CLSID\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\InprocServer32'
registered=$(wine reg query "$control" /ve | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
wine reg add "$control" /ve /d 'C:\nowhere\hhctrl.ocx' /f >/dev/null 2>&1
export GYREL_DOUBLE_LOG="$OUT/planted/double.log"
rm -f "$GYREL_DOUBLE_LOG"
check "with a planted hhctrl.ocx Help opens the system's viewer" \
  grep -q '^help viewer 1' <<<"$(WINEDLLOVERRIDES=hhctrl.ocx=n,b probe help "$(winepath -w "$OUT/planted/GyrelSaver.scr")")"
check "and never loads the planted one" test ! -e "$GYREL_DOUBLE_LOG"
wine reg add "$control" /ve /d "$registered" /f >/dev/null 2>&1
reset_settings
restart_wine # the help viewers

finish
