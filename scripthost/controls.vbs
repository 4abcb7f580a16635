' The controls as a script host's program sees them: every class created by its program
' identifier, properties set and read back, methods with out-parameters, and the errors raised
' for refused values. Arguments: the folder of the sample dictionary and, optionally, a file
' for the report. Reports each failure and "N checks, F failed"; the exit code is F. (Wine's
' script host connects no events, and writes nothing when its output is a file: hence the
' report file.)
Option Explicit

Dim checks, failures, report
checks = 0
failures = 0
Set report = Nothing
If WScript.Arguments.Count > 1 Then
    Set report = CreateObject("Scripting.FileSystemObject").CreateTextFile(WScript.Arguments(1), True)
End If

Sub Say(text)
    If report Is Nothing Then
        WScript.Echo text
    Else
        report.WriteLine text
    End If
End Sub

Sub Check(what, actual, expected)
    checks = checks + 1
    If actual <> expected Then
        failures = failures + 1
        Say "FAIL " & what & ": " & actual & " (expected " & expected & ")"
    End If
End Sub

' Sets a property that must be refused with error number code.
Sub CheckRefused(control, what, value, code)
    On Error Resume Next
    Err.Clear
    Select Case what
        Case "Alignment": control.Alignment = value
        Case "DbLocks": control.DbLocks = value
        Case "Style": control.Style = value
        Case "Cols": control.Cols = value
        Case "MaxLength": control.MaxLength = value
        Case "DbMaxRecords": control.DbMaxRecords = value
    End Select
    Dim number
    number = Err.Number
    On Error GoTo 0
    Check "refused " & what & " = " & value, number, code
End Sub

Const kInvalidValue = 380

Dim classes, name, control
classes = Array("ZelBtr", "ZelEdit", "ZelBtn", "ZelComboBox", "ZelListBox", "ZelHScroll", _
                "ZelVScroll", "ZelCheck", "ZelOptBtn", "ZelGrid", "ZelPic", "ZelExComboBox", _
                "ZelExListBox")
For Each name In classes
    On Error Resume Next
    Err.Clear
    Set control = CreateObject(name & "." & name)
    Dim created
    created = Err.Number
    On Error GoTo 0
    Check "CreateObject " & name, created, 0
Next

' The data control over the sample dictionary, its results through out-parameters.
Dim data, rc, count, text, isOpen
Set data = CreateObject("ZelBtr.ZelBtr")
data.DDFDir = WScript.Arguments(0)
Check "DDFDir", data.DDFDir, WScript.Arguments(0)
' A data control no form has sited loads its dictionary when asked.
data.DbLoadDDF rc
Check "DbLoadDDF", rc, 0
data.OpenMode = 2
Check "OpenMode", data.OpenMode, 2
data.DbGetNumOfTable count, rc
Check "DbGetNumOfTable rc", rc, 0
Check "DbGetNumOfTable", count, 4
data.DbGetNumOfField "Customer", count, rc
Check "DbGetNumOfField", count, 5
data.DbGetDataSize "Customer", "Name", count
Check "DbGetDataSize", count, 30
data.DbGetTableName 1, text, rc
Check "DbGetTableName rc", rc, 0
Check "DbGetTableName", text, "Orders"
data.DbGetNumOfField "NoSuchTable", count, rc
Check "DbGetNumOfField of no table fails", rc <> 0, True
data.DbCreate "Customer", rc
Check "DbCreate", rc, 0
data.OpenMode = 0
data.DbOpen "Customer", rc
Check "DbOpen", rc, 0
data.DbIsOpen "Customer", isOpen
Check "DbIsOpen", CBool(isOpen), True
data.DbGetNumOfRecords "Customer", count, rc
Check "DbGetNumOfRecords rc", rc, 0
Check "DbGetNumOfRecords", count, 0
data.DbClose "Customer", rc
Check "DbClose", rc, 0

' Each control class: a property set and read back, and a refused value.
Dim edit
Set edit = CreateObject("ZelEdit.ZelEdit")
edit.DbSource = "Data1"
edit.DbField = "Name"
edit.MaxLength = 12
edit.Text = "Yamada"
Check "Edit DbField", edit.DbField, "Name"
Check "Edit MaxLength", edit.MaxLength, 12
Check "Edit Text", edit.Text, "Yamada"
CheckRefused edit, "Alignment", 7, kInvalidValue

Dim button
Set button = CreateObject("ZelBtn.ZelBtn")
button.Caption = "&Save"
button.DbOperation = 3
button.Default = True
Check "Button Caption", button.Caption, "&Save"
Check "Button DbOperation", button.DbOperation, 3
Check "Button Default", button.Default, True
CheckRefused button, "DbLocks", 9, kInvalidValue
CheckRefused button, "Style", 2, kInvalidValue

Dim checkBox
Set checkBox = CreateObject("ZelCheck.ZelCheck")
checkBox.Value = 1
checkBox.DbValueTrue = "Y"
Check "Check Value", checkBox.Value, 1
Check "Check DbValueTrue", checkBox.DbValueTrue, "Y"

Dim optionButton
Set optionButton = CreateObject("ZelOptBtn.ZelOptBtn")
optionButton.Caption = "Kind A"
Check "Option Caption", optionButton.Caption, "Kind A"

Dim horizontal, vertical
Set horizontal = CreateObject("ZelHScroll.ZelHScroll")
horizontal.DbTable = "Customer"
Check "HScroll DbTable", horizontal.DbTable, "Customer"
Set vertical = CreateObject("ZelVScroll.ZelVScroll")
vertical.LargeChange = 5
Check "VScroll LargeChange", vertical.LargeChange, 5

' A list keeps its items in its window, which a control no form has sited does not have: the
' sources are set and read back, and a refused maximum raises its error.
Dim list, kind
For Each kind In Array("ZelListBox", "ZelComboBox", "ZelExListBox", "ZelExComboBox")
    Set list = CreateObject(kind & "." & kind)
    Check kind & " ListCount", list.ListCount, 0
    list.DbListTable = "Customer"
    Check kind & " DbListTable", list.DbListTable, "Customer"
    list.DbListIndex = "ByCode"
    Check kind & " DbListIndex", list.DbListIndex, "ByCode"
    If Left(kind, 5) = "ZelEx" Then
        list.DbMaxRecords = 50
        Check kind & " DbMaxRecords", list.DbMaxRecords, 50
        CheckRefused list, "DbMaxRecords", 0, kInvalidValue
    End If
Next

Dim grid
Set grid = CreateObject("ZelGrid.ZelGrid")
grid.Cols = 3
grid.Rows = 4
Check "Grid Cols", grid.Cols, 3
Check "Grid Rows", grid.Rows, 4
grid.DbListFields = "Code,Name"
Check "Grid DbListFields", grid.DbListFields, "Code,Name"
CheckRefused grid, "Cols", -1, kInvalidValue

Dim picture
Set picture = CreateObject("ZelPic.ZelPic")
picture.Stretch = True
picture.BlobPath = "C:\images"
Check "Picture Stretch", picture.Stretch, True
Check "Picture BlobPath", picture.BlobPath, "C:\images"

Say checks & " checks, " & failures & " failed"
If Not report Is Nothing Then report.Close
WScript.Quit failures
