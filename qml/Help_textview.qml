import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15

// The user guide and, on request, the privacy policy, as rich text. Links
// open in the system's browser.
Rectangle {
    id: page
    objectName: "helpPage"

    // True while the guide is shown: the button then offers the policy.
    property bool gotoPrivacy: true

    color: Material.background

    Button {
        id: switchButton
        objectName: "helpButton"
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        text: page.gotoPrivacy ? qsTr("Privacy Policy") : qsTr("Back to help")
        onClicked: {
            helpText.text = page.gotoPrivacy ? backend.getPrivacyPolicy() : backend.getHelpHtml()
            page.gotoPrivacy = !page.gotoPrivacy
            scroller.contentX = 0
            scroller.contentY = 0
        }
    }

    Flickable {
        id: scroller
        objectName: "helpScroller"
        anchors.top: switchButton.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        clip: true
        contentWidth: width
        contentHeight: helpText.height
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar { objectName: "helpScrollBar"; policy: ScrollBar.AlwaysOn }
        ScrollBar.horizontal: ScrollBar { policy: ScrollBar.AlwaysOff }

        TextEdit {
            id: helpText
            objectName: "helpText"
            width: scroller.width
            rightPadding: 20
            readOnly: true
            textFormat: TextEdit.RichText
            wrapMode: TextEdit.Wrap
            color: page.Material.foreground
            text: backend.getHelpHtml()
            onLinkActivated: Qt.openUrlExternally(link)
        }
    }
}
