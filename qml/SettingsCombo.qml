import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import "."

// One option of the settings screen: its label above a list of choices,
// stored as the index of the choice under `key`.
ColumnLayout {
    id: group

    property alias label: title.text
    property alias model: box.model
    property alias currentIndex: box.currentIndex
    readonly property alias currentText: box.currentText
    readonly property alias box: box
    property string key
    property int defaultIndex: 0

    spacing: 0

    function load() {
        box.currentIndex = backend.getSetting(key, defaultIndex)
    }

    function save() {
        backend.setSetting(key, box.currentIndex)
    }

    SettingsText {
        id: title
    }

    ComboBox {
        id: box
        objectName: group.objectName + "Box"
        Layout.fillWidth: true
    }
}
