import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15

// The barograph tab: the chart page and, when the user asks for it, the
// large-digits page beside it.
Item {
    id: baroSwipe
    objectName: "baroSwipe"

    readonly property bool canSwipe: backend.getSetting("splitScreen", 0) == 1
                                     || (view.width > view.height && backend.isPhone())

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        SwipeView {
            id: view
            objectName: "baroView"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            currentIndex: indicator.currentIndex
            interactive: baroSwipe.canSwipe

            BaroH { id: baroH }
            BaroV { id: baroV }

            onWidthChanged: returnWhenUpright()
            onHeightChanged: returnWhenUpright()
            onCurrentIndexChanged: baroH.swipeIndexChanged(currentIndex)

            function returnWhenUpright() {
                if (width < height)
                    currentIndex = 0
            }
        }

        PageIndicator {
            id: indicator
            objectName: "baroIndicator"
            Layout.alignment: Qt.AlignHCenter
            count: view.count
            currentIndex: view.currentIndex
            visible: baroSwipe.canSwipe
            interactive: baroSwipe.canSwipe
        }
    }
}
