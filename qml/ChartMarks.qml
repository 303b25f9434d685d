import QtQuick 2.15

// Lines across the plot of a chart at instants given in the x axis' unit:
// where alarms began, where the readings stepped for a reason other than
// weather. Set `model` to the instants after each drawing of the chart.
Repeater {
    id: marks

    property var chart
    property var axis
    property color color
    property string markName

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
