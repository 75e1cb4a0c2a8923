' Brevanto's report job as a plain script, for the benchmark: it reads the same settings with the
' same defaults and makes the same component calls in the same order, with no window and no log.
' Run by cscript from the folder of Brevanto.exe, so the program folder it hands on is the same.
' Ends with status 0 once the viewer has shown the results, 1 when a step failed.
Option Explicit

Const kSettingsKey = "HKCU\Software\VB and VBA Program Settings\ZELTARPDFCreator\"

Dim shell, folder, part
Set shell = CreateObject("WScript.Shell")
folder = CreateObject("Scripting.FileSystemObject").GetParentFolderName(WScript.ScriptFullName)
part = 0

On Error Resume Next
GenerateReport
If Err.Number <> 0 Then
    WScript.Echo "Generate " & Err.Description & " (" & Hex(Err.Number) & ") Part:" & part
    WScript.Quit 1
End If
WScript.Quit 0

Sub GenerateReport()
    Dim user, viewer
    part = 1
    Set user = CreateObject("ZELTAR_User.clsCurrentUser")
    ' Values go through functions: Wine's script engine hands a variable on by reference, the
    ' launcher hands the value itself.
    user.SetExePath = ProgramFolder()

    part = 2
    user.PasswordDeptCode = ""

    part = 3
    user.LoginUser GetSetting("LogInData", "Username", ""), GetSetting("LogInData", "Password", "")

    part = 4
    Set viewer = CreateObject("velmonic.labresultviewer")

    part = 5
    ' A property put, as the launcher makes it: "Set" would ask for a put by reference, which the
    ' viewer does not take.
    viewer.zeltarUser = SameObject(user)

    part = 6
    viewer.setexportpath = GetSetting("SaveDirectories", "Convert", ProgramFolder() & "\PDF")
    viewer.SetDLLVer = GetSetting("Settings", "txtReportDLLVersion", "1")
    viewer.Requestnum = GetSetting("ExeParameters", "Requestnum", "")
    viewer.AutoPrint = True

    part = 7
    viewer.viewmode = GetSetting("Settings", "ViewMode", "1")
    If SettingEquals("Settings", "ViewMode", "1", 0) Then
        viewer.loadviewer = True
        viewer.Export = False
    Else
        viewer.zeltarUser.ZELTARClasses.PDFPrintMode = GetSetting("Settings", "PDFPrintMode", "1")
        viewer.loadviewer = SettingEquals("Settings", "chkPrintRPT", "1", 1)
        viewer.Export = SettingEquals("Settings", "chkCRW85Export", "1", 1)
    End If

    part = 8
    viewer.Show_Results
    ' Released in the order the launcher releases them when it ends.
    Set viewer = Nothing
    Set user = Nothing
End Sub

Function ProgramFolder()
    ProgramFolder = folder
End Function

Function SameObject(object)
    Set SameObject = object
End Function

' The stored text of section\key; defaultText when the key is absent or holds no text.
Function GetSetting(section, key, defaultText)
    Dim value
    GetSetting = defaultText
    On Error Resume Next
    value = shell.RegRead(kSettingsKey & section & "\" & key)
    If Err.Number = 0 Then
        If VarType(value) = vbString Then GetSetting = value
    End If
    Err.Clear
End Function

' Reads section\key (defaultText when absent) as a number and compares it exactly with constant.
' Only plain decimal text counts as a number; anything else stops the job.
Function SettingEquals(section, key, defaultText, constant)
    Dim text
    text = Trim(Replace(GetSetting(section, key, defaultText), vbTab, " "))
    If Not IsDecimalNumber(text) Then
        Err.Raise vbObjectError + 1, "brevanto_peer", _
            section & "\" & key & " is not a number: """ & GetSetting(section, key, defaultText) & """"
    End If
    ' CDbl reads the decimal separator of the user's locale; the check above lets only a point by.
    SettingEquals = (CDbl(Replace(text, ".", Mid(CStr(0.5), 2, 1))) = constant)
End Function

' [sign] digits [. digits] [e [sign] digits], with at least one digit before the exponent.
Function IsDecimalNumber(text)
    Dim i, mantissa
    IsDecimalNumber = False
    i = 1
    If Mid(text, i, 1) = "+" Or Mid(text, i, 1) = "-" Then i = i + 1
    mantissa = SkipDigits(text, i)
    If Mid(text, i, 1) = "." Then
        i = i + 1
        mantissa = mantissa + SkipDigits(text, i)
    End If
    If mantissa = 0 Then Exit Function
    If LCase(Mid(text, i, 1)) = "e" Then
        i = i + 1
        If Mid(text, i, 1) = "+" Or Mid(text, i, 1) = "-" Then i = i + 1
        If SkipDigits(text, i) = 0 Then Exit Function
    End If
    IsDecimalNumber = (i > Len(text))
End Function

' Moves i past the ASCII digits that start there; gives how many there were.
Function SkipDigits(text, i)
    Dim start
    start = i
    Do While i <= Len(text)
        If InStr("0123456789", Mid(text, i, 1)) = 0 Then Exit Do
        i = i + 1
    Loop
    SkipDigits = i - start
End Function
