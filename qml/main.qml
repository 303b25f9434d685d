import QtQuick 2.15
import QtQuick.Controls 2.15
import QtQuick.Controls.Material 2.15
import QtQuick.Window 2.15
import backend 1.0
import "."

ApplicationWindow {
    id: window
    visible: false
    title: qsTr("Quillmere")

    readonly property int minimumUsableSize: 100
    readonly property bool desktop: Qt.platform.os !== "android" && Qt.platform.os !== "ios"

    // The theme rule: 0 light, 1 dark, 2 whatever the system shows.
    function applyTheme(theme) {
        setDark(theme === 1 || (theme === 2 && backend.isSystemDarkMode()))
    }

    function setDark(dark) {
        Material.theme = dark ? Material.Dark : Material.Light
        // After the window's theme, so the chart takes the new background.
        Style.dark = dark
        Material.accent = Style.accent
    }

    // 70 % of the screen, centred, unless a geometry was stored. A size that
    // reads back as nothing (a fraction written by an older version reads
    // as 0) counts as none, so the window never opens without a size.
    function restoreGeometry() {
        var w = backend.getSetting("windowWidth", Screen.width * 0.7)
        var h = backend.getSetting("windowHeight", Screen.height * 0.7)
        if (w < minimumUsableSize || h < minimumUsableSize) {
            w = Screen.width * 0.7
            h = Screen.height * 0.7
            x = Screen.width / 2 - Screen.width * 0.35
            y = Screen.height / 2 - Screen.height * 0.35
        } else {
            x = backend.getSetting("windowX", Screen.width / 2 - Screen.width * 0.35)
            y = backend.getSetting("windowY", Screen.height / 2 - Screen.height * 0.35)
        }
        width = w
        height = h
    }

    // Every tab press shows a fresh screen, also of the tab already shown: a
    // fresh barograph starts on its first span without zoom, a fresh data
    // tab on the table list.
    function showScreen(url, properties) {
        leaveScreen()
        screenHost.setSource(url, properties === undefined ? {} : properties)
    }

    // The Loader destroys a screen only once control returns to the event
    // loop, after the next screen has read the settings, and not at all
    // once the program is quitting. So the screen shown leaves now (the
    // settings screens save then), while the back end is certainly there.
    function leaveScreen() {
        var screen = screenHost.item
        if (screen && typeof screen.leave === "function")
            screen.leave()
        screenHost.source = ""
    }

    function loadSettings() {
        screenHost.setSource("qrc:/settings.qml", { "loader": screenHost })
    }

    AlarmBanner {
        id: alarmBanner
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
    }

    Loader {
        id: screenHost
        objectName: "screenHost"
        anchors.top: alarmBanner.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: toolBar.top
        source: "qrc:/BaroSwipe.qml"
    }

    ToolBar {
        id: toolBar
        anchors.bottom: parent.bottom
        anchors.horizontalCenter: parent.horizontalCenter
        background: Item {}

        Row {
            TabIconButton {
                id: graphTab
                objectName: "tabBarograph"
                name: qsTr("Barograph")
                lightIcon: "tab_graph_blue~universal.png"
                darkIcon: "tab_graph_yellow~universal.png"
                onClicked: showScreen("qrc:/BaroSwipe.qml")
            }
            TabIconButton {
                objectName: "tabData"
                name: qsTr("Stored data")
                width: graphTab.width
                height: graphTab.height
                lightIcon: "Data_blue~universal.png"
                darkIcon: "Data_yellow~universal.png"
                onClicked: showScreen("qrc:/FilesSwipe.qml")
            }
            TabIconButton {
                objectName: "tabSettings"
                name: qsTr("Settings")
                width: graphTab.width
                height: graphTab.height
                lightIcon: "settings_tab~universal.png"
                darkIcon: "settings_tab_yellow~universal.png"
                onClicked: showScreen("qrc:/settings.qml", { "loader": screenHost })
            }
            TabIconButton {
                objectName: "tabHelp"
                name: qsTr("Help")
                width: graphTab.width
                height: graphTab.height
                lightIcon: "help_tab~universal.png"
                darkIcon: "help_tab_yellow~universal.png"
                // iOS shows "qrc:/Help_webview.qml" here instead.
                onClicked: showScreen("qrc:/Help_textview.qml")
            }
        }
    }

    Connections {
        target: backend
        function onSaveWindowSize() {
            if (!desktop)
                return
            console.log("saving size")
            // Whole pixels: the settings give these keys back as integers,
            // and a stored fraction would read back as 0.
            backend.setSetting("windowWidth", Math.round(window.width))
            backend.setSetting("windowHeight", Math.round(window.height))
            backend.setSetting("windowX", Math.round(window.x))
            backend.setSetting("windowY", Math.round(window.y))
        }
        function onSystemThemeChanged(theme) {
            // Android and iOS: when not active, setPreviousTheme(-1) instead.
            setDark(theme !== 0)
        }
        function onShowFirstAuthorization() {
            // Android only: the location permission sequence.
        }
    }

    Connections {
        target: translateHandler
        function onLanguageChanged() {
            leaveScreen()
            console.log("language changed to " + translateHandler.getCurrentLanguage())
            loadSettings()
        }
    }

    Connections {
        target: Qt.application
        function onStateChanged() {
            backend.pauseService(Qt.application.state === Qt.ApplicationActive)
        }
        // Window closed or SIGTERM: the screen shown leaves as if the user
        // left it, before main deletes the store and the back end.
        function onAboutToQuit() {
            leaveScreen()
        }
    }

    Component.onCompleted: {
        applyTheme(backend.getSetting("theme", 0))
        if (desktop)
            restoreGeometry()
        visibility = Window.Windowed
        console.log("main page loaded, OS is", Qt.platform.os, "windows size", width, height)
    }

    Component.onDestruction: console.log("main.qml deleted")
}
