import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import QtQuick.Window 2.15
import "."

// The main screen: time, position, pressure with its trend arrow, where
// they come from and how old they are, the spans and the chart of the
// chosen span (PressureChart). The chart keeps its least height whatever
// the window and the storm warning leave: the maker's banner steps aside
// first, then the pressure text shrinks.
Item {
    id: page
    objectName: "baroH"

    readonly property alias chartNb: chart.chartNb

    // Matters only where the second page hides the chart (iOS).
    function swipeIndexChanged(index) {
    }

    TextMetrics { id: fiftyX; text: "X".repeat(50) }
    TextMetrics { id: pressureMetrics; font.pixelSize: Style.basePixel; font.bold: true; text: pressureText.text }
    TextMetrics { id: wwww; font.bold: true; text: "WWWW" }

    // The storm warning, taken once: the window outlives the back end.
    property QtObject warning: null
    Component.onCompleted: {
        warning = backend.stormWarning
        showSourcePrompt(true)
    }

    // The height shared out above the chart's floor: the lines that always
    // show, then the pressure, and the maker's banner while the pressure
    // keeps two thirds of the size the width gives it. The storm banner
    // takes the maker's place.
    readonly property real bannerHeight: Style.bannerHeight(Window.width)
    readonly property real linesHeight: dateText.implicitHeight + levelLabel.implicitHeight + spanBar.Layout.preferredHeight
                                        + (positionText.visible ? positionText.implicitHeight : 0)
                                        + (tendencyText.visible ? tendencyText.implicitHeight : 0)
                                        + (originText.visible ? originText.implicitHeight : 0)
                                        + (sourcePrompt.visible ? sourcePrompt.implicitHeight : 0)
    readonly property real room: height - chart.floorHeight - linesHeight
    // Text height per pixel of font size, and the size the width allows.
    readonly property real lineRatio: pressureMetrics.height / Style.basePixel
    readonly property real widePressurePixel: Style.basePixel * width * (width < height ? 0.6 : 0.3)
                                              / Math.max(1, pressureMetrics.advanceWidth)
    readonly property real pressureHeight: pressureRow.visible ? widePressurePixel * lineRatio : 0
    readonly property bool bannerShown: !(warning && warning.active) && room - 20 - bannerHeight >= pressureHeight * 2 / 3
    readonly property real pressurePixel: Math.max(6, Math.min(widePressurePixel,
                                                               (room - (bannerShown ? bannerHeight + 20 : 4)) / lineRatio))

    // One choice of the spans (the model's number), lit while its chart is shown.
    Component {
        id: spanButton
        M_ToolButton {
            objectName: "span_" + chart.spans[modelData].label
            text: chart.spans[modelData].label
            checkable: false
            checked: chart.chartNb === modelData
            onClicked: chart.selectSpan(modelData)
        }
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Banner {
            visible: page.bannerShown
            Layout.preferredHeight: page.bannerHeight
        }

        Text {
            id: dateText
            objectName: "dateText"
            Layout.fillWidth: true
            Layout.topMargin: page.bannerShown ? 20 : 4
            color: Style.lineColor
            horizontalAlignment: Text.AlignHCenter
            font.pixelSize: Style.basePixel
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 6
        }

        Text {
            id: positionText
            objectName: "positionText"
            Layout.fillWidth: true
            visible: false
            font.bold: true
            color: Style.accent
            horizontalAlignment: Text.AlignHCenter
            font.pixelSize: Math.max(1, Style.basePixel * page.width * 0.6 / Math.max(1, fiftyX.advanceWidth))
        }

        LevelLabel {
            id: levelLabel
            objectName: "levelLabel"
            Layout.fillWidth: true
            font.pixelSize: Style.basePixel * 1.1
        }

        Row {
            id: pressureRow
            objectName: "pressureRow"
            Layout.alignment: Qt.AlignHCenter

            Text {
                id: pressureText
                objectName: "pressureText"
                text: "1020 hPa"
                font.bold: true
                color: Style.pressureColor(backend && backend.pressureAged)
                font.pixelSize: page.pressurePixel
            }
            TrendImage {
                id: trendImage
                objectName: "trendImage"
                width: height
                height: pressureText.height
                sourceSize.height: height * Screen.devicePixelRatio
            }
        }

        // The first start: no source gives a pressure, and where to set one up.
        ColumnLayout {
            id: sourcePrompt
            objectName: "sourcePrompt"
            Layout.alignment: Qt.AlignHCenter
            visible: false
            spacing: 0

            Text {
                Layout.alignment: Qt.AlignHCenter
                text: qsTr("No pressure source is set up")
                font.bold: true
                font.pixelSize: Style.basePixel * 1.1
                color: Style.lineColor
            }
            Button {
                objectName: "sourceButton"
                Layout.alignment: Qt.AlignHCenter
                text: qsTr("Connections settings")
                font.capitalization: Font.MixedCase
                onClicked: ApplicationWindow.window.showScreen("qrc:/settingsConnections.qml")
            }
        }

        TendencyText {
            id: tendencyText
            Layout.fillWidth: true
            font.pixelSize: Style.basePixel * 1.1
        }

        OriginText {
            id: originText
            Layout.fillWidth: true
            font.pixelSize: Style.basePixel
        }

        Rectangle {
            id: spanBar
            Layout.fillWidth: true
            Layout.preferredHeight: spanRow.height
            color: page.Material.background

            // The nine spans of the tables, then the four of the archive: in one row
            // where they fit, else the four in a second row under the nine.
            Column {
                id: spanRow
                anchors.centerIn: parent
                readonly property bool oneRow: page.width >= 12.5 * wwww.advanceWidth
                readonly property real needed: 8.5 * wwww.advanceWidth
                readonly property var all: [0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12]
                scale: needed > page.width ? page.width / needed : 1.0

                Row {
                    anchors.horizontalCenter: parent.horizontalCenter
                    Repeater {
                        model: spanRow.oneRow ? spanRow.all : spanRow.all.slice(0, 9)
                        delegate: spanButton
                    }
                }
                Row {
                    anchors.horizontalCenter: parent.horizontalCenter
                    Repeater {
                        model: spanRow.oneRow ? [] : spanRow.all.slice(9)
                        delegate: spanButton
                    }
                }
            }
        }

        PressureChart {
            id: chart
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.minimumHeight: chart.floorHeight
            pressureShown: pressureRow.visible
            titlePixelSize: levelLabel.font.pixelSize
        }
    }

    SampleFeed {
        onSample: page.showSample(date, position, cogsog, pressure)
        onNoPressure: levelLabel.showNoPressure()
    }

    // With no source set up there is no pressure to wait for.
    function showSourcePrompt(noPressure) {
        sourcePrompt.visible = noPressure && !backend.isPressureSourceConfigured()
        if (sourcePrompt.visible)
            pressureRow.visible = false
    }

    function showSample(date, position, cogsog, pressure) {
        dateText.text = date
        if (position === "No Position") {
            positionText.visible = false
        } else {
            positionText.visible = true
            if (cogsog === "no")
                positionText.text = position
            else
                positionText.text = position + (page.height > page.width ? "\n" : " ") + cogsog
        }
        if (pressure === "NONE") {
            pressureRow.visible = false
        } else {
            pressureRow.visible = true
            pressureText.text = pressure
            levelLabel.showLevel()
        }
        chart.showSample(pressure)
        if (pressure === "NONE") {
            trendImage.visible = false
        } else {
            trendImage.visible = true
            trendImage.showTrend(dataSource.getTrend())
        }
        tendencyText.show(pressure !== "NONE")
        showSourcePrompt(pressure === "NONE")
    }
}
