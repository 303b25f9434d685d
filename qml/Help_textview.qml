import QtQuick 2.15

PlaceholderPage {
    name: qsTr("Help")
}
