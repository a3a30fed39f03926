; The Windows installer of LORK2, made by scripts/package with makensis:
;   makensis -DVERSION=0.1.0 -DARCH=win64 -DFILES=DIR -DSIZE_KB=N -DOUTFILE=SETUP.exe lork2.nsi
; DIR holds lork2.exe, lork2-text.exe, README.txt and LICENSE.txt; SIZE_KB is
; their size for the "Programs and Features" list. A per-machine install into
; Program Files\LORK2 with a Start-menu shortcut and an uninstaller; /S
; installs and uninstalls silently. File associations are the editor's own
; business (its options dialog) and are not touched here, and the uninstaller
; leaves the user's settings (HKEY_CURRENT_USER\Software\Tamo\Lork2c) alone.

!ifndef VERSION | ARCH | FILES | SIZE_KB | OUTFILE
  !error "VERSION, ARCH, FILES, SIZE_KB and OUTFILE must be defined"
!endif

!if "${ARCH}" == "win64"
  Target amd64-unicode
!else if "${ARCH}" == "win32"
  Target x86-unicode
!else
  !error "ARCH is win64 or win32"
!endif

!include LogicLib.nsh
!include x64.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\LORK2"

Name "LORK2 ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
; The same tree gives the same installer.
SetDateSave off
ShowInstDetails show
ShowUninstDetails show
LicenseData "${FILES}\LICENSE.txt"

LoadLanguageFile "${NSISDIR}\Contrib\Language files\Russian.nlf"
LoadLanguageFile "${NSISDIR}\Contrib\Language files\English.nlf"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "LORK2"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "LORK2 ${VERSION} setup (${ARCH})"
VIAddVersionKey /LANG=0 "CompanyName" "LORK2 developers"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (c) 2026 LORK2 developers, MIT licence"

Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; The 64-bit build goes into the 64-bit Program Files and registry view; the
; 32-bit one into the 32-bit ones (Program Files (x86) on 64-bit Windows).
!macro ChooseView
  !if "${ARCH}" == "win64"
    SetRegView 64
  !else
    SetRegView 32
  !endif
!macroend

Function .onInit
  !if "${ARCH}" == "win64"
    ${IfNot} ${RunningX64}
      MessageBox MB_OK|MB_ICONSTOP "Эта программа установки - для 64-разрядной Windows; возьмите win32." /SD IDOK
      Abort
    ${EndIf}
  !endif
  !insertmacro ChooseView
  SetShellVarContext all
  ; A folder given with /D= wins.
  ${If} $INSTDIR == ""
    !if "${ARCH}" == "win64"
      StrCpy $INSTDIR "$PROGRAMFILES64\LORK2"
    !else
      StrCpy $INSTDIR "$PROGRAMFILES32\LORK2"
    !endif
  ${EndIf}
FunctionEnd

Section "LORK2"
  SetOutPath "$INSTDIR"
  File "${FILES}\lork2.exe"
  File "${FILES}\lork2-text.exe"
  File "${FILES}\README.txt"
  File "${FILES}\LICENSE.txt"
  File "${FILES}\lork2.html"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\LORK2.lnk" "$INSTDIR\lork2.exe" "" "$INSTDIR\lork2.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "LORK2"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "LORK2 developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\lork2.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
  !insertmacro ChooseView
  SetShellVarContext all
FunctionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\LORK2.lnk"
  Delete "$INSTDIR\lork2.exe"
  Delete "$INSTDIR\lork2-text.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\lork2.html"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: files the user put there stay.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
