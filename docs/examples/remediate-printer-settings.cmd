@echo off
rem Compliance rule, remediation: make the file's settings this user's
rem printing preferences for the printer it names. Exit 0 only when every
rem setting was read back as set; 1 names what did not take effect.
setlocal
if not defined IKWDEV_TOOL set "IKWDEV_TOOL=%ProgramFiles(x86)%\IKWDev\ikwdev-settings.exe"
if not exist "%IKWDEV_TOOL%" set "IKWDEV_TOOL=%ProgramFiles%\IKWDev\ikwdev-settings.exe"
if not defined IKWDEV_SETTINGS set "IKWDEV_SETTINGS=\\fileserver\printer-settings\Office_Laser.dev"
"%IKWDEV_TOOL%" apply "%IKWDEV_SETTINGS%"
exit /b %ERRORLEVEL%
