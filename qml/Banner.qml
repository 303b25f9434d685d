import QtQuick 2.15
import QtQuick.Window 2.15
import "."

// The maker's banner heading the screens; its two zones open the maker's
// pages in the system's browser.
Item {
    id: banner

    // The only place that knows the maker's addresses.
    readonly property url makerHomePage: "https://www.brenlow.example/"
    readonly property url barometerPage: "https://www.brenlow.example/usb-barometer"
    readonly property bool zonesEnabled: Qt.platform.os !== "android" && Qt.platform.os !== "ios"

    implicitWidth: Window.width
    implicitHeight: Style.bannerHeight(Window.width)
    clip: true

    Image {
        anchors.fill: parent
        source: "qrc:/Images/USB_banner.png"
        fillMode: Image.PreserveAspectFit
        verticalAlignment: Image.AlignTop
        smooth: true
    }

    MouseArea {
        objectName: "makerZone"
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        width: banner.width * 800 / 1800
        enabled: banner.zonesEnabled
        cursorShape: Qt.PointingHandCursor
        onClicked: Qt.openUrlExternally(banner.makerHomePage)
    }
    MouseArea {
        objectName: "barometerZone"
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        width: banner.width * 485 / 1800
        enabled: banner.zonesEnabled
        cursorShape: Qt.PointingHandCursor
        onClicked: Qt.openUrlExternally(banner.barometerPage)
    }
}
