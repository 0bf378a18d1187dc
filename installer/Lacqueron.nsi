; The installer of Lacqueron.exe, built by the Windows build with makensis:
;   makensis -DVERSION=1.1.20 -DPROGRAM_EXE=<Lacqueron.exe> -DICON=<.ico> -DGUIDE=<guide-ru.html>
;            -DOUTFILE=<Lacqueron-Setup-1.1.20.exe> Lacqueron.nsi
; This script is UTF-8 with a byte-order mark: makensis then reads the Russian texts as UTF-8.
;
; Elevated, it installs for every user into the 64-bit Program Files and registers under HKLM;
; otherwise, or with /CurrentUser, for the current user into %LOCALAPPDATA%\Programs\Lacqueron
; under HKCU. A second install finds the first through its uninstall entry and upgrades it in place.
; Command line (besides /S and /D=<folder>):
;   installer    /Desktop      also a desktop shortcut (the component is off by default)
;                /CurrentUser  install for the current user even when elevated
;   uninstaller  /DeleteData   also delete the user's data ("Удалить мои данные" on its page)

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel highest
ManifestDPIAware true
ManifestSupportedOS all

!define PRODUCT_NAME "Подбор красок ВЕЛМ"
!define PUBLISHER "ВЕЛМ"
!define FOLDER_NAME "Lacqueron"
!define UNINSTALL_PARENT_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall"
!define UNINSTALL_KEY "${UNINSTALL_PARENT_KEY}\Lacqueron"
!define UNINSTALLER "uninstall.exe"
!define PROGRAM_FILE "Lacqueron.exe"
!define GUIDE_FILE "guide-ru.html"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT_NAME}"
!define PROGRAM_LINK "${PRODUCT_NAME}.lnk"
!define GUIDE_LINK "Руководство.lnk"
; What the program keeps per user: the registry values under this key and the journal folder.
!define USER_DATA_KEY "Software\VELM\Lacqueron"
!define USER_DATA_PARENT_KEY "Software\VELM"
!define USER_DATA_FOLDER "$LOCALAPPDATA\Lacqueron"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh

Name "«${PRODUCT_NAME}»"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT_NAME} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1049 ProductName "${PRODUCT_NAME}"
VIAddVersionKey /LANG=1049 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=1049 FileDescription "Установка программы «${PRODUCT_NAME}»"
VIAddVersionKey /LANG=1049 FileVersion "${VERSION}"
VIAddVersionKey /LANG=1049 ProductVersion "${VERSION}"
VIAddVersionKey /LANG=1049 LegalCopyright "© ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

Var PerMachine          ; 1: all users, HKLM; 0: the current user, HKCU
Var Upgrade             ; 1: an earlier installation was found and is replaced in place
Var DeleteData          ; uninstaller: 1 when the user's data goes too
Var DeleteDataCheckbox

!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipOnUpgrade
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PROGRAM_FILE}"
!define MUI_FINISHPAGE_RUN_TEXT "Запустить программу"
!insertmacro MUI_PAGE_FINISH

UninstPage custom un.DeleteDataPageShow un.DeleteDataPageLeave
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Russian"

; Sets VAR to 1 when the command line carries SWITCH, else to 0.
!macro ReadSwitch SWITCH VAR
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "${SWITCH}" $R1
  ${If} ${Errors}
    StrCpy ${VAR} 0
  ${Else}
    StrCpy ${VAR} 1
  ${EndIf}
!macroend

Function SkipOnUpgrade
  ${If} $Upgrade == 1
    Abort
  ${EndIf}
FunctionEnd

Section "Программа" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "/oname=${PROGRAM_FILE}" "${PROGRAM_EXE}"
  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\${PROGRAM_LINK}" "$INSTDIR\${PROGRAM_FILE}"
  File "/oname=${GUIDE_FILE}" "${GUIDE}"
  CreateShortcut "${MENU_FOLDER}\${GUIDE_LINK}" "$INSTDIR\${GUIDE_FILE}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_NAME}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM_FILE},0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Ярлык на рабочем столе" SecDesktop
  CreateShortcut "$DESKTOP\${PROGRAM_LINK}" "$INSTDIR\${PROGRAM_FILE}"
SectionEnd

Function .onInit
  ; All users when elevated, unless /CurrentUser: the shell folders, SHCTX and the default folder follow.
  UserInfo::GetAccountType
  Pop $0
  !insertmacro ReadSwitch "/CurrentUser" $1
  ${If} $0 == "Admin"
  ${AndIf} $1 == 0
    StrCpy $PerMachine 1
    SetShellVarContext all
  ${Else}
    StrCpy $PerMachine 0
    SetShellVarContext current
  ${EndIf}
  ; An earlier installation in this scope keeps its folder, unless /D= names another.
  ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
    StrCpy $Upgrade 1
  ${EndIf}
  ${If} $INSTDIR == ""
    ${If} $Upgrade == 1
      StrCpy $INSTDIR $0
    ${ElseIf} $PerMachine == 1
      StrCpy $INSTDIR "$PROGRAMFILES64\${FOLDER_NAME}"
    ${Else}
      StrCpy $INSTDIR "$LOCALAPPDATA\Programs\${FOLDER_NAME}"
    ${EndIf}
  ${EndIf}
  !insertmacro ReadSwitch "/Desktop" $0
  ${If} $0 == 1
    SectionSetFlags ${SecDesktop} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

; The uninstaller lives in the folder it removes; the scope is the one whose entry names that folder.
Function un.onInit
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    StrCpy $PerMachine 1
    SetShellVarContext all
    UserInfo::GetAccountType
    Pop $1
    ${If} $1 != "Admin"
      MessageBox MB_ICONSTOP "Программа установлена для всех пользователей. Удалить её может только администратор." /SD IDOK
      Abort
    ${EndIf}
  ${Else}
    StrCpy $PerMachine 0
    SetShellVarContext current
  ${EndIf}
  !insertmacro ReadSwitch "/DeleteData" $DeleteData
FunctionEnd

Function un.DeleteDataPageShow
  !insertmacro MUI_HEADER_TEXT "Удаление программы" "Программа «${PRODUCT_NAME}» будет удалена с компьютера."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 24u "Программа будет удалена из папки:$\r$\n$INSTDIR"
  Pop $0
  ${NSD_CreateLabel} 0 32u 100% 36u "Ваши данные остаются: количество, единица и предназначение, последние цвета, настройки взвешивания и весов и журнал замесов. При повторной установке программа продолжит с ними."
  Pop $0
  ${NSD_CreateCheckbox} 0 76u 100% 12u "&Удалить мои данные"
  Pop $DeleteDataCheckbox
  ${If} $DeleteData == 1
    ${NSD_Check} $DeleteDataCheckbox
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function un.DeleteDataPageLeave
  ${NSD_GetState} $DeleteDataCheckbox $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $DeleteData 1
  ${Else}
    StrCpy $DeleteData 0
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Delete "$INSTDIR\${PROGRAM_FILE}"
  Delete "$INSTDIR\${GUIDE_FILE}"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: files the user put there stay.
  RMDir "$INSTDIR"
  Delete "${MENU_FOLDER}\${PROGRAM_LINK}"
  Delete "${MENU_FOLDER}\${GUIDE_LINK}"
  RMDir "${MENU_FOLDER}"
  Delete "$DESKTOP\${PROGRAM_LINK}"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ${If} $PerMachine == 0
    ; A per-user install may have been the first to make these; they go when nothing else uses them.
    DeleteRegKey /ifempty HKCU "${UNINSTALL_PARENT_KEY}"
    RMDir "$LOCALAPPDATA\Programs"
  ${EndIf}

  ${If} $DeleteData == 1
    ; The data belongs to the user who runs the uninstaller, whatever the scope of the program.
    SetShellVarContext current
    DeleteRegKey HKCU "${USER_DATA_KEY}"
    DeleteRegKey /ifempty HKCU "${USER_DATA_PARENT_KEY}"
    RMDir /r "${USER_DATA_FOLDER}"
  ${EndIf}
SectionEnd
