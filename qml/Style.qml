pragma Singleton
import QtQuick 2.15

// The look every screen shares: the accent and pressure colours, the base
// text size and the banner's proportions. The window sets `dark` by the
// theme rule, so the screens never ask the style attached to their items.
QtObject {
    property bool dark: false

    readonly property color accent: dark ? "yellow" : "blue"
    readonly property color titleColor: dark ? "white" : "black"
    // Pressure texts, the date and every data series of the chart.
    readonly property color lineColor: "#E63219"
    // The long spans' band of hourly extremes: the line's red, faint.
    readonly property color bandColor: "#40E63219"
    readonly property real lineWidth: 2
    // The storm warning: amber, the colour of a warning at the chart table,
    // a darker amber by night; the chart marks where alarms began.
    readonly property color warningBackground: dark ? "#8C5A00" : "#FFB300"
    readonly property color warningText: dark ? "white" : "black"
    readonly property color alarmMark: "#FF8F00"
    // Where the readings stepped for a reason other than weather.
    readonly property color stepMark: "#78909C"
    // A pressure that has stopped coming in, and where values come from.
    readonly property color agedColor: "#9E9E9E"
    // The pressure texts: greyed once the reading has aged.
    function pressureColor(aged) { return aged ? agedColor : lineColor }
    readonly property int labelPixelSize: 15
    readonly property real basePixel: Qt.platform.os === "windows" ? 20
                                      : (Qt.application.font.pixelSize > 0 ? Qt.application.font.pixelSize
                                                                           : Math.round(Qt.application.font.pointSize * 4 / 3))

    // The banner is 1800 x 218 and spans the window.
    function bannerHeight(windowWidth) { return windowWidth * 218 / 1800 }
}
