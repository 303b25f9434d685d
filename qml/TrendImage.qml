import QtQuick 2.15

// The trend arrow of the last hour's change. A code it does not know
// leaves the arrow as it was.
Image {
    readonly property var images: ({
        "-10": "qrc:/Images/Trend_None~universal.png",
        "1": "qrc:/Images/Trend_Steady~universal.png",
        "-1": "qrc:/Images/Trend_Steady~universal.png",
        "2": "qrc:/Images/Trend_Rising~universal.png",
        "3": "qrc:/Images/Trend_Rising Fast~universal.png",
        "4": "qrc:/Images/Trend_Rising Very Fast~universal.png",
        "-2": "qrc:/Images/Trend_Falling~universal.png",
        "-3": "qrc:/Images/Trend_Falling Fast~universal.png",
        "-4": "qrc:/Images/Trend_Falling Very Fast~universal.png"
    })

    source: images["-10"]
    fillMode: Image.PreserveAspectFit
    smooth: true
    mipmap: true

    function showTrend(code) {
        var image = images[String(code)]
        if (image !== undefined)
            source = image
    }
}
