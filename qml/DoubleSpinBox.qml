import QtQuick 2.15
import QtQuick.Controls 2.15

// Edits a decimal number while holding a whole `value`: realValue is value
// divided by 10 to the power of decimals.
SpinBox {
    id: box

    property int decimals: 1
    readonly property real factor: Math.pow(10, decimals)
    readonly property real realValue: value / factor

    from: 0
    to: factor * 10000
    stepSize: factor
    editable: true

    validator: DoubleValidator {
        bottom: Math.min(box.from, box.to)
        top: Math.max(box.from, box.to)
    }

    textFromValue: function(value, locale) {
        return Number(value / box.factor).toLocaleString(locale, 'f', box.decimals)
    }

    valueFromText: function(text, locale) {
        // Text that is no number keeps the value instead of raising an error.
        try {
            return Math.round(Number.fromLocaleString(locale, text) * box.factor)
        } catch (e) {
            return box.value
        }
    }
}
