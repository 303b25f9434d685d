import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15

// The settings screen's way on to the connections and the calibration
// screens.
RowLayout {
    signal go(string url)

    Button {
        objectName: "connectionsButton"
        text: qsTr("Connections settings")
        font.capitalization: Font.MixedCase
        onClicked: go("qrc:/settingsConnections.qml")
    }
    Item { Layout.fillWidth: true }
    Button {
        objectName: "calibrationButton"
        text: qsTr("Brenlow USB BARO") + "\n" + qsTr("calibration")
        font.capitalization: Font.MixedCase
        // A barometer is reached only through the serial input.
        enabled: backend.getSetting("SettingSerialPort", "None") !== "None"
                 && backend.getSetting("SettingUseSerial", 0) === 1
        onClicked: go("qrc:/brenlowCalibration.qml")
    }
}
