#!/bin/bash
# The release's files (exports, size, fonts, version resources, the help file as libchm
# reads it); the setup under Wine, signed with a throwaway certificate whose key has a
# password, installed for all users and then for one, each saver opening its help,
# each uninstalled with the current saver stored in its short form.
#   installer_e2e.sh BUILD_DIR SOURCE_DIR   (inside scripts/wine-session.sh)
source=$(cd "$2" && pwd)
. "$source/tests/e2e/lib.sh"
version=$(head -1 "$source/VERSION")
system_scr="$WINEPREFIX/drive_c/windows/system32/GyrelSaver.scr"
program_dir="$WINEPREFIX/drive_c/Program Files/GyrelSaver"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\GyrelSaver'
desktop_key='HKCU\Control Panel\Desktop'
value_of() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v n="$2" '$1 == n { $1 = $2 = ""; sub(/^ +/, ""); print }'; }
signed() { # valid signatures over the whole files, untrusted without the CA file
  for file; do osslsigncode verify -CAfile "$OUT/cert.pem" -in "$file" 2>&1 | grep -q 'Signature verification: ok' &&
    ! osslsigncode verify -in "$file" >/dev/null 2>&1 || return 1; done; }
# help_viewer SCR [DLL_OVERRIDES]: SCR /c, Help pressed from the keyboard (the
# focus starts on OK, Help is two back): does the help viewer show? Both go.
help_viewer() {
  WINEDLLOVERRIDES=${2:-} wine "$1" /c &
  local dialog=$(x_window 'Configure GyrelSaver Screensaver') viewer
  xdotool key shift+Tab shift+Tab space && viewer=$(x_window 'GyrelSaver Help')
  xdotool windowkill "$dialog" && [ -n "$viewer" ]
}
reset_settings
# told() PROGRAM ARGS...: runs it beside a window that notes the system's broadcasts;
# whether the screen-saver setting's change (17) reached it.
told() {
  export GYREL_DOUBLE_LOG="$OUT/settings.log" && rm -f "$GYREL_DOUBLE_LOG"
  wine "$BUILD/doubles/setting_listener.exe" 6 & local listener=$!
  sleep 1.5; wine "$@"; wait $listener
  tr -d '\r' <"$GYREL_DOUBLE_LOG" 2>/dev/null | grep -qx "setting 17"
}

exports=$(x86_64-w64-mingw32-objdump -p "$SCR" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk 'NR > 1 && /\]/ { print $NF }' | tr '\n' ' ')
size=$(stat -c %s "$SCR")
check "exports ScreenSaverConfigureDialog and ScreenSaverProc ($exports); 64-bit, under 256 KiB ($size bytes)" \
  bash -c "[ '$exports' = 'ScreenSaverConfigureDialog ScreenSaverProc ' ] && x86_64-w64-mingw32-objdump -f '$SCR' | grep -q pei-x86-64 && [ $size -lt 262144 ]"
fonts=$(x86_64-w64-mingw32-windres -i "$SCR" -O rc | grep -A4 'DIALOGEX' | grep -o 'FONT.*' | tr '\n' '|')
check "dialog 2003 asks for the default character set, the About box for ANSI ($fonts)" \
  [ "$fonts" = 'FONT 8, "Microsoft Sans Serif", 400, 0, 0|FONT 8, "MS Shell Dlg", 400, 0, 1|' ]
# Version strings are UTF-16 (strings -el); the file and product versions each name it.
names() { strings -el "$1" | grep -xE "Quorvel|$version|GyrelSaver screen saver" | LC_ALL=C sort | uniq -c | tr -s ' \n' ' '; }
check "the saver, the setup, README and CHANGELOG name $version; the saver and setup Quorvel; the saver describes itself" \
  eval '[ "$(names "$SCR")/$(names "$BUILD/GyrelSaver-Setup.exe")" = " 2 $version 1 GyrelSaver screen saver 1 Quorvel / 2 $version 2 Quorvel " ] && grep -q "Version $version" "$source/README.md" && grep "^## " "$source/CHANGELOG.md" | grep -v -m1 "^## Unreleased" | grep -q "$version"'
chm=$OUT/chm && rm -rf "$chm" && extract_chmLib "$BUILD/GyrelSaver.chm" "$chm" >/dev/null
pages="index speed curves background monitors install managed"
check "help pages $pages are there and in the contents" bash -c "cd '$chm' && for p in $pages; do [ -s \$p.html ] && grep -q \$p.html GyrelSaver.hhc || exit 1; done"
topics=$(awk '/^\.topic 10(0[1-9]|1[01])$/ { getline; if (length) n++ } END { print n + 0 }' "$chm/HelpTopics.txt")
check "popup topics 1001 to 1011 each have a text ($topics)" [ "$topics" = 11 ]

openssl req -x509 -newkey rsa:2048 -passout pass:test-only -subj "/CN=GyrelSaver test" -days 2 \
  -keyout "$OUT/key.pem" -out "$OUT/cert.pem" 2>/dev/null
export GYREL_SIGN_CERT="$OUT/cert.pem" GYREL_SIGN_KEY="$OUT/key.pem" GYREL_SIGN_PASS=test-only
cp "$SCR" "$OUT/GyrelSaver.scr" && "$source/scripts/sign.sh" "$OUT/GyrelSaver.scr"
makensis -V1 -DVERSION="$version" -DBUILD_DIR="$BUILD" -DSOURCE_DIR="$source" \
  -DOUTFILE="$OUT/setup.exe" "$source/installer/GyrelSaver.nsi"
check "the saver and the setup are signed" signed "$OUT/GyrelSaver.scr" "$OUT/setup.exe"

# All users (what /S picks for an administrator): the system folder and Program
# Files; the administrator's own HKCU is not made the user's.
wine "$OUT/setup.exe" /S
check "the saver and help file are where the settings expect them, the signed uninstaller beside" \
  eval 'cmp "$system_scr" "$SCR" && cmp "$program_dir/GyrelSaver.chm" "$BUILD/GyrelSaver.chm" && signed "$program_dir/Uninstall.exe"'
listed=$({ for v in DisplayName Publisher DisplayVersion DisplayIcon EstimatedSize; do value_of "$uninstall_key" $v; done
  echo "current=$(value_of "$desktop_key" SCRNSAVE.EXE)"; } | tr '\n' '|')
check "listed in Add/Remove Programs with icon and size; not made the installing account's saver ($listed)" \
  grep -qix "GyrelSaver|Quorvel|$version|.*system32.GyrelSaver.scr,0|0x[0-9a-f]*|current=|" <<<"$listed"
# Help from the installed saver; then from a copy beside a planted hhctrl.ocx while the
# registered control cannot be loaded (and Wine is told to search for a native one):
# the system's copy opens the help, the planted one is never run.
check "the installed saver's Help button opens the help viewer" help_viewer 'C:\windows\system32\GyrelSaver.scr'
mkdir -p "$OUT/planted" && cp "$SCR" "$OUT/planted/" && cp "$BUILD/doubles/planted_dll.dll" "$OUT/planted/hhctrl.ocx"
control='HKCR\CLSID\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\InprocServer32'
registered=$(wine reg query "$control" /ve | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
wine reg add "$control" /ve /d 'C:\nowhere\hhctrl.ocx' /f >/dev/null 2>&1
export GYREL_DOUBLE_LOG="$OUT/planted/double.log" && rm -f "$GYREL_DOUBLE_LOG"
check "with a planted hhctrl.ocx Help opens the system's viewer, never the planted one" \
  eval 'help_viewer "$(winepath -w "$OUT/planted/GyrelSaver.scr")" hhctrl.ocx=n,b && [ ! -e "$GYREL_DOUBLE_LOG" ]'
wine reg add "$control" /ve /d "$registered" /f >/dev/null 2>&1
# The fleet package (built here, signed; and an older one) refuses beside the setup's install.
"$source/scripts/build-msi.sh" "$version" "$BUILD" "$source" "$OUT/GyrelSaver.msi"
"$source/scripts/build-msi.sh" 0.9.0 "$BUILD" "$source" "$OUT/old.msi"
"$source/scripts/build-msi.sh" "$version" "$BUILD" "$source" "$OUT/again.msi" # a rebuild
package_key() { wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' |
  awk '/^HKEY/ { key = $0 } /DisplayName +REG_SZ +GyrelSaver$/ && key !~ /GyrelSaver$/ { print key }'; }
wine msiexec /i "$OUT/GyrelSaver.msi" /qn; status=$?
check "the package is signed; it refuses while the setup's all-users install is there (exit $status)" \
  eval 'signed "$OUT/GyrelSaver.msi" && [ $status != 0 ] && [ -z "$(package_key)" ] && [ -e "$program_dir/Uninstall.exe" ]'
set_settings DrawSpeed=42 # the user's own setting
# The user chose it in the Display settings, which stored the short form.
set_current() { stored=$(short_path "$1") && wine reg add "$desktop_key" /v SCRNSAVE.EXE /d "$stored" /f >/dev/null 2>&1; }
short_path() { # the folder's short form from cmd, the file's from dir /x
  printf '%s\\%s' "$(wine cmd /c "for %I in (${1%\\*}) do @echo %~sI" | tr -d '\r')" \
    "$(wine cmd /c "dir /x $1" | tr -d '\r' | awk -v n="${1##*\\}" '$NF == n { print $(NF - 1) }')"
}
set_current 'C:\windows\system32\GyrelSaver.scr'
# Two other users signed in: one chose this saver, one another.
other_desktop() { echo "HKU\\S-1-5-21-1-2-3-$1\\Control Panel\\Desktop"; }
wine reg add "$(other_desktop 1001)" /v SCRNSAVE.EXE /d "$stored" /f >/dev/null 2>&1
wine reg add "$(other_desktop 1002)" /v SCRNSAVE.EXE /d 'C:\windows\system32\other.scr' /f >/dev/null 2>&1
told "C:\\Program Files\\GyrelSaver\\Uninstall.exe" /AllUsers /S; told_all=$?
gone() { for _ in $(seq 1 100); do [ -e "$1" ] || break; sleep 0.2; done; sleep 0.5; } # the uninstaller's copy at work
gone "$program_dir"
check "saver, folder, Add/Remove entry and the current-saver choice (stored as $stored) removed, the system told ($told_all); the user's settings kept" \
  bash -c "[ $told_all = 0 ] && [[ '$stored' == *~* ]] && [ ! -e '$program_dir' ] && [ ! -e '$system_scr' ] && ! wine reg query '$uninstall_key' >/dev/null 2>&1 && [ -z '$(value_of "$desktop_key" SCRNSAVE.EXE)' ] && [ '$(value_of "$settings_key" DrawSpeed)' = 0x2a ]"
others=$(for u in 1001 1002; do printf '%s ' "$(value_of "$(other_desktop $u)" SCRNSAVE.EXE)"; done)
check "the other signed-in users: this saver forgotten, another kept ($others)" \
  [ "$others" = ' C:\windows\system32\other.scr ' ]
wine reg delete 'HKU\S-1-5-21-1-2-3-1001' /f >/dev/null 2>&1; wine reg delete 'HKU\S-1-5-21-1-2-3-1002' /f >/dev/null 2>&1

user=$(id -un) # where a per-user install goes
user_dir="$WINEPREFIX/drive_c/users/$user/AppData/Local/Programs/GyrelSaver"
user_scr_w="C:\\users\\$user\\AppData\\Local\\Programs\\GyrelSaver\\GyrelSaver.scr"
menu="$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/GyrelSaver"
user_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\GyrelSaver'

# The fleet package, silently: it replaces an older one and a same-version rebuild replaces it,
# one entry recording its folder; it chooses nobody's saver, writes nothing under HKCU, refuses
# to go back, keeps the setup's all-users install out (exit 2 with /S), and goes whole.
wine msiexec /i "$OUT/old.msi" /qn && wine msiexec /i "$OUT/GyrelSaver.msi" /qn && wine msiexec /i "$OUT/again.msi" /qn
key=$(package_key)
# (Wine's installer writes no DisplayIcon: the package's own tables name the icon.)
listed=$({ for v in DisplayVersion Publisher HelpLink NoModify NoRepair InstallLocation; do value_of "$key" $v; done
  echo "icon=$(msiinfo export "$OUT/GyrelSaver.msi" Property | grep -c "^ARPPRODUCTICON	GyrelIcon.ico") scr=$(msiinfo export "$OUT/again.msi" File | cut -f1,5 | grep -c "^GyrelSaver.scr	$version.0")"; } | tr '\n' '|')
check "package: one entry ($(wc -l <<<"$key")) with $listed; saver and help in place" \
  eval '[ $(wc -l <<<"$key") = 1 ] && [ "$listed" = "$version|Quorvel|https://www.quorvel.com/GyrelSaver|0x1|0x1|C:\\Program Files\\GyrelSaver\\|icon=1 scr=1|" ] && cmp "$system_scr" "$SCR" && cmp "$program_dir/GyrelSaver.chm" "$BUILD/GyrelSaver.chm"'
check "package: nobody's saver chosen, nothing under HKCU" \
  eval '[ -z "$(value_of "$desktop_key" SCRNSAVE.EXE)" ] && ! wine reg query "HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\GyrelSaver" >/dev/null 2>&1'
start_saver 'C:\windows\system32\GyrelSaver.scr' /s
close_with key alt+x
check "package: its saver runs full screen and closes ($exit_status)" [ "$exit_status" = 0 ]
wine msiexec /i "$OUT/old.msi" /qn; downgrade=$?
wine "$OUT/setup.exe" /S /AllUsers; beside=$?
check "package: an older one is refused (exit $downgrade); the setup for all users exits $beside, the package whole" \
  eval '[ $downgrade != 0 ] && [ $beside = 2 ] && [ "$(value_of "$key" DisplayVersion)" = "$version" ] && cmp "$system_scr" "$SCR" && ! wine reg query "$uninstall_key" >/dev/null 2>&1'
# Beside the package a per-user install comes and goes. Its uninstaller, with no record of its
# folder (as an administrator running another's finds it), removes that install alone.
wine "$OUT/setup.exe" /S /CurrentUser; beside_user=$?
wine reg delete "$user_key" /v InstallLocation /f >/dev/null 2>&1
wine "${user_scr_w%\\*}\\Uninstall.exe" /S
gone "$user_dir"
check "package: a per-user install beside it (exit $beside_user), its uninstaller with no record of its folder removing that install alone; the package whole" \
  eval '[ $beside_user = 0 ] && [ ! -e "$user_dir" ] && cmp "$system_scr" "$SCR" && cmp "$program_dir/GyrelSaver.chm" "$BUILD/GyrelSaver.chm" && [ "$(value_of "$key" DisplayVersion)" = "$version" ]'
wine reg delete "$user_key" /f >/dev/null 2>&1; rm -rf "$menu"
# Its launch condition keeps the setup's all-users install out, never its own removal.
wine reg add "$uninstall_key" /v UninstallString /d unused /f >/dev/null 2>&1
wine msiexec /x "$OUT/again.msi" /qn
check "package: removed silently, saver, help and entry, also where the setup's all-users entry is" \
  eval '[ ! -e "$system_scr" ] && [ ! -e "$program_dir" ] && [ -z "$(package_key)" ]'
wine reg delete "$uninstall_key" /f >/dev/null 2>&1

# One user, no administrator: the user's programs folder, HKCU, the Start menu.
wine "$OUT/setup.exe" /S /CurrentUser
user_scr_short=$(winepath -s "$user_scr_w" | tr -d '\r') # how the current saver is stored: no space to split at
check "one user: saver, help, uninstaller and Start-menu entries in the user's folders, listed for the user apart, made current ($user_scr_short)" \
  bash -c "cmp '$user_dir/GyrelSaver.scr' '$SCR' && test -s '$user_dir/GyrelSaver.chm' && test -s '$user_dir/Uninstall.exe' && test -s '$menu/GyrelSaver Settings.lnk' && test -s '$menu/Make GyrelSaver my screen saver.lnk' && [ '$(value_of "$user_key" UninstallString)' = '\"${user_scr_w%\\*}\\Uninstall.exe\" /CurrentUser' ] && [ '$(value_of "$user_key" DisplayName)' = 'GyrelSaver (just for me)' ] && [[ '$user_scr_short' == *~* ]] && [ '$(value_of "$desktop_key" SCRNSAVE.EXE)' = '$user_scr_short' ] && [ ! -e '$system_scr' ]"
check "the per-user saver's Help finds the help beside it" help_viewer "$user_scr_w"
wine reg add "$desktop_key" /v SCRNSAVE.EXE /d 'C:\windows\system32\other.scr' /f >/dev/null 2>&1
told "${user_scr_w%\\*}\\MakeCurrent.exe" /S; told_current=$?
check "its Start-menu program makes it the current saver again ($(value_of "$desktop_key" SCRNSAVE.EXE)), telling the system" \
  [ "$(value_of "$desktop_key" SCRNSAVE.EXE)/$(value_of "$desktop_key" ScreenSaveActive)/$told_current" = "$user_scr_short/1/0" ]
set_current "$user_scr_w"
# Uninstalled as a user would: Next, Uninstall, Yes to deleting the settings, Finish.
wine "${user_scr_w%\\*}\\Uninstall.exe" /CurrentUser &
timeout 15 xdotool search --sync --name "GyrelSaver.*Uninstall" >/dev/null
for _ in $(seq 1 20); do # Return takes the default button of each page until the window goes
  sleep 1.5; xdotool search --name "GyrelSaver.*Uninstall" >/dev/null || break; xdotool key Return
done
gone "$user_dir"
check "one user: files, entries and the current-saver choice (stored as $stored) removed; settings deleted as asked" \
  bash -c "[[ '$stored' == *~* ]] && [ ! -e '$user_dir' ] && [ ! -e '$menu' ] && ! wine reg query '$user_key' >/dev/null 2>&1 && [ -z '$(value_of "$desktop_key" SCRNSAVE.EXE)' ] && ! wine reg query '$settings_key' >/dev/null 2>&1"

# Both installs at once: each uninstaller, run as it is (no switch, by an administrator),
# removes the install it lives in and leaves the other whole.
wine "$OUT/setup.exe" /S /CurrentUser && wine "$OUT/setup.exe" /S /AllUsers
told "C:\\Program Files\\GyrelSaver\\Uninstall.exe" /S; told_other=$?
gone "$program_dir"
check "the all-users uninstaller removes the all-users install, not telling the system of a choice it kept ($told_other); the user's stays whole" \
  eval '[ $told_other = 1 ] && [ ! -e "$system_scr" ] && ! wine reg query "$uninstall_key" >/dev/null 2>&1 && cmp "$user_dir/GyrelSaver.scr" "$SCR" && [ -n "$(value_of "$user_key" UninstallString)" ] && [ "$(value_of "$desktop_key" SCRNSAVE.EXE)" = "$user_scr_short" ]'
wine "$OUT/setup.exe" /S /AllUsers
told "${user_scr_w%\\*}\\Uninstall.exe" /S; told_gone=$?
gone "$user_dir"
check "the user's uninstaller removes the user's install and choice (telling the system: $told_gone); the all-users one stays whole" \
  eval '[ $told_gone = 0 ] && [ ! -e "$user_dir" ] && [ -z "$(value_of "$user_key" UninstallString)" ] && [ -z "$(value_of "$desktop_key" SCRNSAVE.EXE)" ] && cmp "$system_scr" "$SCR" && [ "$(value_of "$uninstall_key" DisplayName)" = GyrelSaver ]'
wine "C:\\Program Files\\GyrelSaver\\Uninstall.exe" /S
gone "$program_dir"

# The finish page, installed as a person would (Return on each page): for one user it
# offers to open the screen-saver settings; elevated for all users it would open the
# administrator's, and offers none.
finish_page() { # finish_page /AllUsers|/CurrentUser: the finish page's texts, then Finish
  wine "$OUT/setup.exe" "$1" & local setup=$! texts=
  timeout 15 xdotool search --sync --name "GyrelSaver" >/dev/null
  for _ in $(seq 1 12); do
    sleep 1.5; texts=$(wine "$BUILD/doubles/window_texts.exe" GyrelSaver | tr -d '\r')
    grep -q "is installed" <<<"$texts" && break; xdotool key Return
  done
  xdotool key Return; wait $setup; echo "$texts"
}
offers() { finish_page "$1" | grep -c "Open the screen-saver settings"; }
one=$(offers /CurrentUser) all=$(offers /AllUsers)
check "the finish page offers the screen-saver settings for one user ($one), none for all users ($all)" \
  [ "$one/$all" = 1/0 ]
wine "${user_scr_w%\\*}\\Uninstall.exe" /S && wine "C:\\Program Files\\GyrelSaver\\Uninstall.exe" /S
gone "$program_dir"; gone "$user_dir"
reset_settings
finish
