; The Windows setup program of dbf2csv, made with NSIS (makensis) by the
; Windows build:
;   makensis -DVERSION=1.2.0 -DPUBLISHER=... -DFILES=DIR -DOUTFILE=SETUP.EXE dbf2csv.nsi
; DIR holds what is installed: dbf2csv.exe, README.txt (the manual page as
; plain text) and LICENSE.txt.
;
; It installs into Program Files\dbf2csv for every user, with a Start menu
; entry, an uninstaller registered under Apps and features, and (unless
; left out) "Open with dbf2csv" for .dbf tables. /S installs silently with
; the defaults; /S /NOASSOC leaves the .dbf tables alone; /D=FOLDER, last on
; the command line, installs elsewhere. The uninstaller takes /S as well.

; A 64-bit setup program, for a 64-bit program.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define APP "dbf2csv"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
!define PROGID "dbf2csv.Table"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${APP} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${APP}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${APP} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 the ${PUBLISHER}"

!define MUI_ICON "${FILES}\dbf2csv.ico"
!define MUI_UNICON "${FILES}\dbf2csv.ico"
!define MUI_COMPONENTSPAGE_NODESC
; The MIT licence, to read; nothing to accept.
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "dbf2csv is free software under this licence."
!insertmacro MUI_PAGE_LICENSE "${FILES}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "dbf2csv" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${FILES}\dbf2csv.exe"
  File "${FILES}\README.txt"
  File "${FILES}\LICENSE.txt"
  ; What 1.2.0 and earlier installed under other names.
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\dbf2csv.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The Start menu entry starts in the user's documents: the program writes
  ; its error log into the folder it starts in, and Program Files is not
  ; writable.
  SetOutPath "$DOCUMENTS"
  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\dbf2csv.exe" "" "$INSTDIR\dbf2csv.exe" 0
  SetOutPath "$INSTDIR"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$\"$INSTDIR\dbf2csv.exe$\",0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\uninstall.exe$\""
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\uninstall.exe$\" /S"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; "Open with dbf2csv" among the programs for a .dbf table: a program id of
; its own, offered for the extension without taking it from its owner.
Section "Open with dbf2csv for .dbf tables" SecOpenWith
  WriteRegStr HKLM "Software\Classes\${PROGID}" "" "dBase table"
  WriteRegStr HKLM "Software\Classes\${PROGID}" "FriendlyTypeName" "dBase table"
  WriteRegStr HKLM "Software\Classes\${PROGID}\DefaultIcon" "" "$\"$INSTDIR\dbf2csv.exe$\",0"
  WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open" "" "Open with dbf2csv"
  WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open\command" "" "$\"$INSTDIR\dbf2csv.exe$\" $\"%1$\""
  WriteRegStr HKLM "Software\Classes\.dbf\OpenWithProgids" "${PROGID}" ""
  WriteRegStr HKLM "Software\Classes\Applications\dbf2csv.exe\SupportedTypes" ".dbf" ""
  WriteRegStr HKLM "Software\Classes\Applications\dbf2csv.exe\shell\open\command" "" "$\"$INSTDIR\dbf2csv.exe$\" $\"%1$\""
SectionEnd

; After the sections, whose numbers it uses.
Function .onInit
  SetRegView 64
  SetShellVarContext all
  ; /NOASSOC on the command line leaves the .dbf tables alone.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOASSOC" $1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SecOpenWith}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetRegView 64
  SetShellVarContext all
  Delete "$SMPROGRAMS\${APP}.lnk"
  Delete "$INSTDIR\dbf2csv.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegValue HKLM "Software\Classes\.dbf\OpenWithProgids" "${PROGID}"
  DeleteRegKey /IfEmpty HKLM "Software\Classes\.dbf\OpenWithProgids"
  DeleteRegKey /IfEmpty HKLM "Software\Classes\.dbf"
  DeleteRegKey HKLM "Software\Classes\${PROGID}"
  DeleteRegKey HKLM "Software\Classes\Applications\dbf2csv.exe"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
