import QtQuick 2.15

// The pointer on the pressure chart: hovering reads out the sample under it;
// a press on the plot reads out too and, while zoomed, starts a drag that
// pans the time axis; the wheel and a pinch zoom about the pointer; a double
// click shows the whole span again.
PinchArea {
    id: area

    property var chart: null
    property var axis: null
    property real previousScale: 1.0

    // The time zoomed about `at` by `factor` (below 1: out), within the
    // samples; zoomed out to the whole span, the span shows as it was.
    function zoom(factor, at) {
        if (factor < 1.0 && chart.zoomLevel * factor <= 1.0 + 1e-9) {
            chart.resetView()
            return
        }
        var window = dataSource.getViewWindow(at - (at - axis.min) / factor, at + (axis.max - at) / factor)
        chart.zoomLevel *= factor
        chart.showTimeWindow(window.x, window.y)
    }

    // A drag by `pixels` to the left shows later times; never past the
    // newest sample nor before the oldest.
    function panBy(pixels) {
        var shift = pixels * (axis.max - axis.min) / Math.max(1, chart.plotArea.width)
        var window = dataSource.getViewWindow(axis.min + shift, axis.max + shift)
        chart.showTimeWindow(window.x, window.y)
    }

    onPinchStarted: previousScale = 1.0
    onPinchUpdated: {
        var at = chart.valueAt(pinch.center.x, pinch.center.y).x
        if (pinch.scale > previousScale)
            zoom(1.05, at)
        else if (pinch.scale < previousScale)
            zoom(1 / 1.05, at)
        previousScale = pinch.scale
    }
    onPinchFinished: chart.paning = false

    MouseArea {
        objectName: "chartMouse"
        anchors.fill: parent
        hoverEnabled: true
        property real previousX: 0

        onPositionChanged: {
            area.chart.readOutAt(mouse.x, mouse.y)
            if (area.chart.paning) {
                area.panBy(previousX - mouse.x)
                previousX = mouse.x
            }
        }
        onPressed: {
            if (!area.chart.zoomed && !area.chart.isInPlot(mouse.x, mouse.y)) {
                mouse.accepted = false
                return
            }
            area.chart.readOutAt(mouse.x, mouse.y)
            if (area.chart.zoomed) {
                area.chart.paning = true
                previousX = mouse.x
            }
        }
        onReleased: area.chart.paning = false
        onExited: if (area.chart.crossHair) area.chart.crossHair.visible = false
        onDoubleClicked: area.chart.resetView()
        onWheel: {
            var at = area.chart.valueAt(wheel.x, wheel.y).x
            if (wheel.angleDelta.y > 0)
                area.zoom(1.1, at)
            else if (wheel.angleDelta.y < 0)
                area.zoom(1 / 1.1, at)
        }
    }
}
