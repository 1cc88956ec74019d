; SPDX-License-Identifier: GPL-3.0-or-later
; The Windows installer of Vapron (NSIS 3, Unicode). packaging\windows\package.ps1 fills
; STAGE with the programs and what windeployqt gathered, and names OUTFILE.
; The programs go to Program Files; recordings and the car settings library live in each
; user's %LOCALAPPDATA%\Vapron, which the installer never touches.
Unicode true
!include "MUI2.nsh"

!ifndef STAGE
  !error "STAGE must name the folder package.ps1 prepared"
!endif
!ifndef OUTFILE
  !define OUTFILE "vapron-setup-4.5.exe"
!endif

Name "Vapron 4.5"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Vapron 4.5"
InstallDirRegKey HKLM "Software\Vapron\v4.5" "InstallDir"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Polish"

Section "Vapron"
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  ExecWait '"$INSTDIR\vc_redist.x64.exe" /install /quiet /norestart'
  Delete "$INSTDIR\vc_redist.x64.exe"
  WriteRegStr HKLM "Software\Vapron\v4.5" "InstallDir" "$INSTDIR"
  WriteUninstaller "$INSTDIR\odinstaluj.exe"
  CreateShortCut "$SMPROGRAMS\Vapron.lnk" "$INSTDIR\vapron.exe"
  CreateShortCut "$DESKTOP\Vapron.lnk" "$INSTDIR\vapron.exe"
  !define UNINSTALL "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vapron"
  WriteRegStr HKLM "${UNINSTALL}" "DisplayName" "Vapron 4.5"
  WriteRegStr HKLM "${UNINSTALL}" "DisplayVersion" "4.5"
  WriteRegStr HKLM "${UNINSTALL}" "Publisher" "Vapron"
  WriteRegStr HKLM "${UNINSTALL}" "UninstallString" '"$INSTDIR\odinstaluj.exe"'
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\Vapron.lnk"
  Delete "$DESKTOP\Vapron.lnk"
  RMDir /r "$INSTDIR"
  DeleteRegKey HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vapron"
  DeleteRegKey HKLM "Software\Vapron\v4.5"
SectionEnd
