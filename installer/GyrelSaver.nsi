; GyrelSaver setup: a 64-bit NSIS installer built on Linux with makensis.
;   makensis -DVERSION=x.y.z -DBUILD_DIR=<windows build tree> -DOUTFILE=<setup.exe> GyrelSaver.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define PRODUCT "GyrelSaver"
!define PUBLISHER "Quorvel"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\GyrelSaver"
!define SETTINGS_KEY "Software\Quorvel\GyrelSaver"
!define DESKTOP_KEY "Control Panel\Desktop"

Name "${PRODUCT} ${VERSION}"
; Setup and uninstaller are signed when scripts/sign.sh is given a certificate.
!finalize '"${SOURCE_DIR}/scripts/sign.sh" "%1"' = 0
!uninstfinalize '"${SOURCE_DIR}/scripts/sign.sh" "%1"' = 0
OutFile "${OUTFILE}"
; The help file's path is the one the settings use by default.
InstallDir "$PROGRAMFILES64\GyrelSaver"
RequestExecutionLevel admin
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

; Our own look: the product icon on setup and uninstaller, a trochoid on the
; saver's gradient on the welcome and finish pages (scripts/make-setup-art.py),
; the product's badge in the header, and our name in the branding line.
BrandingText "${PRODUCT} ${VERSION}"
!define MUI_ICON "${SOURCE_DIR}\resources\gyrel.ico"
!define MUI_UNICON "${SOURCE_DIR}\resources\gyrel.ico"
!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_RIGHT
!define MUI_HEADERIMAGE_BITMAP "${SOURCE_DIR}\resources\setup-header.bmp"
!define MUI_HEADERIMAGE_UNBITMAP "${SOURCE_DIR}\resources\setup-header.bmp"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${SOURCE_DIR}\resources\setup-welcome.bmp"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${SOURCE_DIR}\resources\setup-welcome.bmp"
!define MUI_WELCOMEPAGE_TITLE "Welcome to ${PRODUCT} ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "This will install ${PRODUCT}, a screen saver that grows trochoid curves on a drifting colour gradient.$\r$\n$\r$\nClick Next to continue."
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "${PRODUCT} is installed"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Open the screen-saver settings"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_WELCOME
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH
!insertmacro MUI_LANGUAGE "English"

Section "GyrelSaver screen saver (required)" SecSaver
  SectionIn RO
  ; A 64-bit installer writes to the 64-bit system directory directly,
  ; where Windows looks for screen savers.
  SetOutPath "$SYSDIR"
  File "${BUILD_DIR}\GyrelSaver.scr"
  SetOutPath "$INSTDIR"
  File "${BUILD_DIR}\GyrelSaver.chm"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  SetRegView 64
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\GyrelSaver.scr,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  ${GetSize} "$SYSDIR" "/M=GyrelSaver.scr /S=0K /G=0" $3 $1 $2
  IntOp $0 $0 + $3
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Make GyrelSaver the current screen saver" SecCurrent
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\GyrelSaver.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
SectionEnd

; The screen-saver settings exist only where the system has its display
; control panel; elsewhere the finish page offers nothing to open.
Function OpenScreenSaverSettings
  ${If} ${FileExists} "$SYSDIR\desk.cpl"
    Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetRegView 64
  Delete "$SYSDIR\GyrelSaver.scr"
  Delete "$INSTDIR\GyrelSaver.chm"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ; Forget the current-saver choice only when it is this saver.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${GetFileName} "$0" $1
  ${If} $1 == "GyrelSaver.scr"
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "0"
  ${EndIf}

  ; The settings are the user's: ask, and keep them when nobody answers.
  MessageBox MB_YESNO|MB_ICONQUESTION "Delete your GyrelSaver settings too?" /SD IDNO IDNO keep
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Quorvel"
  keep:
SectionEnd
