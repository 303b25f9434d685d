import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import "."

// What the archive gives for the logbook: the hours as a CSV logbook, and
// the barogram of a week chosen by its last day (the last seven days at
// first). Where the file goes is the page's to ask (fileWanted).
RowLayout {
    id: exports

    // purpose "logbook" or "barogram"; lastDay in seconds since the epoch, 0 for today.
    signal fileWanted(string purpose, string extension, real lastDay)

    Button {
        objectName: "logbookButton"
        text: qsTr("Logbook")
        font.capitalization: Font.MixedCase
        ToolTip.visible: hovered
        ToolTip.text: qsTr("The hours as a logbook (CSV)")
        onClicked: exports.fileWanted("logbook", "csv", 0)
    }
    Button {
        objectName: "barogramButton"
        text: qsTr("Barogram")
        font.capitalization: Font.MixedCase
        ToolTip.visible: hovered
        ToolTip.text: qsTr("A week's barogram to print (PDF)")
        onClicked: {
            weekEnd.value = 0
            weekDialog.open()
        }
    }

    Dialog {
        id: weekDialog
        objectName: "barogramDialog"
        parent: Overlay.overlay
        anchors.centerIn: parent
        modal: true
        title: qsTr("Barogram")
        footer: DialogButtonBox {
            Button {
                objectName: "weekOk"
                text: qsTr("OK")
                DialogButtonBox.buttonRole: DialogButtonBox.AcceptRole
            }
            Button {
                text: qsTr("Cancel")
                DialogButtonBox.buttonRole: DialogButtonBox.RejectRole
            }
        }
        // The week's last day, as days from today.
        readonly property real lastDay: weekEnd.value === 0 ? 0 : backend.getCurrentTime() + weekEnd.value * 86400

        ColumnLayout {
            anchors.fill: parent
            Label { text: qsTr("Last day of the week:") }
            // Days from today, shown as the date.
            SpinBox {
                id: weekEnd
                objectName: "weekEnd"
                Layout.alignment: Qt.AlignHCenter
                Layout.preferredWidth: 260
                from: -36500
                to: 0
                textFromValue: function(value, locale) {
                    return value === 0 ? qsTr("Today")
                                       : new Date((backend.getCurrentTime() + value * 86400) * 1000).toLocaleDateString(locale, Locale.ShortFormat)
                }
            }
            Label {
                objectName: "weekTitle"
                font.bold: true
                text: dataSource.getBarogramWeek(weekDialog.lastDay)
            }
        }
        onAccepted: exports.fileWanted("barogram", "pdf", lastDay)
    }
}
