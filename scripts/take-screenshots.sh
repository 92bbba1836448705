#!/bin/bash
# The README's pictures, taken under Wine on a virtual display: the saver
# full screen and the configuration dialog. Saved under docs/.
#   scripts/take-screenshots.sh [BUILD_DIR]
set -eu
build_dir=${1:-build/windows}
here=$(cd "$(dirname "$0")" && pwd)
docs="$here/../docs"
mkdir -p "$docs"
DISPLAY= GYREL_SCREEN=1024x768x24 "$here/wine-session.sh" "$build_dir" bash -c '
  set -eu
  scr=$1 docs=$2
  wine reg delete "HKCU\\Software\\Quorvel\\GyrelSaver" /f >/dev/null 2>&1 || true
  xdotool mousemove 1000 700
  wine "$scr" /s & saver=$!
  sleep 5
  import -window root "$docs/saver.png" # full size: one-pixel lines stay crisp
  xdotool mousemove 900 600
  wait $saver || true
  wine "$scr" /c & dialog=$!
  sleep 5
  import -window root -crop 822x522+0+0 +repage "$docs/dialog.png"
  xdotool mousemove 470 452 click 1 # the About button, from the dialog layout
  sleep 2
  import -window root "$docs/../build/about.png" # to look at, not for the README
  kill $dialog 2>/dev/null || true
' _ "$build_dir/GyrelSaver.scr" "$docs"
echo "saved $docs/saver.png and $docs/dialog.png (the About box: build/about.png)"
