; The Windows installer: makensis -DSTAGE=<folder> -DSOURCE=<tree> -DVERSION=<x.y> -DOUTFILE=<exe>
;   STAGE   the program's folder: "Tavrix Editor.exe" and its console twin
;           tavrix-editor-cli.exe with Qt's DLLs, plugin folders, translations and qt.conf
;           (`make windows` leaves it as build-windows/Tavrix Editor)
;   SOURCE  the source tree, for the fonts
;
; The fonts folder beside the executable makes the copy portable: the program keeps
; "Tavrix Editor.ini" in its own folder and rewrites it at every exit. So the program goes where the
; user may write, the per-user programs folder, and the installer asks for no administrator rights.

!ifndef STAGE | SOURCE | VERSION | OUTFILE
  !error "define STAGE, SOURCE, VERSION and OUTFILE"
!endif

; The program is 64-bit only, and so is the installer (it also runs where only 64-bit wine is).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define PRODUCT "Tavrix Editor"
!define EXE "Tavrix Editor.exe"
!define PROGID "TavrixEditor.Document"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

!include "MUI2.nsh"
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

Section
  SetOutPath "$INSTDIR"
  ; A settings file or list of displays left in the stage by a trial run must not replace the
  ; user's own.
  File /r /x "${PRODUCT}.ini" /x "${PRODUCT}.ini.bak" /x "displays.ini" "${STAGE}\*.*"
  SetOutPath "$INSTDIR\Fonts"
  File "${SOURCE}\Fonts\*.brf"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}"

  ; .tvd files open in the program, for this user.
  WriteRegStr HKCU "Software\Classes\.tvd" "" "${PROGID}"
  WriteRegStr HKCU "Software\Classes\${PROGID}" "" "Tavrix Document"
  WriteRegStr HKCU "Software\Classes\${PROGID}\DefaultIcon" "" '"$INSTDIR\${EXE}",0'
  WriteRegStr HKCU "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\${EXE}" "%1"'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Tavrix Editor developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\${EXE}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Everything in the program folder goes except the settings file, its backup and the list of
; displays: they are the user's, and a new installation into the same folder reads them again.
Section "Uninstall"
  FindFirst $0 $1 "$INSTDIR\*.*"
  next:
    StrCmp $1 "" done
    StrCmp $1 "." skip
    StrCmp $1 ".." skip
    StrCmp $1 "${PRODUCT}.ini" skip
    StrCmp $1 "${PRODUCT}.ini.bak" skip
    StrCmp $1 "displays.ini" skip
    IfFileExists "$INSTDIR\$1\*.*" 0 file
      RMDir /r "$INSTDIR\$1"
      Goto skip
    file:
      Delete "$INSTDIR\$1"
    skip:
    FindNext $0 $1
    Goto next
  done:
  FindClose $0
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  ReadRegStr $0 HKCU "Software\Classes\.tvd" ""
  StrCmp $0 "${PROGID}" 0 +2
    DeleteRegKey HKCU "Software\Classes\.tvd"
  DeleteRegKey HKCU "Software\Classes\${PROGID}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
