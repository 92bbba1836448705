#!/bin/bash
# CPU of the saver on two emulated 800 x 600 monitors (Xephyr with Xinerama
# inside the session's display), the picture on each monitor off and on.
#   scripts/measure-monitors-cpu.sh [BUILD_DIR] [SECONDS]
set -eu
build_dir=${1:-build/windows}
seconds=${2:-20}
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/wine-session.sh" "$build_dir" bash -c '
set -eu
build=$1 seconds=$2
key="HKCU\\Software\\Quorvel\\GyrelSaver" x11="HKCU\\Software\\Wine\\X11 Driver"
hz=$(getconf CLK_TCK)
Xephyr :58 +xinerama -screen 800x600 -screen 800x600 -ac -nolisten tcp >/dev/null 2>&1 &
xephyr=$!
session=$DISPLAY
restart() { wineserver -k; wineserver -w; wineserver -p; wineboot </dev/null >/dev/null 2>&1; }
trap "wine reg delete \"\$x11\" /v UseXRandR /f >/dev/null 2>&1; DISPLAY=$session restart; kill $xephyr" EXIT
sleep 2
wine reg add "$x11" /v UseXRandR /d N /f >/dev/null 2>&1
export DISPLAY=:58
restart
wine "$build/probe.exe" fullscreen >/dev/null || true; sleep 2 # monitors settle in the first process
for profile in defaults heaviest; do
  for each in 0 1; do
    wine reg delete "$key" /f >/dev/null 2>&1 || true
    wine reg add "$key" /v PictureOnEachMonitor /t REG_DWORD /d $each /f >/dev/null 2>&1
    if [ $profile = heaviest ]; then
      for v in "PointsPerCycle 800" "MinGyrels 20" "MaxGyrels 20" "RefreshPause 0"; do
        set -- $v; wine reg add "$key" /v $1 /t REG_DWORD /d $2 /f >/dev/null 2>&1
      done
    fi
    wine "$build/GyrelSaver.scr" /s & pid=$!
    sleep 2
    a=$(awk "{ print \$14 + \$15 }" /proc/$pid/stat)
    sleep "$seconds"
    b=$(awk "{ print \$14 + \$15 }" /proc/$pid/stat)
    kill $pid; wait $pid 2>/dev/null || true
    awk -v a=$a -v b=$b -v hz=$hz -v s=$seconds -v p=$profile -v e=$each \
      "BEGIN { printf \"%-9s picture on each monitor %s: saver %.3f CPU s/s\n\", p, e, (b - a) / hz / s }"
  done
done
wine reg delete "$key" /f >/dev/null 2>&1 || true
' _ "$build_dir" "$seconds"
