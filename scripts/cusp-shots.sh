#!/bin/bash
# The README's cusp pictures: one picture whose single curve turns back on
# itself sharply (seed 74: a pen 59 units out on a circle of 60 rolling in
# one of 76), classic and smooth, on a 3840 x 2160 screen, each cropped
# about its outermost cusp (where the curve comes nearest the screen's edge,
# the crop's centre a little inside it) and shown at four times its size.
#   scripts/cusp-shots.sh [BUILD_DIR] [OUT_DIR]
set -eu
build_dir=${1:-build/windows}
out=$(mkdir -p "${2:-$build_dir/cusp}" && cd "${2:-$build_dir/cusp}" && pwd)
export GYREL_SCREEN=${GYREL_SCREEN:-3840x2160x24}
unset DISPLAY
exec "$(dirname "$0")/wine-session.sh" "$build_dir" bash -c '
set -eu
build=$1 out=$2
key="HKCU\\Software\\Quorvel\\GyrelSaver"
for smooth in 0 1; do
  wine reg delete "$key" /f >/dev/null 2>&1 || true
  for v in "MinGyrels 1" "MaxGyrels 1" "PointsPerCycle 400" "RefreshPause 10" "ChangeBackground 0" "SmoothCurves $smooth"; do
    set -- $v; wine reg add "$key" /v $1 /t REG_DWORD /d $2 /f >/dev/null 2>&1
  done
  wine "$build/seeded_saver.exe" 74 & saver=$!
  sleep 4
  import -window root "$out/full-$smooth.png"
  kill $saver; wait $saver 2>/dev/null || true
done
# The outermost pixel of the curve in the classic shot, and a square about it.
convert "$out/full-0.png" \( +clone -median 7 \) -compose difference -composite \
  -colorspace Gray -threshold 10% -transparent black sparse-color: | tr " " "\n" | cut -d, -f1,2 >"$out/curve.txt"
at=$(python3 -c "
import sys
pts = [tuple(map(int, l.split(\",\"))) for l in open(\"$out/curve.txt\") if l.count(\",\") == 1]
x, y = max(pts, key=lambda p: (p[0] - 1920) ** 2 + (p[1] - 1080) ** 2)
d = ((x - 1920) ** 2 + (y - 1080) ** 2) ** 0.5  # the crop centred 30 px inside the tip
cx, cy = round(x - 30 * (x - 1920) / d), round(y - 30 * (y - 1080) / d)
print(f\"{cx - 48}+{cy - 48}\")")
for smooth in 0 1; do
  convert "$out/full-$smooth.png" -crop 96x96+$at +repage -scale 400% "$out/cusp-$smooth.png"
done
' _ "$build_dir" "$out"
