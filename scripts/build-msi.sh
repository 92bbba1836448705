#!/bin/sh
# Builds the fleet package with wixl and signs it as the other files are signed.
# wixl takes the files' sources relative to where it runs: it runs in the build tree.
#   scripts/build-msi.sh VERSION BUILD_DIR SOURCE_DIR OUT.msi
set -eu
source=$(realpath --relative-to="$2" "$3")
out=$(realpath "$4")
cd "$2"
wixl -a x64 -D Version="$1" -D BuildDir=. -D SourceDir="$source" -o "$out" "$source/installer/GyrelSaver.wxs"
"$source/scripts/sign.sh" "$out"
