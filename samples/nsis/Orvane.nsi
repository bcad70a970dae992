; Orvane's installer, made with NSIS 3.08 or later (the first with
; !uninstfinalize): how an installer ships KesOrvCleanup.exe, points it at
; its uninstaller, and calls it.
;
;   makensis [-DVERSION=1.0.0] Orvane.nsi
;
; with Orvane.exe and KesOrvCleanup.exe beside this script. The result,
; OrvaneSetup.exe, installs silently with /S. Run over an installed
; Orvane, it upgrades or reinstalls it in its folder, the product running
; or not.
;
; To sign the installer and the uninstaller it writes, give a command that
; signs the file named as its last argument in place, for example
;
;   makensis -DSIGN="signtool sign /a /fd sha256 /tr http://timestamp.example /td sha256" Orvane.nsi
;
; An uninstaller is made inside the installer, so it can only be signed
; while makensis builds it (!uninstfinalize), never afterwards.

Unicode true
!include LogicLib.nsh
!include WinMessages.nsh
!include FileFunc.nsh

!ifndef VERSION
  !define VERSION "1.0.0"
!endif

!define APPS_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvane"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define PRODUCT_KEY "SOFTWARE\Kestrova\Orvane"

Name "Orvane"
OutFile "OrvaneSetup.exe"

!ifdef SIGN
  ; "= 0": a signing command that fails stops the build.
  !finalize '${SIGN} "%1"' = 0
  !uninstfinalize '${SIGN} "%1"' = 0
!endif

; A 32-bit installer, like the product and the tool: $PROGRAMFILES is the
; 32-bit program files folder.
InstallDir "$PROGRAMFILES\Kestrova\Orvane"
; An installed Orvane is upgraded or reinstalled where it is. (/D= still
; wins, as it always does in NSIS.)
InstallDirRegKey HKLM "${APPS_KEY}" "InstallLocation"
; HKLM and the program files folder are the machine's.
RequestExecutionLevel admin

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; The tool starts what UninstallString names with an installer's rights,
; and the Run value's program runs at every user's logon: both must lie
; where only administrators can change them. The program files folder is
; such a place. A folder made elsewhere, C:\Orvane for one, lets every
; signed-in user change what is in it. Sets $0 to the folder Windows will
; use for $INSTDIR (with any . and .. resolved), or to "" when that lies
; outside the program files folder.
Function InstallFolderOrEmpty
  System::Call 'kernel32::GetFullPathNameW(w "$INSTDIR", i ${NSIS_MAX_STRLEN}, w .r0, p 0) i .r1'
  StrLen $1 "$PROGRAMFILES\"
  StrCpy $2 $0 $1
  ; LogicLib's == ignores letter case, as Windows' names do.
  ${If} $2 != "$PROGRAMFILES\"
    StrCpy $0 ""
  ${EndIf}
FunctionEnd

; The directory page offers Next only for a folder the installer accepts.
Function .onVerifyInstDir
  Call InstallFolderOrEmpty
  ${If} $0 == ""
    Abort
  ${EndIf}
FunctionEnd

; Orvane.exe runs from logon until its window is told to close, and a
; running program can be neither replaced nor deleted. First each instance
; on this desktop is asked to close, as if its user had quit it. Whatever
; still runs a few seconds later is ended: a window that does not answer,
; and every instance that FindWindow cannot reach, in another user's
; session or while a deployment tool runs this as SYSTEM in a session of
; its own. At most about 20 seconds in all. Deletes Orvane.exe, and sets
; $0 to 1 once it is gone.
!macro CLOSE_AND_DELETE_ORVANE UN
Function ${UN}CloseAndDeleteOrvane
  StrCpy $2 0
  ${For} $1 1 10
    FindWindow $0 "OrvaneWindow" "" 0 $2
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=1000
    ; A window still there did not close: the next search starts past it.
    IsWindow $0 0 +2
      StrCpy $2 $0
  ${Next}
  Call ${UN}DeleteOrvane
  ${If} $0 = 0
    Call ${UN}EndOrvane
    Call ${UN}DeleteOrvane
  ${EndIf}
FunctionEnd

; An ended process may hold its file a moment longer: tries for 5 seconds.
Function ${UN}DeleteOrvane
  ${For} $1 1 25
    Delete "$INSTDIR\Orvane.exe"
    ${IfNot} ${FileExists} "$INSTDIR\Orvane.exe"
      StrCpy $0 1
      Return
    ${EndIf}
    Sleep 200
  ${Next}
  StrCpy $0 0
FunctionEnd

; Ends every process started from $INSTDIR\Orvane.exe, in every session:
; SYSTEM may end any process, an administrator once its debug privilege
; is on. Another copy of Orvane.exe, installed elsewhere, runs on.
Function ${UN}EndOrvane
  ; TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY.
  System::Call 'advapi32::OpenProcessToken(p -1, i 0x28, *p .r0) i .r1'
  ${If} $1 <> 0
    System::Call 'advapi32::LookupPrivilegeValueW(p 0, w "SeDebugPrivilege", *l .r2)'
    ; A TOKEN_PRIVILEGES of one privilege, SE_PRIVILEGE_ENABLED.
    System::Call '*(i 1, l r2, i 2) p .r3'
    System::Call 'advapi32::AdjustTokenPrivileges(p r0, i 0, p r3, i 0, p 0, p 0)'
    System::Free $3
    System::Call 'kernel32::CloseHandle(p r0)'
  ${EndIf}
  ; TH32CS_SNAPPROCESS: every process with its program's name.
  System::Call 'kernel32::CreateToolhelp32Snapshot(i 2, i 0) p .r0'
  ${If} $0 = -1
    Return
  ${EndIf}
  ; A PROCESSENTRY32W, 556 bytes in a 32-bit installer: its size first,
  ; the process ID third, the program's name last.
  System::Alloc 556
  Pop $1
  System::Call '*$1(i 556)'
  System::Call 'kernel32::Process32FirstW(p r0, p r1) i .r2'
  ${DoWhile} $2 <> 0
    System::Call '*$1(i, i, i .r3, i, i, i, i, i, i, &w260 .r4)'
    ${If} $4 == "Orvane.exe"
      ; PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION.
      System::Call 'kernel32::OpenProcess(i 0x1001, i 0, i r3) p .r5'
      ${If} $5 <> 0
        System::Call 'kernel32::QueryFullProcessImageNameW(p r5, i 0, w .r6, *i ${NSIS_MAX_STRLEN}) i .r7'
        ${If} $7 <> 0
        ${AndIf} $6 == "$INSTDIR\Orvane.exe"
          System::Call 'kernel32::TerminateProcess(p r5, i 1)'
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r5)'
      ${EndIf}
    ${EndIf}
    System::Call 'kernel32::Process32NextW(p r0, p r1) i .r2'
  ${Loop}
  System::Free $1
  System::Call 'kernel32::CloseHandle(p r0)'
FunctionEnd
!macroend
!insertmacro CLOSE_AND_DELETE_ORVANE ""
!insertmacro CLOSE_AND_DELETE_ORVANE "un."

Section "Orvane"
  Call InstallFolderOrEmpty
  ${If} $0 == ""
    MessageBox MB_ICONSTOP "Orvane installs only in a folder under $PROGRAMFILES, where only administrators can change its files. Nothing was installed." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  StrCpy $INSTDIR $0

  ; KesOrvCleanup.exe is a 32-bit program and reads the 32-bit view of
  ; HKLM. A 32-bit installer writes there anyway; saying so keeps it true
  ; if this script is ever built as a 64-bit installer.
  SetRegView 32
  ; An upgrade or a reinstall: the Apps and Features entry is there.
  ClearErrors
  ReadRegStr $R0 HKLM "${APPS_KEY}" "DisplayName"
  ${If} ${Errors}
    StrCpy $R0 ""
  ${EndIf}

  ${If} ${FileExists} "$INSTDIR\Orvane.exe"
    Call CloseAndDeleteOrvane
    ${If} $0 = 0
      MessageBox MB_ICONSTOP "Orvane is running and could not be closed. Nothing was changed." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
  SetOutPath "$INSTDIR"
  File "Orvane.exe"
  File "KesOrvCleanup.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Once written, the autostart entry is the product's: its
  ; start-with-Windows setting removes it and writes it again. An upgrade
  ; leaves it as the user left it.
  ${If} $R0 == ""
    WriteRegStr HKLM "${RUN_KEY}" "Orvane" '"$INSTDIR\Orvane.exe"'
  ${EndIf}

  ; What KesOrvCleanup.exe starts when it runs without arguments: the
  ; uninstaller's path alone, and its switches apart. It turns every
  ; backslash into a forward slash before starting it: a path to a program
  ; still works, but nothing here may need its backslashes.
  WriteRegStr HKLM "${PRODUCT_KEY}" "UninstallString" "$INSTDIR\uninstall.exe"
  ; /S, and nothing else. The tool hides the window of the program it
  ; starts, but an NSIS uninstaller copies itself to %TEMP% and starts that
  ; copy, whose windows show unless /S is given. And no _?=: NSIS takes
  ; that switch only with backslashes; after the rewrite it refuses to
  ; run and removes nothing.
  WriteRegStr HKLM "${PRODUCT_KEY}" "UninstallArgs" "/S"

  ; The entry in Apps and Features. The uninstaller offers no repair and
  ; no choice of parts, so the entry offers neither.
  WriteRegStr HKLM "${APPS_KEY}" "DisplayName" "Orvane"
  WriteRegStr HKLM "${APPS_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${APPS_KEY}" "Publisher" "Kestrova"
  WriteRegStr HKLM "${APPS_KEY}" "DisplayIcon" "$INSTDIR\Orvane.exe,0"
  WriteRegStr HKLM "${APPS_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${APPS_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${APPS_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${APPS_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${APPS_KEY}" "NoRepair" 1
  ; In kilobytes.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${APPS_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  SetRegView 32
  ; Away from the install folder, which a working folder would keep from
  ; being removed; every program started from here inherits it too.
  SetOutPath "$TEMP"

  ; First, while the tool is still there: remove the autostart entry.
  ; Two arguments choose the tool's removal mode; the second is not read.
  ; nsExec::Exec starts a console program without a console window, where
  ; ExecWait would show one for as long as the tool runs.
  nsExec::Exec '"$INSTDIR\KesOrvCleanup.exe" Orvane remove'
  ; What nsExec pushes: the tool's exit code, always 0, or "error" if it
  ; could not be started ("timeout" only with a /TIMEOUT, not given here).
  ; Either way the uninstall goes on.
  Pop $0

  Call un.CloseAndDeleteOrvane
  ; The last resort, for a file still held: deleted when Windows next
  ; starts, as is the folder.
  Delete /REBOOTOK "$INSTDIR\Orvane.exe"
  Delete /REBOOTOK "$INSTDIR\KesOrvCleanup.exe"
  Delete /REBOOTOK "$INSTDIR\uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
  ; Kestrova's folder, unless another of its products is still there.
  RMDir /REBOOTOK "$PROGRAMFILES\Kestrova"

  DeleteRegKey HKLM "${PRODUCT_KEY}"
  DeleteRegKey /ifempty HKLM "SOFTWARE\Kestrova"
  DeleteRegKey HKLM "${APPS_KEY}"
SectionEnd
