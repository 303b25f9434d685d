import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15

// The barograph tab: the chart page and the large-digits page.
ColumnLayout {
    id: baroSwipe
    objectName: "baroSwipe"
    spacing: 0

    // Read once: the settings cannot change while this tab is shown.
    property bool splitScreen: false
    property bool phone: false
    readonly property bool canSwipe: splitScreen || (view.width > view.height && phone)

    function returnWhenUpright() {
        if (view.width < view.height)
            view.currentIndex = 0
    }

    SwipeView {
        id: view
        objectName: "baroView"
        Layout.fillWidth: true
        Layout.fillHeight: true
        clip: true
        currentIndex: 0
        interactive: baroSwipe.canSwipe

        BaroH { id: baroH }
        BaroV {}

        onCurrentIndexChanged: baroH.swipeIndexChanged(currentIndex)
        onWidthChanged: baroSwipe.returnWhenUpright()
        onHeightChanged: baroSwipe.returnWhenUpright()
    }

    PageIndicator {
        objectName: "baroIndicator"
        Layout.alignment: Qt.AlignHCenter
        count: 2
        currentIndex: view.currentIndex
        visible: baroSwipe.canSwipe
        interactive: baroSwipe.canSwipe
        onCurrentIndexChanged: view.currentIndex = currentIndex
    }

    Component.onCompleted: {
        splitScreen = backend.getSetting("splitScreen", 0) === 1
        phone = backend.isPhone()
    }
}
