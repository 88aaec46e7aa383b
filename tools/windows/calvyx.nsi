; SPDX-License-Identifier: GPL-3.0-or-later
; The Windows installer: makensis -DVERSION=... -DSTAGE=folder -DOUTFILE=file calvyx.nsi
; (tools/package-windows.sh). Per machine, in Program Files, with a Start-menu folder
; and an uninstaller that removes what was installed and nothing else.
; A 64-bit installer for the 64-bit programs (it also runs under a 64-bit-only Wine).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define PRODUCT "Calvyx"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Calvyx"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "Software\${PRODUCT}" "InstallDir"
Icon "${STAGE}\calvyx.ico"
UninstallIcon "${STAGE}\calvyx.ico"
LicenseData "${STAGE}\LICENSE.txt"

Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Calvyx"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "Software\${PRODUCT}" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\calvyx.ico"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Calvyx.lnk" "$INSTDIR\calvyx.exe" "" "$INSTDIR\calvyx.ico" 0
  ; calvyx-cli is a console program: the entry opens a prompt in the program's folder.
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Calvyx command line.lnk" "$SYSDIR\cmd.exe" \
    '/K "cd /d "$INSTDIR" && calvyx-cli --help"' "$INSTDIR\calvyx.ico" 0
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Calvyx help.lnk" "$INSTDIR\help\index.html" "" "$INSTDIR\calvyx.ico" 0
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall Calvyx.lnk" "$INSTDIR\uninstall.exe"
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}\*.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  !include "${STAGE}\..\uninstall-files.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\${PRODUCT}"
SectionEnd
