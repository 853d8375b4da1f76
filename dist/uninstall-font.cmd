@echo off
rem Removes the barcode font "code 128" that install-font.cmd installed:
rem its registration and its file in the Windows Fonts folder. Needs
rem administrator rights; a font in use is removed at the next restart.
rem Exit: 0 removed (or not installed), 1 not allowed or failed.
setlocal
reg query "HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Fonts" /v "code 128 (TrueType)" >nul 2>&1
if not errorlevel 1 (
  reg delete "HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Fonts" /v "code 128 (TrueType)" /f >nul
  if errorlevel 1 (
    echo uninstall-font: cannot unregister the font: run as administrator
    exit /b 1
  )
)
if exist "%WINDIR%\Fonts\code128.ttf" del /f "%WINDIR%\Fonts\code128.ttf"
if exist "%WINDIR%\Fonts\code128.ttf" (
  echo uninstall-font: %WINDIR%\Fonts\code128.ttf is in use; it goes at the next restart
  exit /b 1
)
echo uninstall-font: "code 128" removed
exit /b 0
