import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Layouts 1.15
import QtQuick.Window 2.15
import QtCharts 2.3
import "."

// The main screen: time, position, pressure with its trend arrow, the nine
// spans and the chart of the chosen span with zoom, pan and read-out.
Item {
    id: page
    objectName: "baroH"

    property int chartNb: 0
    property var startingDate: 0
    property real zoomLevel: 1.0
    property bool paning: false
    property point m_point: Qt.point(0, -1)
    property var lastStartTime: 0
    // How long a read-out stays on the chart, in ms.
    property int readOutInterval: 6000

    // The last series, which draws the read-out cross-hair.
    property var crossHair: null

    // The spans: x axis from `min` to 0 in the unit of the label format.
    readonly property var spans: [
        { label: qsTr("30m"), min: -30, format: qsTr("%dm"), ticks: 7, minorTicks: 0 },
        { label: qsTr("3h"), min: -3, format: qsTr("%dh"), ticks: 4, minorTicks: 1 },
        { label: qsTr("6h"), min: -6, format: qsTr("%dh"), ticks: 7, minorTicks: 0 },
        { label: qsTr("12h"), min: -12, format: qsTr("%dh"), ticks: 7, minorTicks: 0 },
        { label: qsTr("1d"), min: -24, format: qsTr("%dh"), ticks: 7, minorTicks: 0 },
        { label: qsTr("2d"), min: -48, format: qsTr("%dh"), ticks: 7, minorTicks: 0 },
        { label: qsTr("4d"), min: -4, format: qsTr("%dd"), ticks: 5, minorTicks: 1 },
        { label: qsTr("8d"), min: -8, format: qsTr("%dd"), ticks: 5, minorTicks: 1 },
        { label: qsTr("16d"), min: -16, format: qsTr("%dd"), ticks: 5, minorTicks: 1 }
    ]

    // Matters only where the second page hides the chart (iOS).
    function swipeIndexChanged(index) {
    }

    TextMetrics { id: fiftyX; text: "X".repeat(50) }
    TextMetrics { id: pressureMetrics; font.pixelSize: Style.basePixel; font.bold: true; text: pressureText.text }
    TextMetrics { id: wwww; font.bold: true; text: "WWWW" }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        Banner {
            Layout.preferredHeight: Style.bannerHeight(Window.width)
        }

        Text {
            id: dateText
            objectName: "dateText"
            Layout.fillWidth: true
            Layout.topMargin: 20
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
                color: Style.lineColor
                font.pixelSize: Math.max(1, Style.basePixel * page.width * (page.width < page.height ? 0.6 : 0.3)
                                         / Math.max(1, pressureMetrics.advanceWidth))
            }
            TrendImage {
                id: trendImage
                objectName: "trendImage"
                width: height
                height: pressureText.height
                sourceSize.height: height * Screen.devicePixelRatio
            }
        }

        TendencyText {
            id: tendencyText
            Layout.fillWidth: true
            font.pixelSize: Style.basePixel * 1.1
        }

        Rectangle {
            id: spanBar
            Layout.fillWidth: true
            Layout.preferredHeight: spanRow.height
            color: page.Material.background

            Row {
                id: spanRow
                anchors.centerIn: parent
                readonly property real needed: 8.5 * wwww.advanceWidth
                scale: needed > page.width ? page.width / needed : 1.0

                Repeater {
                    model: page.spans
                    M_ToolButton {
                        objectName: "span_" + modelData.label
                        text: modelData.label
                        checked: index === 0
                        onClicked: page.selectSpan(index)
                    }
                }
            }
        }

        ChartView {
            id: chart
            objectName: "chart"
            Layout.fillWidth: true
            Layout.fillHeight: true
            antialiasing: true
            legend.visible: false
            margins.top: 0
            margins.bottom: 0
            margins.left: 0
            margins.right: 0
            title: ""

            ValueAxis {
                id: axisY
                objectName: "axisY"
                labelFormat: "%0.2f"
                tickCount: 6
                min: 980
                max: 1050
            }
            ValueAxis {
                id: axisX
                objectName: "axisX"
                min: -30
                max: 0
                labelFormat: "%dm"
                tickCount: 7
                minorTickCount: 0
            }

            // Where storm warnings began, and where a calibration or another
            // instrument moved the readings: a line across the plot at each.
            ChartMarks {
                id: alarmMarks
                chart: chart
                axis: axisX
                color: Style.alarmMark
                markName: "alarmMark"
            }
            ChartMarks {
                id: stepMarks
                chart: chart
                axis: axisX
                color: Style.stepMark
                markName: "stepMark"
            }

            PinchArea {
                anchors.fill: parent
                property real previousScale: 1.0
                onPinchStarted: previousScale = 1.0
                onPinchUpdated: {
                    if (pinch.scale > previousScale)
                        page.zoomIn(1.05)
                    else if (pinch.scale < previousScale)
                        page.zoomOut(1.05)
                    previousScale = pinch.scale
                }
                onPinchFinished: page.paning = false

                MouseArea {
                    id: chartMouse
                    objectName: "chartMouse"
                    anchors.fill: parent
                    hoverEnabled: true
                    property point previous: Qt.point(0, 0)

                    onPositionChanged: {
                        page.readOutAt(mouse.x, mouse.y)
                        if (page.paning) {
                            chart.scrollDown(previous.y - mouse.y)
                            chart.scrollRight(previous.x - mouse.x)
                            previous = Qt.point(mouse.x, mouse.y)
                        }
                    }
                    onPressed: {
                        var value = chart.mapToValue(Qt.point(mouse.x, mouse.y), page.firstSeries())
                        var inside = value.x >= axisX.min && value.x <= axisX.max
                                && value.y >= axisY.min && value.y <= axisY.max
                        if (!chart.isZoomed() && !inside) {
                            mouse.accepted = false
                            return
                        }
                        page.readOutAt(mouse.x, mouse.y)
                        if (chart.isZoomed()) {
                            page.paning = true
                            previous = Qt.point(mouse.x, mouse.y)
                        }
                    }
                    onReleased: page.paning = false
                    onExited: if (page.crossHair) page.crossHair.visible = false
                    onDoubleClicked: page.resetView()
                    onWheel: {
                        if (wheel.angleDelta.y > 0)
                            page.zoomIn(1.1)
                        else if (wheel.angleDelta.y < 0)
                            page.zoomOut(1.1)
                    }
                }
            }
        }
    }

    Timer {
        id: readOutTimer
        objectName: "readOutTimer"
        interval: page.readOutInterval
        repeat: false
        onTriggered: {
            page.clearTitle()
            if (page.crossHair)
                page.crossHair.visible = false
        }
    }

    Connections {
        target: backend
        function onDataUpdated(date, position, cogsog, pressure) { page.showSample(date, position, cogsog, pressure) }
        function onNoPressureAvailable() { levelLabel.showNoPressure() }
    }

    Connections {
        target: dataSource
        // Delivered while the store holds its lock: only calls that take none.
        function onChartUpdated(now, minPre, maxPre, seriesCount) { page.drawChart(now, minPre, maxPre, seriesCount) }
    }

    Component.onCompleted: {
        createDataSeries()
        console.log("serie created")
        createCrossHair()
        applyChartTheme()
    }

    // A chart theme resets colours and fonts, so everything that depends on
    // the window's theme or width is applied again after it.
    readonly property bool narrow: width < 350
    readonly property bool wide: width > 350
    Connections {
        target: Style
        function onDarkChanged() { page.applyChartTheme() }
    }
    onNarrowChanged: applyAxisFonts()
    onWideChanged: applyAxisFonts()

    function applyChartTheme() {
        chart.theme = Style.dark ? ChartView.ChartThemeDark : ChartView.ChartThemeLight
        chart.backgroundColor = Material.background
        chart.titleColor = Style.titleColor
        applyAxisFonts()
        var font = axisX.labelsFont
        font.bold = true
        chart.titleFont = font
        for (var n = 0; n < dataSeriesCount(); n++) {
            chart.series(n).color = Style.lineColor
            chart.series(n).width = Style.lineWidth
        }
        if (crossHair) {
            crossHair.color = Style.titleColor
            crossHair.width = Style.lineWidth * 0.9
        }
    }

    function applyAxisFonts() {
        var yFont = axisY.labelsFont
        yFont.pixelSize = narrow ? 11 : 13
        yFont.bold = wide
        axisY.labelsFont = yFont
        var xFont = axisX.labelsFont
        xFont.pixelSize = narrow ? 11 : 15
        xFont.bold = wide
        axisX.labelsFont = xFont
    }

    function firstSeries() {
        return chart.count > 0 ? chart.series(0) : null
    }

    function dataSeriesCount() {
        return chart.count - 1
    }

    function createDataSeries() {
        var type = backend.getSetting("SettingSplineLine", 1) == 0 ? ChartView.SeriesTypeLine
                                                                     : ChartView.SeriesTypeSpline
        var series = chart.createSeries(type, "pressure" + chart.count, axisX)
        series.axisYRight = axisY
        series.color = Style.lineColor
        series.width = Style.lineWidth
        series.useOpenGL = false
    }

    function createCrossHair() {
        var series = chart.createSeries(ChartView.SeriesTypeLine, "crosshair", axisX)
        series.axisYRight = axisY
        series.pointsVisible = true
        series.visible = false
        series.style = Qt.DotLine
        series.color = Style.titleColor
        series.width = Style.lineWidth * 0.9
        series.useOpenGL = false
        crossHair = series
    }

    // An empty title shows under the pressure row; a blank keeps the
    // chart's title space when the row is hidden.
    function clearTitle() {
        chart.title = pressureRow.visible ? "" : " "
    }

    function setTitleStyle() {
        chart.titleColor = Style.titleColor
        var font = chart.titleFont
        font.pixelSize = levelLabel.font.pixelSize
        font.bold = true
        chart.titleFont = font
    }

    function resetView() {
        chart.zoomReset()
        paning = false
        zoomLevel = 1.0
        clearTitle()
        if (crossHair)
            crossHair.visible = false
    }

    function zoomIn(factor) {
        chart.zoom(factor)
        zoomLevel *= factor
    }

    function zoomOut(factor) {
        if (zoomLevel > 1.0) {
            chart.zoom(1.0 / factor)
            zoomLevel /= factor
        } else {
            resetView()
        }
    }

    function selectSpan(n) {
        resetView()
        chartNb = n
        var span = spans[n]
        axisX.min = span.min
        axisX.max = 0
        axisX.labelFormat = span.format
        axisX.tickCount = span.ticks
        axisX.minorTickCount = span.minorTicks
        dataSource.updateChart(chartNb)
    }

    function readOutAt(x, y) {
        var value = chart.mapToValue(Qt.point(x, y), firstSeries())
        serieClicked(dataSource.getValueAt(value.x, chartNb, startingDate), false)
    }

    function serieClicked(point, recreation) {
        m_point = point
        lastStartTime = backend.getCurrentTime()
        if (point.y < 0) {
            crossHair.visible = false
            clearTitle()
            return
        }
        setTitleStyle()
        if (!recreation)
            chart.title = dataSource.calcInfo(point, chartNb)
        crossHair.clear()
        crossHair.append(point.x, axisY.min)
        crossHair.append(point.x, point.y)
        crossHair.append(axisX.max, point.y)
        crossHair.color = Style.titleColor
        crossHair.visible = true
        if (!recreation) {
            readOutTimer.interval = readOutInterval
            readOutTimer.restart()
        }
    }

    function showSample(date, position, cogsog, pressure) {
        if (dataSeriesCount() > 0)
            chart.series(0).color = Style.lineColor
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
            chart.title = ""
            pressureRow.visible = false
        } else {
            pressureRow.visible = true
            pressureText.text = pressure
            if (!readOutTimer.running)
                chart.title = pressureRow.visible ? "" : pressure
            levelLabel.showLevel()
        }
        if (!chart.isZoomed() && !paning)
            dataSource.updateChart(chartNb)
        if (pressure === "NONE") {
            trendImage.visible = false
        } else {
            trendImage.visible = true
            trendImage.showTrend(dataSource.getTrend())
        }
        tendencyText.show(pressure !== "NONE")
    }

    // The x unit of the span, in seconds.
    function spanUnit() {
        return chartNb === 0 ? 60 : (chartNb <= 5 ? 3600 : 86400)
    }

    function yTicks(range) {
        // The bounds come in hundredths: allow for their binary rounding.
        var slack = 1e-9
        if (range <= 0.02 + slack) return 2
        if (range <= 0.03 + slack) return 3
        if (range <= 0.04 + slack) return 4
        return 6
    }

    function matchSeries(seriesCount) {
        while (dataSeriesCount() > seriesCount && dataSeriesCount() > 0)
            chart.removeSeries(chart.series(chart.count - 2))
        var kept = crossHair !== null && crossHair.visible
        if (dataSeriesCount() < seriesCount) {
            chart.removeSeries(crossHair)
            crossHair = null
            while (chart.count < seriesCount)
                createDataSeries()
            createCrossHair()
        }
        return kept
    }

    function drawChart(now, minPre, maxPre, seriesCount) {
        startingDate = now
        if (maxPre > 0) {
            axisY.min = minPre
            axisY.max = maxPre
            axisY.tickCount = yTicks(maxPre - minPre)
        }
        if (matchSeries(seriesCount)) {
            var elapsed = (backend.getCurrentTime() - lastStartTime) / spanUnit()
            serieClicked(Qt.point(m_point.x - elapsed, m_point.y), true)
        }
        for (var n = 0; n < dataSeriesCount(); n++)
            dataSource.update(chart.series(n), n)
        alarmMarks.model = dataSource.getAlarmMarks(chartNb, now)
        stepMarks.model = dataSource.getStepMarks(chartNb, now)
        axisX.labelsAngle = 0
        if (!readOutTimer.running && chartNb === 1) {
            var change = dataSource.getTrend3h()
            if (change !== "notOK") {
                setTitleStyle()
                chart.title = change
            }
        }
    }
}
