@echo off
rem Adds "Open Promptella here" to Explorer's menu of folders, folder backgrounds and drives, for
rem the current user only, pointing at the Promptella.exe beside this script. unregister.cmd takes
rem the entries away again.
setlocal DisableDelayedExpansion
set "program=%~dp0Promptella.exe"
if not exist "%program%" goto missing
set "classes=HKCU\Software\Classes"
rem Explorer puts a folder or a drive in place of %%1, and a background's folder in place of %%V.
rem They are written out in each line: a variable that held one would be expanded again by some
rem command interpreters.
reg add "%classes%\Directory\shell\Promptella" /ve /d "Open Promptella here" /f >nul
if errorlevel 1 goto failed
reg add "%classes%\Directory\shell\Promptella" /v Icon /d "\"%program%\",0" /f >nul
if errorlevel 1 goto failed
reg add "%classes%\Directory\shell\Promptella\command" /ve /d "\"%program%\" \"%%1\"" /f >nul
if errorlevel 1 goto failed
reg add "%classes%\Directory\Background\shell\Promptella" /ve /d "Open Promptella here" /f >nul
if errorlevel 1 goto failed
reg add "%classes%\Directory\Background\shell\Promptella" /v Icon /d "\"%program%\",0" /f >nul
if errorlevel 1 goto failed
reg add "%classes%\Directory\Background\shell\Promptella\command" /ve /d "\"%program%\" \"%%V\"" /f >nul
if errorlevel 1 goto failed
reg add "%classes%\Drive\shell\Promptella" /ve /d "Open Promptella here" /f >nul
if errorlevel 1 goto failed
reg add "%classes%\Drive\shell\Promptella" /v Icon /d "\"%program%\",0" /f >nul
if errorlevel 1 goto failed
reg add "%classes%\Drive\shell\Promptella\command" /ve /d "\"%program%\" \"%%1\"" /f >nul
if errorlevel 1 goto failed
echo "Open Promptella here" is on Explorer's menu of folders, folder backgrounds and drives.
exit /b 0

:missing
echo Promptella.exe is not beside this script: nothing was registered.
exit /b 1

:failed
echo Couldn't add "Open Promptella here" to Explorer's menu: the registry refused the change.
exit /b 1
