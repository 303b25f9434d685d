import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Layouts 1.15

// The data tab: the list of tables and the records of the chosen one. The
// user may swipe back from the records to the list, never forward.
Item {
    id: filesSwipe
    objectName: "filesSwipe"

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        SwipeView {
            id: view
            objectName: "filesView"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            currentIndex: 0
            interactive: false

            signal fileSelected(int fileNb)

            FileData {
                objectName: "fileList"
                onFileSelected: {
                    console.log("file selected " + fileNb)
                    view.fileSelected(fileNb)
                    view.currentIndex = 1
                }
            }
            FileDetails {
            }

            onCurrentIndexChanged: swipeRule.restart()
        }
    }

    Timer {
        id: swipeRule
        interval: 50
        onTriggered: view.interactive = view.currentIndex === 1
    }
}
