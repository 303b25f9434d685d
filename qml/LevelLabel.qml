import QtQuick 2.15
import QtQuick.Controls 2.15
import "."

// Says at which level the pressure is given; hovering it tells where the
// pressure comes from, asked afresh each time the tip opens.
Text {
    id: label

    text: qsTr("Sea Level Pressure (QNH)")
    font.bold: true
    color: Style.lineColor
    horizontalAlignment: Text.AlignHCenter
    fontSizeMode: Text.HorizontalFit
    minimumPixelSize: 6

    // Sets the text by `preDisplay`: sea level (0) or station level.
    function showLevel() {
        text = backend.getSetting("preDisplay", 0) == 0 ? qsTr("Sea Level Pressure (QNH)")
                                                        : qsTr("Station Level Pressure (QFE)")
    }

    function showNoPressure() {
        text = qsTr("No pressure data available")
        visible = true
    }

    MouseArea {
        id: hover
        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.NoButton
        property string source: ""
        onContainsMouseChanged: if (containsMouse) source = backend.getPressureSource()
        ToolTip.visible: containsMouse && source !== ""
        ToolTip.text: source
    }
}
