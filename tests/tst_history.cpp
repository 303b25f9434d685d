// The history store: the database file, recording and retention, the chart
// series and point queries, the tendency, and a recorder killed outright
// losing nothing it reported as written.
#include "backend.h"
#include "datasource.h"
#include "testsupport.h"

#include <QLineSeries>
#include <QSqlQuery>
#include <QtTest>

#include <cstdio>

using namespace TestSupport;

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

// "seconds:pressure[:elevation:offset] ..." into a table, seconds from T0.
void insertRows(const QString &table, const QString &rows)
{
    for (const QString &row : rows.split(' ', Qt::SkipEmptyParts)) {
        const QStringList f = row.split(':');
        insertHistoryRow(table, T0 + f.at(0).toLongLong(), f.at(1).toDouble(), f.value(2).toDouble(), f.value(3).toDouble());
    }
}

QVariantList chart(int chartNb) // what one updateChart delivers: reference, lower, upper, runs
{
    QSignalSpy spy(g_dataSource, &DataSource::chartUpdated);
    g_dataSource->updateChart(chartNb);
    return spy.value(0);
}

QVector<QPointF> run(int n)
{
    QtCharts::QLineSeries series;
    g_dataSource->update(&series, n);
    return series.pointsVector();
}

bool record(int tick, double pressure = 1013.25)
{
    g_backEnd->setPressure(pressure, SourceTcp);
    return g_dataSource->recordSample(tick, -4.5, 48.25, 270.0, 6.5, pressure);
}

// The recorder of killedRecorderLosesNothing, this program again: at full
// speed, a second of the clock a sample, reporting each written sample.
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
    void start(const QString &settings = QString())
    {
        m_fixture = new BackEndFixture(settingsFrom(settings + ";timeZone=0"), true, T0);
        g_backEnd->setPressure(1013.25, SourceTcp);
    }

private slots:
    void cleanup()
    {
        delete m_fixture;
        m_fixture = nullptr;
    }

    // Nine tables in a new file; an existing file used as it is; compacted at
    // the end; a file that is no database fails every operation, unharmed.
    void databaseFile()
    {
        start();
        QCOMPARE(query("SELECT name FROM sqlite_master ORDER BY rowid"), Tables);
        QCOMPARE(query("SELECT name || ' ' || type || ' ' || pk FROM pragma_table_info('BAR16D')"),
                 QStringList({"TIME INTEGER 1", "LON FLOAT 0", "LAT FLOAT 0", "COG FLOAT 0", "SOG FLOAT 0", "PRE FLOAT 0",
                              "ELE FLOAT 0", "OFS FLOAT 0"}));
        QVERIFY(record(768));
        query("DROP TABLE BAR16D");
        for (int i = 1; i < 5000; ++i)
            insertHistoryRow("BARO3H", T0 - i, 1000.0);
        query("DELETE FROM BARO3H");
        const qint64 before = QFileInfo("barograph.db").size();
        delete g_dataSource;
        g_dataSource = nullptr;
        QVERIFY(QFileInfo("barograph.db").size() < before / 2);
        QSqlDatabase::removeDatabase("DB_BAROGRAPH");
        g_dataSource = new DataSource();
        QCOMPARE(query("SELECT name FROM sqlite_master ORDER BY rowid"), Tables.mid(0, 8));
        QCOMPARE(historyTimes("BARO8D"), QList<qint64>{T0});
        delete g_dataSource;
        g_dataSource = nullptr;
        QSqlDatabase::removeDatabase("DB_BAROGRAPH");
        QFile("barograph.db").resize(0);
        g_dataSource = new DataSource();
        MessageLog log;
        QVERIFY(!record(768));
        QCOMPARE(log.count("db update error"), 9);
        QCOMPARE(::chart(1), QVariantList({QVariant::fromValue<qint64>(0), 9999999.99, -9999999.99, 1}));
        QVERIFY(g_dataSource->calcInfo(QPointF(0, 1013.25), 1).isEmpty() && g_dataSource->getValueAt(0, 1, T0).y() < 0);
        QCOMPARE(g_dataSource->getTrend3h(), QString("notOK"));
    }

    void scenarios_data() { addRows("history.tsv"); }
    void scenarios()
    {
        start(cell("settings"));
        QStringList out;
        qint64 now = 0;
        for (const QString &step : cell("steps").split("; ")) {
            const QStringList w = step.split(' ');
            const QString &op = w.at(0), table = w.value(1);
            QStringList values;
            if (op == "at")
                Clock::setWallClock((T0 + (now = table.toLongLong())) * 1000);
            else if (op == "rows")
                insertRows(table, w.mid(2).join(' '));
            else if (op == "record")
                out << QString::number(record(table.toInt(), w.size() > 2 ? w.at(2).toDouble() : 1013.25));
            else if (op == "drop")
                query("DROP TABLE " + table);
            else if (op == "none")
                g_backEnd->setPressure(NO_PRESSURE, SourceTcp);
            else if (op == "trend" || op == "change")
                out << (op == "trend" ? QString::number(g_dataSource->getTrend()) : g_dataSource->getTrend3h());
            else if (op == "row")
                out << query(QString("SELECT (TIME - %1) || ' ' || LON || ' ' || LAT || ' ' || COG || ' ' || SOG || ' ' || PRE || "
                                     "' ' || ELE || ' ' || OFS FROM %2 ORDER BY TIME").arg(T0).arg(table)).join(',');
            if (op == "chart") {
                const QVariantList c = chart(table.toInt());
                out << (c.value(0).toLongLong() ? QString::number(c.value(0).toLongLong() - T0) : "unset");
                out << c.value(1).toString() + ' ' + c.value(2).toString() + ' ' + c.value(3).toString();
                for (int n = 0; n < c.value(3).toInt(); ++n) { // the runs
                    QStringList points;
                    for (const QPointF &p : run(n))
                        points << QString::number(p.x(), 'g', 6) + ',' + QString::number(p.y(), 'g', 10);
                    out << points.join(' ');
                }
            }
            if (op == "value") { // x in seconds, in the table's unit of the axis
                const double x = w.value(2).toDouble() / (table == "0" ? 60 : table.toInt() <= 5 ? 3600 : 86400);
                const QPointF p = g_dataSource->getValueAt(x, table.toInt(), QVariant::fromValue<qint64>(T0));
                out << (p.x() == x ? QString::number(p.y()) : "moved") << g_dataSource->calcInfo(p, table.toInt());
            }
            for (int i = 0; op == "ticks" && i < table.toInt(); ++i, now += 2)
                Clock::setWallClock((T0 + now) * 1000), g_backEnd->slot_timerData();
            for (const QString &t : op == "tables" ? Tables : QStringList())
                values << QString::number(historyRowCount(t));
            for (qint64 t : op == "times" ? historyTimes(table).mid(0, w.value(2, "-1").toInt()) : QList<qint64>())
                values << QString::number(t - T0);
            if (op == "tables" || op == "times")
                out << values.join(',');
        }
        out.replaceInStrings(QRegularExpression("^$"), "-"); // nothing, said so
        QCOMPARE_ROW(out.join(" | "), "outputs");
    }

    // As the screen does it: inside the delivery of chartUpdated it fills its
    // series and asks for the change; the read-out only tries the lock.
    // Tables and runs that do not exist are ignored, never read.
    void lockRuleAndBounds()
    {
        start();
        insertRows("BARO30M", "0:1013 -10:1012");
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
        g_dataSource->updateChart(9);
        g_dataSource->updateChart(-1);
        QCOMPARE(series.size(), 4);
        QVERIFY(g_dataSource->getValueAt(0.0, 9, T0).y() < 0 && g_dataSource->getValueAt(qQNaN(), 0, T0).y() < 0);
        QVERIFY(g_dataSource->calcInfo(QPointF(0.0, 1013.0), -1).isEmpty());
    }

    // SIGKILL in the middle of writing, three times over one file: it stays
    // sound and holds every row the recorder reported.
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
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "check");
            db.setDatabaseName(dir.filePath("barograph.db"));
            QVERIFY(db.open());
            QCOMPARE(query("PRAGMA integrity_check", db), QStringList{"ok"});
            const QStringList kept = query("SELECT TIME FROM BARO30M", db), longest = query("SELECT TIME FROM BAR16D", db);
            int written = 0;
            for (const QByteArray &line : output.split('\n')) { // "written <second> <counter>"
                const QList<QByteArray> f = line.split(' ');
                written += f.size() == 3;
                QVERIFY2(f.size() != 3 || (kept.contains(f.at(1)) && (f.at(2) != "768" || longest.contains(f.at(1)))), line);
            }
            QVERIFY(written >= 100 + 50 * round);
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase("check");
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
