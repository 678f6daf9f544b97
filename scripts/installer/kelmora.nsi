; Installer of the saver, its test viewer, the plug-in kit and the sample
; words folder. Built by scripts/package, which stages the files and passes:
;   VERSION   dotted version, four numbers (from common/version.h)
;   SHORT_VERSION  the version as users see it, e.g. 1.51
;   STAGE     the staged tree (x64\, x86\, Kit\, Words\, PolicyDefinitions\)
;   OUTFILE   the installer to write
;   GENERATED folder of the file lists made from the stage
;   AMD64     defined for the 64-bit installer (runs on 64-bit Windows only;
;             the 32-bit one runs everywhere)
; Command line: /S silent, /D=folder, /X86 the 32-bit saver on 64-bit
; Windows (plug-ins of either kind run with either saver, each in the host
; of its own kind, so this is only for setups that want the 32-bit saver
; itself), /USENOW make it the current user's screen saver without asking
; (the finish page offers it otherwise).

Unicode true
!ifdef AMD64
Target amd64-unicode
!endif
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include Sections.nsh

; Machine-wide defaults under HKLM (this installer writes FilePath there);
; each user's own settings under HKCU, which the saver reads first.
!define SETTINGS_KEY "SOFTWARE\Oxbellow\ScreenSaver.Kelmora\Main"
!define SETTINGS_ROOT "SOFTWARE\Oxbellow\ScreenSaver.Kelmora"
!define USER_SETTINGS_ROOT "Software\Oxbellow\ScreenSaver.Kelmora"
!define PLUGIN_SETTINGS_KEY "Software\Oxbellow\Kelmora Plugins"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Oxbellow.Kelmora"
!define DESKTOP_KEY "Control Panel\Desktop"
; HKEY_LOCAL_MACHINE as the System plug-in must pass it: sign-extended,
; which a 64-bit installer would otherwise get wrong.
!define HKLM_HANDLE -2147483646
; The saver reads FilePath as UTF-16 of at most 259 characters: a longer
; folder would be read as no folder at all.
!define FILEPATH_CHARS 259

Name "$(ProductName)"
OutFile "${OUTFILE}"
InstallDir ""
ShowInstDetails show
ShowUninstDetails show
BrandingText "Oxbellow"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "ミルカナ Screen Saver"
VIAddVersionKey /LANG=0 "CompanyName" "Oxbellow"
VIAddVersionKey /LANG=0 "FileDescription" "ミルカナ スクリーンセーバー セットアップ"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (C) Oxbellow"

Var SaverFile      ; where this install puts the saver
Var SaverBuild     ; x64 or x86
Var SettingsView   ; 64 or 32: the registry view that saver reads
Var PrevSaverFile  ; the saver of an earlier install, if any
Var UseNow         ; 1: /USENOW was given

!define MUI_ICON "${GENERATED}/kelmora.ico"
!define MUI_UNICON "${GENERATED}/kelmora.ico"
!define MUI_ABORTWARNING
; Our own pictures, drawn by scripts/make-installer-art.
!define MUI_WELCOMEFINISHPAGE_BITMAP "wizard.bmp"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "wizard.bmp"
!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_RIGHT
!define MUI_HEADERIMAGE_BITMAP "header.bmp"
!define MUI_HEADERIMAGE_UNBITMAP "header.bmp"
!define MUI_COMPONENTSPAGE_SMALLDESC
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(UseNowText)"
!define MUI_FINISHPAGE_RUN_FUNCTION UseAsScreenSaver
!define MUI_FINISHPAGE_NOREBOOTSUPPORT
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "English"

LangString ProductName ${LANG_JAPANESE} "ミルカナ Screen Saver ${SHORT_VERSION}"
LangString ProductName ${LANG_ENGLISH} "ミルカナ Screen Saver ${SHORT_VERSION}"
LangString SecSaverName ${LANG_JAPANESE} "スクリーンセーバー本体"
LangString SecSaverName ${LANG_ENGLISH} "Screen saver"
LangString SecSaverDesc ${LANG_JAPANESE} "KELMORA.scr をシステム フォルダーに、サンプルのミルカナ フォルダーをインストール先に入れます。"
LangString SecSaverDesc ${LANG_ENGLISH} "KELMORA.scr into the system folder, and the sample words folder into the installation folder."
LangString SecX86Name ${LANG_JAPANESE} "32 ビット版を使う"
LangString SecX86Name ${LANG_ENGLISH} "Use the 32-bit build"
LangString SecX86Desc ${LANG_JAPANESE} "64 ビット版の代わりに 32 ビット版のスクリーンセーバーとテストビューアを入れます。TextGenDLL は 32 ビットでも 64 ビットでも、どちらの版でも使えます。"
LangString SecX86Desc ${LANG_ENGLISH} "Installs the 32-bit saver and test viewer instead of the 64-bit ones. TextGenDLL plug-ins run with either, 32-bit and 64-bit alike."
LangString SecKitName ${LANG_JAPANESE} "TextGenDLL 開発キット"
LangString SecKitName ${LANG_ENGLISH} "TextGenDLL kit"
LangString SecKitDesc ${LANG_JAPANESE} "テストビューア KELMGDBG、textgen.h、ガイド、サンプル プラグイン (64 ビット版と 32 ビット版)。"
LangString SecKitDesc ${LANG_ENGLISH} "The KELMGDBG test viewer, textgen.h, a guide and sample plug-ins (64-bit and 32-bit)."
LangString UseNowText ${LANG_JAPANESE} "ミルカナを今すぐスクリーンセーバーに設定する"
LangString UseNowText ${LANG_ENGLISH} "Use ミルカナ as my screen saver now"
LangString ViewerLink ${LANG_JAPANESE} "TextGenDLL テストビューア"
LangString ViewerLink ${LANG_ENGLISH} "TextGenDLL test viewer"
LangString GuideLink ${LANG_JAPANESE} "TextGenDLL 開発ガイド"
LangString GuideLink ${LANG_ENGLISH} "TextGenDLL guide"
LangString PathTooLong ${LANG_JAPANESE} "インストール先のパスが長すぎるため、ミルカナ フォルダーを設定できませんでした。スクリーンセーバーの設定で短いパスのフォルダーを指定してください。"
LangString PathTooLong ${LANG_ENGLISH} "The installation folder's path is too long for the saver, so the words folder was not set. Choose a folder with a shorter path in the screen saver's settings."
LangString KeepSettings ${LANG_JAPANESE} "ミルカナの設定を残しますか?$\r$\n(「いいえ」を選ぶと設定を削除します)"
LangString KeepSettings ${LANG_ENGLISH} "Keep the settings of ミルカナ?$\r$\n(No removes them.)"
LangString NeedsAdmin ${LANG_JAPANESE} "ミルカナのインストールには管理者の権限が必要です。管理者としてセットアップを実行してください。"
LangString NeedsAdmin ${LANG_ENGLISH} "Installing ミルカナ needs administrator rights. Run the setup as an administrator."
LangString Needs64 ${LANG_JAPANESE} "このセットアップは 64 ビット版 Windows 専用です。"
LangString Needs64 ${LANG_ENGLISH} "This setup runs on 64-bit Windows only."

; Both registry views are named explicitly: which one the saver reads
; depends on the build installed, not on this installer's own bitness.
!macro SettingsView
  ${If} $SettingsView == 64
    SetRegView 64
  ${Else}
    SetRegView 32
  ${EndIf}
!macroend

!macro UninstallView
  ${If} ${RunningX64}
    SetRegView 64
  ${Else}
    SetRegView 32
  ${EndIf}
!macroend

Section "$(SecSaverName)" SecSaver
  SectionIn RO

  ; An earlier install of the other build must not leave a second
  ; ミルカナ in the control panel's list.
  ${If} $PrevSaverFile != ""
  ${AndIf} $PrevSaverFile != $SaverFile
    ${DisableX64FSRedirection}
    Delete "$PrevSaverFile"
    ${GetParent} "$PrevSaverFile" $0
    Delete "$0\KELMTG64.EXE"
    Delete "$0\KELMTG32.EXE"
    ${EnableX64FSRedirection}
  ${EndIf}

  ${DisableX64FSRedirection}
  ${GetParent} "$SaverFile" $0
  SetOutPath "$0"
  ${If} $SaverBuild == x64
    File "${STAGE}/x64/KELMORA.scr"
  ${Else}
    File "${STAGE}/x86/KELMORA.scr"
  ${EndIf}
  ; The plug-in hosts go beside the saver, which starts them from its own
  ; folder: on 64-bit Windows both, so that either saver runs plug-ins of
  ; either kind; on 32-bit Windows only the one that can run there.
  File "${STAGE}/x86/KELMTG32.EXE"
  ${If} ${RunningX64}
    File "${STAGE}/x64/KELMTG64.EXE"
  ${EndIf}
  ${EnableX64FSRedirection}

  SetOutPath "$INSTDIR"
  !include "${GENERATED}/install-words.nsh"
  ; The administrative templates, for an administrator to copy into the
  ; central store or %WINDIR%\PolicyDefinitions.
  !include "${GENERATED}/install-policies.nsh"

  !insertmacro SettingsView
  ReadRegStr $0 HKLM "${SETTINGS_KEY}" "FilePath"
  ${If} $0 == ""
    Call WordsFolderForSaver
    Pop $1
    ${If} $1 == ""
      DetailPrint "$(PathTooLong)"
      MessageBox MB_OK|MB_ICONEXCLAMATION "$(PathTooLong)" /SD IDOK
    ${Else}
      WriteRegStr HKLM "${SETTINGS_KEY}" "FilePath" "$1"
    ${EndIf}
  ${EndIf}
  Call InheritSettingsAccess

  WriteUninstaller "$INSTDIR\uninstall.exe"
  !insertmacro UninstallView
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "ミルカナ Screen Saver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Oxbellow"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegStr HKLM "${UNINSTALL_KEY}" "SaverFile" "$SaverFile"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "SettingsView" "$SettingsView"
SectionEnd

Section /o "$(SecX86Name)" SecX86
  ; Only a choice: the saver section reads it through $SaverBuild.
SectionEnd

Section "$(SecKitName)" SecKit
  SetOutPath "$INSTDIR"
  ${If} $SaverBuild == x64
    !ifdef HAVE_VIEWER_X64
      File "${STAGE}/x64/KELMGDBG.exe"
    !endif
  ${Else}
    !ifdef HAVE_VIEWER_X86
      File "${STAGE}/x86/KELMGDBG.exe"
    !endif
  ${EndIf}
  !include "${GENERATED}/install-kit.nsh"

  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\ミルカナ"
  ${If} ${FileExists} "$INSTDIR\KELMGDBG.exe"
    CreateShortCut "$SMPROGRAMS\ミルカナ\$(ViewerLink).lnk" "$INSTDIR\KELMGDBG.exe"
  ${EndIf}
  CreateShortCut "$SMPROGRAMS\ミルカナ\$(GuideLink).lnk" "$INSTDIR\Kit\GUIDE.txt"
  WriteINIStr "$INSTDIR\uninstall.ini" "Links" "Viewer" "$(ViewerLink).lnk"
  WriteINIStr "$INSTDIR\uninstall.ini" "Links" "Guide" "$(GuideLink).lnk"
SectionEnd

Section "-Size"
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  !insertmacro UninstallView
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
  ${If} $UseNow == 1
    Call UseAsScreenSaver
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecSaver} "$(SecSaverDesc)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecX86} "$(SecX86Desc)"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecKit} "$(SecKitDesc)"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  ; Where no elevation prompt comes (older Windows, or it was refused), an
  ; ordinary user would get half an install: the system folder and the
  ; machine's registry are closed to them.
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "$(NeedsAdmin)" /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/USENOW" $1
  ${IfNot} ${Errors}
    StrCpy $UseNow 1
  ${EndIf}
  ${If} ${RunningX64}
    ClearErrors
    ${GetOptions} $0 "/X86" $1
    ${IfNot} ${Errors}
      !insertmacro SelectSection ${SecX86}
    ${EndIf}
    ${If} $INSTDIR == ""
      StrCpy $INSTDIR "$PROGRAMFILES64\Oxbellow\Kelmora"
    ${EndIf}
  ${Else}
    !ifdef AMD64
      MessageBox MB_OK|MB_ICONSTOP "$(Needs64)" /SD IDOK
      Abort
    !endif
    ; No choice to offer: the 32-bit saver is the only one that runs.
    !insertmacro UnselectSection ${SecX86}
    SectionSetText ${SecX86} ""
    ${If} $INSTDIR == ""
      StrCpy $INSTDIR "$PROGRAMFILES\Oxbellow\Kelmora"
    ${EndIf}
  ${EndIf}
  !insertmacro UninstallView
  ReadRegStr $PrevSaverFile HKLM "${UNINSTALL_KEY}" "SaverFile"
  Call ChooseBuild
FunctionEnd

Function .onSelChange
  Call ChooseBuild
FunctionEnd

; On 64-bit Windows the 64-bit saver belongs in the real System32 (a 32-bit
; installer sees SysWOW64 there unless redirection is off) and the 32-bit
; one in SysWOW64, where the control panel also finds it.
Function ChooseBuild
  ${If} ${RunningX64}
    ${If} ${SectionIsSelected} ${SecX86}
      StrCpy $SaverBuild x86
      StrCpy $SaverFile "$WINDIR\SysWOW64\KELMORA.scr"
      StrCpy $SettingsView 32
    ${Else}
      StrCpy $SaverBuild x64
      StrCpy $SaverFile "$WINDIR\System32\KELMORA.scr"
      StrCpy $SettingsView 64
    ${EndIf}
  ${Else}
    StrCpy $SaverBuild x86
    StrCpy $SaverFile "$SYSDIR\KELMORA.scr"
    StrCpy $SettingsView 32
  ${EndIf}
FunctionEnd

; Pushes the words folder as the saver can read it back (the long path, or
; failing that its short form), or "" when neither fits.
Function WordsFolderForSaver
  StrCpy $0 "$INSTDIR\Words"
  Push $0
  Call FitsSaverBuffer
  Pop $1
  ${If} $1 == 1
    Push $0
    Return
  ${EndIf}
  GetFullPathName /SHORT $0 "$INSTDIR\Words"
  ${If} $0 != ""
    Push $0
    Call FitsSaverBuffer
    Pop $1
    ${If} $1 == 1
      Push $0
      Return
    ${EndIf}
  ${EndIf}
  Push ""
FunctionEnd

; 1 when the text on the stack fits the saver's folder setting, 0 otherwise.
Function FitsSaverBuffer
  Exch $R0
  Push $R1
  Push $R2
  StrLen $R1 $R0
  ${If} $R1 > 0
  ${AndIf} $R1 <= ${FILEPATH_CHARS}
    StrCpy $R0 1
  ${Else}
    StrCpy $R0 0
  ${EndIf}
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd

; Earlier versions made the machine key writable for every user, and the
; words folder named there is where plug-ins are loaded from: any user could
; have run code in everyone's session. Each user now stores into their own
; key, so the machine key goes back to what it inherits from SOFTWARE
; (administrators write, users read). A key that is not there is left alone.
Function InheritSettingsAccess
  ${If} $SettingsView == 64
    StrCpy $R3 0x100 ; KEY_WOW64_64KEY
  ${Else}
    StrCpy $R3 0x200 ; KEY_WOW64_32KEY
  ${EndIf}
  ${IfNot} ${RunningX64}
    StrCpy $R3 0
  ${EndIf}
  StrCpy $R4 "not opened"
  IntOp $R6 $R3 | 0x20000 ; READ_CONTROL
  IntOp $R3 $R3 | 0x60000 ; WRITE_DAC | READ_CONTROL
  System::Call 'advapi32::RegOpenKeyExW(p ${HKLM_HANDLE}, w "${SETTINGS_KEY}", i 0, i R3, *p .R1) i .R0'
  ${If} $R0 == 0
    ; An empty access list, unprotected: Windows then gives the key nothing
    ; of its own and fills the list with what it inherits from SOFTWARE.
    ; Where the list is not refilled (Wine), the key would be left with no
    ; access at all; only then is the parent's list copied onto it, which
    ; grants the same access as inheriting it would.
    System::Alloc 8
    Pop $R9
    System::Call 'advapi32::InitializeAcl(p R9, i 8, i 2) i .R0' ; ACL_REVISION
    ; DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION
    System::Call 'advapi32::SetSecurityInfo(p R1, i 4, i 0x20000004, p 0, p 0, p R9, p 0) i .R4'
    System::Free $R9
    StrCpy $R9 1
    ${If} $R4 == 0
      ; SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION: how many entries it got
      System::Call 'advapi32::GetSecurityInfo(p R1, i 4, i 4, p 0, p 0, *p .R7, p 0, *p .R8) i .R0'
      ${If} $R0 == 0
        ${If} $R7 != 0
          System::Call '*$R7(&i1, &i1, &i2, &i2 .R9)' ; ACL: revision, -, size, AceCount
        ${EndIf}
        System::Call 'kernel32::LocalFree(p R8)'
      ${EndIf}
    ${EndIf}
    ${If} $R9 == 0
    ${OrIf} $R4 != 0
      System::Call 'advapi32::RegOpenKeyExW(p ${HKLM_HANDLE}, w "${SETTINGS_ROOT}", i 0, i R6, *p .R5) i .R0'
      ${If} $R0 == 0
        System::Call 'advapi32::GetSecurityInfo(p R5, i 4, i 4, p 0, p 0, *p .R7, p 0, *p .R8) i .R4'
        ${If} $R4 == 0
          System::Call 'advapi32::SetSecurityInfo(p R1, i 4, i 0x20000004, p 0, p 0, p R7, p 0) i .R4'
          System::Call 'kernel32::LocalFree(p R8)'
        ${EndIf}
        System::Call 'advapi32::RegCloseKey(p R5)'
      ${EndIf}
    ${EndIf}
    ${If} $R4 != 0
      DetailPrint "Settings key access not reset ($R4)"
    ${EndIf}
    System::Call 'advapi32::RegCloseKey(p R1)'
  ${EndIf}
FunctionEnd

; The control panel keeps the saver of the current user by its short path.
Function UseAsScreenSaver
  ${DisableX64FSRedirection}
  GetFullPathName /SHORT $0 "$SaverFile"
  ${EnableX64FSRedirection}
  ${If} $0 == ""
    StrCpy $0 "$SaverFile"
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$0"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  ; SPI_SETSCREENSAVEACTIVE, stored and announced, so a running desktop
  ; picks it up without a new logon.
  System::Call 'user32::SystemParametersInfoW(i 17, i 1, p 0, i 3)'
FunctionEnd

Function un.onInit
  !insertmacro UninstallView
  ReadRegStr $SaverFile HKLM "${UNINSTALL_KEY}" "SaverFile"
  ReadRegStr $SettingsView HKLM "${UNINSTALL_KEY}" "SettingsView"
  ${If} $SettingsView == ""
    StrCpy $SettingsView 32
    ${If} ${RunningX64}
      StrCpy $SettingsView 64
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ; The user's choice of saver goes when it names ours, in either form.
  ${If} $SaverFile != ""
    ${DisableX64FSRedirection}
    GetFullPathName /SHORT $1 "$SaverFile"
    ${EnableX64FSRedirection}
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${If} $0 != ""
      ${If} $0 == $SaverFile
      ${OrIf} $0 == $1
        DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
        System::Call 'user32::SystemParametersInfoW(i 17, i 0, p 0, i 3)'
      ${EndIf}
    ${EndIf}
    ${DisableX64FSRedirection}
    Delete "$SaverFile"
    ${GetParent} "$SaverFile" $0
    Delete "$0\KELMTG64.EXE"
    Delete "$0\KELMTG32.EXE"
    ${EnableX64FSRedirection}
  ${EndIf}

  SetShellVarContext all
  ReadINIStr $0 "$INSTDIR\uninstall.ini" "Links" "Viewer"
  ${If} $0 != ""
    Delete "$SMPROGRAMS\ミルカナ\$0"
  ${EndIf}
  ReadINIStr $0 "$INSTDIR\uninstall.ini" "Links" "Guide"
  ${If} $0 != ""
    Delete "$SMPROGRAMS\ミルカナ\$0"
  ${EndIf}
  RMDir "$SMPROGRAMS\ミルカナ"

  ; Only what was installed: a words folder may hold the user's own files
  ; by now, and those stay with their folder.
  Delete "$INSTDIR\KELMGDBG.exe"
  !include "${GENERATED}/uninstall-files.nsh"
  Delete "$INSTDIR\uninstall.ini"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The maker's folder goes when we were its last product; a folder of the
  ; user's choosing stays, empty or not.
  ${GetParent} "$INSTDIR" $0
  ${GetFileName} "$0" $1
  ${If} $1 == "Oxbellow"
    RMDir "$0"
  ${EndIf}

  MessageBox MB_YESNO|MB_ICONQUESTION "$(KeepSettings)" /SD IDYES IDYES keep
    !insertmacro SettingsView
    DeleteRegKey HKLM "${SETTINGS_ROOT}"
    DeleteRegKey /ifempty HKLM "SOFTWARE\Oxbellow"
    DeleteRegKey HKCU "${USER_SETTINGS_ROOT}"
    DeleteRegKey HKCU "${PLUGIN_SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Oxbellow"
  keep:

  !insertmacro UninstallView
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
