#!/bin/bash
# The real GyrelSaver.scr under Wine on two emulated monitors side by side: real input,
# screenshots. (Input by mode, the pause key, topmost and the preview: in-process.)
#   saver_e2e.sh BUILD_DIR   (inside scripts/wine-session.sh)
. "$(dirname "$0")/lib.sh"
use_two_monitors 57
reset_settings
set_settings PointsPerCycle=800 PictureOnEachMonitor=1
start_saver "$SCR" /s
sleep 2
covered=$(xwininfo -id "$(x_window 'Screen Saver')" | awk '/Absolute upper-left [XY]:|Width:|Height:/ { printf "%s ", $NF }')
check "/s covers both monitors ($covered)" [ "$covered" = "0 0 1600 600 " ]
import -window root "$OUT/fullscreen.png"
curves=$(curve_pixels "$OUT/fullscreen.png")
check "curves are drawn ($curves curve pixels)" greater "$curves" 500
differing=$(compare -metric AE "$OUT/fullscreen.png[800x600+0+0]" "$OUT/fullscreen.png[800x600+800+0]" null: 2>&1)
check "a picture on each monitor: both the same ($differing pixels differ)" greater 4800 "${differing%% *}"
wine "$SCR" /s & second=$!
wait_exit $second; second="$exit_status/$(xdotool getwindowfocus getwindowname)"
close_with click 3
check "a second /s exits 0 at once, the first stays in front; a mouse button closes it, exit 0 ($second/$exit_status)" \
  [ "$second/$exit_status" = "0/Screen Saver/0" ]

# One picture across both, no curves, no pause, a changing background: the
# screen still changes colour at most once a second.
set_settings PictureOnEachMonitor=0 MinGyrels=0 MaxGyrels=0 RefreshPause=0
start_saver "$SCR" Saver
read -r samples changes <<<"$(end=$(($(date +%s%N) + 5000000000)) n=0 c=0 last=
  while [ "$(date +%s%N)" -lt $end ]; do
    now=$(import -window root -crop 1x1+800+300 txt:- | tail -1 | cut -d' ' -f4)
    n=$((n + 1)); [ -n "$last" ] && [ "$now" != "$last" ] && c=$((c + 1)); last=$now
  done; echo $n $c)"
check "at most one background a second: $changes changes in 5 s among $samples samples" \
  bash -c "[ $changes -ge 1 ] && [ $changes -le 6 ] && [ $samples -ge 15 ]"
close_with key alt+x
check "a word beginning with S ran it; Alt+key closes, exit 0 ($exit_status)" [ "$exit_status" = 0 ]
reset_settings

finish
