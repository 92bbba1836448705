#!/bin/bash
# Two emulated monitors side by side (use_two_monitors in lib.sh). With the
# option on each monitor shows the same picture fitted to itself; off, one
# picture spans both.
#   monitors_e2e.sh BUILD_DIR   (inside scripts/wine-session.sh)
. "$(dirname "$0")/lib.sh"
use_two_monitors 57
reset_settings
run_shot() { # run_shot NAME: the saver for a few seconds, a screenshot, closed again
  start_saver "$SCR" /s
  sleep 2
  shot "$1"
  xdotool click 1
  wait_exit $saver
}
set_setting PointsPerCycle 800
set_setting PictureOnEachMonitor 1
run_shot monitors-on
convert "$OUT/monitors-on.png" -crop 800x600+0+0 +repage "$OUT/left.png"
convert "$OUT/monitors-on.png" -crop 800x600+800+0 +repage "$OUT/right.png"
differing=$(compare -metric AE "$OUT/left.png" "$OUT/right.png" null: 2>&1)
check "on: both monitors show the same picture ($differing pixels differ)" greater 4800 "${differing%% *}"
check "on: curves are drawn ($(curve_pixels "$OUT/left.png") curve pixels)" greater "$(curve_pixels "$OUT/left.png")" 500
set_setting PictureOnEachMonitor 0
set_setting MinGyrels 0 # the gradient alone: its shape, whatever colours the pens took
set_setting MaxGyrels 0
run_shot gradient-off
seam=$(region_mean "$OUT/gradient-off.png" 760 260 80 80)
side=$(region_mean "$OUT/gradient-off.png" 360 260 80 80)
check "off: one picture across both, brightest at the seam ($seam > $side)" greater "$seam" "$side"
reset_settings
finish
