import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtCharts 2.3
import "."

// The chart of one span of the history: a series for each run of samples, the read-out cross-hair as the last
// series, a pressure axis on whole ticks whose labels stay readable, and the time window, zoomed and panned within
// the samples (ChartMouse), the pressure axis following the points in view. The rules and numbers of its scales are
// the store's (getPressureAxis, getPressureInView, getViewWindow); its colours, fonts and series are ChartLook's.
ChartView {
    id: chart
    objectName: "chart"

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
    // Given by the page: whether the pressure row shows above the chart (the title is then empty, else a blank
    // keeps its room), and the size of the title texts.
    property bool pressureShown: true
    property real titlePixelSize: Style.basePixel
    readonly property bool zoomed: zoomLevel > 1.0
    // The bounds of the last chartUpdated, the pressure range shown unless zoomed.
    property real lowest: 0
    property real highest: 0

    // The least height that keeps a plot of 120 px: the time labels, a title and the chart's own margins come on
    // top, measured from the fonts so that the page can lay out before the chart is drawn.
    readonly property int plotFloor: 120
    readonly property real floorHeight: plotFloor + xMetrics.height * 2 + titleMetrics.height + 22
    // A pressure label is drawn only where it has its own height and a padding above and below; in less it is
    // elided.
    readonly property real labelRoom: yMetrics.height + 10

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
        { label: qsTr("16d"), min: -16, format: qsTr("%dd"), ticks: 5, minorTicks: 1 },
        // From the hourly archive; "All" starts where the archive does.
        { label: qsTr("30d"), min: -30, format: qsTr("%dd"), ticks: 7, minorTicks: 0 },
        { label: qsTr("90d"), min: -90, format: qsTr("%dd"), ticks: 7, minorTicks: 0 },
        { label: qsTr("1y"), min: -365, format: qsTr("%dd"), ticks: 6, minorTicks: 0 },
        { label: qsTr("All"), min: 0, format: qsTr("%dd"), ticks: 5, minorTicks: 0 }
    ]
    readonly property int allSpan: 12
    readonly property bool longSpan: chartNb >= 9

    antialiasing: true
    legend.visible: false
    margins.top: 0
    margins.bottom: 0
    margins.left: 0
    margins.right: 0
    title: ""

    FontMetrics { id: xMetrics; font: axisX.labelsFont }
    FontMetrics { id: yMetrics; font: axisY.labelsFont }
    FontMetrics { id: titleMetrics; font.pixelSize: chart.titlePixelSize; font.bold: true }

    ValueAxis {
        id: axisY
        objectName: "axisY"
        labelFormat: "%0.2f"
        tickType: ValueAxis.TicksDynamic
        tickInterval: 10
        tickAnchor: 0
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

    // The long spans' hourly minimum and maximum, under the mean: the chart's
    // first series, so that the runs and the cross-hair are drawn over it.
    AreaSeries {
        id: band
        objectName: "band"
        axisX: axisX
        axisYRight: axisY
        visible: chart.longSpan
        color: Style.bandColor
        borderWidth: 0
        useOpenGL: false
        upperSeries: LineSeries { id: bandHigh }
        lowerSeries: LineSeries { id: bandLow }
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

    ChartMouse {
        anchors.fill: parent
        chart: chart
        axis: axisX
    }

    // While zoomed, the way back to the whole span at a click.
    Button {
        id: resetZoom
        objectName: "resetZoom"
        visible: chart.zoomed
        x: chart.plotArea.x + 4
        y: chart.plotArea.y + 4
        text: qsTr("Reset zoom")
        font.capitalization: Font.MixedCase
        onClicked: chart.resetView()
    }

    Timer {
        id: readOutTimer
        objectName: "readOutTimer"
        interval: chart.readOutInterval
        repeat: false
        onTriggered: {
            chart.clearTitle()
            if (chart.crossHair)
                chart.crossHair.visible = false
        }
    }

    Connections {
        target: dataSource
        // Delivered while the store holds its lock: only calls that take none.
        function onChartUpdated(now, minPre, maxPre, seriesCount) { chart.drawChart(now, minPre, maxPre, seriesCount) }
        function onArchiveUpdated() {
            // Unseen, the next sample shown brings the chart up to date.
            if (chart.longSpan && !chart.zoomed && !chart.paning && backend.windowExposed)
                dataSource.updateChart(chart.chartNb)
        }
    }

    ChartLook { id: look; chart: chart; axisX: axisX; axisY: axisY; band: band }

    onPlotAreaChanged: showPressureRange()

    Component.onCompleted: {
        look.createDataSeries()
        console.log("serie created")
        look.createCrossHair()
        look.applyTheme()
    }

    function valueAt(x, y) {
        return mapToValue(Qt.point(x, y), dataSeriesCount() > 0 ? dataSeries(0) : null)
    }

    function isInPlot(x, y) {
        var value = valueAt(x, y)
        return value.x >= axisX.min && value.x <= axisX.max && value.y >= axisY.min && value.y <= axisY.max
    }

    // The runs, between the band and the cross-hair.
    function dataSeriesCount() {
        return count - 2
    }

    function dataSeries(n) {
        return series(n + 1)
    }

    // An empty title shows under the pressure row; a blank keeps the
    // chart's title space when the row is hidden.
    function clearTitle() {
        title = pressureShown ? "" : " "
    }

    // The pressure axis for the bounds of the last chart, or while zoomed for the points in view.
    function showPressureRange() {
        var low = lowest
        var high = highest
        if (zoomed) {
            var inView = dataSource.getPressureInView(axisX.min, axisX.max)
            if (inView.y >= inView.x) {
                low = inView.x
                high = inView.y
            }
        }
        if (high <= 0)
            return
        var axis = dataSource.getPressureAxis(low, high, plotArea.height, labelRoom)
        axisY.tickAnchor = axis.min
        axisY.tickInterval = axis.step
        axisY.min = axis.min
        // A hair above the top tick, so that its label is drawn whatever the rounding of the steps.
        axisY.max = axis.max + axis.step * 1e-6
    }

    // Whole units under the span's labels, tenths once zoomed in so far that whole ones would repeat.
    function showTimeWindow(min, max) {
        var span = spans[chartNb]
        // The format and the ticks before the range: the axis lays its labels out at a change of range.
        axisX.labelFormat = (max - min) / (span.ticks - 1) < 1 ? span.format.replace("%d", "%.1f") : span.format
        axisX.tickCount = span.ticks
        axisX.minorTickCount = span.minorTicks
        axisX.min = min
        axisX.max = max
        showPressureRange()
    }

    // Where the span's axis begins: "All" from the oldest hour of the chart last built, at least a day back.
    function spanStart() {
        return chartNb === allSpan ? Math.min(dataSource.getChartStart(), -1) : spans[chartNb].min
    }

    function resetView() {
        zoomLevel = 1.0
        paning = false
        showTimeWindow(spanStart(), 0)
        clearTitle()
        if (crossHair)
            crossHair.visible = false
    }

    function selectSpan(n) {
        chartNb = n
        resetView()
        dataSource.updateChart(chartNb)
    }

    function readOutAt(x, y) {
        serieClicked(dataSource.getValueAt(valueAt(x, y).x, chartNb, startingDate), false)
    }

    function serieClicked(point, recreation) {
        m_point = point
        lastStartTime = backend.getCurrentTime()
        if (point.y < 0) {
            crossHair.visible = false
            clearTitle()
            return
        }
        look.applyTitleStyle()
        if (!recreation)
            title = dataSource.calcInfo(point, chartNb)
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

    // A new sample: the title and, unless zoomed or dragged, the chart again.
    function showSample(pressure) {
        if (dataSeriesCount() > 0)
            dataSeries(0).color = Style.lineColor
        if (pressure === "NONE")
            title = ""
        else if (!readOutTimer.running)
            title = pressureShown ? "" : pressure
        // The archive's spans change only when an hour closes (onArchiveUpdated).
        if (!zoomed && !paning && !longSpan)
            dataSource.updateChart(chartNb)
    }

    // The x unit of the span, in seconds: days from the 4-day span on.
    function spanUnit() {
        return chartNb === 0 ? 60 : (chartNb <= 5 ? 3600 : 86400)
    }

    function drawChart(now, minPre, maxPre, seriesCount) {
        startingDate = now
        if (maxPre > 0) {
            lowest = minPre
            highest = maxPre
            showPressureRange()
        }
        if (look.matchSeries(seriesCount)) {
            var elapsed = (backend.getCurrentTime() - lastStartTime) / spanUnit()
            serieClicked(Qt.point(m_point.x - elapsed, m_point.y), true)
        }
        for (var n = 0; n < dataSeriesCount(); n++)
            dataSource.update(dataSeries(n), n)
        dataSource.updateBand(bandLow, bandHigh)
        if (chartNb === allSpan && !zoomed && !paning)
            showTimeWindow(spanStart(), 0)
        alarmMarks.model = dataSource.getAlarmMarks(chartNb, now)
        stepMarks.model = dataSource.getStepMarks(chartNb, now)
        axisX.labelsAngle = 0
        if (!readOutTimer.running && chartNb === 1) {
            var change = dataSource.getTrend3h()
            if (change !== "notOK") {
                look.applyTitleStyle()
                title = change
            }
        }
    }
}
