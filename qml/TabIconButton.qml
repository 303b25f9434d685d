import QtQuick 2.15
import QtQuick.Controls 2.15
import "."

// A tab of the window's tool bar: only its icon, in the variant of the theme,
// and its name as a tooltip.
ToolButton {
    property string lightIcon
    property string darkIcon
    property string name

    ToolTip.visible: hovered
    ToolTip.text: name
    Accessible.name: name

    checkable: false
    display: AbstractButton.IconOnly
    icon.color: "transparent"
    icon.source: "qrc:/Images/" + (Style.dark ? darkIcon : lightIcon)
}
