.pragma library

// The arrow for a trend code; a code outside the known ones keeps the
// arrow shown before.
var images = {
    "-10": "Trend_None~universal.png",
    "1": "Trend_Steady~universal.png",
    "-1": "Trend_Steady~universal.png",
    "2": "Trend_Rising~universal.png",
    "3": "Trend_Rising Fast~universal.png",
    "4": "Trend_Rising Very Fast~universal.png",
    "-2": "Trend_Falling~universal.png",
    "-3": "Trend_Falling Fast~universal.png",
    "-4": "Trend_Falling Very Fast~universal.png"
}

function image(code, current) {
    var name = images[String(code)]
    return name === undefined ? current : "qrc:/Images/" + name
}
