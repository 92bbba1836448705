#!/bin/bash
# Screenshots of the full-screen saver on a 3840 x 2160 screen (or
# GYREL_SCREEN) with curves classic, at the screen's full resolution and
# smooth, the same picture each time
# (tests/bench/seeded_saver.cpp), and how jagged each is: the
# curve's pixels (off a 7 x 7 median of the shot by more than 10%), a
# straight line fitted to those within 12 px of each of a sample of them,
# and the upper quartile of their RMS distances from it.
#   scripts/fine-curves-shots.sh [BUILD_DIR] [OUT_DIR] [SEED]
set -eu
build_dir=${1:-build/windows}
out=$(mkdir -p "${2:-$build_dir/fine-curves}" && cd "${2:-$build_dir/fine-curves}" && pwd)
seed=${3:-1}
export GYREL_SCREEN=${GYREL_SCREEN:-3840x2160x24}
unset DISPLAY
exec "$(dirname "$0")/wine-session.sh" "$build_dir" bash -c '
set -eu
build=$1 out=$2 seed=$3
key="HKCU\\Software\\Quorvel\\GyrelSaver"
size=${GYREL_SCREEN%x*}
for fine in 0 1 smooth; do
  smooth=0
  [ $fine = smooth ] && fine=0 smooth=1
  wine reg delete "$key" /f >/dev/null 2>&1 || true
  for v in "MinGyrels 1" "MaxGyrels 1" "PointsPerCycle 100" "RefreshPause 10" "ChangeBackground 0" "FineCurves $fine" "SmoothCurves $smooth"; do
    set -- $v; wine reg add "$key" /v $1 /t REG_DWORD /d $2 /f >/dev/null 2>&1
  done
  [ $smooth = 1 ] && fine=smooth
  wine "$build/seeded_saver.exe" "$seed" & saver=$!
  sleep 3
  import -window root "$out/fine-$fine.png"
  kill $saver; wait $saver 2>/dev/null || true
  # a region the curve crosses, twice the size, as the README shows it
  w=${size%x*} h=${size#*x}
  convert "$out/fine-$fine.png" -crop $((w / 10))x$((h / 10))+$((w * 52 / 100))+$((h * 46 / 100)) +repage \
    -scale $((200 * 3840 / w))% "$out/crop-$fine.png"
  convert "$out/fine-$fine.png" \( +clone -median 7 \) -compose difference -composite \
    -colorspace Gray -threshold 10% -transparent black sparse-color: | tr " " "\n" | cut -d, -f1,2 >"$out/curve-$fine.txt"
  python3 - "$out/curve-$fine.txt" "$fine" <<"PY"
import math, random, sys
pts = [tuple(map(int, l.split(","))) for l in open(sys.argv[1]) if l.count(",") == 1]
cells = {}
for p in pts: cells.setdefault((p[0] // 12, p[1] // 12), []).append(p)
random.seed(1)
rms = []
for cx, cy in random.sample(pts, min(2000, len(pts))):
    near = [q for i in (-1, 0, 1) for j in (-1, 0, 1) for q in cells.get((cx // 12 + i, cy // 12 + j), [])
            if (q[0] - cx) ** 2 + (q[1] - cy) ** 2 <= 144]
    if len(near) < 8: continue
    mx = sum(q[0] for q in near) / len(near); my = sum(q[1] for q in near) / len(near)
    sxx = sum((q[0] - mx) ** 2 for q in near); syy = sum((q[1] - my) ** 2 for q in near)
    sxy = sum((q[0] - mx) * (q[1] - my) for q in near)
    # the smaller eigenvalue of the scatter: the mean square distance from the best line
    small = (sxx + syy - math.sqrt((sxx - syy) ** 2 + 4 * sxy * sxy)) / 2
    rms.append(math.sqrt(max(small, 0) / len(near)))
rms.sort()
q = rms[len(rms) * 3 // 4] if rms else float("nan")
print(f"fine {sys.argv[2]}: {len(pts)} curve pixels, RMS distance from local lines, upper quartile {q:.2f} px, median {rms[len(rms)//2]:.2f} px")
PY
done
' _ "$build_dir" "$out" "$seed"
