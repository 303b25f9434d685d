// The history database itself: the nine tables of a new file, an existing
// file used as it is, a broken file, compaction at shutdown, and pressures
// derived from each row's own elevation and offset.
#include "backend.h"
#include "datasource.h"
#include "testsupport.h"

#include <QFile>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>
#include <cmath>

using namespace TestSupport;

namespace {
const qint64 T0 = 1700000000; // seconds since the epoch
const QStringList Tables = {"BARO30M", "BARO3H", "BARO6H", "BAR12H", "BARO1D",
                            "BARO2D",  "BARO4D", "BARO8D", "BAR16D"};

QSqlDatabase store()
{
    return QSqlDatabase::database(QStringLiteral("DB_BAROGRAPH"), false);
}

QStringList tablesInFile()
{
    QSqlQuery query(store());
    query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name <> 'ALARMS' ORDER BY rowid"));
    QStringList names;
    while (query.next())
        names << query.value(0).toString();
    return names;
}

// The first chart point of the last chartUpdated, built from table 0.
double chartValue()
{
    QSignalSpy spy(g_dataSource, &DataSource::chartUpdated);
    g_dataSource->updateChart(0);
    // One row: the bounds are the value ± 0.01.
    return (spy.at(0).at(1).toDouble() + spy.at(0).at(2).toDouble()) / 2.0;
}
} // namespace

class TestDataSourceStore : public QObject
{
    Q_OBJECT

    TempWorkDir *m_dir = nullptr;
    BackEnd *m_backend = nullptr;

    void startStore() { g_dataSource = new DataSource(); }
    void stopStore()
    {
        delete g_dataSource;
        g_dataSource = nullptr;
        // A later store in another directory must not inherit this file.
        QSqlDatabase::removeDatabase(QStringLiteral("DB_BAROGRAPH"));
    }

private slots:
    void init()
    {
        Clock::reset();
        Clock::setWallClock(T0 * 1000);
        m_dir = new TempWorkDir;
        writeSettings(quietSettings());
        m_backend = new BackEnd(nullptr);
    }

    void cleanup()
    {
        stopStore();
        delete m_backend;
        delete m_dir;
        Clock::reset();
    }

    void firstStartCreatesNineEmptyTables()
    {
        MessageLog log;
        startStore();
        QVERIFY(log.contains(QStringLiteral("dataSource created")));
        QVERIFY(QFile::exists(m_dir->filePath(QStringLiteral("barograph.db"))));
        QCOMPARE(tablesInFile(), Tables);
        const QStringList columns = {"TIME", "LON", "LAT", "COG", "SOG", "PRE", "ELE", "OFS"};
        for (const QString &table : Tables) {
            QSqlQuery info(store());
            QVERIFY(info.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table)));
            int i = 0;
            while (info.next()) {
                QCOMPARE(info.value(1).toString(), columns.at(i));
                QCOMPARE(info.value(2).toString(), QString(i == 0 ? "INTEGER" : "FLOAT"));
                QCOMPARE(info.value(5).toInt(), i == 0 ? 1 : 0); // primary key
                ++i;
            }
            QCOMPARE(i, columns.size());
            QCOMPARE(historyRowCount(table), 0);
        }
    }

    void secondStartKeepsRowsAndCreatesNothing()
    {
        startStore();
        m_backend->setPressure(1013.25, SourceTcp);
        QVERIFY(g_dataSource->recordSample(768, 1.5, 45.0, 90.0, 5.0, 1013.25));
        // A table gone from the file stays gone: an existing file is used unchanged.
        QSqlQuery(store()).exec(QStringLiteral("DROP TABLE BAR16D"));
        stopStore();

        startStore();
        QCOMPARE(tablesInFile(), Tables.mid(0, 8));
        for (const QString &table : Tables.mid(0, 8))
            QCOMPARE(historyTimes(table), QList<qint64>{T0});
    }

    void zeroByteFileFailsEveryOperation()
    {
        QFile empty(QStringLiteral("barograph.db"));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        startStore();
        QVERIFY(tablesInFile().isEmpty());

        MessageLog log;
        m_backend->setPressure(1013.25, SourceTcp);
        QVERIFY(!g_dataSource->recordSample(768, 0.0, 0.0, 0.0, 0.0, 1013.25));
        QCOMPARE(log.count(QStringLiteral("db update error")), 9);
        QCOMPARE(g_dataSource->getTrend(), -10);
        QCOMPARE(g_dataSource->getTrend3h(), QStringLiteral("notOK"));

        QSignalSpy spy(g_dataSource, &DataSource::chartUpdated);
        g_dataSource->updateChart(1);
        QCOMPARE(log.count(QStringLiteral("db query error")), 1);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(1).toDouble(), 9999999.99);
        QCOMPARE(spy.at(0).at(2).toDouble(), -9999999.99);
        QCOMPARE(spy.at(0).at(3).toInt(), 1);

        QCOMPARE(g_dataSource->calcInfo(QPointF(0, 1013.25), 1), QString());
        QCOMPARE(log.count(QStringLiteral("db query error")), 2);
        QVERIFY(g_dataSource->getValueAt(0.0, 1, T0).y() < 0.0);
    }

    void destructionCompactsAndCloses()
    {
        startStore();
        const QString path = m_dir->filePath(QStringLiteral("barograph.db"));
        QSqlQuery query(store());
        query.exec(QStringLiteral("BEGIN"));
        for (int i = 0; i < 5000; ++i)
            insertHistoryRow(QStringLiteral("BARO3H"), T0 - i, 1000.0 + i);
        query.exec(QStringLiteral("COMMIT"));
        query.exec(QStringLiteral("DELETE FROM BARO3H"));
        query.finish();
        const qint64 before = QFileInfo(path).size();

        MessageLog log;
        stopStore();
        QVERIFY(log.contains(QStringLiteral("datasource deleted")));
        // The freed pages went back to the file system.
        QVERIFY2(QFileInfo(path).size() < before / 2,
                 qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(QFileInfo(path).size())));
    }

    void destructionWithoutConnection()
    {
        // A directory in the file's place: the connection never opens.
        QVERIFY(QDir().mkdir(QStringLiteral("barograph.db")));
        startStore();
        MessageLog log;
        stopStore();
        QCOMPARE(log.lines(), QStringList{QStringLiteral("datasource deleted")});
    }

    void derivedPressuresUseTheRowsOwnSettings_data()
    {
        QTest::addColumn<double>("elevation");
        QTest::addColumn<double>("offset");
        QTest::addColumn<int>("preDisplay");
        QTest::addColumn<double>("expected");
        const double factor100 = std::pow(1.0 - 100.0 * 22.55687745833333e-6, 5.2561);
        QTest::newRow("sea level, 100 m") << 100.0 << 1.0 << 0 << std::floor(1001.0 / factor100 * 100 + 0.5) / 100;
        QTest::newRow("station, 100 m") << 100.0 << 1.0 << 1 << 1001.0;
        QTest::newRow("sea level, 0 m") << 0.0 << -0.5 << 0 << 999.5;
        QTest::newRow("station, 0 m") << 0.0 << -0.5 << 1 << 999.5;
    }

    void derivedPressuresUseTheRowsOwnSettings()
    {
        QFETCH(double, elevation);
        QFETCH(double, offset);
        QFETCH(int, preDisplay);
        QFETCH(double, expected);
        startStore();
        m_backend->setSetting(QStringLiteral("elevation"), elevation);
        m_backend->setSetting(QStringLiteral("offset"), offset);
        m_backend->setPressure(1000.0, SourceTcp);
        QVERIFY(g_dataSource->recordSample(2, 0.0, 0.0, 0.0, 0.0, 1000.0));

        // Settings changed after the row was written leave it as it was.
        m_backend->setSetting(QStringLiteral("elevation"), 500.0);
        m_backend->setSetting(QStringLiteral("offset"), 3.0);
        m_backend->setSetting(QStringLiteral("preDisplay"), preDisplay);
        QCOMPARE(chartValue(), expected);
    }
};

QTEST_GUILESS_MAIN(TestDataSourceStore)
#include "tst_datasource_store.moc"
