import QtQuick 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15

// A label of the settings and calibration screens, in the accent colour.
Text {
    color: Material.theme === Material.Dark ? "yellow" : "blue"
    font.pixelSize: 15
    Layout.alignment: Qt.AlignLeft
}
