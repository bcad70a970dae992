; Orvane's installer, made with NSIS: how an installer ships
; KesOrvCleanup.exe, points it at its uninstaller, and calls it.
;
;   makensis Orvane.nsi
;
; with Orvane.exe and KesOrvCleanup.exe beside this script. The result,
; OrvaneSetup.exe, installs silently with /S.

Unicode true
Name "Orvane"
OutFile "OrvaneSetup.exe"

; A 32-bit installer, like the product and the tool: $PROGRAMFILES is the
; 32-bit program files folder, and the registry writes below land in the
; 32-bit view, which is where the 32-bit KesOrvCleanup.exe reads them.
InstallDir "$PROGRAMFILES\Kestrova\Orvane"
; HKLM and the program files folder are the machine's.
RequestExecutionLevel admin

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Orvane"
  SetOutPath "$INSTDIR"
  File "Orvane.exe"
  File "KesOrvCleanup.exe"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Run" "Orvane" '"$INSTDIR\Orvane.exe"'

  ; What KesOrvCleanup.exe starts when it runs without arguments. It
  ; turns every backslash into a forward slash before starting it: a path
  ; to a program still works, but nothing here may need its backslashes.
  WriteRegStr HKLM "SOFTWARE\Kestrova\Orvane" "UninstallString" "$INSTDIR\uninstall.exe"
  ; /S, and nothing else. The tool hides the window of the program it
  ; starts, but an NSIS uninstaller copies itself to %TEMP% and starts that
  ; copy, whose windows show unless /S is given. And no _?=: NSIS takes
  ; that switch only with backslashes; after the rewrite it refuses to
  ; run and removes nothing.
  WriteRegStr HKLM "SOFTWARE\Kestrova\Orvane" "UninstallArgs" "/S"

  ; The entry in Apps and Features.
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvane" "DisplayName" "Orvane"
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvane" "Publisher" "Kestrova"
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvane" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvane" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
SectionEnd

Section "Uninstall"
  ; First, while the tool is still there: remove the autostart entry.
  ; Two arguments choose the tool's removal mode; the second is not read.
  ; nsExec::Exec starts a console program without a console window, where
  ; ExecWait would show one for as long as the tool runs.
  nsExec::Exec '"$INSTDIR\KesOrvCleanup.exe" Orvane remove'
  Pop $0 ; the exit code, always 0: the tool reports nothing

  Delete "$INSTDIR\Orvane.exe"
  Delete "$INSTDIR\KesOrvCleanup.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; Kestrova's folder, unless another of its products is still there.
  RMDir "$PROGRAMFILES\Kestrova"

  DeleteRegKey HKLM "SOFTWARE\Kestrova\Orvane"
  DeleteRegKey /ifempty HKLM "SOFTWARE\Kestrova"
  DeleteRegKey HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvane"
SectionEnd
