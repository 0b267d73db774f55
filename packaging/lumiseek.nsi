; The Lumiseek installer: for the current user, no administrator rights, into a folder the program
; may write (it keeps its settings beside itself). Built by scripts/make-dist.sh:
;   makensis -DVERSION=4.2 -DSTAGE=<folder with the files> -DOUTFILE=<setup.exe> packaging/lumiseek.nsi
; The uninstaller removes exactly the files listed here; the user's settings, exclusions and last
; results stay unless the user asks for them to go (a silent uninstall keeps them).
Unicode true
; A 64-bit installer for the 64-bit program (and for Wine prefixes that run 64-bit programs only).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"

!define PRODUCT "Lumiseek"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumiseek"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Lumiseek"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

!define MUI_ICON "${STAGE}\..\lumiseek.ico"
!define MUI_UNICON "${STAGE}\..\lumiseek.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\lumiseek.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Lumiseek"
  SetOutPath "$INSTDIR"
  File "${STAGE}\lumiseek.exe"
  File "${STAGE}\es.exe"
  !if /FileExists "${STAGE}\start_lumiseek.exe"
    File "${STAGE}\start_lumiseek.exe"
  !endif
  File "${STAGE}\README.txt"
  File "${STAGE}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "$SMPROGRAMS\Lumiseek"
  CreateShortcut "$SMPROGRAMS\Lumiseek\Lumiseek.lnk" "$INSTDIR\lumiseek.exe"
  CreateShortcut "$SMPROGRAMS\Lumiseek\Uninstall Lumiseek.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\lumiseek.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\lumiseek.exe"
  Delete "$INSTDIR\es.exe"
  !if /FileExists "${STAGE}\start_lumiseek.exe"
    Delete "$INSTDIR\start_lumiseek.exe"
  !endif
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  ; What the online update leaves: the program it replaced, and its log.
  Delete "$INSTDIR\lumiseek.old"
  Delete "$INSTDIR\lumiseek.tmp"
  Delete "$INSTDIR\update.log"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\Lumiseek\Lumiseek.lnk"
  Delete "$SMPROGRAMS\Lumiseek\Uninstall Lumiseek.lnk"
  RMDir "$SMPROGRAMS\Lumiseek"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
    "Remove your Lumiseek settings too (lumiseek.ini, exclusion.txt and the last results)?" \
    /SD IDNO IDNO keep
    Delete "$INSTDIR\lumiseek.ini"
    Delete "$INSTDIR\exclusion.txt"
    Delete "$INSTDIR\results.txt"
  keep:
  ; Only when nothing else is left in it.
  RMDir "$INSTDIR"
SectionEnd
