@echo off
rem Takes away the "Open Promptella here" entries that register.cmd added for the current user.
setlocal DisableDelayedExpansion
for %%k in (Directory Directory\Background Drive) do (
  reg delete "HKCU\Software\Classes\%%k\shell\Promptella" /f >nul 2>&1
)
echo "Open Promptella here" is no longer on Explorer's menu.
exit /b 0
