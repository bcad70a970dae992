; The smallest installer that starts KesOrvCleanup.exe, to see whether the
; way an NSIS script starts a console program shows a console window:
;   makensis -DCALL=ExecWait StartTool.nsi      or   -DCALL=nsExec
; Its only work is the tool's removal of the Run value StartToolProbe.
Unicode true
Name "StartTool"
OutFile "StartTool-${CALL}.exe"
RequestExecutionLevel admin

Section
  InitPluginsDir
  File "/oname=$PLUGINSDIR\KesOrvCleanup.exe" "KesOrvCleanup.exe"
  !if ${CALL} == ExecWait
    ExecWait '"$PLUGINSDIR\KesOrvCleanup.exe" StartToolProbe remove'
  !else
    nsExec::Exec '"$PLUGINSDIR\KesOrvCleanup.exe" StartToolProbe remove'
    Pop $0
  !endif
SectionEnd
