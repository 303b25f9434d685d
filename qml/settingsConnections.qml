import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import QtQuick.Window 2.15
import "."

// Where position and pressure come from (the computer's own services, a
// serial port, TCP, UDP, NMEA 2000, a Signal K server) and the NMEA relay
// over UDP. Stored when the screen is left, which also restarts the position services and the NMEA
// worker, changed or not.
Flickable {
    id: page
    objectName: "connectionsPage"

    property var loader
    property bool ready: false
    property bool hasLeft: false

    contentWidth: width
    contentHeight: column.implicitHeight
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    ScrollBar.vertical: ScrollBar {}

    // Wide enough for the widest entry (the measure is capped), its arrow
    // and its paddings.
    function listWidth(box, entries) {
        var widest = 0
        for (var i = 0; i < entries.length; ++i)
            widest = Math.max(widest, backend.getHorizontalAdvance(entries[i]))
        return widest + box.indicator.width + box.leftPadding + box.rightPadding
    }

    // The ports present now, and the stored one kept, shown as absent, when
    // it is not among them: an unplugged barometer, a by-id link or a
    // pseudo-terminal stays chosen until the sailor picks another.
    function portEntries(stored) {
        var entries = backend.getSerialPorts().map(function(port) { return { text: port, value: port } })
        if (stored !== "None" && !entries.some(function(entry) { return entry.value === stored }))
            entries.push({ text: qsTr("%1 (absent)").arg(stored), value: stored })
        return entries
    }

    // The entry chosen, or a device path typed into the list.
    function chosenPort() {
        if (portBox.currentIndex >= 0 && portBox.editText === portBox.currentText)
            return portBox.currentValue
        var typed = portBox.editText.trim()
        return typed === "" ? "None" : typed
    }

    function load() {
        ready = true
        var port = backend.getSetting("SettingSerialPort", "None")
        portBox.model = portEntries(port)
        if (port !== "None")
            portBox.currentIndex = portBox.indexOfValue(port)
        var positionSource = backend.getSetting("SettingPosSource", 1)
        internal.checked = positionSource === 1
        nmea.checked = positionSource === 2
        var speed = speedBox.find(backend.getSetting("SettingSerialSpeed", 9600), Qt.MatchExactly)
        speedBox.currentIndex = speed >= 0 ? speed : speedBox.find("9600")
        positionSwitch.checked = backend.getSetting("SettingUsePos", 1) === 1
        serialSwitch.checked = backend.getSetting("SettingUseSerial", 0) === 1
        parityBox.currentIndex = backend.getSetting("SettingSerialParity", 0)
        dataBitsBox.currentIndex = backend.getSetting("SettingSerialNbBits", 0)
        stopBitsBox.currentIndex = backend.getSetting("SettingSerialStopBit", 0)
        flowBox.currentIndex = backend.getSetting("SettingSerialControl", 0)
        tcpSwitch.checked = backend.getSetting("SettingUseTcp", 0) === 1
        addressField.text = backend.getSetting("SettingTcpIpAddress", "127.000.000.001")
        tcpPortBox.value = backend.getSetting("SettingTcpIpPort", 10110)
        udpSwitch.checked = backend.getSetting("SettingUseUdp", 0) === 1
        udpPortBox.value = backend.getSetting("SettingUdpPort", 10110)
        udpOutSwitch.checked = backend.getSetting("SettingUseUdpOut", 0) === 1
        udpOutPortBox.value = backend.getSetting("updPort", 10110)
        rmcSwitch.checked = backend.getSetting("sendUdpPos", 0) === 1
        n2kSwitch.checked = backend.getSetting("SettingUseN2k", 0) === 1
        n2kGroup.load()
        signalKSwitch.checked = backend.getSetting("SettingUseSignalK", 0) === 1
        signalKGroup.load()
    }

    // Called by the window before it replaces this screen, and at the
    // latest when the screen is destroyed.
    function leave() {
        if (hasLeft)
            return
        hasLeft = true
        backend.setSetting("SettingSerialPort", chosenPort())
        backend.setSetting("SettingUsePos", positionSwitch.checked ? 1 : 0)
        backend.setSetting("SettingUseSerial", serialSwitch.checked ? 1 : 0)
        backend.setSetting("SettingPosSource", internal.checked ? 1 : 2)
        backend.setSetting("SettingSerialSpeed", speedBox.currentText)
        backend.setSetting("SettingSerialNbBits", dataBitsBox.currentIndex)
        backend.setSetting("SettingSerialParity", parityBox.currentIndex)
        backend.setSetting("SettingSerialStopBit", stopBitsBox.currentIndex)
        backend.setSetting("SettingSerialControl", flowBox.currentIndex)
        backend.setSetting("SettingTcpIpAddress", addressField.text)
        backend.setSetting("SettingTcpIpPort", tcpPortBox.value)
        backend.setSetting("SettingUdpPort", udpPortBox.value)
        backend.setSetting("updPort", udpOutPortBox.value)
        backend.setSetting("sendUdpPos", rmcSwitch.checked ? 1 : 0)
        backend.setSetting("SettingUseTcp", tcpSwitch.checked ? 1 : 0)
        backend.setSetting("SettingUseUdp", udpSwitch.checked ? 1 : 0)
        backend.setSetting("SettingUseUdpOut", udpOutSwitch.checked ? 1 : 0)
        backend.setSetting("SettingUseN2k", n2kSwitch.checked ? 1 : 0)
        n2kGroup.save()
        backend.setSetting("SettingUseSignalK", signalKSwitch.checked ? 1 : 0)
        signalKGroup.save()
        backend.syncSettings()
        backend.clearAllFix()
        backend.startLocationServices()
        backend.startNmea()
    }

    Component.onCompleted: load()
    Component.onDestruction: leave()

    ColumnLayout {
        id: column
        width: page.width
        spacing: 0

        Banner {
            Layout.preferredHeight: Style.bannerHeight(Window.width)
        }

        Label {
            Layout.topMargin: 20
            Layout.alignment: Qt.AlignHCenter
            text: qsTr("Connections")
            font.pixelSize: positionSwitch.font.pixelSize * 2
        }

        GridLayout {
            Layout.alignment: Qt.AlignHCenter
            Layout.margins: 10
            columns: 2
            rowSpacing: 10
            columnSpacing: 20

            Switch {
                id: positionSwitch
                objectName: "positionSwitch"
                text: qsTr("Position")
            }
            RowLayout {
                enabled: positionSwitch.checked
                RadioButton { id: internal; objectName: "internalRadio"; text: qsTr("Internal") }
                RadioButton { id: nmea; objectName: "nmeaRadio"; text: qsTr("NMEA") }
            }

            Switch {
                id: serialSwitch
                objectName: "serialSwitch"
                Layout.alignment: Qt.AlignTop
                text: qsTr("Serial NMEA input")
            }
            GridLayout {
                enabled: serialSwitch.checked
                columns: 2
                columnSpacing: 10

                ComboBox {
                    id: portBox
                    objectName: "portBox"
                    Layout.columnSpan: 2
                    Layout.minimumWidth: page.listWidth(portBox, model.map(function(entry) { return entry.text }))
                    textRole: "text"
                    valueRole: "value"
                    // A device path may be typed too (/dev/serial/by-id/...).
                    editable: true
                    model: []
                }
                ComboBox {
                    id: speedBox
                    objectName: "speedBox"
                    Layout.columnSpan: 2
                    Layout.minimumWidth: page.listWidth(speedBox, model)
                    model: ["1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"]
                }
                ComboBox {
                    id: parityBox
                    objectName: "parityBox"
                    Layout.minimumWidth: page.listWidth(parityBox, model)
                    model: [qsTr("No Parity"), qsTr("Even Parity"), qsTr("Odd Parity"), qsTr("Space Parity"),
                            qsTr("Mark Parity")]
                }
                ComboBox {
                    id: flowBox
                    objectName: "flowBox"
                    Layout.minimumWidth: page.listWidth(flowBox, model)
                    model: [qsTr("No Control"), qsTr("Hardware"), qsTr("Software")]
                }
                ComboBox {
                    id: dataBitsBox
                    objectName: "dataBitsBox"
                    Layout.minimumWidth: parityBox.Layout.minimumWidth
                    model: [qsTr("8 Bits"), qsTr("7 Bits"), qsTr("6 Bits"), qsTr("5 Bits")]
                }
                ComboBox {
                    id: stopBitsBox
                    objectName: "stopBitsBox"
                    Layout.minimumWidth: flowBox.Layout.minimumWidth
                    model: [qsTr("1 Bit"), qsTr("1.5 Bit"), qsTr("2 Bits")]
                }
            }

            Switch {
                id: tcpSwitch
                objectName: "tcpSwitch"
                text: qsTr("TCP NMEA input")
            }
            RowLayout {
                enabled: tcpSwitch.checked
                spacing: 10
                AddressField {
                    id: addressField
                    objectName: "addressField"
                }
                PortBox {
                    id: tcpPortBox
                    objectName: "tcpPortBox"
                }
            }

            Switch {
                id: udpSwitch
                objectName: "udpSwitch"
                text: qsTr("UDP NMEA input")
            }
            PortBox {
                id: udpPortBox
                objectName: "udpPortBox"
                enabled: udpSwitch.checked
            }

            Switch {
                id: n2kSwitch
                objectName: "n2kSwitch"
                Layout.alignment: Qt.AlignTop
                text: qsTr("NMEA 2000 input")
            }
            N2kConnection {
                id: n2kGroup
                enabled: n2kSwitch.checked
            }

            Switch {
                id: signalKSwitch
                objectName: "signalKSwitch"
                text: qsTr("Signal K input")
            }
            SignalKConnection {
                id: signalKGroup
                enabled: signalKSwitch.checked
            }

            Switch {
                id: udpOutSwitch
                objectName: "udpOutSwitch"
                Layout.alignment: Qt.AlignTop
                text: qsTr("UDP NMEA output")
            }
            ColumnLayout {
                enabled: udpOutSwitch.checked
                PortBox {
                    id: udpOutPortBox
                    objectName: "udpOutPortBox"
                }
                Switch {
                    id: rmcSwitch
                    objectName: "rmcSwitch"
                    text: qsTr("Also send position (RMC)")
                }
            }
        }
    }
}
