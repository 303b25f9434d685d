import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15

// An IPv4 address of the connections screen, stored as shown: three digits a
// group ("127.000.000.001").
TextField {
    id: field

    inputMask: "999.999.999.999"
    selectByMouse: false
    Layout.preferredWidth: addressWidth.advanceWidth + leftPadding + rightPadding + cursorRectangle.width

    TextMetrics {
        id: addressWidth
        font: field.font
        text: "000.000.000.000"
    }
    // The user types over the address from its first digit.
    onActiveFocusChanged: if (activeFocus) Qt.callLater(function() { field.cursorPosition = 0 })
    onEditingFinished: focus = false
    Keys.onReturnPressed: focus = false
    Keys.onEnterPressed: focus = false
}
