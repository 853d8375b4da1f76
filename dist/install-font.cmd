@echo off
rem Installs the barcode font "code 128" for all users of this computer,
rem without questions, as software deployment tools run it: copies
rem code128.ttf from this folder into the Windows Fonts folder and registers
rem it. Needs administrator rights. Programs started after the next logon
rem see the font; check with: qelvcall --font-check
rem Exit: 0 installed, 1 not allowed or failed, 2 code128.ttf not found.
setlocal
set "FONT=%~dp0code128.ttf"
if not exist "%FONT%" (
  echo install-font: "%FONT%" not found
  exit /b 2
)
copy /y "%FONT%" "%WINDIR%\Fonts\code128.ttf" >nul
if errorlevel 1 (
  echo install-font: cannot copy into %WINDIR%\Fonts: run as administrator
  exit /b 1
)
reg add "HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Fonts" /v "code 128 (TrueType)" /t REG_SZ /d code128.ttf /f >nul
if errorlevel 1 (
  echo install-font: cannot register the font: run as administrator
  exit /b 1
)
echo install-font: "code 128" installed for all users
exit /b 0
