import QtQuick 2.15
import QtQuick.Controls 2.15
import "."

// A tab of the window's tool bar: only its icon, in the variant of the theme.
ToolButton {
    property string lightIcon
    property string darkIcon

    checkable: false
    display: AbstractButton.IconOnly
    icon.color: "transparent"
    icon.source: "qrc:/Images/" + (Style.dark ? darkIcon : lightIcon)
}
