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

    // A decimal number in whole units, its fraction cut toward zero
    // (1.00 hPa is 0.0295 inHg, shown as 0.029). The small allowance keeps
    // binary fractions whole: 0.29 × 100 is 28.999999999999996, which is
    // 29 hundredths, not 28.
    function wholeUnits(real) {
        var scaled = real * factor
        return Math.trunc(scaled + (scaled < 0 ? -1e-6 : 1e-6))
    }

    // realValue from `value` itself: inside a handler of the value's change
    // the binding of realValue may not have followed yet.
    function currentRealValue() {
        return value / factor
    }

    function setRealValue(real) {
        value = wholeUnits(real)
    }

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
            var number = Number.fromLocaleString(locale, text)
            return isNaN(number) ? box.value : box.wholeUnits(number)
        } catch (e) {
            return box.value
        }
    }
}
