import QtQuick 2.15

// A line across the plot of the chart at each time of its model, in the
// unit of the time axis; hidden while the time lies out of view.
Repeater {
    id: marks

    property var chart: null
    property var axis: null
    property string markName
    property color color

    model: []

    Rectangle {
        objectName: marks.markName
        readonly property real range: marks.axis.max - marks.axis.min
        visible: modelData >= marks.axis.min && modelData <= marks.axis.max
        x: marks.chart.plotArea.x + (modelData - marks.axis.min) / range * marks.chart.plotArea.width - width / 2
        y: marks.chart.plotArea.y
        width: 2
        height: marks.chart.plotArea.height
        color: marks.color
    }
}
