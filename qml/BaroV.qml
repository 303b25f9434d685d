import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import QtQuick.Window 2.15
import "."

// The large-digits page: the live values without chart, readable from
// across the cabin, with where they come from and how old they are.
Item {
    id: page
    objectName: "baroV"

    // The storm warning, taken once: the window outlives the back end. Its
    // banner takes the maker's place, so that the values below still fit.
    property QtObject warning: null
    Component.onCompleted: warning = backend.stormWarning

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Banner {
            visible: !(page.warning && page.warning.active)
            Layout.preferredHeight: Style.bannerHeight(Window.width)
        }

        Item { Layout.fillHeight: true }

        Text {
            id: dateText
            objectName: "dateText"
            Layout.fillWidth: true
            color: Style.lineColor
            horizontalAlignment: Text.AlignHCenter
            font.pixelSize: Style.basePixel * 1.5
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
            font.pixelSize: Style.basePixel * 2
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 6
        }

        LevelLabel {
            id: levelLabel
            objectName: "levelLabel"
            Layout.fillWidth: true
            font.pixelSize: Style.basePixel * 1.5
        }

        RowLayout {
            id: pressureRow
            objectName: "pressureRow"
            Layout.preferredWidth: page.width
            spacing: 0

            Text {
                id: pressureText
                objectName: "pressureText"
                Layout.fillWidth: true
                Layout.leftMargin: 10
                Layout.preferredHeight: contentHeight
                text: "1020 hPa"
                font.bold: true
                color: Style.pressureColor(backend && backend.pressureAged)
                font.pixelSize: 1000
                fontSizeMode: Text.HorizontalFit
                minimumPixelSize: 6
                horizontalAlignment: Text.AlignHCenter
            }
            TrendImage {
                id: trendImage
                objectName: "trendImage"
                readonly property real side: Math.min(pressureText.fontInfo.pixelSize, page.width / 5)
                Layout.preferredWidth: side
                Layout.preferredHeight: side
                Layout.rightMargin: 10
                sourceSize.height: side * Screen.devicePixelRatio
            }
        }

        TendencyText {
            id: tendencyText
            Layout.fillWidth: true
            font.pixelSize: Style.basePixel * 1.5
        }

        OriginText {
            id: originText
            Layout.fillWidth: true
            font.pixelSize: Style.basePixel * 1.2
        }

        Item { Layout.fillHeight: true }
    }

    SampleFeed {
        onSample: page.showSample(date, position, cogsog, pressure)
        onNoPressure: levelLabel.showNoPressure()
    }

    function showSample(date, position, cogsog, pressure) {
        dateText.text = date
        if (position === "No Position") {
            positionText.visible = false
        } else {
            positionText.visible = true
            positionText.text = cogsog === "no" ? position : position + "\n" + cogsog
        }
        if (pressure === "NONE") {
            pressureRow.visible = false
        } else {
            pressureRow.visible = true
            pressureText.text = pressure
            levelLabel.showLevel()
        }
        trendImage.showTrend(dataSource.getTrend())
        tendencyText.show(pressure !== "NONE")
    }
}
