import QtQuick 2.15

PlaceholderPage {
    signal fileSelected(int fileNb)
    name: qsTr("Stored tables")
}
