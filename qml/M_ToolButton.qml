import QtQuick 2.15
import QtQuick.Controls 2.15

// A button of a row of exclusive choices (the chart spans).
ToolButton {
    font.bold: true
    font.capitalization: Font.MixedCase
    checkable: true
    autoExclusive: true
    checked: false
    leftInset: 0
    rightInset: 0
    topInset: 0
    bottomInset: 0
    smooth: true
}
