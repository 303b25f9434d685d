import QtQuick 2.15
import "."

// The change of the last three hours in words, under the pressure. Hidden
// until the history reaches back an hour, and while no pressure comes in.
Text {
    objectName: "tendencyText"
    visible: false
    font.bold: true
    color: Style.lineColor
    horizontalAlignment: Text.AlignHCenter
    fontSizeMode: Text.HorizontalFit
    minimumPixelSize: 6

    function show(pressureKnown) {
        text = backend.stormWarning.tendency
        visible = pressureKnown && text !== ""
    }
}
