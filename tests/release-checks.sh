#!/bin/bash
# What a release must be (its imports are checked apart): the two exports, a small
# 64-bit saver, the dialog fonts, version resources that agree with VERSION,
# and a help file that an independent reader (libchm) opens, with every page
# and popup topic.
#   release-checks.sh BUILD_DIR SOURCE_DIR
source=$(cd "$2" && pwd)
. "$source/tests/e2e/lib.sh"
setup="$BUILD/GyrelSaver-Setup.exe"
version=$(head -1 "$source/VERSION")
exports=$(x86_64-w64-mingw32-objdump -p "$SCR" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk 'NR > 1 && /\]/ { print $NF }' | tr '\n' ' ')
check "exports ScreenSaverConfigureDialog and ScreenSaverProc ($exports)" [ "$exports" = "ScreenSaverConfigureDialog ScreenSaverProc " ]
size=$(stat -c %s "$SCR")
check "64-bit, at most 256 KiB ($size bytes)" \
  bash -c "x86_64-w64-mingw32-objdump -f '$SCR' | grep -q pei-x86-64 && [ $size -le 262144 ]"
fonts=$(x86_64-w64-mingw32-windres -i "$SCR" -O rc | grep -A4 'DIALOGEX' | grep -o 'FONT.*' | tr '\n' '|')
check "dialog 2003 asks for the default character set, the About box for ANSI ($fonts)" \
  [ "$fonts" = 'FONT 8, "Microsoft Sans Serif", 400, 0, 0|FONT 8, "MS Shell Dlg", 400, 0, 1|' ]
# Version strings are UTF-16 in the resources: strings -el reads them. Each
# file names the version as file and product version.
names() { strings -el "$1" | grep -xE "Quorvel|$version|GyrelSaver screen saver" | LC_ALL=C sort | uniq -c | tr -s ' \n' ' '; }
check "the setup names Quorvel and $version" [ "$(names "$setup")" = " 2 $version 2 Quorvel " ]
check "the saver names them and describes itself" [ "$(names "$SCR")" = " 2 $version 1 GyrelSaver screen saver 1 Quorvel " ]
check "README and CHANGELOG name $version" \
  bash -c "grep -q 'Version $version' '$source/README.md' && grep -m1 '^## ' '$source/CHANGELOG.md' | grep -q '$version'"
chm=$OUT/chm
rm -rf "$chm"
extract_chmLib "$BUILD/GyrelSaver.chm" "$chm" >/dev/null
pages="index speed curves background monitors install"
check "help pages $pages are there and in the contents" bash -c "cd '$chm' && for p in $pages; do [ -s \$p.html ] && grep -q \$p.html GyrelSaver.hhc || exit 1; done"
topics=$(awk '/^\.topic 100[1-9]$/ { getline; if (length) n++ } END { print n + 0 }' "$chm/HelpTopics.txt")
check "popup topics 1001 to 1009 each have a text ($topics)" [ "$topics" = 9 ]
finish
