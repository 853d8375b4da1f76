@echo off
rem Installs the barcode font "code 128" for all users of this computer,
rem without questions, as software deployment tools run it: copies
rem code128.ttf from this folder into the Windows Fonts folder as
rem qelv_code128.ttf, registers it under a value of its own and tells the
rem running programs, so programs started from now on see it (no logon
rem needed). Another product's "code 128" font is left alone, and then
rem nothing is changed (exit 3; the integration guide says what to do).
rem Needs administrator rights, and ..\bin\qelvcall.exe beside this folder.
rem Check with: qelvcall --font-check
rem Exit: 0 installed, 1 not allowed or failed, 2 code128.ttf not found,
rem 3 another "code 128" font is installed.
setlocal
set "CALL=%~dp0..\bin\qelvcall.exe"
if not exist "%CALL%" (
  echo install-font: "%CALL%" not found: keep the archive's folders together
  exit /b 1
)
"%CALL%" --font-install "%~dp0code128.ttf"
exit /b %errorlevel%
