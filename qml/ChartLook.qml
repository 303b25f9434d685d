import QtQuick 2.15
import QtQuick.Controls.Material 2.15
import QtCharts 2.3
import "."

// How the pressure chart looks: the theme's colours, the fonts of the axes and
// the title, and the series that draw the runs and the read-out cross-hair,
// made and coloured alike. A chart theme resets colours and fonts, so
// everything that depends on the window's theme or width is applied again
// after it.
QtObject {
    id: look

    property ChartView chart: null
    property ValueAxis axisX: null
    property ValueAxis axisY: null
    property AreaSeries band: null

    readonly property bool narrow: chart.width < 350
    readonly property bool wide: chart.width > 350
    onNarrowChanged: applyAxisFonts()
    onWideChanged: applyAxisFonts()

    property Connections styleChanges: Connections {
        target: Style
        function onDarkChanged() { look.applyTheme() }
    }

    function applyTheme() {
        chart.theme = Style.dark ? ChartView.ChartThemeDark : ChartView.ChartThemeLight
        chart.backgroundColor = chart.Material.background // the window's theme, which only an item has
        chart.titleColor = Style.titleColor
        applyAxisFonts()
        var font = axisX.labelsFont
        font.bold = true
        chart.titleFont = font
        for (var n = 0; n < chart.dataSeriesCount(); n++) {
            chart.dataSeries(n).color = Style.lineColor
            chart.dataSeries(n).width = Style.lineWidth
        }
        band.color = Style.bandColor
        band.borderWidth = 0
        if (chart.crossHair) {
            chart.crossHair.color = Style.titleColor
            chart.crossHair.width = Style.lineWidth * 0.9
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

    function applyTitleStyle() {
        chart.titleColor = Style.titleColor
        var font = chart.titleFont
        font.pixelSize = chart.titlePixelSize
        font.bold = true
        chart.titleFont = font
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
        chart.crossHair = series
    }

    // As many run series as the chart has runs, the cross-hair kept last;
    // says whether a read-out was showing.
    function matchSeries(seriesCount) {
        while (chart.dataSeriesCount() > seriesCount && chart.dataSeriesCount() > 0)
            chart.removeSeries(chart.series(chart.count - 2))
        var kept = chart.crossHair !== null && chart.crossHair.visible
        if (chart.dataSeriesCount() < seriesCount) {
            chart.removeSeries(chart.crossHair)
            chart.crossHair = null
            while (chart.count - 1 < seriesCount)
                createDataSeries()
            createCrossHair()
        }
        return kept
    }
}
