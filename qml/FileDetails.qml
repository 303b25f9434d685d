import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Dialogs 1.3
import QtQuick.Layouts 1.15
import QtQuick.Window 2.15
import Qt.labs.platform 1.1 as Platform
import "."

// The records of one table, newest first, with the exports and the
// deletions. Filled anew each time a table is chosen; it does not follow
// new samples while shown. The alarm log is read only, exported as CSV; the
// archive is read only, exported as CSV, GPX, a logbook and barograms.
Item {
    id: page
    objectName: "fileDetails"

    property int m_fileNb: 0
    readonly property bool desktop: Qt.platform.os !== "android" && Qt.platform.os !== "ios"
    readonly property var shortLabels: [qsTr("30m"), qsTr("3h"), qsTr("6h"), qsTr("12h"), qsTr("1d"),
                                        qsTr("2d"), qsTr("4d"), qsTr("8d"), qsTr("16d"), qsTr("Storm warnings"),
                                        qsTr("Archive")]
    readonly property bool history: m_fileNb < 9
    readonly property bool archive: m_fileNb === 10
    readonly property int textPixelSize: csvButton.font.pixelSize
    readonly property string csvFilter: qsTr("CSV files (*.csv)")
    readonly property string gpxFilter: qsTr("GPS files (*.gpx)")
    readonly property string pdfFilter: qsTr("PDF files (*.pdf)")

    function showTable(fileNb) {
        if (fileNb >= 0 && fileNb < shortLabels.length)
            tableLabel.text = shortLabels[fileNb]
        m_fileNb = fileNb
        records.clear()
        recordList.currentIndex = -1
        // One insertion for the whole table, in the order given.
        records.append(dataSource.getTableContent(fileNb))
    }

    function removeRecord(row, key) {
        dataSource.removeKey(m_fileNb, key)
        records.remove(row)
        recordList.currentIndex = -1
    }

    // The button pressed chooses the format: the dialog proposes a name
    // with its extension, and a name typed without it gets it. The purpose
    // is the table's export, or the archive's "logbook" or "barogram".
    function askFile(extension, purpose, lastDay) {
        fileDialog.extension = extension
        fileDialog.purpose = purpose || "table"
        fileDialog.lastDay = lastDay || 0
        fileDialog.open()
        // The widget dialog takes the name only once it is open.
        var name = fileDialog.purpose === "table" ? dataSource.getExportName(m_fileNb, extension)
                                                  : fileDialog.purpose + "." + extension
        fileDialog.currentFile = fileDialog.folder + "/" + name
    }

    function exportTo(path) {
        if (fileDialog.purpose === "logbook")
            dataSource.exportLogbook(path)
        else if (fileDialog.purpose === "barogram")
            dataSource.exportBarogram(path, fileDialog.lastDay)
        else
            dataSource.exportFile(m_fileNb, path)
    }

    // Where the file went, or why it did not.
    Connections {
        target: dataSource
        function onExportFinished(written, message) {
            exportStatus.text = message
            exportStatus.color = written ? Style.accent : Style.lineColor
        }
    }

    Connections {
        target: page.SwipeView.view
        function onFileSelected(fileNb) { page.showTable(fileNb) }
    }

    ListModel { id: records }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Banner {
            Layout.preferredWidth: Window.width
            Layout.preferredHeight: Style.bannerHeight(Window.width)
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.margins: 10

            Label {
                id: tableLabel
                objectName: "tableLabel"
                Layout.fillWidth: true
                color: Style.accent
                font.pixelSize: page.textPixelSize
            }
            RoundButton {
                id: csvButton
                objectName: "csvButton"
                text: "CSV"
                ToolTip.visible: hovered
                ToolTip.text: qsTr("Export page as CSV")
                onClicked: {
                    if (page.desktop)
                        page.askFile("csv")
                    else
                        dataSource.exportCsv(page.m_fileNb)
                }
            }
            RoundButton {
                objectName: "gpxButton"
                visible: page.history || page.archive
                text: "GPX"
                ToolTip.visible: hovered
                ToolTip.text: qsTr("Export page as GPX")
                onClicked: {
                    if (page.desktop)
                        page.askFile("gpx")
                    else
                        dataSource.exportGpx(page.m_fileNb)
                }
            }
            ArchiveExports {
                visible: page.archive
                onFileWanted: {
                    if (page.desktop)
                        page.askFile(extension, purpose, lastDay)
                    else if (purpose === "logbook")
                        dataSource.exportLogbook("")
                    else
                        dataSource.exportBarogram("", lastDay)
                }
            }
            ToolButton {
                objectName: "emptyTableButton"
                visible: page.history
                icon.source: "qrc:/Images/delete.png"
                icon.color: "transparent"
                ToolTip.visible: hovered
                ToolTip.text: qsTr("Delete this data file")
                onClicked: emptyTableDialog.open()
            }
        }

        Label {
            id: exportStatus
            objectName: "exportStatus"
            Layout.fillWidth: true
            Layout.leftMargin: 10
            Layout.rightMargin: 10
            visible: text !== ""
            wrapMode: Text.Wrap
            font.pixelSize: page.textPixelSize
        }

        ListView {
            id: recordList
            objectName: "recordList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.leftMargin: 10
            Layout.rightMargin: 10
            Layout.bottomMargin: 10
            clip: true
            // Delegates only for the rows on screen: a full table has 1800.
            cacheBuffer: 0
            spacing: page.textPixelSize * 0.75
            currentIndex: -1
            highlightMoveDuration: 0
            highlightResizeDuration: 0
            model: records
            highlight: Rectangle { color: "lightsteelblue"; radius: 5 }
            ScrollBar.vertical: ScrollBar { }

            delegate: Item {
                id: row
                width: recordList.width
                height: Math.max(description.implicitHeight, removeButton.visible ? removeButton.height : 0)

                Text {
                    id: description
                    objectName: "record" + index
                    anchors.left: parent.left
                    anchors.right: removeButton.left
                    anchors.verticalCenter: parent.verticalCenter
                    text: desc
                    textFormat: Text.RichText
                    wrapMode: Text.Wrap
                    // Dark on the light highlight, in either theme.
                    color: row.ListView.isCurrentItem ? "black" : Style.titleColor
                    font.pixelSize: page.textPixelSize

                    MouseArea {
                        anchors.fill: parent
                        onClicked: {
                            recordList.currentIndex = index
                            recordList.forceActiveFocus()
                        }
                    }
                }
                ToolButton {
                    id: removeButton
                    objectName: "removeRecord" + index
                    anchors.right: parent.right
                    anchors.rightMargin: 10
                    anchors.verticalCenter: parent.verticalCenter
                    visible: row.ListView.isCurrentItem && page.history
                    icon.source: "qrc:/Images/delete.png"
                    icon.color: "transparent"
                    onClicked: page.removeRecord(index, key)
                }
            }
        }
    }

    MessageDialog {
        id: emptyTableDialog
        objectName: "emptyTableDialog"
        icon: StandardIcon.Question
        text: qsTr("Are you sure you want to delete ALL data in this table ?")
        standardButtons: StandardButton.Ok | StandardButton.Cancel
        // Through the button: "accepted" comes twice for OK from the widget dialog.
        onButtonClicked: {
            if (clickedButton !== StandardButton.Ok)
                return
            dataSource.emptyOneTable(page.m_fileNb)
            records.clear()
        }
    }

    Platform.FileDialog {
        id: fileDialog
        objectName: "exportDialog"
        property string extension: "csv"
        property string purpose: "table"
        property real lastDay: 0
        title: qsTr("Please choose a file")
        fileMode: Platform.FileDialog.SaveFile
        folder: Platform.StandardPaths.writableLocation(Platform.StandardPaths.DocumentsLocation)
        nameFilters: [extension === "csv" ? page.csvFilter : extension === "pdf" ? page.pdfFilter : page.gpxFilter]
        onAccepted: page.exportTo(dataSource.getExportPath(file.toString(), extension))
        onRejected: console.log("filediag rejected")
    }
}
