; The Windows installer of Tarvik: the plug-in into a VST folder of the
; user's choice, the data folder into the user's documents, a program folder
; with the README, the changes and the uninstaller, start-menu entries and an
; entry in the system's list of installed programs.
;
; Built on Linux by scripts/package.sh:
;   makensis -DVERSION=1.0.0 -DPLUGIN=.../Tarvik.dll -DDATA=.../data -DPACK_TOOL=.../tarvik-pack \
;            -DREADME=.../README.md [-DCHANGELOG=.../CHANGELOG.md] -DOUTFILE=Setup.exe Tarvik.nsi
; Silent use: Setup.exe /S /D=C:\path\to\VST folder   (uninstall: Uninstall.exe /S)

; A 64-bit installer for a 64-bit plug-in: its own view of the registry and of
; Program Files is the 64-bit one.
Target amd64-unicode

!ifndef VERSION | PLUGIN | DATA | PACK_TOOL | README | OUTFILE
    !error "define VERSION, PLUGIN, DATA, PACK_TOOL, README and OUTFILE (and optionally CHANGELOG) on the command line"
!endif

!define PRODUCT "Tarvik"
!define PUBLISHER "Sonvarde"
!define SETTINGS_KEY "Software\${PUBLISHER}\${PRODUCT}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; Hosts scan the VST folder and try to load every DLL in it: everything that
; is not the plug-in lives in a folder of ours instead.
!define PROGRAM_DIR "$PROGRAMFILES64\${PUBLISHER}\${PRODUCT}"
!define START_MENU_DIR "$SMPROGRAMS\${PRODUCT}"

; The data folder's files, listed from the build's data folder.
!tempfile DATA_FILES
!system '"${__FILEDIR__}/data-files.sh" "${PACK_TOOL}" "${DATA}" "${DATA_FILES}"' = 0
!include "${DATA_FILES}"
!delfile "${DATA_FILES}"

!include "MUI2.nsh"
!include "LogicLib.nsh"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PUBLISHER} ${PRODUCT} ${VERSION}"
; The plug-in goes into Program Files and the uninstall entry into HKLM.
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

; $INSTDIR is the VST folder; the last one chosen is offered again.
InstallDir "$PROGRAMFILES64\VSTPlugins"
InstallDirRegKey HKLM "${SETTINGS_KEY}" "VstFolder"

Var DataDir

!define MUI_ABORTWARNING
!define MUI_DIRECTORYPAGE_TEXT_TOP "Choose the folder your music host scans for VST plug-ins. Tarvik.dll goes there; \
the README and the uninstaller go to ${PUBLISHER}\${PRODUCT} in Program Files, and the skin, wavetables, settings \
and factory patches to Documents\${PUBLISHER}\${PRODUCT}."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "VST plug-in folder"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The data folder, the start-menu entries and the documents are the
; installing user's: the plug-in looks for its data in the documents of the
; user who runs the host.
Function .onInit
    SetShellVarContext current
    StrCpy $DataDir "$DOCUMENTS\${PUBLISHER}\${PRODUCT}"
FunctionEnd

Function un.onInit
    SetShellVarContext current
    StrCpy $DataDir "$DOCUMENTS\${PUBLISHER}\${PRODUCT}"
FunctionEnd

Section "Tarvik" SectionTarvik
    SectionIn RO

    ; A plug-in left in a VST folder chosen before would show up twice.
    ReadRegStr $0 HKLM "${SETTINGS_KEY}" "VstFolder"
    ${If} $0 != ""
    ${AndIf} $0 != $INSTDIR
        Delete "$0\Tarvik.dll"
        RMDir "$0"
    ${EndIf}

    SetOverwrite on
    SetOutPath "$INSTDIR"
    File "${PLUGIN}"

    SetOutPath "${PROGRAM_DIR}"
    File "/oname=README.txt" "${README}"
!ifdef CHANGELOG
    File "/oname=CHANGELOG.md" "${CHANGELOG}"
!endif
    WriteUninstaller "${PROGRAM_DIR}\Uninstall.exe"

    ; The skin, its pictures and the wavetables are the program's own: they
    ; must match the plug-in just installed, so an older copy is replaced.
    SetOverwrite on
    !insertmacro InstallProgramData
    ; The settings and the patches are the user's once installed: a user may
    ; have changed them or saved patches over factory ones, and an install
    ; must never take that away, so only missing files are written.
    SetOverwrite off
    !insertmacro InstallUserData
    SetOverwrite on

    CreateDirectory "${START_MENU_DIR}"
    CreateShortcut "${START_MENU_DIR}\Tarvik README.lnk" "${PROGRAM_DIR}\README.txt"
    CreateShortcut "${START_MENU_DIR}\Tarvik data folder.lnk" "$DataDir"
    CreateShortcut "${START_MENU_DIR}\Uninstall Tarvik.lnk" "${PROGRAM_DIR}\Uninstall.exe"

    WriteRegStr HKLM "${SETTINGS_KEY}" "VstFolder" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"${PROGRAM_DIR}\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"${PROGRAM_DIR}\Uninstall.exe" /S'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "${PROGRAM_DIR}"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ; In KiB, as the list of programs expects; the compiler knows the size of
    ; every file the section installs.
    SectionGetSize ${SectionTarvik} $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
    ReadRegStr $0 HKLM "${SETTINGS_KEY}" "VstFolder"
    ${If} $0 != ""
        Delete "$0\Tarvik.dll"
        RMDir "$0"
    ${EndIf}

    ; Only the program's own data files go; the settings, the patches and
    ; whatever else the user keeps there stay, with the folders holding them.
    !insertmacro RemoveProgramData
    !insertmacro RemoveEmptyDataFolders
    RMDir "$DOCUMENTS\${PUBLISHER}"

    Delete "${START_MENU_DIR}\Tarvik README.lnk"
    Delete "${START_MENU_DIR}\Tarvik data folder.lnk"
    Delete "${START_MENU_DIR}\Uninstall Tarvik.lnk"
    RMDir "${START_MENU_DIR}"

    Delete "${PROGRAM_DIR}\README.txt"
    Delete "${PROGRAM_DIR}\CHANGELOG.md"
    Delete "${PROGRAM_DIR}\Uninstall.exe"
    RMDir "${PROGRAM_DIR}"
    RMDir "$PROGRAMFILES64\${PUBLISHER}"

    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKLM "Software\${PUBLISHER}"
SectionEnd
