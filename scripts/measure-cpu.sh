#!/bin/bash
# CPU use of the saver under Wine, next to a program that only runs a timer
# of the same period. For each setting: CPU seconds per wall second of the
# saver process and of the X server (which rasterises under Wine), and the
# saver's CPU time per tick. This build runs with its curves classic, at the
# screen's full resolution, and smooth.
#   scripts/measure-cpu.sh [--screen WIDTHxHEIGHT] [BUILD_DIR] [SECONDS] [OTHER.scr...]
# Each OTHER.scr (another release's saver, say) is measured beside this
# build's in the same session, with the same settings. With
# GYREL_TWO_MONITORS=1 every run is on two emulated 800 x 600 monitors, and
# this build runs with the picture on each monitor off and then on. With
# --screen the runs are on a virtual screen of that size of their own. With
# GYREL_SEEDS="11 22 ..." each profile also runs classic and smooth in turn,
# both drawing the picture of each seed, and prints each pair's ratios.
set -eu
if [ "${1:-}" = --screen ]; then
  export GYREL_SCREEN="${2}x24"
  unset DISPLAY
  shift 2
fi
build_dir=${1:-build/windows}
seconds=${2:-30}
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/wine-session.sh" "$build_dir" bash -c '
set -eu
build=$1 seconds=$2 here=$3
shift 3
others=("$@")
key="HKCU\\Software\\Quorvel\\GyrelSaver"
hz=$(getconf CLK_TCK)
cpu_ticks() { awk "{ print \$14 + \$15 }" "/proc/$1/stat"; }
each_monitor=(0)
if [ -n "${GYREL_TWO_MONITORS:-}" ]; then
  . "$here/../tests/e2e/lib.sh" "$build"
  use_two_monitors 58
  each_monitor=(0 1)
fi
xserver=$(pgrep -n Xephyr || pgrep -n Xvfb || true)
x_ticks() { if [ -n "$xserver" ]; then cpu_ticks "$xserver"; else echo 0; fi; }

# run NAME COMMAND...: runs the command for $seconds, prints its CPU and the X server'"'"'s.
run() {
  local name=$1; shift
  "$@" & local pid=$!
  sleep 2 # start-up is not counted
  local p0 x0 p1 x1
  p0=$(cpu_ticks $pid); x0=$(x_ticks)
  sleep "$seconds"
  p1=$(cpu_ticks $pid); x1=$(x_ticks)
  kill $pid 2>/dev/null; wait $pid 2>/dev/null || true
  process_cpu=$(awk -v a=$p0 -v b=$p1 -v hz=$hz -v s=$seconds "BEGIN { printf \"%.3f\", (b - a) / hz / s }")
  x_cpu=$(awk -v a=$x0 -v b=$x1 -v hz=$hz -v s=$seconds "BEGIN { printf \"%.3f\", (b - a) / hz / s }")
  printf "%-28s process %s s/s   X server %s s/s\n" "$name" "$process_cpu" "$x_cpu"
}

for profile in defaults heaviest; do
  wine reg delete "$key" /f >/dev/null 2>&1 || true
  if [ $profile = heaviest ]; then
    for v in "DrawSpeed 1" "PointsPerCycle 800" "MinGyrels 20" "MaxGyrels 20" "RefreshPause 0"; do
      set -- $v; wine reg add "$key" /v $1 /t REG_DWORD /d $2 /f >/dev/null 2>&1
    done
  fi
  echo "== $profile (DrawSpeed 1 ms; Wine runs timers at 10 ms at the shortest)"
  for other in "${others[@]}"; do
    run "saver /s ($(basename "$(dirname "$(dirname "$(dirname "$other")")")"))" wine "$other" /s
  done
  ticks=$(wine "$build/timer_only.exe" 1 "$seconds" | tr -d "\r" | sed -n "s/^ticks //p")
  for each in "${each_monitor[@]}"; do
    for curves in classic fine smooth; do
      fine=0 smooth=0
      [ $curves = fine ] && fine=1
      [ $curves = smooth ] && smooth=1
      wine reg add "$key" /v PictureOnEachMonitor /t REG_DWORD /d $each /f >/dev/null 2>&1
      wine reg add "$key" /v FineCurves /t REG_DWORD /d $fine /f >/dev/null 2>&1
      wine reg add "$key" /v SmoothCurves /t REG_DWORD /d $smooth /f >/dev/null 2>&1
      run "saver /s, $curves$([ ${#each_monitor[@]} = 1 ] || echo ", each monitor $each")" wine "$build/GyrelSaver.scr" /s
      awk -v cpu=$process_cpu -v t=$ticks -v s=$seconds "BEGIN { printf \"    saver CPU per tick %.3f ms\n\", cpu * s / t * 1000 }"
    done
  done
  n=0
  if [ -n "${GYREL_SEEDS:-}" ]; then # one picture across the screen, no fine curves
    wine reg add "$key" /v PictureOnEachMonitor /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wine reg add "$key" /v FineCurves /t REG_DWORD /d 0 /f >/dev/null 2>&1
  fi
  for seed in ${GYREL_SEEDS:-}; do
    order=(0 1); [ $((n++ % 2)) = 1 ] && order=(1 0) # neither always first
    for smooth in "${order[@]}"; do
      wine reg add "$key" /v SmoothCurves /t REG_DWORD /d $smooth /f >/dev/null 2>&1
      run "seed $seed, $([ $smooth = 1 ] && echo smooth || echo classic)" wine "$build/seeded_saver.exe" $seed
      eval "saver_$smooth=$process_cpu x_$smooth=$x_cpu"
    done
    awk -v s=$saver_1 -v c=$saver_0 -v xs=$x_1 -v xc=$x_0 \
      "BEGIN { printf \"    smooth / classic: saver %.2f, with the X server %.2f\n\", s / c, (s + xs) / (c + xc) }"
  done
  run "timer only (1 ms)" wine "$build/timer_only.exe" 1 "$((seconds + 5))"
  awk -v t=$ticks -v s=$seconds "BEGIN { printf \"ticks per second %.1f\n\", t / s }"
done
wine reg delete "$key" /f >/dev/null 2>&1 || true
' _ "$build_dir" "$seconds" "$here" "${@:3}"
