import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Dialogs 1.3
import QtQuick.Layouts 1.15
import QtQuick.Window 2.15
import "."

// The table list of the data tab: the nine spans of the history, the log of
// the storm warnings and the hourly archive after them, and the button that
// empties the nine.
Item {
    id: page
    objectName: "fileData"

    signal fileSelected(int fileNb)

    // In table order: the row index is the table number (the alarm log 9, the archive 10).
    readonly property var tables: [
        qsTr("30m (2 secs interval)"),
        qsTr("3h (6 secs interval)"),
        qsTr("6h (12 secs interval)"),
        qsTr("12h (24 secs interval)"),
        qsTr("1d (48 secs interval)"),
        qsTr("2d (96 secs interval)"),
        qsTr("4d (192 secs interval)"),
        qsTr("8d (384 secs interval)"),
        qsTr("16d (768 secs interval)"),
        qsTr("Storm warning log"),
        qsTr("Hourly archive, logbook and barogram")
    ]

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Banner {
            Layout.preferredWidth: Window.width
            Layout.preferredHeight: Style.bannerHeight(Window.width)
        }

        ToolButton {
            objectName: "deleteAllButton"
            Layout.alignment: Qt.AlignRight
            Layout.rightMargin: 10
            Layout.topMargin: 10
            icon.source: "qrc:/Images/delete.png"
            icon.color: "transparent"
            ToolTip.visible: hovered
            ToolTip.text: qsTr("Delete all data")
            onClicked: deleteAllDialog.open()
        }

        ListView {
            id: tableList
            objectName: "tableList"
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.margins: 10
            clip: true
            // Every row in sight from 800 x 480 up: smaller text and less
            // space between rows where the list is short of room.
            readonly property real rowPixel: Math.max(12, Math.min(18, height / page.tables.length / 1.45))
            spacing: Math.max(0, Math.min(10, height / page.tables.length - rowPixel * 1.4))
            currentIndex: -1
            highlightMoveDuration: 0
            highlightResizeDuration: 0
            model: page.tables
            highlight: Rectangle { color: "lightsteelblue"; radius: 5 }
            ScrollBar.vertical: ScrollBar { }

            delegate: Text {
                objectName: "table" + index
                width: tableList.width
                text: modelData
                // Dark on the light highlight, in either theme.
                color: ListView.isCurrentItem ? "black" : Style.titleColor
                font.pixelSize: tableList.rowPixel
                horizontalAlignment: Text.AlignHCenter

                MouseArea {
                    anchors.fill: parent
                    onClicked: {
                        tableList.currentIndex = index
                        tableList.forceActiveFocus()
                        page.fileSelected(index)
                    }
                }
            }
        }
    }

    MessageDialog {
        id: deleteAllDialog
        objectName: "deleteAllDialog"
        icon: StandardIcon.Question
        text: qsTr("Are you sure you want to delete ALL data ?")
        standardButtons: StandardButton.Ok | StandardButton.Cancel
        // Through the button: "accepted" comes twice for OK from the widget dialog.
        onButtonClicked: {
            if (clickedButton === StandardButton.Ok)
                dataSource.emptyAllTables()
        }
    }
}
