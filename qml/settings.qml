import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15
import QtQuick.Window 2.15
import "."

// The display options, the station elevation and the pressure offset, with
// a preview of the pressure they give. Everything is read when the screen
// opens and stored when it is left; it leads on to the connections and the
// calibration screens.
Flickable {
    id: page
    objectName: "settingsPage"

    // The window's screen host, to go on to the other screens.
    property var loader
    // False until every control holds its stored value: no change handler
    // acts before.
    property bool ready: false
    property bool hasLeft: false
    readonly property bool acting: ready && !hasLeft && !language.hasChanged

    readonly property bool phone: Qt.platform.os === "android" || Qt.platform.os === "ios"
    readonly property bool landscape: Window.width > Window.height
    readonly property int inHg: 3

    contentWidth: width
    contentHeight: column.implicitHeight
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    ScrollBar.vertical: ScrollBar {}

    function offsetDecimals() {
        return unit.currentIndex === inHg ? 3 : 2
    }

    function refreshPreview() {
        var offset = backend.convertToHpa(offsetGroup.box.currentRealValue())
        offsetGroup.previewText = backend.getFormatedPressure(unit.currentIndex, offset, pressureDisplay.currentIndex,
                                                              elevation.metres())
    }

    // The offset box shows the offset in the chosen unit, but the offset is
    // kept in hPa and the conversions read the stored unit: convert while
    // the old unit is stored, store the new one, convert back.
    function changeUnit() {
        var offset = backend.convertToHpa(offsetGroup.box.realValue)
        backend.setSetting("unitPre", unit.currentIndex)
        offsetGroup.box.decimals = offsetDecimals()
        offsetGroup.box.setRealValue(backend.convertToOther(offset))
        stormWarning.showLowLimit(stormWarning.lowLimit)
        refreshPreview()
    }

    function changeElevationUnit() {
        elevation.convert(elevationUnit.currentIndex === 1)
        refreshPreview()
    }

    function changeLanguage() {
        var code = language.currentIndex === 0 ? "en" : "fr"
        // The window brings a fresh screen in the new language; this one
        // must not store anything after that.
        language.hasChanged = code !== translateHandler.getCurrentLanguage()
        save()
        translateHandler.selectLanguage(code)
    }

    function load() {
        for (var i = 0; i < choices.length; ++i)
            choices[i].load()
        spline.checked = backend.getSetting("SettingSplineLine", 1) === 1
        straight.checked = !spline.checked
        splitScreen.checked = backend.getSetting("splitScreen", 0) === 1
        alwaysOn.checked = backend.getSetting("screenAlwaysOn", 0) === 1

        elevation.show(backend.getSetting("elevation", 0))
        offsetGroup.box.decimals = offsetDecimals()
        offsetGroup.box.setRealValue(backend.convertToOther(backend.getSetting("offset", 0)))
        stormWarning.load()
        ready = true
        refreshPreview()
    }

    function save() {
        language.save()
        backend.setSetting("SettingSplineLine", spline.checked ? 1 : 0)
        theme.save()
        timeZone.save()
        timeFormat.save()
        dateFormat.save()
        speedUnit.save()
        elevationUnit.save()
        unit.save()
        precision.save()
        locationFormat.save()
        backend.setSetting("elevation", elevation.metres())
        pressureDisplay.save()
        // Android and iOS: the UDP output group is stored here.
        backend.setSetting("splitScreen", splitScreen.checked ? 1 : 0)
        var alwaysOnBefore = backend.getSetting("screenAlwaysOn", 0)
        backend.setSetting("screenAlwaysOn", alwaysOn.checked ? 1 : 0)
        if ((alwaysOn.checked ? 1 : 0) !== alwaysOnBefore)
            backend.changeAlwaysOn()
        // The unit is stored already, so this is hPa.
        backend.setSetting("offset", backend.convertToHpa(offsetGroup.box.realValue))
        stormWarning.save()
        backend.syncSettings()
    }

    // Called by the window before it replaces this screen, and at the
    // latest when the screen is destroyed.
    function leave() {
        if (hasLeft)
            return
        hasLeft = true
        if (!language.hasChanged)
            save()
    }

    function goTo(url) {
        leave()
        loader.setSource(url, { "loader": loader })
    }

    readonly property var choices: [language, theme, timeZone, dateFormat, timeFormat, speedUnit, unit,
                                    precision, locationFormat, pressureDisplay, elevationUnit]

    Component.onCompleted: load()
    Component.onDestruction: leave()

    SampleFeed { onSample: page.refreshPreview() }

    ColumnLayout {
        id: column
        width: page.width
        spacing: 0

        Banner {
            Layout.preferredHeight: Style.bannerHeight(Window.width)
        }

        Label {
            objectName: "versionText"
            Layout.topMargin: 20
            Layout.alignment: Qt.AlignHCenter
            text: qsTr("Version ") + backend.getVersion()
            font.pixelSize: language.box.font.pixelSize
        }

        GridLayout {
            id: grid
            readonly property int columnWidth: backend.getColWidth()
            Layout.alignment: Qt.AlignHCenter
            Layout.margins: 20
            columns: Math.max(1, Math.floor(Window.width / columnWidth))
            rowSpacing: 10
            columnSpacing: 10

            SettingsCombo {
                id: language
                objectName: "language"
                // Set by a language change, which stores everything itself.
                property bool hasChanged: false
                Layout.preferredWidth: grid.columnWidth - grid.columnSpacing
                label: qsTr("Langage")
                key: "language"
                model: [qsTr("English"), qsTr("French")]
                onCurrentIndexChanged: if (page.acting) page.changeLanguage()
            }
            SettingsCombo {
                id: theme
                objectName: "theme"
                Layout.preferredWidth: grid.columnWidth - grid.columnSpacing
                label: qsTr("Theme")
                key: "theme"
                model: [qsTr("Light"), qsTr("Dark"), qsTr("Device", "theme: as the computer shows")]
                // Shown at once through the window's theme rule; stored when
                // the screen is left.
                onCurrentIndexChanged: if (page.acting) ApplicationWindow.window.applyTheme(currentIndex)
            }
            ColumnLayout {
                visible: page.phone
                spacing: 0
                SettingsText { text: qsTr("Keep screen always on") }
                Switch { id: alwaysOn }
            }
            SettingsCombo {
                id: timeZone
                objectName: "timeZone"
                Layout.preferredWidth: grid.columnWidth - grid.columnSpacing
                label: qsTr("Time zone")
                key: "timeZone"
                defaultIndex: 1
                model: [qsTr("UTC"), qsTr("Device", "time zone: the computer's")]
            }
            SettingsCombo {
                id: dateFormat
                objectName: "dateFormat"
                Layout.preferredWidth: grid.columnWidth - grid.columnSpacing
                label: qsTr("Date format")
                key: "formatMMDD"
                model: [qsTr("dd mm"), qsTr("mm dd")]
            }
            SettingsCombo {
                id: timeFormat
                objectName: "timeFormat"
                Layout.preferredWidth: grid.columnWidth - grid.columnSpacing
                label: qsTr("Time format")
                key: "timeFormat"
                model: [qsTr("24h"), qsTr("12h")]
            }
            SettingsCombo {
                id: speedUnit
                objectName: "speedUnit"
                Layout.preferredWidth: grid.columnWidth - grid.columnSpacing
                label: qsTr("Speed format")
                key: "unitSpeed"
                model: [qsTr("kts"), qsTr("km/h"), qsTr("mph")]
            }
            SettingsCombo {
                id: unit
                objectName: "unit"
                Layout.preferredWidth: grid.columnWidth - grid.columnSpacing
                label: qsTr("Pressure units")
                key: "unitPre"
                model: ["mb", "hPa", "kPa", "inHg", "mmHg"]
                onCurrentIndexChanged: if (page.acting) page.changeUnit()
            }
            SettingsCombo {
                id: precision
                objectName: "precision"
                Layout.preferredWidth: grid.columnWidth - grid.columnSpacing
                label: qsTr("Precision display")
                key: "precision"
                defaultIndex: 1
                model: [qsTr("Low"), qsTr("Normal"), qsTr("High")]
            }
            SettingsCombo {
                id: locationFormat
                objectName: "locationFormat"
                Layout.preferredWidth: grid.columnWidth - grid.columnSpacing
                label: qsTr("Location display")
                key: "locFormat"
                defaultIndex: 1
                model: ["dd°mm'ss\"", "dd°mm.mm'", "dd.dd°"]
            }
            SettingsCombo {
                id: pressureDisplay
                objectName: "pressureDisplay"
                Layout.preferredWidth: grid.columnWidth - grid.columnSpacing
                label: qsTr("Pressure display")
                key: "preDisplay"
                model: [qsTr("Sea Level (QNH)"), qsTr("Station Level (QFE)")]
                onCurrentIndexChanged: if (page.acting) page.refreshPreview()
            }
            SettingsCombo {
                id: elevationUnit
                objectName: "elevationUnit"
                Layout.preferredWidth: grid.columnWidth - grid.columnSpacing
                label: qsTr("Elevation units")
                key: "unitEle"
                model: [qsTr("Meters"), qsTr("Feet")]
                onCurrentIndexChanged: if (page.acting) page.changeElevationUnit()
            }
            ElevationSetting {
                id: elevation
                Layout.preferredWidth: grid.columnWidth - grid.columnSpacing
                feet: elevationUnit.currentIndex === 1
                onEdited: if (page.acting) page.refreshPreview()
            }
            // Android and iOS: the UDP output group (switches and port) stands here.
            ColumnLayout {
                Layout.preferredWidth: grid.columnWidth - grid.columnSpacing
                spacing: 0
                SettingsText { text: qsTr("Line style") }
                RowLayout {
                    RadioButton { id: straight; objectName: "straight"; text: qsTr("Straight") }
                    RadioButton { id: spline; objectName: "spline"; text: qsTr("Spline") }
                }
            }
            ColumnLayout {
                visible: !page.phone
                Layout.preferredWidth: grid.columnWidth - grid.columnSpacing
                spacing: 0
                SettingsText { text: qsTr("Data on two screens") }
                Switch { id: splitScreen; objectName: "splitScreen" }
            }
        }

        OffsetSettings {
            id: offsetGroup
            Layout.alignment: Qt.AlignHCenter
            unitText: unit.currentText
            displayText: pressureDisplay.currentText
            landscape: page.landscape
            onEdited: if (page.acting) page.refreshPreview()
        }

        StormWarningSettings {
            id: stormWarning
            Layout.alignment: Qt.AlignHCenter
            Layout.topMargin: 30
            columnWidth: grid.columnWidth
            unitText: unit.currentText
        }

        SettingsLinks {
            visible: !page.phone
            Layout.topMargin: 50
            Layout.bottomMargin: 20
            Layout.alignment: Qt.AlignHCenter
            // As wide as the grid above, not the page.
            Layout.fillWidth: false
            Layout.preferredWidth: Math.min(grid.width, page.width - 40)
            onGo: page.goTo(url)
        }
    }
}
