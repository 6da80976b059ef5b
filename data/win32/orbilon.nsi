; The Windows installer (makensis, built by `make windows-package`). Defines given by the build:
;   VERSION  the project's version (1.2.3)
;   STAGE    the folder with Orbilon.scr, Orbilon.dll, README.txt and LICENSE.txt
;   ICON     the programs' icon
;   OUTFILE  the installer to write
;
; Both programs go to the 64-bit System32, the folder Screen Saver Settings lists, with the
; README and the licence beside them under names of their own, and the uninstaller. The
; installer is a 64-bit program, so $SYSDIR is the real System32 and no file-system or registry
; redirection applies; the views are still asked for by name, so a 32-bit build of this script
; would install into the same places. A user's Orbilon.ini is never touched.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all
ManifestDPIAware true

!include MUI2.nsh
!include x64.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orbilon"
!define UNINSTALLER "Orbilon-uninstall.exe"

Name "Orbilon"
OutFile "${OUTFILE}"
InstallDir "$SYSDIR"
BrandingText "Orbilon ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "Orbilon"
VIAddVersionKey /LANG=0 "FileDescription" "Orbilon screen saver setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "The Orbilon developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(OpenSettings)"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\Orbilon-README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString OpenSettings ${LANG_ENGLISH} "Open Screen Saver Settings with Orbilon chosen"
LangString OpenSettings ${LANG_JAPANESE} "Orbilon を選んだスクリーン セーバーの設定を開く"
LangString Needs64 ${LANG_ENGLISH} "Orbilon needs a 64-bit Windows."
LangString Needs64 ${LANG_JAPANESE} "Orbilon には 64 ビット版の Windows が必要です。"

; Everything this installer writes, in one place, so that the uninstaller removes exactly that.
!macro InstalledFiles action
  ${action} "$INSTDIR\Orbilon.scr"
  ${action} "$INSTDIR\Orbilon.dll"
  ${action} "$INSTDIR\Orbilon-README.txt"
  ${action} "$INSTDIR\Orbilon-LICENSE.txt"
!macroend

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "$(Needs64)" /SD IDOK
    Abort
  ${EndIf}
  ${DisableX64FSRedirection}
  SetRegView 64
  StrCpy $INSTDIR "$WINDIR\System32"
FunctionEnd

Section "Orbilon"
  SetOutPath "$INSTDIR"
  File "${STAGE}\Orbilon.scr"
  File "${STAGE}\Orbilon.dll"
  File "/oname=Orbilon-README.txt" "${STAGE}\README.txt"
  File "/oname=Orbilon-LICENSE.txt" "${STAGE}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Orbilon"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Orbilon developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Orbilon.scr,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/M=Orbilon*.* /S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; What right-clicking a screen saver and choosing Install does: Screen Saver Settings opens with
; it chosen, and the user confirms there.
Function OpenScreenSaverSettings
  Exec '"$SYSDIR\rundll32.exe" desk.cpl,InstallScreenSaver $INSTDIR\Orbilon.scr'
FunctionEnd

Function un.onInit
  ${DisableX64FSRedirection}
  SetRegView 64
  StrCpy $INSTDIR "$WINDIR\System32"
FunctionEnd

Section "Uninstall"
  !insertmacro InstalledFiles Delete
  Delete "$INSTDIR\${UNINSTALLER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; A user who chose Orbilon would otherwise keep a screen saver that no longer exists.
  ReadRegStr $0 HKCU "Control Panel\Desktop" "SCRNSAVE.EXE"
  ${If} $0 == "$INSTDIR\Orbilon.scr"
    DeleteRegValue HKCU "Control Panel\Desktop" "SCRNSAVE.EXE"
  ${EndIf}
SectionEnd
