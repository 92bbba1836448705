#!/bin/bash
# What a release must be: system DLL imports only, the two exports, a small
# 64-bit saver, the dialog fonts, version resources that agree with VERSION,
# and a help file that an independent reader (libchm) opens, with every page
# and popup topic.
#   release-checks.sh BUILD_DIR SOURCE_DIR
source=$(cd "$2" && pwd)
. "$source/tests/e2e/lib.sh"
setup="$BUILD/GyrelSaver-Setup.exe"
version=$(head -1 "$source/VERSION")
check "system DLLs only" "$source/scripts/check-imports.sh" "$SCR" "$setup"
exports=$(x86_64-w64-mingw32-objdump -p "$SCR" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk 'NR > 1 && /\]/ { print $NF }' | tr '\n' ' ')
check "exports ScreenSaverConfigureDialog and ScreenSaverProc ($exports)" [ "$exports" = "ScreenSaverConfigureDialog ScreenSaverProc " ]
size=$(stat -c %s "$SCR")
check "64-bit, at most 256 KiB ($size bytes)" \
  bash -c "x86_64-w64-mingw32-objdump -f '$SCR' | grep -q pei-x86-64 && [ $size -le 262144 ]"
fonts=$(x86_64-w64-mingw32-windres -i "$SCR" -O rc | grep -A4 'DIALOGEX' | grep -o 'FONT.*' | tr '\n' '|')
check "dialog 2003 asks for the default character set, the About box for ANSI ($fonts)" \
  [ "$fonts" = 'FONT 8, "Microsoft Sans Serif", 400, 0, 0|FONT 8, "MS Shell Dlg", 400, 0, 1|' ]
# Version strings are UTF-16 in the resources: strings -el reads them.
setup_strings=$(strings -el "$setup")
scr_strings=$(strings -el "$SCR")
names() { grep -xE "Quorvel|$version|GyrelSaver screen saver" <<<"$1" | LC_ALL=C sort -u | tr '\n' '|'; }
check "the setup names Quorvel and $version" [ "$(names "$setup_strings")" = "$version|Quorvel|" ]
check "the saver names them and describes itself" [ "$(names "$scr_strings")" = "$version|GyrelSaver screen saver|Quorvel|" ]
versions=$(grep -cx "$version" <<<"$scr_strings")
check "the saver names $version as file and product version ($versions)" [ "$versions" -ge 2 ]
check "README and CHANGELOG name $version" \
  bash -c "grep -q 'Version $version' '$source/README.md' && grep -m1 '^## ' '$source/CHANGELOG.md' | grep -q '$version'"
chm=$OUT/chm
rm -rf "$chm"
extract_chmLib "$BUILD/GyrelSaver.chm" "$chm" >/dev/null
for page in index speed curves background monitors install; do
  check "help page $page is there and in the contents" \
    bash -c "[ -s '$chm/$page.html' ] && grep -q '$page.html' '$chm/GyrelSaver.hhc'"
done
topics=$(awk '/^\.topic 100[1-9]$/ { getline; if (length) n++ } END { print n + 0 }' "$chm/HelpTopics.txt")
check "popup topics 1001 to 1009 each have a text ($topics)" [ "$topics" = 9 ]
finish
