import QtQuick 2.15

// The samples of the sample cycle as a screen takes them: at once while the
// window can be seen; while nobody looks, only the last one is kept, and the
// screen shows it in one step when the window is seen again.
QtObject {
    id: feed

    signal sample(string date, string position, string cogsog, string pressure)
    signal noPressure()

    property var held: null

    readonly property Connections connections: Connections {
        target: backend
        function onDataUpdated(date, position, cogsog, pressure) {
            if (backend.windowExposed)
                feed.sample(date, position, cogsog, pressure)
            else
                feed.held = [date, position, cogsog, pressure]
        }
        function onNoPressureAvailable() { feed.noPressure() }
        function onWindowExposedChanged() {
            if (!backend.windowExposed || feed.held === null)
                return
            var last = feed.held
            feed.held = null
            feed.sample(last[0], last[1], last[2], last[3])
        }
    }
}
