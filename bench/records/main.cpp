// bench_records: the stored-data tab with every table full (1800 rows each,
// BARO30M included).
//
// - getTableContent(0), beside the sqlite3 shell reading the same rows;
// - the record list's first frame after a click on a table, beside a bare
//   Qt Quick list given the same 1800 rich-text entries on a click;
// - exportCsv and exportGpx of BARO30M, beside `sqlite3 -csv` dumping it;
// - resident memory over 50 openings and closings of the record list;
// - the chart's first frame after a click on "1y" (8760 hours of the
//   archive), beside the same after a click on "16d" (its 1800 rows);
// - the barogram of a week (PDF and PNG), beside a blank page written alike.
//
// Run it under Xvfb. Prints `name: value unit` lines.
#include "backend.h"
#include "barogram.h"
#include "clock.h"
#include "datasource.h"
#include "desktop.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {

const qint64 T0 = 1733407509;
const QStringList &Tables = DataSource::tableNames;
// BARO30M a second apart, so that its list is as long as the others'.
const QList<int> Intervals = {1, 6, 12, 24, 48, 96, 192, 384, 768};
const int Rows = 1800;
const int Rounds = 20;
const int Openings = 50;

void print(const char *name, double value, const char *unit)
{
    std::printf("%s: %.2f %s\n", name, value, unit);
    std::fflush(stdout);
}

void compare(const char *name, double ours, double floor, const char *floorName)
{
    print(name, ours, "ms");
    print(QByteArray(name).append('_').append(floorName).constData(), floor, "ms");
    print(QByteArray(name).append("_ratio").constData(), ours / floor, "x");
}

// Positioned rows under way, newest at T0.
void fillTables()
{
    QSqlQuery query(QSqlDatabase::database(QStringLiteral("DB_BAROGRAPH")));
    query.exec(QStringLiteral("BEGIN"));
    for (int i = 0; i < Tables.size(); ++i) {
        query.prepare(QStringLiteral("INSERT INTO %1 VALUES (?, ?, ?, ?, 6.5, ?, 12.0, 0.5)").arg(Tables.at(i)));
        for (int k = 0; k < Rows; ++k) {
            query.addBindValue(T0 - qint64(k) * Intervals.at(i));
            query.addBindValue(-4.5 + k * 0.001);
            query.addBindValue(48.25 + k * 0.0005);
            query.addBindValue(std::fmod(k * 1.7, 360.0));
            query.addBindValue(1010.0 + 3.0 * std::sin(k / 50.0));
            query.exec();
        }
    }
    query.exec(QStringLiteral("COMMIT"));
}

// A year of hours in the archive, newest the hour before T0.
void fillArchive()
{
    QSqlQuery query(QSqlDatabase::database(QStringLiteral("DB_BAROGRAPH")));
    query.exec(QStringLiteral("WITH RECURSIVE k(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM k WHERE n < 8760) "
                              "INSERT INTO ARCHIVE1H SELECT %1 - 3600 * n, 1000.0 + abs(n % 240 - 120) * 0.15, "
                              "999.5 + abs(n % 240 - 120) * 0.15, 1000.5 + abs(n % 240 - 120) * 0.15, 450, "
                              "-4.5 + n * 0.001, 48.25, 270.0, 6.5, 12.0, 0.5 FROM k")
                   .arg(T0 - T0 % 3600));
}

// Best of `rounds` runs, in milliseconds.
double bestOf(int rounds, const std::function<void()> &run)
{
    double best = 1e9;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

// The sqlite3 shell on the database, its output to a file.
double shell(const QStringList &arguments, const QString &output)
{
    return bestOf(Rounds, [&] {
        QProcess sqlite;
        sqlite.setStandardOutputFile(output);
        sqlite.start(QStringLiteral("sqlite3"), arguments);
        sqlite.waitForFinished(-1);
    });
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

double residentMb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1.0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * sysconf(_SC_PAGESIZE) / 1048576.0;
}

QQuickItem *findItem(QQuickItem *root, const QString &name)
{
    if (root->objectName() == name && root->isVisible())
        return root;
    for (QQuickItem *child : root->childItems()) {
        if (QQuickItem *found = findItem(child, name))
            return found;
    }
    return nullptr;
}

// Clicks the named item once it shows; false when it never does.
bool click(QQuickWindow *window, const QString &name)
{
    QQuickItem *item = nullptr;
    if (!QTest::qWaitFor([&] { return (item = findItem(window->contentItem(), name)); }, 5000))
        return false;
    const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
    return true;
}

// Milliseconds from a click to the window's next finished frame.
double firstFrameAfter(QQuickWindow *window, const std::function<bool()> &clickIt)
{
    bool swapped = false;
    const auto connection = QObject::connect(window, &QQuickWindow::frameSwapped, [&] { swapped = true; });
    QElapsedTimer timer;
    timer.start();
    if (!clickIt())
        return -1.0;
    const bool shown = QTest::qWaitFor([&] { return swapped; }, 5000);
    const double ms = timer.nsecsElapsed() / 1e6;
    QObject::disconnect(connection);
    return shown ? ms : -1.0;
}

// The toolkit's own cost for the same frame: a bare list of the same entries.
const char *const FloorQml = R"(
import QtQuick 2.15
import QtQuick.Controls 2.15
ApplicationWindow {
    visible: true
    width: 1120; height: 700
    ListModel { id: records }
    MouseArea {
        objectName: "fill"; width: parent.width; height: 300
        onClicked: { records.clear(); records.append(entries) }
    }
    ListView {
        anchors.fill: parent; anchors.topMargin: 300; clip: true; cacheBuffer: 0; model: records
        delegate: Text { width: ListView.view.width; text: desc; textFormat: Text.RichText; wrapMode: Text.Wrap }
    }
}
)";

} // namespace

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QApplication app(argc, argv);
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-records-XXXXXX"));
    QDir::setCurrent(dir.path());
    {
        QSettings ini(QStringLiteral("./barograph.ini"), QSettings::IniFormat);
        for (const char *key : {"SettingUseSerial", "SettingUseTcp", "SettingUseUdp", "SettingUseUdpOut", "SettingUsePos"})
            ini.setValue(QLatin1String(key), 0);
        ini.setValue(QStringLiteral("SettingSerialPort"), QStringLiteral("None"));
        ini.setValue(QStringLiteral("windowWidth"), 1120);
        ini.setValue(QStringLiteral("windowHeight"), 700);
    }
    Desktop::setOpener([](const QUrl &) { return true; });
    Clock::setWallClock((T0 + 2) * 1000);
    qmlRegisterType<BackEnd>("backend", 1, 0, "BackEnd");
    QQuickStyle::setStyle(QStringLiteral("Material"));
    QQmlApplicationEngine engine;
    g_backEnd = new BackEnd(&engine);
    engine.rootContext()->setContextProperty(QStringLiteral("backend"), g_backEnd);
    g_dataSource = new DataSource();
    engine.rootContext()->setContextProperty(QStringLiteral("dataSource"), g_dataSource);
    fillTables();
    fillArchive();
    const QString db = dir.filePath(QStringLiteral("barograph.db"));
    // These machines are shared: the load beside the figures says how far to trust them.
    QFile loadavg(QStringLiteral("/proc/loadavg"));
    if (loadavg.open(QIODevice::ReadOnly))
        print("load_average_1min", loadavg.readAll().split(' ').value(0).toDouble(), "processes");

    const QString select = QStringLiteral("SELECT * FROM BARO30M ORDER BY TIME DESC;");
    const double content = bestOf(Rounds, [] { g_dataSource->getTableContent(0); });
    compare("get_table_content_0", content, shell({db, select}, QProcess::nullDevice()), "sqlite3");
    const QString csv = dir.filePath(QStringLiteral("out.csv"));
    const double dump = shell({QStringLiteral("-csv"), db, select}, dir.filePath(QStringLiteral("dump.csv")));
    compare("export_csv", bestOf(Rounds, [&] { g_dataSource->exportCsv(0, csv); }), dump, "sqlite3_csv");
    const QString gpx = dir.filePath(QStringLiteral("out.gpx"));
    compare("export_gpx", bestOf(Rounds, [&] { g_dataSource->exportGpx(0, gpx); }), dump, "sqlite3_csv");

    // The program's window: the data tab, then the 30-minute table.
    engine.load(QUrl(QStringLiteral("qrc:/main.qml")));
    auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().value(0));
    if (!window || !QTest::qWaitForWindowExposed(window))
        return 1;
    QTest::qWait(500);
    QVector<double> frames;
    double rssStart = 0.0;
    double rssTenth = 0.0;
    for (int i = 1; i <= Openings; ++i) {
        if (!click(window, QStringLiteral("tabData")))
            return 1;
        QTest::qWait(50);
        frames << firstFrameAfter(window, [&] { return click(window, QStringLiteral("table0")); });
        QTest::qWait(50);
        if (!click(window, QStringLiteral("tabBarograph")))
            return 1;
        QTest::qWait(50);
        if (i == 1)
            rssStart = residentMb();
        if (i == 10)
            rssTenth = residentMb();
    }
    const double rssEnd = residentMb();

    // The long span beside the 16-day one, on the barograph page.
    QVector<double> year;
    QVector<double> sixteenDays;
    for (int i = 0; i < Rounds; ++i) {
        QTest::qWait(50);
        sixteenDays << firstFrameAfter(window, [&] { return click(window, QStringLiteral("span_16d")); });
        QTest::qWait(50);
        year << firstFrameAfter(window, [&] { return click(window, QStringLiteral("span_1y")); });
    }
    const QString pdf = dir.filePath(QStringLiteral("week.pdf"));
    const double barogram = bestOf(5, [&] { g_dataSource->exportBarogram(pdf, 0); });
    const double blank = bestOf(5, [&] {
        QString error;
        Barogram().write(dir.filePath(QStringLiteral("blank.pdf")), dir.filePath(QStringLiteral("blank.png")), &error);
    });

    // The floor: the same entries into a bare list on a click.
    QQmlApplicationEngine floorEngine;
    floorEngine.rootContext()->setContextProperty(QStringLiteral("entries"), g_dataSource->getTableContent(0));
    floorEngine.loadData(FloorQml);
    auto *floorWindow = qobject_cast<QQuickWindow *>(floorEngine.rootObjects().value(0));
    if (!floorWindow || !QTest::qWaitForWindowExposed(floorWindow))
        return 1;
    QVector<double> floors;
    for (int i = 0; i < Openings; ++i) {
        QTest::qWait(50);
        floors << firstFrameAfter(floorWindow, [&] { return click(floorWindow, QStringLiteral("fill")); });
    }
    // The first opening also compiles the data tab's documents.
    print("record_list_first_frame_first_opening", frames.first(), "ms");
    compare("record_list_first_frame_best", *std::min_element(frames.begin(), frames.end()),
            *std::min_element(floors.begin(), floors.end()), "bare_list");
    compare("record_list_first_frame_median", median(frames), median(floors), "bare_list");
    compare("record_list_first_frame_worst_later", *std::max_element(frames.begin() + 1, frames.end()),
            *std::max_element(floors.begin() + 1, floors.end()), "bare_list");

    compare("chart_1y_first_frame_median", median(year), median(sixteenDays), "16d");
    compare("barogram_week", barogram, blank, "blank_page");

    print("rss_after_1_openings", rssStart, "MB");
    print("rss_after_10_openings", rssTenth, "MB");
    print("rss_after_50_openings", rssEnd, "MB");
    print("rss_growth_10_to_50", rssEnd - rssTenth, "MB");

    delete g_dataSource;
    g_dataSource = nullptr;
    delete g_backEnd;
    g_backEnd = nullptr;
    return 0;
}
