#!/bin/bash
# What a release must be beyond its imports (checked apart): the dialog fonts,
# and a help file that an independent reader (libchm) opens, with every page
# and popup topic.
#   release-checks.sh BUILD_DIR SOURCE_DIR
source=$(cd "$2" && pwd)
. "$source/tests/e2e/lib.sh"
fonts=$(x86_64-w64-mingw32-windres -i "$SCR" -O rc | grep -A4 'DIALOGEX' | grep -o 'FONT.*' | tr '\n' '|')
check "dialog 2003 asks for the default character set, the About box for ANSI ($fonts)" \
  [ "$fonts" = 'FONT 8, "Microsoft Sans Serif", 400, 0, 0|FONT 8, "MS Shell Dlg", 400, 0, 1|' ]
chm=$OUT/chm
rm -rf "$chm"
extract_chmLib "$BUILD/GyrelSaver.chm" "$chm" >/dev/null
pages="index speed curves background monitors install"
check "help pages $pages are there and in the contents" bash -c "cd '$chm' && for p in $pages; do [ -s \$p.html ] && grep -q \$p.html GyrelSaver.hhc || exit 1; done"
topics=$(awk '/^\.topic 100[1-9]$/ { getline; if (length) n++ } END { print n + 0 }' "$chm/HelpTopics.txt")
check "popup topics 1001 to 1009 each have a text ($topics)" [ "$topics" = 9 ]
finish
