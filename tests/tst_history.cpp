// The history store: the file, recording and retention, the hourly archive, chart series (the long spans too) and point
// queries, the tendency, the lock, and a recorder killed outright losing nothing.
#include "testsupport.h"

#include <QLineSeries>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

using namespace TestSupport;

extern "C" { // lookupstub: bytes written to the history's log and not yet synced, and the log's syncs
extern std::atomic<long> quillmere_log_unsynced;
extern std::atomic<int> quillmere_log_syncs;
}

namespace {
const qint64 T0 = 1700000000;
const QStringList Tables = {"BARO30M", "BARO3H", "BARO6H", "BAR12H", "BARO1D", "BARO2D", "BARO4D", "BARO8D", "BAR16D"};

QStringList query(const QString &sql, QSqlDatabase db = QSqlDatabase::database("DB_BAROGRAPH", false))
{
    QStringList values;
    for (QSqlQuery q(sql, db); q.next();)
        values << q.value(0).toString();
    return values;
}

QVector<QPointF> run(int n)
{
    QtCharts::QLineSeries series;
    g_dataSource->update(&series, n);
    return series.pointsVector();
}

QString text(const QPointF &p)
{
    return QString::number(p.x(), 'g', 6) + ',' + QString::number(p.y(), 'g', 10);
}

bool record(int tick, double pressure)
{
    g_backEnd->setPressure(pressure, SourceTcp);
    return g_dataSource->recordSample(tick, -4.5, 48.25, 270.0, 6.5, pressure);
}

// How many of the write-ahead log's pages are in memory: "all", "none" or "part"; evicting first lets go of them
// (clean once synced) as a system short of memory does.
QString logPages(bool evict)
{
    const int fd = ::open("barograph.db-wal", O_RDONLY | O_CLOEXEC);
    const off_t size = fd < 0 ? 0 : ::lseek(fd, 0, SEEK_END);
    if (size > 0 && evict)
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    void *map = size > 0 ? ::mmap(nullptr, size_t(size), PROT_READ, MAP_SHARED, fd, 0) : MAP_FAILED;
    const size_t pages = (size_t(size) + 4095) / 4096;
    std::vector<unsigned char> in(pages);
    QString said = "no log";
    if (map != MAP_FAILED && ::mincore(map, size_t(size), in.data()) == 0) {
        const auto n = std::count_if(in.begin(), in.end(), [](unsigned char c) { return c & 1; });
        said = n == 0 ? "none" : size_t(n) == pages ? "all" : "part";
    }
    if (map != MAP_FAILED)
        ::munmap(map, size_t(size));
    if (fd >= 0)
        ::close(fd);
    return said;
}

// The recorder of killedRecorderLosesNothing, this program again: at full speed, a second of the clock a sample,
// reporting each written sample.
int runRecorder(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QDir::setCurrent(qEnvironmentVariable("QUILLMERE_RECORDER"));
    new BackEnd(nullptr);
    g_dataSource = new DataSource();
    for (qint64 now = T0, tick = 768;; tick = tick + 2 > 768 ? 0 : tick + 2, ++now) {
        Clock::setWallClock(now * 1000);
        if (record(int(tick), 1000.0 + now % 100 / 10.0))
            std::printf("written %lld %d\n", now, int(tick)), std::fflush(stdout);
    }
}
} // namespace

class TestHistory : public QObject
{
    Q_OBJECT

    BackEndFixture *m_fixture = nullptr;

private slots:
    void cleanup()
    {
        delete m_fixture;
        m_fixture = nullptr;
    }

    void archive_data() { addRows("archive.tsv"); }
    void archive() { steps(); }

    void steps_data() { addRows("history.tsv"); }
    void steps()
    {
        m_fixture = new BackEndFixture(settingsFrom(cell("settings") + ";timeZone=0"), true, T0);
        g_backEnd->setPressure(1013.25, SourceTcp);
        QStringList out;
        qint64 now = 0, reference = T0; // the instant of x = 0 on the chart last drawn
        int syncs = quillmere_log_syncs;
        for (const QString &step : cell("steps").split("; ")) {
            const QStringList w = step.split(' ');
            const QString &op = w.at(0), table = w.value(1);
            const int n = table.toInt();
            QStringList values;
            if (op == "at")
                passTimeTo(T0 + (now = table.toLongLong()));
            if (op == "clock") // the wall clock alone, as a time server sets it
                Clock::stepWallClock((T0 + (now = table.toLongLong())) * 1000 - Clock::currentMSecsSinceEpoch());
            for (int i = 0; op == "ticks" && i < n; ++i, now += 2)
                Clock::setWallClock((T0 + now) * 1000), g_backEnd->slot_timerData();
            for (const QString &row : op == "rows" ? w.mid(2) : QStringList()) { // seconds:pressure[:elevation:offset]
                const QStringList f = row.split(':');
                insertHistoryRow(table, T0 + f[0].toInt(), f[1].toDouble(), f.value(2).toDouble(),
                                 f.value(3).toDouble());
            }
            if (op == "sql" || op == "select")
                values = query(w.mid(op == "sql").join(' ').replace("T0", QString::number(T0)));
            if (op == "emptyall")
                g_dataSource->emptyAllTables();
            for (const QVariant &mark : op == "marks" ? g_dataSource->getAlarmMarks(n, reference) : QVariantList())
                values << QString::number(mark.toDouble(), 'g', 6);
            if (op == "marks")
                out << values.join(',');
            if (op == "record")
                out << QString::number(record(n, w.size() > 2 ? w.at(2).toDouble() : 1013.25));
            if (op == "alarm") // one raised, then acknowledged
                g_dataSource->recordAlarm(T0 + now, "fall", -4.2, 1001.0),
                    g_dataSource->acknowledgeAlarm(T0 + now, "fall", T0 + now + 60);
            if (op == "log") // since the step before, or the start
                out << QString("syncs %1 unsynced %2").arg(quillmere_log_syncs - std::exchange(syncs, quillmere_log_syncs))
                           .arg(quillmere_log_unsynced);
            if (op == "disk") { // the store anew in a folder on a disk; the tests' own is in memory, which keeps its pages
                static QTemporaryDir disk(QDir::tempPath() + "/quillmere-disk-XXXXXX");
                delete g_dataSource;
                QSqlDatabase::removeDatabase("DB_BAROGRAPH");
                QDir::setCurrent(disk.path());
                g_dataSource = new DataSource();
            }
            if (op == "evict" || op == "pages")
                out << logPages(op == "evict");
            for (int i = 0; op == "pages" && out.last() != "all" && i < 250; ++i) // pages read ahead arrive as read
                QThread::msleep(20), out.last() = logPages(false);
            if (op == "evict" && out.last() != "none")
                QSKIP("this folder's pages cannot be let go of (a file system in memory)");
            if (op == "none")
                g_backEnd->setPressure(NO_PRESSURE, SourceTcp);
            if (op == "trend" || op == "change")
                out << (op == "trend" ? QString::number(g_dataSource->getTrend()) : g_dataSource->getTrend3h());
            if (op == "row")
                out << query(QString("SELECT (TIME - %1) || ' ' || LON || ' ' || LAT || ' ' || COG || ' ' || SOG "
                                     "|| ' ' || PRE || ' ' || ELE || ' ' || OFS FROM %2 ORDER BY TIME")
                                 .arg(T0)
                                 .arg(table))
                           .join(',');
            if (op == "schema")
                out << query("SELECT name FROM sqlite_master WHERE name NOT LIKE '%ALARMS%' AND name <> 'STEPS'").join(',')
                    << query("SELECT name || ' ' || type || ' ' || pk FROM pragma_table_info('BAR16D')").join(',');
            if (op == "reopen" || op == "empty") { // also says whether closing gave the freed pages back
                historySql("PRAGMA wal_checkpoint(TRUNCATE)"); // the pages still in the log, into the file
                const qint64 before = QFileInfo("barograph.db").size();
                delete g_dataSource;
                QSqlDatabase::removeDatabase("DB_BAROGRAPH");
                QFile("barograph.db").resize(op == "empty" ? 0 : QFileInfo("barograph.db").size());
                g_dataSource = new DataSource();
                const bool compacted = QFileInfo("barograph.db").size() < before / 2;
                out << (op == "empty" ? "emptied" : compacted ? "compacted" : "as it was");
            }
            if (op == "chart" || op == "span") { // what updateChart delivers: the reference, the bounds, the runs
                QSignalSpy spy(g_dataSource, &DataSource::chartUpdated);
                g_dataSource->updateChart(n);
                const QVariantList c = spy.value(0, {0, "no", "chart", 0});
                reference = c.value(0).toLongLong() ? c.value(0).toLongLong() : T0;
                out << (c.value(0).toLongLong() ? QString::number(c.value(0).toLongLong() - T0) : "unset")
                    << c.value(1).toString() + ' ' + c.value(2).toString() + ' ' + c.value(3).toString();
                QtCharts::QLineSeries low, high; // the band of the long spans: its lower and upper lines
                g_dataSource->updateBand(&low, &high);
                QList<QVector<QPointF>> lines;
                for (int i = 0; i < c.value(3).toInt(); ++i)
                    lines << run(i);
                if (DataSource::isLongSpan(n))
                    lines << low.pointsVector() << high.pointsVector();
                for (const QVector<QPointF> &line : lines) { // "span": a line's size, its first and last points
                    QStringList points;
                    for (int i = 0; i < line.size(); ++i)
                        points << (op == "chart" || i == 0 || i == line.size() - 1 ? text(line.at(i)) : QString());
                    points.removeAll(QString());
                    out << (op == "span" ? QString::number(line.size()) + ": " : QString()) + points.join(' ');
                }
                if (DataSource::isLongSpan(n))
                    out << "starts " + QString::number(g_dataSource->getChartStart(), 'g', 6);
            }
            if (op == "axis") { // values low and high, the plot's height and a label's room in pixels
                const QVariantMap a = g_dataSource->getPressureAxis(w[1].toDouble(), w[2].toDouble(), w[3].toDouble(),
                                                                    w[4].toDouble());
                out << a["min"].toString() + ' ' + a["max"].toString() + ' ' + a["step"].toString();
            }
            if (op == "view") { // of the last chart, the times xMin and xMax: the pressures and the window kept there
                const QPointF y = g_dataSource->getPressureInView(w[1].toDouble(), w[2].toDouble());
                const QPointF x = g_dataSource->getViewWindow(w[1].toDouble(), w[2].toDouble());
                out << QString("%1 %2 / %3 %4").arg(y.x()).arg(y.y()).arg(x.x()).arg(x.y());
            }
            if (op == "value") { // at X s from T0, as the screen asks in the chart last drawn
                const double x = (T0 - reference + w.value(2).toDouble()) / (n == 0 ? 60 : n <= 5 ? 3600 : 86400);
                const QPointF p = g_dataSource->getValueAt(x, n, QVariant::fromValue<qint64>(reference));
                out << QString::number(p.y()) << g_dataSource->calcInfo(p, n);
            }
            for (const QString &t : op == "tables" ? Tables : QStringList())
                values << QString::number(historyRowCount(t));
            for (qint64 t : op == "times" ? historyTimes(table).mid(0, w.value(2, "-1").toInt()) : QList<qint64>())
                values << QString::number(t - T0);
            if (op == "tables" || op == "times" || op == "select")
                out << values.join(',');
        }
        out.replaceInStrings(QRegularExpression("^$"), "-"); // nothing, said so
        QCOMPARE_ROW(out.join(" | "), "outputs");
    }

    // As the screen does it: inside the delivery of chartUpdated it fills its series and asks for the change; the
    // read-out only tries the lock.
    void lockRule()
    {
        m_fixture = new BackEndFixture({}, true, T0);
        g_backEnd->setPressure(1013.25, SourceTcp);
        insertHistoryRow("BARO30M", T0, 1013.0);
        insertHistoryRow("BARO30M", T0 - 10, 1012.0);
        QList<QVector<QPointF>> series;
        QString info;
        connect(g_dataSource, &DataSource::chartUpdated, this, [&](QVariant, double, double, int count) {
            for (int n = -1; n <= count; ++n)
                series << run(n);
            info = g_dataSource->getTrend3h() + g_dataSource->calcInfo(QPointF(0.0, 1013.0), 0);
        });
        MessageLog log;
        g_dataSource->updateChart(0);
        QCOMPARE(series, QList<QVector<QPointF>>({{}, {QPointF(0.0, 1013.0)}, {QPointF(-10.0 / 60, 1012.0)}, {}}));
        QCOMPARE(info, QString("notOK"));
        QCOMPARE(log.count("unable to lock mutex"), 1);
    }

    // SIGKILL in the middle of writing, three times over one file: it stays sound and holds every row the recorder
    // reported.
    void killedRecorderLosesNothing()
    {
        TempWorkDir dir;
        writeSettings(quietSettings());
        for (int round = 0; round < 3; ++round) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("QUILLMERE_RECORDER", dir.path());
            child.setProcessEnvironment(env);
            child.start(QCoreApplication::applicationFilePath(), QStringList());
            QByteArray output;
            while (output.count('\n') < 100 + 50 * round && child.waitForReadyRead(30000))
                output += child.readAllStandardOutput();
            child.kill();
            QVERIFY(child.waitForFinished(30000));
            output += child.readAllStandardOutput();
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", QString::number(round)); // one for each round
            db.setDatabaseName(dir.filePath("barograph.db"));
            QVERIFY(db.open());
            QCOMPARE(query("PRAGMA integrity_check", db), QStringList{"ok"});
            const QStringList kept = query("SELECT TIME FROM BARO30M UNION ALL SELECT TIME || '+' FROM BAR16D", db);
            int written = 0;
            for (const QByteArray &line : output.split('\n')) { // "written <second> <counter>": 768 writes BAR16D too
                const QList<QByteArray> f = line.split(' ');
                written += f.size() == 3;
                QVERIFY2(f.size() != 3 || (kept.contains(f[1]) && (f[2] != "768" || kept.contains(f[1] + '+'))), line);
            }
            QVERIFY(written >= 100 + 50 * round);
        }
    }
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("QUILLMERE_RECORDER"))
        return runRecorder(argc, argv);
    QCoreApplication app(argc, argv);
    TestHistory test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_history.moc"
