import QtQuick 2.15
import QtQuick.Layouts 1.15
import "."

// The pressure display offset, typed in the user's unit, beside the pressure
// that it and the options above give.
ColumnLayout {
    id: group

    // The box and the preview, which the screen converts and fills.
    readonly property alias box: offsetBox
    property alias previewText: preview.text
    property string unitText
    property string displayText
    property bool landscape
    signal edited()

    spacing: 0

    // Android and iOS read "Sensor offset" here.
    SettingsText {
        Layout.alignment: Qt.AlignHCenter
        text: qsTr("Pressure display offset") + " (" + group.unitText + ")"
    }
    GridLayout {
        Layout.alignment: Qt.AlignHCenter
        columns: group.landscape ? 2 : 1
        columnSpacing: 20

        DoubleSpinBox {
            id: offsetBox
            objectName: "offsetBox"
            from: -1000
            to: 1000
            stepSize: 10
            decimals: 2
            onValueChanged: group.edited()
        }
        ColumnLayout {
            readonly property int alignment: group.landscape ? Qt.AlignHCenter : Qt.AlignLeft
            spacing: 0
            SettingsText {
                Layout.alignment: parent.alignment
                text: group.displayText
            }
            Text {
                id: preview
                objectName: "preview"
                Layout.alignment: parent.alignment
                color: Style.accent
                font.pixelSize: Style.labelPixelSize * 2
            }
        }
    }
}
