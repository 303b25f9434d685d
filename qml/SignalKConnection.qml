import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import "."

// The Signal K details of the connections screen: the server's host (a name
// or an address), its port, and the access token it may ask for.
RowLayout {
    spacing: 10

    function load() {
        hostField.text = backend.getSetting("SettingSignalKHost", "127.0.0.1")
        portBox.value = backend.getSetting("SettingSignalKPort", 3000)
        tokenField.text = backend.getSetting("SettingSignalKToken", "")
    }

    function save() {
        backend.setSetting("SettingSignalKHost", hostField.text.trim())
        backend.setSetting("SettingSignalKPort", portBox.value)
        backend.setSetting("SettingSignalKToken", tokenField.text.trim())
    }

    TextField {
        id: hostField
        objectName: "signalKHostField"
        placeholderText: qsTr("Host")
        Layout.preferredWidth: hostWidth.advanceWidth + leftPadding + rightPadding
        selectByMouse: true
        inputMethodHints: Qt.ImhNoAutoUppercase | Qt.ImhUrlCharactersOnly
        onEditingFinished: focus = false

        TextMetrics {
            id: hostWidth
            font: hostField.font
            text: "000.000.000.000"
        }
    }
    PortBox {
        id: portBox
        objectName: "signalKPortBox"
        from: 1
    }
    TextField {
        id: tokenField
        objectName: "signalKTokenField"
        placeholderText: qsTr("Token (optional)")
        Layout.preferredWidth: hostField.Layout.preferredWidth
        echoMode: TextInput.PasswordEchoOnEdit
        selectByMouse: true
        onEditingFinished: focus = false
    }
}
