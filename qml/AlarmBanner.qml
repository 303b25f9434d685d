import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import "."

// The storm warning across the top of the window, whichever screen is
// shown: which alarm, since when, what the barometer does, whether the chime
// can be heard at all, and the means to silence it. It stays until the alarm
// clears, acknowledged or not.
Rectangle {
    id: banner
    objectName: "alarmBanner"

    // Taken once, not bound: the window outlives the back end at shutdown.
    property QtObject warning: null
    property QtObject notifier: null

    visible: false
    implicitHeight: visible ? row.implicitHeight + 12 : 0
    color: Style.warningBackground

    function refresh() {
        headline.text = warning.headline
        tendency.text = warning.tendency
        snoozed.text = warning.acknowledged ? qsTr("Acknowledged") : warning.snoozeText
        acknowledge.visible = !warning.acknowledged
        snoozeButtons.visible = !warning.acknowledged
        if (warning.active && !visible)
            console.log("storm warning shown: " + warning.headline)
        visible = warning.active
    }

    Connections {
        target: banner.warning
        function onChanged() { banner.refresh() }
    }

    Component.onCompleted: {
        warning = backend.stormWarning
        notifier = backend.alarmNotifier
        refresh()
    }

    RowLayout {
        id: row
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        anchors.leftMargin: 12
        anchors.rightMargin: 12
        spacing: 12

        Text {
            text: "\u26A0"
            color: Style.warningText
            font.pixelSize: headline.font.pixelSize * 2.2
        }
        ColumnLayout {
            Layout.fillWidth: true
            spacing: 2
            Text {
                id: headline
                objectName: "alarmHeadline"
                Layout.fillWidth: true
                color: Style.warningText
                font.bold: true
                font.pixelSize: Style.basePixel * 1.3
                wrapMode: Text.Wrap
            }
            Text {
                id: tendency
                objectName: "alarmTendency"
                Layout.fillWidth: true
                color: Style.warningText
                font.pixelSize: Style.basePixel * 1.1
                wrapMode: Text.Wrap
            }
            Text {
                id: snoozed
                objectName: "alarmSnoozed"
                Layout.fillWidth: true
                visible: text !== ""
                color: Style.warningText
                font.italic: true
                font.pixelSize: Style.basePixel * 0.9
            }
            Text {
                objectName: "alarmNoSound"
                visible: banner.notifier !== null && !banner.notifier.soundOutput
                text: qsTr("no sound output")
                color: Style.warningText
                font.bold: true
                font.pixelSize: Style.basePixel * 0.9
            }
        }
        Button {
            id: acknowledge
            objectName: "acknowledgeButton"
            text: qsTr("Acknowledge")
            font.capitalization: Font.MixedCase
            onClicked: banner.warning.acknowledge()
        }
        RowLayout {
            id: snoozeButtons
            spacing: 4
            Label {
                text: qsTr("Snooze")
                color: Style.warningText
            }
            Repeater {
                model: [30, 60, 120]
                Button {
                    objectName: "snooze" + modelData
                    text: qsTr("%1 min").arg(modelData)
                    font.capitalization: Font.MixedCase
                    onClicked: banner.warning.snooze(modelData)
                }
            }
        }
    }
}
