#!/bin/bash
# Configuration mode of the real GyrelSaver.scr under Wine: owner rules,
# results and the help viewer (scripts/take-screenshots.sh shows the dialog).
#   config_e2e.sh BUILD_DIR   (inside scripts/wine-session.sh)
. "$(dirname "$0")/lib.sh"
scr=$(winepath -w "$SCR")
reset_settings

while IFS='|' read -r tail button owner code; do
  result=$(probe config "$scr" "$tail" "$button" | tr '\n' ' ')
  check "'$tail' $button: owner $owner, exit $code ($result)" grep -q "owner $owner exit $code" <<<"$result"
done <<'CASES'
/c:{hwnd}|cancel|given|0
/c|cancel|foreground|0
/c:99999|cancel|foreground|0
-C:{hwnd}|ok|given|1
|cancel|none|0
CASES

wine reg add "$settings_key" /v HelpFile /d "$(winepath -w "$BUILD/GyrelSaver.chm")" /f >/dev/null 2>&1
check "the Help button opens the help viewer" grep -q '^help viewer 1' <<<"$(probe config "$scr" /c help)"
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
  grep -q '^help viewer 1' <<<"$(WINEDLLOVERRIDES=hhctrl.ocx=n,b probe config "$(winepath -w "$OUT/planted/GyrelSaver.scr")" /c help)"
check "and never loads the planted one" test ! -e "$GYREL_DOUBLE_LOG"
wine reg add "$control" /ve /d "$registered" /f >/dev/null 2>&1
reset_settings
restart_wine # the help viewers

finish
