import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import QtQuick.Window 2.15
import "."

// The storm warning's group of the settings screen: the alarm and its
// limits over three hours, the low limit in the pressure unit, and the alarm
// of a lost instrument, which stands whatever the storm alarm's switch says.
// Read by load() when the screen opens, stored by save() when it is left.
ColumnLayout {
    id: group

    // The settings screen's column width and the name of its pressure unit.
    property int columnWidth: 200
    property string unitText: ""

    // The fall limits of the phone barographs' storm alerts, in hPa over
    // three hours; the last choice is the sailor's own.
    readonly property var fallLimits: [3.0, 4.5, 6.0]
    readonly property int inHg: 3

    // The low limit is kept in hPa and shown in the pressure unit, in
    // hundredths where tenths of the unit would be too coarse. The hPa value
    // changes only when the sailor changes the box, so that showing it in
    // another unit and cutting it to the box's decimals never moves it.
    property real lowLimit: 990

    // The alarm limits are typed in their own units: their text is checked
    // against the range in those units, which lies far from the range of
    // the whole units the box counts in.
    component AlarmBox: DoubleSpinBox {
        id: box
        validator: DoubleValidator {
            bottom: Math.min(box.from, box.to) / box.factor
            top: Math.max(box.from, box.to) / box.factor
        }
    }

    function fallText(limit) {
        return Number(limit).toLocaleString(Qt.locale(), 'f', 1) + " hPa"
    }

    // In the stored pressure unit: call it again once a new unit is stored.
    function showLowLimit(hpa) {
        var unit = backend.getSetting("unitPre", 0)
        lowLimit = hpa
        lowBox.decimals = unit === 2 || unit === inHg ? 2 : 1
        lowBox.from = lowBox.wholeUnits(backend.convertToOther(900))
        lowBox.to = lowBox.wholeUnits(backend.convertToOther(1050))
        lowBox.stepSize = Math.max(1, lowBox.wholeUnits(backend.convertToOther(1)))
        lowBox.setRealValue(backend.convertToOther(hpa))
    }

    function load() {
        alarmOn.checked = backend.getSetting("alarmOn", 1) === 1
        var fall = backend.getSetting("alarmFall", 4.5)
        var preset = fallLimits.indexOf(fall)
        fallChoice.currentIndex = preset < 0 ? fallLimits.length : preset
        fallBox.setRealValue(fall)
        riseOn.checked = backend.getSetting("alarmRiseOn", 0) === 1
        riseBox.setRealValue(backend.getSetting("alarmRise", 4.5))
        lowOn.checked = backend.getSetting("alarmLowOn", 0) === 1
        showLowLimit(backend.getSetting("alarmLow", 990))
        lostOn.checked = backend.getSetting("alarmLostOn", 1) === 1
    }

    function save() {
        backend.setSetting("alarmOn", alarmOn.checked ? 1 : 0)
        var own = fallChoice.currentIndex >= fallLimits.length
        backend.setSetting("alarmFall", own ? fallBox.realValue : fallLimits[fallChoice.currentIndex])
        backend.setSetting("alarmRiseOn", riseOn.checked ? 1 : 0)
        backend.setSetting("alarmRise", riseBox.realValue)
        backend.setSetting("alarmLowOn", lowOn.checked ? 1 : 0)
        backend.setSetting("alarmLow", lowLimit)
        backend.setSetting("alarmLostOn", lostOn.checked ? 1 : 0)
    }

    spacing: 0

    SettingsText {
        Layout.alignment: Qt.AlignHCenter
        text: qsTr("Storm warning")
        font.bold: true
    }
    GridLayout {
        Layout.alignment: Qt.AlignHCenter
        Layout.margins: 20
        columns: Math.max(1, Math.min(4, Math.floor(Window.width / group.columnWidth)))
        rowSpacing: 10
        columnSpacing: 10

        ColumnLayout {
            Layout.preferredWidth: group.columnWidth - 10
            Layout.alignment: Qt.AlignTop
            spacing: 0
            SettingsText { text: qsTr("Alarm") }
            Switch { id: alarmOn; objectName: "alarmOn" }
            // A lost instrument is an alarm whether the storm alarm is on or not.
            SettingsText { text: qsTr("No pressure for 2 min") }
            Switch { id: lostOn; objectName: "alarmLostOn" }
        }
        ColumnLayout {
            Layout.preferredWidth: group.columnWidth - 10
            Layout.alignment: Qt.AlignTop
            enabled: alarmOn.checked
            spacing: 0
            SettingsCombo {
                id: fallChoice
                objectName: "alarmFall"
                Layout.fillWidth: true
                label: qsTr("Fall over 3 h")
                model: group.fallLimits.map(group.fallText).concat([qsTr("Other", "storm warning: another fall limit")])
            }
            AlarmBox {
                id: fallBox
                objectName: "alarmFallOwn"
                Layout.fillWidth: true
                visible: fallChoice.currentIndex >= group.fallLimits.length
                // 1.0 to 20.0 hPa, in tenths.
                from: 10
                to: 200
                stepSize: 5
            }
        }
        ColumnLayout {
            Layout.preferredWidth: group.columnWidth - 10
            Layout.alignment: Qt.AlignTop
            enabled: alarmOn.checked
            spacing: 0
            SettingsText { text: qsTr("Rise over 3 h (hPa)") }
            RowLayout {
                Switch { id: riseOn; objectName: "alarmRiseOn" }
                AlarmBox {
                    id: riseBox
                    objectName: "alarmRiseBox"
                    Layout.fillWidth: true
                    enabled: riseOn.checked
                    from: 10
                    to: 200
                    stepSize: 5
                }
            }
        }
        ColumnLayout {
            Layout.preferredWidth: group.columnWidth - 10
            Layout.alignment: Qt.AlignTop
            enabled: alarmOn.checked
            spacing: 0
            SettingsText { text: qsTr("Low limit") + " (" + group.unitText + ")" }
            RowLayout {
                Switch { id: lowOn; objectName: "alarmLowOn" }
                AlarmBox {
                    id: lowBox
                    objectName: "alarmLowBox"
                    Layout.fillWidth: true
                    enabled: lowOn.checked
                    onValueModified: group.lowLimit = backend.convertToHpa(realValue)
                }
            }
        }
    }
}
