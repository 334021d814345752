@echo off
rem Logon or scheduled script: applies the file's settings only when the
rem printer does not hold them already. Exit 0: the printer holds them.
rem 1: some did not take effect. 2: the printer could not be checked.
setlocal
if not defined IKWDEV_TOOL set "IKWDEV_TOOL=%ProgramFiles(x86)%\IKWDev\ikwdev-settings.exe"
if not exist "%IKWDEV_TOOL%" set "IKWDEV_TOOL=%ProgramFiles%\IKWDev\ikwdev-settings.exe"
if not defined IKWDEV_SETTINGS set "IKWDEV_SETTINGS=\\fileserver\printer-settings\Office_Laser.dev"
"%IKWDEV_TOOL%" check "%IKWDEV_SETTINGS%"
if %ERRORLEVEL% EQU 0 exit /b 0
if %ERRORLEVEL% GEQ 2 exit /b 2
"%IKWDEV_TOOL%" apply "%IKWDEV_SETTINGS%"
exit /b %ERRORLEVEL%
