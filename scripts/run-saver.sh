#!/bin/bash
# make run: the saver full screen under Wine. With a display it simply runs
# until you move the mouse; without one it runs in Xvfb for a few seconds,
# saves screenshots under the build tree and says where.
set -eu
build_dir=${1:-build/windows}
scr="$build_dir/GyrelSaver.scr"
if [ -n "${DISPLAY:-}" ] && [ -z "${GYREL_HEADLESS:-}" ]; then
  exec scripts/wine-session.sh "$build_dir" wine "$scr" /s
fi
shots="$build_dir/screenshots"
mkdir -p "$shots"
scripts/wine-session.sh "$build_dir" bash -c '
  wine "$1" /s & saver=$!
  sleep 3; import -window root "$2/saver-3s.png"
  sleep 3; import -window root "$2/saver-6s.png"
  xdotool mousemove_relative 20 20
  wait $saver; echo "saver exited with $?"
' _ "$scr" "$shots"
echo "screenshots: $shots/saver-3s.png $shots/saver-6s.png"
