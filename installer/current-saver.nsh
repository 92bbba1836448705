; Making GyrelSaver the current screen saver of the user running the program
; as the Display settings do: the registry values first, then the system is
; told, so the change holds without signing out. And the long form of a path,
; to recognise the saver however the choice was stored.
!include "LogicLib.nsh"

!define DESKTOP_KEY "Control Panel\Desktop"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATEINIFILE_SENDCHANGE 3

; The path is stored in its short (8.3) form, as the Display settings store it:
; the system's launcher could split a long one at a space ("C:\Users\Ann Lee\...").
; Where the volume keeps no short names, the long path.
!macro MakeCurrentSaver SAVER
  GetFullPathName /SHORT $R7 "${SAVER}"
  ${IfThen} $R7 == "" ${|} StrCpy $R7 "${SAVER}" ${|}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$R7"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATEINIFILE_SENDCHANGE})'
!macroend

; $R0 := the long form of the path in $R0 (unchanged when it names no file).
; Windows often stores the 8.3 short form of the current saver's path.
!macro LongPath
  System::Call 'kernel32::GetLongPathNameW(w R0, w .R9, i ${NSIS_MAX_STRLEN}) i .R8'
  ${If} $R8 <> 0
    StrCpy $R0 $R9
  ${EndIf}
!macroend
