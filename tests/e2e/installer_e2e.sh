#!/bin/bash
# The setup program under Wine: silent install, the installed saver running,
# silent uninstall, and what is left behind.
#   installer_e2e.sh BUILD_DIR   (inside scripts/wine-session.sh)
set -u
BUILD=$(cd "$1" && pwd)
OUT="$BUILD/e2e"
mkdir -p "$OUT"
. "$(dirname "$0")/lib.sh"
drive_c="$WINEPREFIX/drive_c"
system_scr="$drive_c/windows/system32/GyrelSaver.scr"
program_dir="$drive_c/Program Files/GyrelSaver"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\GyrelSaver'
desktop_key='HKCU\Control Panel\Desktop'
value_of() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'; }

reset_settings
echo "== silent install"
wine "$BUILD/GyrelSaver-Setup.exe" /S
check "setup exits 0 ($?)" true
check "the saver is in the 64-bit system directory" test -s "$system_scr"
check "the saver is the built one" cmp -s "$system_scr" "$BUILD/GyrelSaver.scr"
check "the help file is where the settings expect it" cmp -s "$program_dir/GyrelSaver.chm" "$BUILD/GyrelSaver.chm"
check "an uninstaller is there" test -s "$program_dir/Uninstall.exe"
check "Add/Remove Programs lists it" [ "$(value_of "$uninstall_key" DisplayName)" = GyrelSaver ]
check "publisher Quorvel" [ "$(value_of "$uninstall_key" Publisher)" = Quorvel ]
check "version $(head -1 "$(dirname "$0")/../../VERSION")" [ "$(value_of "$uninstall_key" DisplayVersion)" = "$(head -1 "$(dirname "$0")/../../VERSION")" ]
check "icon from the saver" grep -qi 'GyrelSaver.scr,0' <<<"$(value_of "$uninstall_key" DisplayIcon)"
size=$(value_of "$uninstall_key" EstimatedSize)
check "estimated size is given ($size)" [ -n "$size" ] && [ "$((size))" -gt 100 ]
check "it is the current screen saver" grep -qi 'system32\\GyrelSaver.scr' <<<"$(value_of "$desktop_key" SCRNSAVE.EXE)"
check "screen saving is on" [ "$(value_of "$desktop_key" ScreenSaveActive)" = 1 ]

echo "== the installed saver"
start_saver 'C:\windows\system32\GyrelSaver.scr' /s
check "runs full screen from the system directory" probe fullscreen
close_with xdotool click 1
check "and closes with 0 ($exit_status)" [ "$exit_status" = 0 ]
set_setting DrawSpeed 42 # the user's own setting

echo "== silent uninstall"
wine "C:\\Program Files\\GyrelSaver\\Uninstall.exe" /S
# The uninstaller runs from a copy in the temporary folder: wait for its work.
for _ in $(seq 1 100); do [ -e "$system_scr" ] || [ -e "$program_dir" ] || break; sleep 0.2; done
check "the saver is removed" test ! -e "$system_scr"
check "the program folder is removed" test ! -e "$program_dir"
check "the Add/Remove entry is removed" bash -c "! wine reg query '$uninstall_key' >/dev/null 2>&1"
check "the current-saver choice is removed" [ -z "$(value_of "$desktop_key" SCRNSAVE.EXE)" ]
check "the user's settings are kept (asked, silent answers keep)" [ "$(value_of "$settings_key" DrawSpeed)" = 0x2a ]
reset_settings

echo "$failures failures"
[ "$failures" = 0 ]
