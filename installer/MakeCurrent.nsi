; "Make GyrelSaver my screen saver": for a per-user install, whose saver the
; Screen Saver Settings list does not show. Needs no administrator; /S says nothing.
;   makensis -DOUTFILE=<exe> -DSOURCE_DIR=<source tree> MakeCurrent.nsi
Unicode true
Target amd64-unicode
Name "GyrelSaver"
OutFile "${OUTFILE}"
RequestExecutionLevel user
Icon "${SOURCE_DIR}\resources\gyrel.ico"
!finalize '"${SOURCE_DIR}/scripts/sign.sh" "%1"' = 0
!include "${SOURCE_DIR}\installer\current-saver.nsh"

Function .onInit
  !insertmacro MakeCurrentSaver "$EXEDIR\GyrelSaver.scr"
  ${IfNot} ${Silent}
    MessageBox MB_OK|MB_ICONINFORMATION "GyrelSaver is now your screen saver."
  ${EndIf}
  Quit
FunctionEnd

Section
SectionEnd
