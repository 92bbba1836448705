#!/bin/bash
# Smooth curves on a 3840 x 2160 screen (Xephyr), the same seeded picture at 96 and
# at 192 DPI: partly covered pixels along the curve, and at 192 DPI about twice the
# ink, the line being 2 px wide rather than 1.
#   smooth_e2e.sh BUILD_DIR   (inside scripts/wine-session.sh)
. "$(dirname "$0")/lib.sh"
use_screen 59 -screen 3840x2160
desktop='HKCU\Control Panel\Desktop'
trap 'wine reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1; reset_settings; DISPLAY=$session_display restart_wine; kill $xephyr' EXIT
region=600x400+1900+950 # a part of the seeded picture the curve crosses twice
for dpi in 96 192; do
  wine reg add "$desktop" /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
  restart_wine
  reset_settings
  set_settings MinGyrels=1 MaxGyrels=1 PointsPerCycle=100 RefreshPause=10 ChangeBackground=0 SmoothCurves=1
  wine "$BUILD/seeded_saver.exe" 1 & saver=$!
  x_window 'Screen Saver' >/dev/null
  sleep 3
  import -window root -crop "$region" +repage "$OUT/smooth-$dpi.png"
  kill $saver; wait $saver 2>/dev/null
  # Off the gradient, in linear light: the ink of each pixel, summed; and the curve's
  # pixels, those fully covered (within 15% of the most ink) and those partly.
  convert "$OUT/smooth-$dpi.png" -colorspace RGB \( +clone -median 9 \) -compose difference -composite \
    -separate -evaluate-sequence max "$OUT/ink-$dpi.png"
  read -r ink max <<<"$(convert "$OUT/ink-$dpi.png" -format '%[fx:mean*w*h] %[fx:maxima]' info:)"
  count() { convert "$OUT/ink-$dpi.png" -threshold "$1" -format '%[fx:round(mean*w*h)]' info:; }
  some=$(count 2%)
  full=$(count "$(awk -v m="$max" 'BEGIN { print m * 85 }')%")
  eval "ink_$dpi=$ink some_$dpi=$some full_$dpi=$full"
done
check "96 DPI: curve pixels mostly partly covered ($full_96 full of $some_96)" greater "$some_96" "$((2 * full_96))"
ratio=$(awk -v a="$ink_192" -v b="$ink_96" 'BEGIN { printf "%.2f", a / b }')
check "192 DPI: the line about 2 px wide ($ratio times the ink at 96 DPI, 1.7 to 2.3)" greater 2.3 "$ratio" 1.7
finish
