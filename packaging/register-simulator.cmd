@echo off
rem Registers the controller simulator TolvoSim.dll, from the folder of this
rem script, under the ProgIDs tolvo.scan, tolvo.stage, tolvo.Z and tolvo.filter,
rem so that the driver beside it runs without a controller. The classes are
rem registered for the whole machine: run it as an administrator.
regsvr32 /s "%~dp0TolvoSim.dll"
if errorlevel 1 (
    echo TolvoSim.dll could not be registered. Run this script as an administrator.
    exit /b 1
)
echo TolvoSim.dll is registered.
