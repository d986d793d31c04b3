; The player's setup program of the Windows game folder, and its uninstaller (makensis, built by
; make_setup.cmake from the game folder the install rules lay out).
;
; A script of our own rather than CPack's NSIS generator: CPack's template installs for the whole
; machine (Program Files, elevation, HKLM), and what this folder needs would override most of it:
; per user without elevation, pm_config.ini only when the folder has none, an uninstaller that
; removes the listed files and nothing else, the check for a running Drelk.exe, Chinese pages.
; MultiUser.nsh is not used either: it writes its own default folder over the one given with /D.
;
; From make_setup.cmake (setup-settings.nsh): VERSION, FILE_VERSION (four numbers), PUBLISHER,
; ICON, OUTFILE, SETTINGS (the pm_config.ini to install), ESTIMATED_SIZE (KiB), FILES (the install
; and uninstall lists of every other file), and SIGN_COMMAND when the programs are to be signed
; (%1 is the file).
Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma

!include /CHARSET=UTF8 "${SETTINGS_NSH}"
!include MUI2.nsh
!include LogicLib.nsh
!include nsDialogs.nsh
!include /CHARSET=UTF8 "${FILES}"

!ifdef SIGN_COMMAND
  !uninstfinalize '${SIGN_COMMAND}' = 0
  !finalize '${SIGN_COMMAND}' = 0
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Drelk"

Name "Drelk"
OutFile "${OUTFILE}"
RequestExecutionLevel user
BrandingText "Drelk ${VERSION}"
VIProductVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=2052 "ProductName" "Drelk"
VIAddVersionKey /LANG=2052 "FileDescription" "Drelk 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
Page custom FinishPageShow FinishPageLeave
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; Stops the setup or the uninstaller before it changes anything while the installed Drelk.exe runs:
; a running program's file cannot be opened for writing. Silent runs end with exit code 2.
!macro DrelkStopWhileRunning
  ${Do}
    ${IfNot} ${FileExists} "$INSTDIR\Drelk.exe"
      ${Break}
    ${EndIf}
    ClearErrors
    FileOpen $0 "$INSTDIR\Drelk.exe" a
    ${IfNot} ${Errors}
      FileClose $0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "Drelk 正在运行（$INSTDIR\Drelk.exe）。$\r$\n请先关闭启动器和游戏窗口，再点“重试”。" \
        /SD IDCANCEL IDRETRY drelk_retry
    SetErrorLevel 2
    Quit
    drelk_retry:
  ${Loop}
!macroend

Function .onInit
  ; Without /D: the folder of an earlier installation, else the player's own programs folder.
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
    GetKnownFolderPath $INSTDIR {5CD7AEE2-2219-4A67-B85D-6C9CE15660CB} ; FOLDERID_UserProgramFiles
    ${If} $INSTDIR == ""
      StrCpy $INSTDIR "$LOCALAPPDATA\Programs"
    ${EndIf}
    StrCpy $INSTDIR "$INSTDIR\Drelk"
  ${EndIf}
FunctionEnd

Section "Drelk" SecProgram
  SectionIn RO
  SetShellVarContext current
  !insertmacro DrelkStopWhileRunning
  SetOutPath "$INSTDIR"
  !insertmacro DrelkInstallFiles
  ; The settings only when the folder has none: an upgrade keeps the operator's settings and what
  ; the program appended (firstopen=false).
  ${IfNot} ${FileExists} "$INSTDIR\pm_config.ini"
    File "/oname=$INSTDIR\pm_config.ini" "${SETTINGS}"
  ${EndIf}
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Drelk.lnk" "$INSTDIR\Drelk.exe" "" "$INSTDIR\Drelk.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Drelk"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Drelk.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${ESTIMATED_SIZE}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "桌面快捷方式" SecDesktop
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  CreateShortcut "$DESKTOP\Drelk.lnk" "$INSTDIR\Drelk.exe" "" "$INSTDIR\Drelk.exe" 0
SectionEnd

; The last page: where the program is, and whether to start it now (not in a silent run, which
; shows no pages).
Var StartNow

Function FinishPageShow
  !insertmacro MUI_HEADER_TEXT "安装完成" "Drelk 已安装到 $INSTDIR。"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 24u "点击“完成”关闭安装程序。开始菜单中有 Drelk 的快捷方式。"
  Pop $0
  ${NSD_CreateCheckbox} 0 30u 100% 12u "现在启动 Drelk"
  Pop $StartNow
  ${NSD_Check} $StartNow
  GetDlgItem $0 $HWNDPARENT 1
  SendMessage $0 ${WM_SETTEXT} 0 "STR:完成(&F)"
  GetDlgItem $0 $HWNDPARENT 2
  EnableWindow $0 0
  nsDialogs::Show
FunctionEnd

Function FinishPageLeave
  ${NSD_GetState} $StartNow $0
  ${If} $0 == ${BST_CHECKED}
    SetOutPath "$INSTDIR"
    Exec '"$INSTDIR\Drelk.exe"'
  ${EndIf}
FunctionEnd

; The uninstaller removes the files the setup lists, pm_config.ini, itself, the shortcuts and the
; registry entry. Anything else in the folder stays (a game client another installer put into
; game\, the player's files), and a folder goes only once it is empty.
Section "Uninstall"
  SetShellVarContext current
  !insertmacro DrelkStopWhileRunning
  !insertmacro DrelkUninstallFiles
  Delete "$INSTDIR\pm_config.ini"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Drelk.lnk"
  Delete "$DESKTOP\Drelk.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
