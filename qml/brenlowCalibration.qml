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
    // Sends the last request again, and the one that failed, for Retry.
    property var lastRequest: null
    property var failedRequest: null
    // The barometer answered the last request: a time-out of the query
    // after a refusal does not mean that none is connected.
    property bool answered: false
    // Horizontal and vertical room between the groups, less on a small window.
    readonly property real wideGap: Math.min(100, width * 0.08)

    contentWidth: width
    contentHeight: Math.max(height, column.implicitHeight)
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    ScrollBar.vertical: ScrollBar {}

    function host() { return loader ? loader : parent }

    function backToBarograph() { host().source = "qrc:/BaroSwipe.qml" }

    function send(request) {
        lastRequest = request
        answered = false
        request()
    }

    function askBarometer() {
        queryPending = true
        send(function() { backend.requestCurrentCalibration() })
    }

    function calibrate() {
        var offset = offsetBox.realValue
        var slope = slopeBox.realValue
        var reported = qsp
        // The boxes hold hundredths (or thousandths); the barometer wants millibars.
        send(function() { backend.calibrateBarometer(offset, slope, reported) })
        acceptedDialog.text = qsTr("Calibration accepted by the barometer")
    }

    function resetBarometer() {
        send(function() { backend.resetBarometer() })
        acceptedDialog.text = qsTr("Factory reset accepted by the barometer")
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
        failedRequest = lastRequest
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
        Gap {}

        RowLayout {
            Layout.alignment: Qt.AlignHCenter

            ColumnLayout {
                Layout.rightMargin: page.wideGap
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
                Layout.leftMargin: page.wideGap
                SettingsText { text: qsTr("Station Level (QFE)") }
                Text {
                    id: preview
                    objectName: "preview"
                    color: Style.accent
                    font.pixelSize: 30
                }
            }
        }

        Gap {}

        ColumnLayout {
            Layout.alignment: Qt.AlignHCenter
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

        Gap {}

        RowLayout {
            Layout.alignment: Qt.AlignHCenter
            Button {
                id: calibrateButton
                objectName: "calibrateButton"
                Layout.rightMargin: page.wideGap
                text: qsTr("Calibrate")
                enabled: false
                onClicked: page.calibrate()
            }
            Button {
                id: resetButton
                objectName: "resetButton"
                Layout.leftMargin: page.wideGap / 2
                Layout.rightMargin: page.wideGap / 2
                text: qsTr("Factory reset")
                enabled: false
                onClicked: page.resetBarometer()
            }
            Button {
                objectName: "cancelButton"
                Layout.leftMargin: page.wideGap
                text: qsTr("Cancel")
                onClicked: page.backToBarograph()
            }
        }

        Item { Layout.fillHeight: true }
    }

    // 50 px between the groups where the window has room, less where not.
    component Gap: Item {
        Layout.fillHeight: true
        Layout.minimumHeight: 8
        Layout.maximumHeight: 50
    }

    MessageDialog {
        id: dialog
        objectName: "calibrationDialog"
        icon: StandardIcon.Critical
        standardButtons: StandardButton.Retry | StandardButton.Close
        onButtonClicked: if (clickedButton === StandardButton.Retry) page.send(page.failedRequest)
    }

    // Closing it closes the screen, as a calibration well done does.
    MessageDialog {
        id: acceptedDialog
        objectName: "acceptedDialog"
        icon: StandardIcon.Information
        standardButtons: StandardButton.Close
        onButtonClicked: page.backToBarograph()
        onRejected: page.backToBarograph()
    }

    Connections {
        target: backend
        function onCalibrationValuesReceived(offset, slope, slopeRef, pressure) {
            page.queryPending = false
            page.answered = true
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
            page.answered = true
            if (status) {
                acceptedDialog.open()
                return
            }
            page.showFailure(qsTr("Operation failed"))
            if (!page.queryPending)
                page.askBarometer()
        }
        function onOperationTimeout() {
            // The barometer that refused is connected.
            if (!page.answered)
                page.showFailure(qsTr("Operation timeout, probably no<br>Brenlow USB baro is connected"))
        }
    }

    Component.onCompleted: {
        ready = true
        askBarometer()
    }
}
