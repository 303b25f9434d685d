import QtQuick 2.15

PlaceholderPage {
    property var loader
    name: qsTr("Calibration")
}
