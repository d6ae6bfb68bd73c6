; The Windows installer of Tolvane Screensaver: Tolvane-Setup-<version>.exe.
; Built by `make installer` (the target installer of the windows preset),
; which passes VERSION, VERSION_MAJOR, VERSION_MINOR, PUBLISHER, HOMEPAGE,
; ICON, SCREENSAVER (the built Tolvane.scr) and OUTFILE. `make release`
; (tools/release.sh) also passes FINALIZE_UNINSTALLER, a program that signs
; the uninstaller (or attaches its published signature) in place before it
; goes into the installer.
;
; Installs Tolvane.scr into the 64-bit system folder, where the Screen Saver
; Settings look for screensavers, makes it the current screensaver of the
; user who runs it, and registers an uninstaller under "Apps & features".
; /S installs and uninstalls silently. The uninstaller removes exactly what
; was installed, and clears the current screensaver only while it still
; names this file. Like every NSIS uninstaller it hands over to a copy of
; itself in the temporary folder and returns at once; that copy does the work.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true
; No file's modification time in the installer: two builds of one commit
; give the same bytes (installed files take the time they are installed at).
SetDateSave off

!define PRODUCT "Tolvane Screensaver"
!define SCR_NAME "Tolvane.scr"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvane"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATE_AND_BROADCAST 3

!include "MUI2.nsh"

!ifdef FINALIZE_UNINSTALLER
!uninstfinalize '${FINALIZE_UNINSTALLER} "%1"'
!endif

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tolvane"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION_MAJOR}.${VERSION_MINOR}.0.0"
VIFileVersion "${VERSION_MAJOR}.${VERSION_MINOR}.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2019-2026 ${PUBLISHER}"

; A welcome page that says what will happen, the work, and a last page
; that says where to find it; the uninstaller asks before it removes.
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEPAGE_TEXT "This installs the Tolvane flip-clock screensaver into the system folder and makes it your screensaver.$\r$\n$\r$\nClick Install to go on."
!define MUI_FINISHPAGE_TEXT "Tolvane is now your screensaver. To choose another, or to change when it starts, open the Screen Saver Settings (Settings, Personalisation, Lock screen).$\r$\n$\r$\nTo remove it, use Apps && features."
!define MUI_WELCOMEPAGE_TITLE_3LINES
!define MUI_FINISHPAGE_TITLE_3LINES
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "${PRODUCT}" SectionScreensaver
    SetRegView 64
    SetOutPath "$SYSDIR"
    File "/oname=${SCR_NAME}" "${SCREENSAVER}"

    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${HOMEPAGE}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\${SCR_NAME},0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    SectionGetSize ${SectionScreensaver} $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

    ; The current screensaver of this user; the broadcast tells a running
    ; desktop at once instead of at the next log-on.
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\${SCR_NAME}"
    WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
    System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATE_AND_BROADCAST})'
SectionEnd

Section "Uninstall"
    SetRegView 64
    ; Cleared only while it still names our file, however it is spelt
    ; (NSIS compares without regard to case; older settings keep short names).
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ExpandEnvStrings $0 $0
    GetFullPathName /SHORT $1 "$SYSDIR\${SCR_NAME}"
    StrCmp $0 "$SYSDIR\${SCR_NAME}" clear
    StrCmp $0 "$1" clear keep
    clear:
        DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    keep:

    ; The file is in use while a screensaver started from it is still ending
    ; (a key ended it a moment before the uninstall began) or while the
    ; Screen Saver Settings show its preview: it is tried again for up to
    ; 10 s before it is left to be deleted at the next restart.
    StrCpy $2 0
    delete_scr:
        ClearErrors
        Delete "$SYSDIR\${SCR_NAME}"
        IfErrors 0 scr_deleted
        IntOp $2 $2 + 1
        IntCmp $2 40 scr_in_use
        Sleep 250
        Goto delete_scr
    scr_in_use:
        Delete /REBOOTOK "$SYSDIR\${SCR_NAME}"
    scr_deleted:
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
