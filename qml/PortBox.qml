import QtQuick 2.15
import QtQuick.Controls 2.15

// A port number of the connections screen, typed or stepped.
SpinBox {
    from: 6000
    to: 65535
    editable: true
    // A port, not a quantity: no thousands separator.
    textFromValue: function(value) { return String(value) }
    valueFromText: function(text) {
        var port = parseInt(text, 10)
        return isNaN(port) ? value : port
    }
}
