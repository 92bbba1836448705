#!/bin/bash
# Configuration mode of the real GyrelSaver.scr under Wine: owner rules,
# results, the help viewer, and screenshots of the dialog and the About box.
#   config_e2e.sh BUILD_DIR   (inside scripts/wine-session.sh)
set -u
BUILD=$(cd "$1" && pwd)
OUT="$BUILD/e2e"
mkdir -p "$OUT"
. "$(dirname "$0")/lib.sh"
scr_windows=$(winepath -w "$SCR")
reset_settings

echo "== owner and result"
while IFS='|' read -r tail button owner code; do
  result=$(probe config "$scr_windows" "$tail" "$button")
  check "'$tail' owned by $owner ($(head -1 <<<"$result"))" grep -q "^owner $owner\$" <<<"$result"
  check "'$tail' $button ends with $code ($(tail -1 <<<"$result"))" grep -q "^exit $code\$" <<<"$result"
done <<'CASES'
/c:{given}|cancel|given|0
/c|cancel|foreground|0
/c:0|cancel|foreground|0
/c:99999|cancel|foreground|0
/c {given}|cancel|foreground|0
-C:{given}|ok|given|1
|cancel|none|0
CASES
check "OK saved the settings" bash -c "wine reg query 'HKCU\\Software\\Quorvel\\GyrelSaver' /v DrawSpeed >/dev/null 2>&1"

echo "== help viewer"
wine reg add 'HKCU\Software\Quorvel\GyrelSaver' /v HelpFile /d "$(winepath -w "$BUILD/GyrelSaver.chm")" /f >/dev/null 2>&1
result=$(probe config "$scr_windows" "/c" help)
echo "$result" | sed "s/^/     /"
check "the Help button opens the help viewer" grep -q '^help viewer 1' <<<"$result"
reset_settings

echo "== screenshots"
wine "$SCR" /c & dialog=$!
sleep 4
shot dialog
# The About button, found from the dialog's own layout.
xdotool mousemove 470 452 click 1
sleep 2
shot about
check "the dialog and About box were drawn" test -s "$OUT/about.png"
kill $dialog 2>/dev/null
wineserver -k 2>/dev/null; wineserver -p 2>/dev/null; wineboot </dev/null >/dev/null 2>&1

echo "$failures failures"
[ "$failures" = 0 ]
