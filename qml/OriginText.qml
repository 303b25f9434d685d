import QtQuick 2.15
import "."

// Where the pressure and the position on screen come from, and their age
// once it counts ("Pressure: TCP · 12 s   Position: Signal K"): a value that
// stopped coming must not look live. Grey once the pressure has aged.
Text {
    objectName: "originText"
    // The back end goes before the screens at exit.
    text: backend ? backend.origins : ""
    visible: text !== ""
    color: Style.agedColor
    horizontalAlignment: Text.AlignHCenter
    fontSizeMode: Text.HorizontalFit
    minimumPixelSize: 6
}
