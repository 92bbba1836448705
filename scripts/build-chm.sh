#!/bin/sh
# Compiles the help project into a .chm. chmcmd can leave an empty file
# behind after an error, so its status and the file are both checked.
#   build-chm.sh SOURCE_DIR OUTPUT_CHM
set -eu
source_dir=$1
output=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$source_dir"/* "$work/"
if ! (cd "$work" && chmcmd --no-html-scan GyrelSaver.hhp >"$work/chmcmd.log" 2>&1); then
  cat "$work/chmcmd.log" >&2
  echo "build-chm: chmcmd failed" >&2
  exit 1
fi
if [ ! -s "$work/GyrelSaver.chm" ]; then
  cat "$work/chmcmd.log" >&2
  echo "build-chm: chmcmd wrote no help file" >&2
  exit 1
fi
cp "$work/GyrelSaver.chm" "$output"
