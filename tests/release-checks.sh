#!/bin/bash
# What a release must be: system DLL imports only, the two exports, a small
# saver, and version resources that agree with the VERSION file.
#   release-checks.sh BUILD_DIR SOURCE_DIR
set -u
build=$1
source=$2
failures=0
check() { if "${@:2}"; then echo "ok   $1"; else echo "FAIL $1"; failures=$((failures + 1)); fi; }
scr="$build/GyrelSaver.scr"
setup="$build/GyrelSaver-Setup.exe"
version=$(head -1 "$source/VERSION")

check "system DLLs only" "$source/scripts/check-imports.sh" "$scr" "$setup"
exports=$(x86_64-w64-mingw32-objdump -p "$scr" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk 'NR > 1 && /\]/ { print $NF }' | sort | tr '\n' ' ')
check "exports ScreenSaverConfigureDialog and ScreenSaverProc ($exports)" [ "$exports" = "ScreenSaverConfigureDialog ScreenSaverProc " ]
check "64-bit" bash -c "x86_64-w64-mingw32-objdump -f '$scr' | grep -q 'pei-x86-64'"
size=$(stat -c %s "$scr")
echo "     GyrelSaver.scr: $size bytes ($((size / 1024)) KiB); setup: $(stat -c %s "$setup") bytes"
check "the saver is at most 256 KiB" [ "$size" -le $((256 * 1024)) ]

# Version strings are UTF-16 in the resource: strings -el reads them.
scr_strings=$(strings -el "$scr")
setup_strings=$(strings -el "$setup")
check "saver company is Quorvel" grep -qx 'Quorvel' <<<"$scr_strings"
version_count=$(grep -cx "$version" <<<"$scr_strings")
check "saver file and product version $version ($version_count)" [ "$version_count" -ge 2 ]
check "saver has a description" grep -q 'GyrelSaver screen saver' <<<"$scr_strings"
check "setup version $version" grep -qx "$version" <<<"$setup_strings"
check "setup company is Quorvel" grep -qx 'Quorvel' <<<"$setup_strings"
check "README names version $version" grep -q "Version $version" "$source/README.md"
check "CHANGELOG starts at $version" bash -c "grep -m1 '^## ' '$source/CHANGELOG.md' | grep -q '$version'"
echo "$failures failures"
[ "$failures" = 0 ]
