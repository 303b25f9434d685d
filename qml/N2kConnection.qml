import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import "."

// The NMEA 2000 details of the connections screen: the boat's backbone
// through a CAN adapter of the computer (SocketCAN, "can0"), or through a
// gateway that forwards its frames as text lines over TCP (its address and
// port) or UDP (the port it sends to).
ColumnLayout {
    function load() {
        var mode = backend.getSetting("SettingN2kMode", 0)
        tcpRadio.checked = mode === 1
        udpRadio.checked = mode === 2
        canRadio.checked = !tcpRadio.checked && !udpRadio.checked
        interfaceField.text = backend.getSetting("SettingN2kInterface", "can0")
        addressField.text = backend.getSetting("SettingN2kAddress", "127.000.000.001")
        portBox.value = backend.getSetting("SettingN2kPort", 1457)
    }

    function save() {
        backend.setSetting("SettingN2kMode", tcpRadio.checked ? 1 : (udpRadio.checked ? 2 : 0))
        backend.setSetting("SettingN2kInterface", interfaceField.text.trim())
        backend.setSetting("SettingN2kAddress", addressField.text)
        backend.setSetting("SettingN2kPort", portBox.value)
    }

    RadioButton {
        id: canRadio
        objectName: "n2kCanRadio"
        text: qsTr("CAN interface (SocketCAN)")
    }
    TextField {
        id: interfaceField
        objectName: "n2kInterfaceField"
        visible: canRadio.checked
        Layout.leftMargin: canRadio.indicator.width
        selectByMouse: true
        onEditingFinished: focus = false
    }
    RadioButton {
        id: tcpRadio
        objectName: "n2kTcpRadio"
        text: qsTr("Gateway over TCP")
    }
    RadioButton {
        id: udpRadio
        objectName: "n2kUdpRadio"
        text: qsTr("Gateway over UDP")
    }
    RowLayout {
        visible: !canRadio.checked
        Layout.leftMargin: canRadio.indicator.width
        spacing: 10
        AddressField {
            id: addressField
            objectName: "n2kAddressField"
            visible: tcpRadio.checked
        }
        PortBox {
            id: portBox
            objectName: "n2kPortBox"
            from: 1
        }
    }
}
