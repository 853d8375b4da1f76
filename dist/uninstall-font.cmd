@echo off
rem Removes the barcode font that install-font.cmd installed: the registry
rem values that point at qelv_code128.ttf and that file, nothing else (a
rem "code 128" font of another product stays). A file in use is deleted at
rem the next restart (exit 3010, restart required). Needs administrator
rem rights, and ..\bin\qelvcall.exe beside this folder.
rem Exit: 0 removed or not installed, 1 not allowed or failed, 3010 removed
rem at the next restart.
setlocal
set "CALL=%~dp0..\bin\qelvcall.exe"
if not exist "%CALL%" (
  echo uninstall-font: "%CALL%" not found: keep the archive's folders together
  exit /b 1
)
"%CALL%" --font-uninstall
exit /b %errorlevel%
