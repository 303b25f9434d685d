import QtQuick 2.12

// The Material controls' raised look where there are no shaders (the software
// renderer): the control as it is, over a soft shadow of plain rectangles.
Item {
    id: effect

    property var source
    property int elevation: 0
    property bool fullWidth: false
    property bool fullHeight: false
    readonly property Item sourceItem: source.sourceItem
    readonly property real radius: sourceItem && sourceItem.radius !== undefined ? sourceItem.radius : 0

    Repeater {
        model: effect.elevation > 0 ? 2 : 0
        Rectangle {
            x: -index
            y: Math.min(effect.elevation, 6) * 0.5 - index
            width: effect.sourceItem.width + 2 * index
            height: effect.sourceItem.height + 2 * index
            radius: effect.radius + index
            color: Qt.rgba(0, 0, 0, index === 0 ? 0.16 : 0.08)
        }
    }
    ShaderEffectSource {
        width: effect.sourceItem.width
        height: effect.sourceItem.height
        sourceItem: effect.sourceItem
    }
}
