import QtQuick 2.15
import QtQuick.Layouts 1.15
import "."

// A label of the settings and calibration screens, in the accent colour.
Text {
    color: Style.accent
    font.pixelSize: Style.labelPixelSize
    Layout.alignment: Qt.AlignLeft
}
