' Drives the simulated stage from VBScript, as any automation client would:
'   wine cscript //nologo move_stage.vbs
' Numbers arrive as small integers and variables by reference; the simulator
' converts them to the types its members declare.
Option Explicit
Dim scan, stage, port, busy, x, y, polls

Set scan = CreateObject("tolvo.scan")
port = 1
scan.OpenPort port
WScript.Echo "OpenPort(1) status: " & port

Set stage = CreateObject("tolvo.stage")
WScript.Echo "travel: " & stage.TravelX & " x " & stage.TravelY

stage.MoveXY 100, 200
busy = 1
polls = 0
Do While busy <> 0
    scan.GetBusy busy
    polls = polls + 1
Loop
x = 0
y = 0
stage.GetXY x, y
WScript.Echo "after MoveXY 100, 200: x = " & x & ", y = " & y & " (busy polls: " & polls & ")"

stage.StepX -25
stage.StepY 2.5
stage.GetXY x, y
WScript.Echo "after StepX -25, StepY 2.5: x = " & x & ", y = " & y

scan.SetShutter 1, 1
WScript.Echo "shutter 1 opened"
scan.ClosePort
WScript.Echo "port closed"
