#!/bin/bash
# The real GyrelSaver.scr under Wine: every switch, real input, screenshots.
#   saver_e2e.sh BUILD_DIR   (inside scripts/wine-session.sh)
set -u
BUILD=$(cd "$1" && pwd)
OUT="$BUILD/e2e"
mkdir -p "$OUT"
. "$(dirname "$0")/lib.sh"

echo "== full screen"
reset_settings
xdotool mousemove 500 400
wine "$SCR" /s & saver=$!
check "full-screen window appears" wait_for_saver
sleep 1.5
info=$(probe fullscreen)
virtual=$(echo "$info" | sed -n 's/^virtual //p')
check "covers the virtual screen ($virtual)" [ "$(echo "$info" | sed -n 's/^window //p')" = "$virtual" ]
check "is topmost" grep -q '^topmost 1' <<<"$info"
shot fullscreen
read -r _ _ width height <<<"$virtual"
centre=$(region_mean "$OUT/fullscreen.png" $((width / 2 - 40)) $((height / 2 - 40)) 80 80)
corner=$(region_mean "$OUT/fullscreen.png" 0 0 40 40)
check "centre ($centre) brighter than corner ($corner)" greater "$centre" "$corner"
check "curves are drawn ($(bright_pixels "$OUT/fullscreen.png") bright pixels)" \
  greater "$(bright_pixels "$OUT/fullscreen.png")" 500

xdotool mousemove 502 402 # travel 4
sleep 0.7
check "a travel of 4 pixels does not close" running $saver
xdotool mousemove 503 402 # travel 5
wait_exit $saver 10
check "a travel of 5 pixels closes, exit 0 ($exit_status)" [ "$exit_status" = 0 ]

echo "== pause and close keys"
set_setting PointsPerCycle 3 # the picture keeps growing for the whole test
set_setting RefreshPause 0
set_setting DrawSpeed 10
wine "$SCR" /s & saver=$!
wait_for_saver
sleep 1
xdotool key a
sleep 0.5
shot paused-1
sleep 1
shot paused-2
check "a key press pauses the drawing" same_image "$OUT/paused-1.png" "$OUT/paused-2.png"
check "a key press does not close" running $saver
xdotool key a
sleep 1
shot resumed
check "a second key press resumes it" bash -c "! compare -metric AE '$OUT/paused-2.png' '$OUT/resumed.png' null: 2>/dev/null"

wine "$SCR" /s & second=$!
wait_exit $second 10
check "a second /s exits 0 at once ($exit_status)" [ "$exit_status" = 0 ]
check "the first saver stays in front" grep -q 'WindowsScreenSaverClass|Screen Saver' <<<"$(probe foreground)"
check "the first saver still runs" running $saver

xdotool key alt+x
wait_exit $saver 10
check "Alt+key closes, exit 0 ($exit_status)" [ "$exit_status" = 0 ]

reset_settings
start_saver "$SCR" /s
close_with xdotool click 3
check "a mouse button closes, exit 0 ($exit_status)" [ "$exit_status" = 0 ]

echo "== other ways to start full screen"
spaced="$OUT/Gyrel Saver Copy"
mkdir -p "$spaced"
cp "$SCR" "$spaced/Gyrel Saver.scr"
wine "$spaced/Gyrel Saver.scr" /s & saver=$!
check "a quoted program path with spaces runs full screen" wait_for_saver
stop_saver $saver
wine "$SCR" Saver & saver=$!
check "a word beginning with S runs full screen" wait_for_saver
stop_saver $saver

echo "== preview"
preview=$(WINEDEBUG=+msg wine "$PROBE" preview "$(winepath -w "$SCR")" 2>"$OUT/preview-trace.log" | tr -d '\r')
echo "$preview" | sed 's/^/     /'
child=$(sed -n 's/^child //p' <<<"$preview")
check "the child fills the parent's client area" awk '{ exit !($1 == $4 && $2 == $5) }' <<<"$child"
handle=$(sed -n 's/^child-handle //p' <<<"$preview")
ticks=$(grep -c "WM_TIMER) hwnd $handle wp 1 " "$OUT/preview-trace.log")
check "the preview animates ($ticks timer ticks in 2 s)" greater "$ticks" 20
check "input never closes the preview" grep -q '^alive-after-input 1' <<<"$preview"
check "the preview ends with 0 when its parent goes" grep -q '^exit ended 0' <<<"$preview"

echo "== bad command lines"
scr_windows=$(winepath -w "$SCR")
for args in "/p 0" "/p:123" "/p 99999" "/l 4294967297" "/x" $'/\ts' $'- \t/s' "4"; do
  result=$(probe run "$scr_windows" "GyrelSaver.scr $args")
  check "'${args//$'\t'/\\t}' ends with -1 ($result)" [ "$result" = "exit -1" ]
done
check "no saver window was left" bash -c "! wine '$PROBE' fullscreen >/dev/null"

echo "$failures failures"
[ "$failures" = 0 ]
