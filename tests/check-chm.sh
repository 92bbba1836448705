#!/bin/sh
# Opens the built help file with an independent reader (libchm's
# extract_chmLib) and looks for every page and all eight popup topics.
set -u
chm=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
extract_chmLib "$chm" "$work" >/dev/null || { echo "FAIL cannot read $chm"; exit 1; }
for page in index.html speed.html curves.html background.html monitors.html install.html GyrelSaver.hhc HelpTopics.txt; do
  if [ -s "$work/$page" ]; then echo "ok   $page"; else echo "FAIL missing $page"; status=1; fi
done
for topic in 1001 1002 1003 1004 1005 1006 1007 1008 1009; do
  if grep -q "^\.topic $topic\$" "$work/HelpTopics.txt" 2>/dev/null && \
     [ -n "$(sed -n "/^\.topic $topic\$/{n;p;}" "$work/HelpTopics.txt")" ]; then
    echo "ok   topic $topic"
  else
    echo "FAIL topic $topic"; status=1
  fi
done
grep -q 'index.html' "$work/GyrelSaver.hhc" || { echo "FAIL contents do not list the pages"; status=1; }
exit $status
