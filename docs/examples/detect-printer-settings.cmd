@echo off
rem Compliance rule, detection: does the printer hold the settings of the file?
rem Exit 0: it does (compliant). Exit 1: it differs, and the rule runs the
rem remediation. Exit 2: it could not be checked (the reason is in the error
rem output). The last line of the output is a one-line summary.
setlocal
if not defined IKWDEV_TOOL set "IKWDEV_TOOL=%ProgramFiles(x86)%\IKWDev\ikwdev-settings.exe"
if not exist "%IKWDEV_TOOL%" set "IKWDEV_TOOL=%ProgramFiles%\IKWDev\ikwdev-settings.exe"
if not defined IKWDEV_SETTINGS set "IKWDEV_SETTINGS=\\fileserver\printer-settings\Office_Laser.dev"
"%IKWDEV_TOOL%" check "%IKWDEV_SETTINGS%"
exit /b %ERRORLEVEL%
