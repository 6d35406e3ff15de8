@echo off
rem Takes back the registration of the controller simulator TolvoSim.dll that
rem register-simulator.cmd made from this folder, so that the ProgIDs
rem tolvo.scan, tolvo.stage, tolvo.Z and tolvo.filter are free for the
rem controller maker's own servers. Run it as an administrator.
regsvr32 /u /s "%~dp0TolvoSim.dll"
if errorlevel 1 (
    echo TolvoSim.dll could not be unregistered. Run this script as an administrator.
    exit /b 1
)
echo TolvoSim.dll is no longer registered.
