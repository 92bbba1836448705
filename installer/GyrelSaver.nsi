; GyrelSaver setup: a 64-bit NSIS installer built on Linux with makensis.
;   makensis -DVERSION=x.y.z -DBUILD_DIR=<windows build tree> -DOUTFILE=<setup.exe> GyrelSaver.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

; Two ways to install, as the installer system's multi-user support offers
; them (/AllUsers, /CurrentUser on the command line): for all users (system
; folder, Program Files, an administrator) or for the current user alone
; (the user's own programs folder, no administrator), the choice of a user
; who is not an administrator.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "GyrelSaver"
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_FUNCTION ModeChosen
!define MULTIUSER_INSTALLMODE_UNFUNCTION un.ModeChosen
!include "MultiUser.nsh"
!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "${SOURCE_DIR}\installer\current-saver.nsh"

!define PRODUCT "GyrelSaver"
!define PUBLISHER "Quorvel"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\GyrelSaver"
!define SETTINGS_KEY "Software\Quorvel\GyrelSaver"
!define START_MENU "$SMPROGRAMS\GyrelSaver"
; The fleet package's (GyrelSaver.wxs): while it is installed it owns the
; saver's place in the system folder, and an all-users setup refuses.
!define PACKAGE_UPGRADE_CODE "{C64D8407-178B-4AEA-8BA4-4ADD02CF4A0A}"
Var FinishText ; the finish page's, by install mode
Var OwnEntry     ; uninstalling: 1 when an entry records this uninstaller's folder
Var PackageThere ; uninstalling: 1 when the fleet package is installed

Name "${PRODUCT} ${VERSION}"
; Setup and uninstaller are signed when scripts/sign.sh is given a certificate.
!finalize '"${SOURCE_DIR}/scripts/sign.sh" "%1"' = 0
!uninstfinalize '"${SOURCE_DIR}/scripts/sign.sh" "%1"' = 0
OutFile "${OUTFILE}"
; For all users the help file's path is the one the settings use by default;
; the saver finds it in the folder the setup records otherwise.
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
!define MULTIUSER_INSTALLMODEPAGE_TEXT_TOP "Install GyrelSaver for everyone who uses this computer (needs an administrator) or only for you. Installed only for you, GyrelSaver is not in the Screen Saver Settings list: the Start menu has entries for its settings and for making it your screen saver."
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE ModePageLeave
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "${PRODUCT} is installed"
!define MUI_FINISHPAGE_TEXT "$FinishText"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Open the screen-saver settings"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_WELCOME
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH
!insertmacro MUI_LANGUAGE "English"

Var SaverFile ; where the saver goes: the system folder, or beside the help for one user

Section "GyrelSaver screen saver (required)" SecSaver
  SectionIn RO
  ${If} $MultiUser.InstallMode == AllUsers
    ; A 64-bit installer writes to the 64-bit system directory directly,
    ; where Windows looks for screen savers.
    SetOutPath "$SYSDIR"
  ${Else}
    SetOutPath "$INSTDIR"
  ${EndIf}
  File "${BUILD_DIR}\GyrelSaver.scr"
  StrCpy $SaverFile "$OUTDIR\GyrelSaver.scr"
  SetOutPath "$INSTDIR"
  File "${BUILD_DIR}\GyrelSaver.chm"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ${If} $MultiUser.InstallMode == CurrentUser
    File "${BUILD_DIR}\MakeCurrent.exe"
    CreateDirectory "${START_MENU}"
    CreateShortcut "${START_MENU}\GyrelSaver Settings.lnk" "$SaverFile" "/c" "$SaverFile" 0
    CreateShortcut "${START_MENU}\Make GyrelSaver my screen saver.lnk" "$INSTDIR\MakeCurrent.exe" "" "$SaverFile" 0
  ${EndIf}

  ; SHCTX: HKLM for all users, HKCU for one.
  SetRegView 64
  ; Both installs may be there: the user can tell the entries apart.
  ${If} $MultiUser.InstallMode == AllUsers
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  ${Else}
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} (just for me)"
  ${EndIf}
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$SaverFile,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  ${If} $MultiUser.InstallMode == AllUsers
    ${GetSize} "$SYSDIR" "/M=GyrelSaver.scr /S=0K /G=0" $3 $1 $2
    IntOp $0 $0 + $3
  ${EndIf}
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Only for one user: an elevated setup's HKEY_CURRENT_USER is the
; administrator's, not the user's.
Section "Make GyrelSaver my current screen saver" SecCurrent
  !insertmacro MakeCurrentSaver "$SaverFile"
SectionEnd

Function .onInit
  !insertmacro MULTIUSER_INIT
  ${If} ${Silent}
    Call PackageInstalled
    ${If} $0 == 1
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

; $0 = 1 when installing for all users while the fleet package is installed
; (after a message saying so).
Function PackageInstalled
  StrCpy $0 0
  ${If} $MultiUser.InstallMode == AllUsers
    System::Call 'msi::MsiEnumRelatedProductsW(w "${PACKAGE_UPGRADE_CODE}", i 0, i 0, w .r1) i .r2'
    ${If} $2 == 0
      MessageBox MB_OK|MB_ICONSTOP "GyrelSaver is installed for all users by its Windows Installer package (GyrelSaver-${VERSION}-x64.msi). Remove that first, or install GyrelSaver only for you." /SD IDOK
      StrCpy $0 1
    ${EndIf}
  ${EndIf}
FunctionEnd

Function ModePageLeave
  Call PackageInstalled
  ${IfThen} $0 == 1 ${|} Abort ${|} ; stays on the page: "only for me" still can be chosen
FunctionEnd

; Called whenever the mode is chosen, from the command line or the page.
Function ModeChosen
  ${If} $MultiUser.InstallMode == AllUsers
    SectionSetFlags ${SecCurrent} 0
    SectionSetText ${SecCurrent} "" ; hidden
    StrCpy $FinishText "${PRODUCT} is installed for every user of this computer. To use it, choose GyrelSaver in the Screen Saver Settings (Settings, Personalization, Lock screen, Screen saver)."
  ${Else}
    StrCpy $FinishText "${PRODUCT} is installed for you. The Start menu's GyrelSaver folder has its settings and makes it your screen saver again after you chose another."
    SectionSetFlags ${SecCurrent} ${SF_SELECTED}
    SectionSetText ${SecCurrent} "Make GyrelSaver my current screen saver"
  ${EndIf}
FunctionEnd

; Run elevated over the shoulder of another user, the all-users setup would
; open the administrator's screen-saver settings: it offers none.
Function FinishShow
  ${If} $MultiUser.InstallMode == AllUsers
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
  ${EndIf}
FunctionEnd

; The screen-saver settings exist only where the system has its display
; control panel; elsewhere the finish page offers nothing to open.
Function OpenScreenSaverSettings
  ${If} ${FileExists} "$SYSDIR\desk.cpl"
    Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
  ; The install is the one this uninstaller lives in, whoever runs it: an
  ; administrator running a per-user uninstaller removes that install alone.
  SetRegView 64
  StrCpy $OwnEntry 1
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ; (The uninstaller runs from a copy elsewhere; $INSTDIR is the folder it came from.)
  ${If} $0 != ""
  ${AndIf} $0 == $INSTDIR
    Call un.MultiUser.InstallMode.CurrentUser
  ${ElseIf} $1 != ""
  ${AndIf} $1 == $INSTDIR
    Call un.AllUsersOnly
  ${Else}
    ; No entry records this folder (its record gone, or the entry another
    ; user's): the folder tells the install. Program Files or the system
    ; folder is the all-users install; anywhere else, the one in that folder.
    StrCpy $OwnEntry 0
    StrLen $2 $PROGRAMFILES64
    StrCpy $3 $INSTDIR $2
    StrLen $2 $SYSDIR
    StrCpy $4 $INSTDIR $2
    ${If} $3 == $PROGRAMFILES64
    ${OrIf} $4 == $SYSDIR
      Call un.AllUsersOnly
    ${Else}
      Call un.MultiUser.InstallMode.CurrentUser
    ${EndIf}
  ${EndIf}
  ; The fleet package's files are its own: an uninstaller never removes them.
  StrCpy $PackageThere 0
  System::Call 'msi::MsiEnumRelatedProductsW(w "${PACKAGE_UPGRADE_CODE}", i 0, i 0, w .r1) i .r2'
  ${IfThen} $2 == 0 ${|} StrCpy $PackageThere 1 ${|}
FunctionEnd

; The all-users install, which only an administrator may remove.
Function un.AllUsersOnly
  ${If} $MultiUser.Privileges != "Admin"
  ${AndIf} $MultiUser.Privileges != "Power"
    MessageBox MB_OK|MB_ICONSTOP "GyrelSaver is installed for every user of this computer: only an administrator can uninstall it." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  Call un.MultiUser.InstallMode.AllUsers
FunctionEnd

Function un.ModeChosen
FunctionEnd

; Forgets the current-saver choice in one user's desktop key (under ROOT,
; HKCU or HKU, with $R1 the user's subkey and separator, or empty) where it
; names this saver ($R3, long form), in whatever form it is stored. Sets $R4
; to 1 when it did.
!macro ForgetSaverIn ROOT
  ReadRegStr $R0 ${ROOT} "$R1${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $R0 != ""
    !insertmacro LongPath
    ${If} $R0 == $R3
      DeleteRegValue ${ROOT} "$R1${DESKTOP_KEY}" "SCRNSAVE.EXE"
      WriteRegStr ${ROOT} "$R1${DESKTOP_KEY}" "ScreenSaveActive" "0"
      StrCpy $R4 1
    ${EndIf}
  ${EndIf}
!macroend

Section "Uninstall"
  SetRegView 64
  ${If} $MultiUser.InstallMode == AllUsers
    StrCpy $SaverFile "$SYSDIR\GyrelSaver.scr"
  ${Else}
    StrCpy $SaverFile "$INSTDIR\GyrelSaver.scr"
  ${EndIf}
  ; Compared while the file is still there to give its long form.
  StrCpy $R0 $SaverFile
  !insertmacro LongPath
  StrCpy $R3 $R0
  StrCpy $R4 0
  ; A saver the package installed stays, and so does everyone's choice of it.
  ${If} $MultiUser.InstallMode == AllUsers
  ${AndIf} $PackageThere == 1
    StrCpy $R1 "" ; nothing to forget
  ${ElseIf} $MultiUser.InstallMode == AllUsers
    ; Whether the running user's own choice is this saver: only then is the
    ; running system told (the others' take effect when they next sign in).
    StrCpy $R6 0
    ReadRegStr $R0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${If} $R0 != ""
      !insertmacro LongPath
      ${IfThen} $R0 == $R3 ${|} StrCpy $R6 1 ${|}
    ${EndIf}
    ; Every user whose profile is loaded; never only the administrator's own.
    StrCpy $R5 0
    ${Do}
      EnumRegKey $R1 HKU "" $R5
      ${IfThen} $R1 == "" ${|} ${ExitDo} ${|}
      StrCpy $R1 "$R1\"
      !insertmacro ForgetSaverIn HKU
      IntOp $R5 $R5 + 1
    ${Loop}
    ${If} $R6 = 1
      System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 0, p 0, i ${SPIF_UPDATEINIFILE_SENDCHANGE})'
    ${EndIf}
  ${Else}
    StrCpy $R1 ""
    !insertmacro ForgetSaverIn HKCU
    ${If} $R4 = 1
      System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 0, p 0, i ${SPIF_UPDATEINIFILE_SENDCHANGE})'
    ${EndIf}
    ; The settings are this user's own: ask, and keep them when nobody answers.
    ; An uninstaller of another's install (no entry of the user's records
    ; its folder) leaves them alone.
    StrCmp $OwnEntry 1 0 keep
    MessageBox MB_YESNO|MB_ICONQUESTION "Delete your GyrelSaver settings too?" /SD IDNO IDNO keep
      DeleteRegKey HKCU "${SETTINGS_KEY}"
      DeleteRegKey /ifempty HKCU "Software\Quorvel"
    keep:
  ${EndIf}

  ${If} $MultiUser.InstallMode != AllUsers
  ${OrIf} $PackageThere != 1
    Delete "$SaverFile"
    Delete "$INSTDIR\GyrelSaver.chm"
  ${EndIf}
  Delete "$INSTDIR\MakeCurrent.exe"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  ; The Start menu and the entry are the install's when an entry records its
  ; folder; otherwise they may be another install's.
  ${If} $OwnEntry == 1
    Delete "${START_MENU}\GyrelSaver Settings.lnk"
    Delete "${START_MENU}\Make GyrelSaver my screen saver.lnk"
    RMDir "${START_MENU}"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ${EndIf}
SectionEnd
