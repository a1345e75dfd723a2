@echo off
rem Adds "Open Promptella here" to Explorer's menu of folders, folder backgrounds and drives, for
rem the current user only, pointing at the Promptella.exe beside this script. unregister.cmd takes
rem the entries away again.
rem
rem The program's path is only ever read through delayed expansion (!program!): its value is put
rem in after the line has been split into commands, so no character of a folder's name (& ^ % !
rem ( ) or a blank) can end a quote, start a command or vanish. It is taken while expansion is
rem still off, so that a ! in the name stays. Failures are checked with "if errorlevel", which
rem every command interpreter reads alike.
setlocal DisableDelayedExpansion
set "program=%~dp0Promptella.exe"
setlocal EnableDelayedExpansion
if not exist "!program!" goto missing
set "classes=HKCU\Software\Classes"
rem Explorer puts a folder or a drive in place of %%1, and a background's folder in place of %%V.
for %%k in (Directory Drive) do (
  reg add "!classes!\%%k\shell\Promptella" /ve /d "Open Promptella here" /f >nul
  if errorlevel 1 goto failed
  reg add "!classes!\%%k\shell\Promptella" /v Icon /d "\"!program!\",0" /f >nul
  if errorlevel 1 goto failed
  reg add "!classes!\%%k\shell\Promptella\command" /ve /d "\"!program!\" \"%%1\"" /f >nul
  if errorlevel 1 goto failed
)
set "background=!classes!\Directory\Background\shell\Promptella"
reg add "!background!" /ve /d "Open Promptella here" /f >nul
if errorlevel 1 goto failed
reg add "!background!" /v Icon /d "\"!program!\",0" /f >nul
if errorlevel 1 goto failed
reg add "!background!\command" /ve /d "\"!program!\" \"%%V\"" /f >nul
if errorlevel 1 goto failed
echo "Open Promptella here" is on Explorer's menu of folders, folder backgrounds and drives.
exit /b 0

:missing
echo Promptella.exe is not beside this script: nothing was registered.
exit /b 1

:failed
rem Half an entry is worse than none: what was added goes again.
for %%k in (Directory Directory\Background Drive) do (
  reg delete "!classes!\%%k\shell\Promptella" /f >nul 2>&1
)
echo Couldn't add "Open Promptella here" to Explorer's menu: the registry refused the change.
exit /b 1
