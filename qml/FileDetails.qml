import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Dialogs 1.3
import QtQuick.Layouts 1.15
import QtQuick.Window 2.15
import Qt.labs.platform 1.1 as Platform
import "."

// The records of one table, newest first, with the exports and the
// deletions. Filled anew each time a table is chosen; it does not follow
// new samples while shown. The alarm log is read only, exported as CSV.
Item {
    id: page
    objectName: "fileDetails"

    property int m_fileNb: 0
    readonly property bool desktop: Qt.platform.os !== "android" && Qt.platform.os !== "ios"
    readonly property var shortLabels: [qsTr("30m"), qsTr("3h"), qsTr("6h"), qsTr("12h"), qsTr("1d"),
                                        qsTr("2d"), qsTr("4d"), qsTr("8d"), qsTr("16d"), qsTr("Storm warnings")]
    readonly property bool history: m_fileNb < 9
    readonly property int textPixelSize: csvButton.font.pixelSize
    readonly property string csvFilter: qsTr("CSV files (*.csv)")
    readonly property string gpxFilter: qsTr("GPS files (*.gpx)")

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
    // with its extension, and a name typed without it gets it.
    function askFile(extension) {
        fileDialog.extension = extension
        fileDialog.open()
        // The widget dialog takes the name only once it is open.
        fileDialog.currentFile = fileDialog.folder + "/" + dataSource.getExportName(m_fileNb, extension)
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
                visible: page.history
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
        title: qsTr("Please choose a file")
        fileMode: Platform.FileDialog.SaveFile
        folder: Platform.StandardPaths.writableLocation(Platform.StandardPaths.DocumentsLocation)
        nameFilters: [extension === "csv" ? page.csvFilter : page.gpxFilter]
        onAccepted: dataSource.exportFile(page.m_fileNb, dataSource.getExportPath(file.toString(), extension))
        onRejected: console.log("filediag rejected")
    }
}
