; The Windows installer: per user, no administrator. The program goes under
; %LOCALAPPDATA%\Programs\orvvarnoth; the user's own folder %APPDATA%\orvvarnoth
; holds the parameter file and the log, and is where the shortcut starts the
; program. Built by makensis (cmake/windows-package.cmake) with
;   -DVERSION=x.y.z -DEXE=<stripped exe> -DCFG=<sample cfg> -DREADME=<readme> -DICON=<exe's .ico>
;   -DOUTFILE=<setup.exe>
; Silent with /S (and /D=<folder> for another program folder).

; A 64-bit installer for the 64-bit program: it runs where the program runs,
; Wine's 64-bit-only prefixes included.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include FileFunc.nsh

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\orvvarnoth"
!define USER_DIR "$APPDATA\orvvarnoth"
!define SHORTCUT "$SMPROGRAMS\orvvarnoth.lnk"

Name "orvvarnoth"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\orvvarnoth"
; An upgrade goes where the last install went.
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "orvvarnoth"
VIAddVersionKey "FileDescription" "orvvarnoth installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "orvvarnoth maintainers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
; The last page offers to start the program, as the Start-menu entry would.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Run orvvarnoth"
!define MUI_FINISHPAGE_RUN_FUNCTION RunProgram
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Started in the user's folder, where its parameter file is and its log goes.
Function RunProgram
  SetOutPath "${USER_DIR}"
  Exec '"$INSTDIR\orvvarnoth.exe"'
FunctionEnd

Function .onInit
  ; Everything in the user's own profile: the shell folders of this user.
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "orvvarnoth"
  SetOutPath "$INSTDIR"
  File "/oname=orvvarnoth.exe" "${EXE}"
  File "/oname=README-windows.txt" "${README}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The user's folder. A parameter file already there is the user's own and
  ; is never replaced; the newest sample always lies beside it.
  CreateDirectory "${USER_DIR}"
  SetOutPath "${USER_DIR}"
  File "/oname=orvvarnoth.cfg.sample" "${CFG}"
  IfFileExists "${USER_DIR}\orvvarnoth.cfg" +2 0
    File "/oname=orvvarnoth.cfg" "${CFG}"

  ; The shortcut's working folder is the current output path: the user's.
  CreateShortCut "${SHORTCUT}" "$INSTDIR\orvvarnoth.exe" "" "$INSTDIR\orvvarnoth.exe" 0 \
    SW_SHOWNORMAL "" "orvvarnoth cockpit panels"

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "orvvarnoth"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "orvvarnoth maintainers"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\orvvarnoth.exe"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  ; Settings > Apps shows the program folder's size, in KiB.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\orvvarnoth.exe"
  Delete "$INSTDIR\README-windows.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; A copy started in its program folder logs there: those logs are ours,
  ; and the folder goes once nothing else is in it.
  Delete "$INSTDIR\ORVVarnoth.log"
  Delete "$INSTDIR\ORVDefault.log"
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"
  DeleteRegKey HKCU "${UNINST_KEY}"
  ; The user's parameter file and logs stay; only our sample goes, and the
  ; folder only when nothing of the user's is left in it.
  Delete "${USER_DIR}\orvvarnoth.cfg.sample"
  RMDir "${USER_DIR}"
SectionEnd
