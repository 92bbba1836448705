#!/bin/bash
# What a release must be beyond its imports (checked apart): the two exports, a
# small 64-bit saver, the dialog fonts, version resources that agree with
# VERSION, and a help file that an independent reader (libchm) opens, with
# every page and popup topic.
#   release-checks.sh BUILD_DIR SOURCE_DIR
source=$(cd "$2" && pwd)
. "$source/tests/e2e/lib.sh"
version=$(head -1 "$source/VERSION")
exports=$(x86_64-w64-mingw32-objdump -p "$SCR" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk 'NR > 1 && /\]/ { print $NF }' | tr '\n' ' ')
size=$(stat -c %s "$SCR")
check "exports ScreenSaverConfigureDialog and ScreenSaverProc ($exports); 64-bit, at most 256 KiB ($size bytes)" \
  bash -c "[ '$exports' = 'ScreenSaverConfigureDialog ScreenSaverProc ' ] && x86_64-w64-mingw32-objdump -f '$SCR' | grep -q pei-x86-64 && [ $size -le 262144 ]"
fonts=$(x86_64-w64-mingw32-windres -i "$SCR" -O rc | grep -A4 'DIALOGEX' | grep -o 'FONT.*' | tr '\n' '|')
check "dialog 2003 asks for the default character set, the About box for ANSI ($fonts)" \
  [ "$fonts" = 'FONT 8, "Microsoft Sans Serif", 400, 0, 0|FONT 8, "MS Shell Dlg", 400, 0, 1|' ]
# Version strings are UTF-16 in the resources (strings -el reads them); the file
# and the product version each name the version.
names() { strings -el "$1" | grep -xE "Quorvel|$version|GyrelSaver screen saver" | LC_ALL=C sort | uniq -c | tr -s ' \n' ' '; }
check "the saver and the setup name $version and Quorvel, the saver describes itself" \
  [ "$(names "$SCR")/$(names "$BUILD/GyrelSaver-Setup.exe")" = " 2 $version 1 GyrelSaver screen saver 1 Quorvel / 2 $version 2 Quorvel " ]
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
