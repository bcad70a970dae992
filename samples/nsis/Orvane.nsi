; Orvane's installer, made with NSIS: how an installer ships
; KesOrvCleanup.exe, points it at its uninstaller, and calls it.
;
;   makensis [-DVERSION=1.0.0] Orvane.nsi
;
; with Orvane.exe and KesOrvCleanup.exe beside this script. The result,
; OrvaneSetup.exe, installs silently with /S.
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

!ifndef VERSION
  !define VERSION "1.0.0"
!endif

!define APPS_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvane"

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
; HKLM and the program files folder are the machine's.
RequestExecutionLevel admin

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Orvane"
  ; KesOrvCleanup.exe is a 32-bit program and reads the 32-bit view of
  ; HKLM. A 32-bit installer writes there anyway; saying so keeps it true
  ; if this script is ever built as a 64-bit installer.
  SetRegView 32
  SetOutPath "$INSTDIR"
  File "Orvane.exe"
  File "KesOrvCleanup.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Run" "Orvane" '"$INSTDIR\Orvane.exe"'

  ; What KesOrvCleanup.exe starts when it runs without arguments: the
  ; uninstaller's path alone, and its switches apart. It turns every
  ; backslash into a forward slash before starting it: a path to a program
  ; still works, but nothing here may need its backslashes.
  WriteRegStr HKLM "SOFTWARE\Kestrova\Orvane" "UninstallString" "$INSTDIR\uninstall.exe"
  ; /S, and nothing else. The tool hides the window of the program it
  ; starts, but an NSIS uninstaller copies itself to %TEMP% and starts that
  ; copy, whose windows show unless /S is given. And no _?=: NSIS takes
  ; that switch only with backslashes; after the rewrite it refuses to
  ; run and removes nothing.
  WriteRegStr HKLM "SOFTWARE\Kestrova\Orvane" "UninstallArgs" "/S"

  ; The entry in Apps and Features. The uninstaller offers no repair and
  ; no choice of parts, so the entry offers neither.
  WriteRegStr HKLM "${APPS_KEY}" "DisplayName" "Orvane"
  WriteRegStr HKLM "${APPS_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${APPS_KEY}" "Publisher" "Kestrova"
  WriteRegStr HKLM "${APPS_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${APPS_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${APPS_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${APPS_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${APPS_KEY}" "NoRepair" 1
SectionEnd

; Orvane.exe runs from logon until its window is told to close, and a
; running program cannot be deleted. Each instance (one per signed-in user
; of this desktop) is asked to close as if the user had quit it; the files
; are then free once its process has ended.
Function un.CloseOrvane
  ${For} $1 1 50
    FindWindow $0 "OrvaneWindow"
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    Sleep 100
  ${Next}
FunctionEnd

Section "Uninstall"
  SetRegView 32

  ; First, while the tool is still there: remove the autostart entry.
  ; Two arguments choose the tool's removal mode; the second is not read.
  ; nsExec::Exec starts a console program without a console window, where
  ; ExecWait would show one for as long as the tool runs.
  nsExec::Exec '"$INSTDIR\KesOrvCleanup.exe" Orvane remove'
  ; What nsExec pushes: the tool's exit code, always 0, or "error" if it
  ; could not be started ("timeout" only with a /TIMEOUT, not given here).
  ; Either way the uninstall goes on.
  Pop $0

  Call un.CloseOrvane
  ; A closed window's process may hold its file a moment longer.
  ${For} $1 1 50
    ClearErrors
    Delete "$INSTDIR\Orvane.exe"
    ${IfNot} ${Errors}
      ${Break}
    ${EndIf}
    Sleep 100
  ${Next}
  Delete "$INSTDIR\KesOrvCleanup.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; Kestrova's folder, unless another of its products is still there.
  RMDir "$PROGRAMFILES\Kestrova"

  DeleteRegKey HKLM "SOFTWARE\Kestrova\Orvane"
  DeleteRegKey /ifempty HKLM "SOFTWARE\Kestrova"
  DeleteRegKey HKLM "${APPS_KEY}"
SectionEnd
