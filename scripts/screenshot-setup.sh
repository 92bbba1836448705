#!/bin/bash
# Every page of the setup program and of its uninstaller, run by hand under
# Wine on a virtual display: screenshots in BUILD_DIR/setup-pages/, the
# welcome page also as docs/setup.png.
#   scripts/screenshot-setup.sh [BUILD_DIR]
set -eu
build_dir=$(cd "${1:-build/windows}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$build_dir/setup-pages"
DISPLAY= "$here/wine-session.sh" "$build_dir" bash -c '
  set -eu
  build=$1 docs=$2 out=$1/setup-pages
  page() { sleep 3; import -window root "$out/$1.png"; convert "$out/$1.png" -trim +repage "$out/$1.png"; }
  wine "$build/GyrelSaver-Setup.exe" & setup=$!
  page 1-welcome;    xdotool key Return
  page 2-who;        xdotool key Return # for anyone: an administrator under Wine
  page 3-components; xdotool key Return
  page 4-finish;     xdotool key space; xdotool key Return # no settings to open here
  wait $setup || true
  wine "C:\\Program Files\\GyrelSaver\\Uninstall.exe" & sleep 2
  page 5-uninstall-welcome; xdotool key Return
  page 6-uninstall-confirm; xdotool key Return
  page 7-uninstall-finish;  xdotool key Return # for all users nothing is asked
  sleep 3
  cp "$out/1-welcome.png" "$docs/setup.png"
' _ "$build_dir" "$here/../docs"
ls "$build_dir/setup-pages"
