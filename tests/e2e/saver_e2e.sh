#!/bin/bash
# The real GyrelSaver.scr under Wine: every switch, real input, screenshots.
#   saver_e2e.sh BUILD_DIR   (inside scripts/wine-session.sh)
. "$(dirname "$0")/lib.sh"

echo "== full screen: picture, mouse travel"
reset_settings
start_saver "$SCR" /s
sleep 1
info=$(probe fullscreen)
read -r _ _ width height <<<"$(sed -n 's/^virtual //p' <<<"$info")"
check "covers the virtual screen, topmost" grep -qz "window 0 0 $width $height.*topmost 1" <<<"$info"
shot fullscreen
check "curves are drawn ($(curve_pixels "$OUT/fullscreen.png") curve pixels)" \
  greater "$(curve_pixels "$OUT/fullscreen.png")" 500
xdotool mousemove_relative -- 2 2 # travel 4 from where the saver started
sleep 0.7
check "a travel of 4 pixels does not close" running $saver
xdotool mousemove_relative -- 1 0 # travel 5
wait_exit $saver
check "a travel of 5 pixels closes, exit 0 ($exit_status)" [ "$exit_status" = 0 ]

echo "== pause, a second start, close keys"
set_setting PointsPerCycle 3 # the picture keeps growing for the whole test
set_setting DrawSpeed 10
start_saver "$SCR" /s
xdotool key a
sleep 0.5
shot paused-1
sleep 1
shot paused-2
check "a key press pauses the drawing and does not close" same_image "$OUT/paused-1.png" "$OUT/paused-2.png"
xdotool key a
sleep 1
shot resumed
check "a second key press resumes it" bash -c "! compare -metric AE '$OUT/paused-2.png' '$OUT/resumed.png' null: 2>/dev/null"
wine "$SCR" /s & second=$!
wait_exit $second
check "a second /s exits 0 at once ($exit_status)" [ "$exit_status" = 0 ]
check "the first saver stays in front" grep -q 'in-front 1' <<<"$(probe fullscreen)"
xdotool key alt+x
wait_exit $saver
check "Alt+key closes, exit 0 ($exit_status)" [ "$exit_status" = 0 ]
set_setting MinGyrels 0 # pictures of the gradient alone
set_setting MaxGyrels 0
set_setting ChangeBackground 0 # each renewal paints the same gradient again
start_saver "$SCR" Saver
sleep 1
shot no-curves
check "a word beginning with S and no curves: the gradient alone" \
  [ "$(curve_pixels "$OUT/no-curves.png")" = 0 ]
centre=$(region_mean "$OUT/no-curves.png" $((width / 2 - 40)) $((height / 2 - 40)) 80 80)
corner=$(region_mean "$OUT/no-curves.png" 0 0 40 40)
check "the gradient: centre ($centre) brighter than corner ($corner)" greater "$centre" "$corner"
xdotool click 3
wait_exit $saver
check "a mouse button closes, exit 0 ($exit_status)" [ "$exit_status" = 0 ]
reset_settings

echo "== preview"
preview=$(WINEDEBUG=+msg probe preview "$(winepath -w "$SCR")" 2>"$OUT/preview-trace.log")
handle=$(sed -n 's/^child-handle //p' <<<"$preview")
ticks=$(grep -c "WM_TIMER) hwnd $handle wp 1 " "$OUT/preview-trace.log")
check "the child fills its parent" grep -q '^fills 1' <<<"$preview"
check "the preview animates ($ticks timer ticks in 2 s)" greater "$ticks" 20
check "input never closes it; it ends with 0 with its parent" \
  grep -qz 'alive-after-input 1.*exit 0' <<<"$preview"

echo "== bad command lines"
for args in "/p 0" "/p:123" "/p 99999" "/l 4294967297" "/x" $'/\ts' "4"; do
  result=$(probe run "$(winepath -w "$SCR")" "GyrelSaver.scr $args")
  check "'${args//$'\t'/\\t}' ends with -1 ($result)" grep -q '^exit -1$' <<<"$result"
done
check "no saver window was left" bash -c "! wine '$BUILD/probe.exe' fullscreen >/dev/null"
finish
