import QtQuick 2.15
import QtQuick.Controls 2.15
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
    implicitHeight: visible ? Math.max(texts.implicitHeight, buttons.implicitHeight) + 12 : 0
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

    // Buttons as tall as a line of text: the banner takes no more of the
    // window than its words need.
    component BannerButton: Button {
        topInset: 0
        bottomInset: 0
        leftPadding: 10
        rightPadding: 10
        font.capitalization: Font.MixedCase
    }

    // Anchored rather than laid out: the texts wrap to the width left by
    // the buttons, and the banner is as high as the taller of the two.
    Text {
        id: sign
        anchors.left: parent.left
        anchors.leftMargin: 12
        anchors.verticalCenter: parent.verticalCenter
        text: "\u26A0"
        color: Style.warningText
        font.pixelSize: headline.font.pixelSize * 2.2
    }
    Column {
        id: texts
        anchors.left: sign.right
        anchors.right: buttons.left
        anchors.leftMargin: 12
        anchors.rightMargin: 12
        anchors.verticalCenter: parent.verticalCenter
        spacing: 2
        Text {
            id: headline
            objectName: "alarmHeadline"
            width: parent.width
            color: Style.warningText
            font.bold: true
            font.pixelSize: Style.basePixel * 1.3
            wrapMode: Text.Wrap
        }
        Text {
            id: tendency
            objectName: "alarmTendency"
            width: parent.width
            color: Style.warningText
            font.pixelSize: Style.basePixel * 1.1
            wrapMode: Text.Wrap
        }
        Text {
            id: snoozed
            objectName: "alarmSnoozed"
            width: parent.width
            visible: text !== ""
            color: Style.warningText
            font.italic: true
            font.pixelSize: Style.basePixel * 0.9
        }
        Text {
            objectName: "alarmNoSound"
            width: parent.width
            visible: banner.notifier !== null && !banner.notifier.soundOutput
            text: qsTr("no sound output")
            color: Style.warningText
            font.bold: true
            font.pixelSize: Style.basePixel * 0.9
        }
    }
    Row {
        id: buttons
        anchors.right: parent.right
        anchors.rightMargin: 12
        anchors.verticalCenter: parent.verticalCenter
        spacing: 12
        BannerButton {
            id: acknowledge
            objectName: "acknowledgeButton"
            text: qsTr("Acknowledge")
            onClicked: banner.warning.acknowledge()
        }
        Row {
            id: snoozeButtons
            spacing: 4
            Label {
                anchors.verticalCenter: parent.verticalCenter
                text: qsTr("Snooze")
                color: Style.warningText
            }
            Repeater {
                model: [30, 60, 120]
                BannerButton {
                    objectName: "snooze" + modelData
                    text: qsTr("%1 min").arg(modelData)
                    onClicked: banner.warning.snooze(modelData)
                }
            }
        }
    }
}
