import QtQuick 2.15
import QtQuick.Layouts 1.15
import "."

// The station's elevation, kept in metres and typed in metres (a tenth) or
// in whole feet.
ColumnLayout {
    id: group

    property bool feet: false
    readonly property real feetPerMetre: 3.0 * 39.37 / 36.0
    signal edited()

    spacing: 0

    function metres() {
        var shown = elevationBox.currentRealValue()
        return feet ? shown / feetPerMetre : shown
    }

    // Shows the elevation in the unit chosen now.
    function show(elevationMetres) {
        elevationBox.decimals = feet ? 0 : 1
        elevationBox.setRealValue(feet ? elevationMetres * feetPerMetre : elevationMetres)
    }

    // The unit has just changed (the value shown is in the other one), set
    // here rather than through a binding that may follow only after the
    // caller has read the value.
    function convert(toFeet) {
        var shown = elevationBox.realValue
        feet = toFeet
        show(toFeet ? shown : shown / feetPerMetre)
    }

    SettingsText {
        text: group.feet ? qsTr("Elevation (feet)") : qsTr("Elevation (meters)")
    }
    DoubleSpinBox {
        id: elevationBox
        objectName: "elevationBox"
        Layout.fillWidth: true
        from: 0
        to: 10000
        onValueChanged: group.edited()
    }
}
