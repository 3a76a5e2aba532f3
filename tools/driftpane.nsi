; The per-user Windows installer of Driftpane, built by tools/release with Debian's makensis:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0 -DEXE=<Driftpane.exe> -DICON=<driftpane.ico>
;            -DOUTFILE=<setup.exe> [-DWELCOME=<164 x 314 BMP>] [-DSIGN=<signer>]
; It needs no administrator rights: the program goes to the user's own Programs folder, the
; shortcut to the user's Start menu and the uninstall entry under HKEY_CURRENT_USER. The
; uninstaller removes exactly what the installer put there; the user's saved pairs and
; exports in %LOCALAPPDATA%\Driftpane are never touched.

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
; No file times in the installer data, so two builds of the same files give the same bytes.
SetDateSave off
; The payload is mostly JPEG photos, which no compressor shrinks; zlib is many times faster
; than LZMA here for about 2 % more size.
SetCompressor /SOLID zlib
CRCCheck on

!ifndef VERSION | EXE | ICON | OUTFILE
    !error "Pass -DVERSION=, -DEXE=, -DICON= and -DOUTFILE= (tools/release does)"
!endif

!define APP "Driftpane"
!define PUBLISHER "Driftpane developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
; The program's window class, found to tell whether it is running (files in use).
!define WINDOW_CLASS "DriftpaneMain"

Name "${APP}"
OutFile "${OUTFILE}"
; With -DSIGN=<signer> the uninstaller is signed as makensis writes it, before it is packed
; into the installer: the signer takes the file's path (tools/signing.py).
!ifdef SIGN
    !uninstfinalize '"${SIGN}" "%1"' = 0
!endif
InstallDir "$LOCALAPPDATA\Programs\${APP}"
; An earlier installation is upgraded where it is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${APP} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${APP}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${APP} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
; Optional: the picture beside the welcome and finish pages (164 x 314 BMP).
!ifdef WELCOME
    !define MUI_WELCOMEFINISHPAGE_BITMAP "${WELCOME}"
!endif
!define MUI_FINISHPAGE_RUN "$INSTDIR\${APP}.exe"
!insertmacro MUI_PAGE_WELCOME
; The licence grants use without asking for agreement, so its page only shows it: Next, not
; "I Agree".
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "$(LicenseNote)"
!insertmacro MUI_PAGE_LICENSE "${__FILEDIR__}/../LICENSE"
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The program's four languages; the one matching the Windows UI language is used.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Spanish"

LangString ProgramRunning ${LANG_ENGLISH} "${APP} is running. Choose Exit in the menu of its \
    notification-area icon, then Retry."
LangString ProgramRunning ${LANG_GERMAN} "${APP} läuft. Wählen Sie „Beenden“ im Menü seines \
    Symbols im Infobereich und dann „Wiederholen“."
LangString ProgramRunning ${LANG_FRENCH} "${APP} est en cours d'exécution. Choisissez \
    « Quitter » dans le menu de son icône de la zone de notification, puis « Réessayer »."
LangString ProgramRunning ${LANG_SPANISH} "${APP} se está ejecutando. Elija «Salir» en el \
    menú de su icono del área de notificación y después «Reintentar»."

LangString LicenseNote ${LANG_ENGLISH} "${APP} is free software under the MIT License above. \
    Click Next to continue."
LangString LicenseNote ${LANG_GERMAN} "${APP} ist freie Software unter der obigen MIT-Lizenz. \
    Klicken Sie auf „Weiter“, um fortzufahren."
LangString LicenseNote ${LANG_FRENCH} "${APP} est un logiciel libre sous la licence MIT \
    ci-dessus. Cliquez sur « Suivant » pour continuer."
LangString LicenseNote ${LANG_SPANISH} "${APP} es software libre bajo la licencia MIT \
    anterior. Haga clic en «Siguiente» para continuar."

; Files in use cannot be replaced or removed: the running program is asked to be closed
; first. A silent run cannot ask, so it ends with exit code 2 and changes nothing.
!macro WaitUntilClosed
    ${Do}
        FindWindow $0 "${WINDOW_CLASS}"
        ${If} $0 == 0
            ${Break}
        ${EndIf}
        ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(ProgramRunning)" /SD IDCANCEL IDCANCEL`
            SetErrorLevel 2
            Quit
        ${EndIf}
    ${Loop}
!macroend

Section "${APP}"
    !insertmacro WaitUntilClosed
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    File "/oname=${APP}.exe" "${EXE}"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\${APP}.exe" "" "$INSTDIR\${APP}.exe" 0

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${APP}.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    IntFmt $0 "0x%08X" $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
    !insertmacro WaitUntilClosed
    SetShellVarContext current
    Delete "$SMPROGRAMS\${APP}.lnk"
    Delete "$INSTDIR\${APP}.exe"
    Delete "$INSTDIR\Uninstall.exe"
    ; Not recursive: anything else the user put in the folder stays, and so does the folder.
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
