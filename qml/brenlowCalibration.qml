import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Dialogs 1.3
import QtQuick.Layouts 1.15
import QtQuick.Window 2.15
import "."

// Sets the offset and the slope of the Brenlow USB barometer on the serial
// port, against the pressure the program shows. The barometer is asked for
// its present calibration first; until it answers the user can only cancel.
Flickable {
    id: page
    objectName: "calibrationPage"

    // The screen host, when the opener hands it over; else the Loader we sit in.
    property var loader: null

    property real initialPressure: 0 // what the program showed when the values came, hPa
    property real qsp: 0             // the barometer's own reading sent with its values, hPa
    property real initialOffset: 0
    property bool ready: false
    // A refused query is not asked again: a barometer that refuses every
    // command would otherwise be questioned in an endless loop.
    property bool queryPending: false

    contentWidth: width
    contentHeight: Math.max(height, column.implicitHeight)
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    ScrollBar.vertical: ScrollBar {}

    function host() { return loader ? loader : parent }

    function backToBarograph() { host().source = "qrc:/BaroSwipe.qml" }

    function askBarometer() {
        queryPending = true
        backend.requestCurrentCalibration()
    }

    // Whole units of the offset box, the fraction dropped; the tiny margin
    // keeps 1013.30 − 1013.00 (0.29999…) from showing as 0.29.
    function offsetUnits(offset) {
        var units = offset * offsetBox.factor
        return units < 0 ? Math.ceil(units - 1e-6) : Math.floor(units + 1e-6)
    }

    function refreshPreview() {
        preview.text = backend.getFormatedPressureMb(initialPressure - initialOffset + offsetBox.currentRealValue())
    }

    function showFailure(text) {
        dialog.text = text
        dialog.open()
    }

    ColumnLayout {
        id: column
        width: page.width
        height: page.contentHeight
        spacing: 0

        Banner {
            Layout.preferredHeight: Style.bannerHeight(Window.width)
        }

        Text {
            Layout.alignment: Qt.AlignHCenter
            Layout.topMargin: 20
            text: qsTr("Brenlow USB barometer calibration")
            color: Style.accent
            font.pixelSize: 30
        }

        Item { Layout.fillHeight: true }

        RowLayout {
            Layout.alignment: Qt.AlignHCenter
            Layout.topMargin: 50

            ColumnLayout {
                Layout.rightMargin: 100
                SettingsText { text: qsTr("Set USB Baro sensor offset (mb)") }
                DoubleSpinBox {
                    id: offsetBox
                    objectName: "offsetBox"
                    decimals: backend.getSetting("UnitPre", 0) == 3 ? 3 : 2
                    from: -10000000
                    to: 10000000
                    stepSize: 10
                    value: 0
                    enabled: false
                    onValueChanged: page.refreshPreview()
                }
            }
            ColumnLayout {
                Layout.leftMargin: 100
                SettingsText { text: qsTr("Station Level (QFE)") }
                Text {
                    id: preview
                    objectName: "preview"
                    color: Style.accent
                    font.pixelSize: 30
                }
            }
        }

        ColumnLayout {
            Layout.alignment: Qt.AlignHCenter
            Layout.topMargin: 50
            SettingsText { text: qsTr("Set sensor pressure slope (mb/bar)") }
            DoubleSpinBox {
                id: slopeBox
                objectName: "slopeBox"
                decimals: 1
                from: 0
                to: 100
                stepSize: 10
                value: 0
                enabled: false
            }
        }

        RowLayout {
            Layout.alignment: Qt.AlignHCenter
            Layout.topMargin: 50
            Button {
                id: calibrateButton
                objectName: "calibrateButton"
                Layout.rightMargin: 100
                text: qsTr("Calibrate")
                enabled: false
                // The boxes hold hundredths (or thousandths); the barometer wants millibars.
                onClicked: backend.calibrateBarometer(offsetBox.realValue, slopeBox.realValue, page.qsp)
            }
            Button {
                id: resetButton
                objectName: "resetButton"
                Layout.leftMargin: 50
                Layout.rightMargin: 50
                text: qsTr("Factory reset")
                enabled: false
                onClicked: backend.resetBarometer()
            }
            Button {
                objectName: "cancelButton"
                Layout.leftMargin: 100
                text: qsTr("Cancel")
                onClicked: page.backToBarograph()
            }
        }

        Item { Layout.fillHeight: true }
    }

    MessageDialog {
        id: dialog
        objectName: "calibrationDialog"
        icon: StandardIcon.Critical
        standardButtons: StandardButton.Close
    }

    Connections {
        target: backend
        function onCalibrationValuesReceived(offset, slope, slopeRef, pressure) {
            page.queryPending = false
            var shown = backend.getCurrentPressure()
            // With no pressure on screen yet (below 600 hPa counts as none),
            // start from what the barometer itself reports now.
            page.initialPressure = shown >= 600 ? shown : pressure + offset
            page.qsp = pressure
            page.initialOffset = page.initialPressure - pressure
            offsetBox.value = page.offsetUnits(page.initialOffset)
            slopeBox.value = 0
            calibrateButton.enabled = true
            resetButton.enabled = true
            offsetBox.enabled = true
            slopeBox.enabled = true
            page.refreshPreview()
        }
        function onCalibrationStatus(status) {
            if (status) {
                page.backToBarograph()
                return
            }
            page.showFailure(qsTr("Operation failed"))
            if (!page.queryPending)
                page.askBarometer()
        }
        function onOperationTimeout() {
            page.showFailure(qsTr("Operation timeout, probably no<br>Brenlow USB baro is connected"))
        }
    }

    Component.onCompleted: {
        ready = true
        askBarometer()
    }
}
