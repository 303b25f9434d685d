import QtQuick 2.15
import QtQuick.Controls 2.15

// A screen still to come: shows its name.
Page {
    property alias name: label.text
    Label {
        id: label
        anchors.centerIn: parent
        font.pixelSize: 24
    }
}
