#!/bin/sh
# Fails when a Windows binary imports anything but system DLLs.
status=0
system_dlls='^(kernel32|user32|gdi32|advapi32|msvcrt|comctl32|msimg32|shell32|ole32|oleaut32|shlwapi|comdlg32|version|imm32|ws2_32|api-ms-win-.*|ucrtbase)\.dll$'
for binary in "$@"; do
  imports=$(x86_64-w64-mingw32-objdump -p "$binary" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
  for dll in $imports; do
    if ! echo "$dll" | grep -Eq "$system_dlls"; then
      echo "$binary imports non-system $dll"
      status=1
    fi
  done
  echo "$(basename "$binary"): $(echo $imports)"
done
exit $status
