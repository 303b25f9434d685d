// Recording and retention: the tables due at each value of the sample clock,
// the clock over more than one cycle, the cut-off of each span, and two
// samples within one second.
#include "backend.h"
#include "datasource.h"
#include "testsupport.h"

#include <QSqlQuery>
#include <QtTest>

using namespace TestSupport;

namespace {
const qint64 T0 = 1700000000;
const QStringList Tables = {"BARO30M", "BARO3H", "BARO6H", "BAR12H", "BARO1D",
                            "BARO2D",  "BARO4D", "BARO8D", "BAR16D"};
const QList<qint64> Spans = {1800, 10800, 21600, 43200, 86400, 172800, 345600, 691200, 1382400};

void setNow(qint64 seconds)
{
    Clock::setWallClock(seconds * 1000);
}

QList<int> tablesWithRows()
{
    QList<int> written;
    for (int i = 0; i < Tables.size(); ++i) {
        if (historyRowCount(Tables.at(i)) > 0)
            written << i;
    }
    return written;
}
} // namespace

class TestRecording : public QObject
{
    Q_OBJECT

    HistoryFixture *m_fixture = nullptr;
    BackEnd *m_backend = nullptr;

private slots:
    void init()
    {
        m_fixture = new HistoryFixture(T0);
        m_backend = m_fixture->backend();
        m_backend->setPressure(1013.25, SourceTcp);
    }

    void cleanup()
    {
        delete m_fixture;
        m_fixture = nullptr;
    }

    void tablesDueAtTick_data()
    {
        QTest::addColumn<int>("tick");
        QTest::addColumn<QList<int>>("tables");
        QTest::newRow("0") << 0 << QList<int>{};
        QTest::newRow("2") << 2 << QList<int>{0};
        QTest::newRow("4") << 4 << QList<int>{0};
        QTest::newRow("6") << 6 << QList<int>{0, 1};
        QTest::newRow("12") << 12 << QList<int>{0, 1, 2};
        QTest::newRow("18") << 18 << QList<int>{0, 1};
        QTest::newRow("384") << 384 << QList<int>{0, 1, 2, 3, 4, 5, 6, 7};
        QTest::newRow("768") << 768 << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8};
    }

    void tablesDueAtTick()
    {
        QFETCH(int, tick);
        QFETCH(QList<int>, tables);
        QCOMPARE(g_dataSource->recordSample(tick, 0.0, 0.0, 0.0, 0.0, 1013.25), !tables.isEmpty());
        QCOMPARE(tablesWithRows(), tables);
    }

    void rowCarriesTheSampleAndSettings()
    {
        m_backend->setSetting(QStringLiteral("elevation"), 12.5);
        m_backend->setSetting(QStringLiteral("offset"), -0.75);
        QVERIFY(g_dataSource->recordSample(768, -4.5, 48.25, 270.0, 6.5, 1013.25));
        m_backend->setSetting(QStringLiteral("elevation"), 30.0);
        setNow(T0 + 2);
        QVERIFY(g_dataSource->recordSample(2, 0.0, 0.0, 0.0, 0.0, 1000.0));

        for (const QString &table : Tables) {
            QSqlQuery query(QSqlDatabase::database(QStringLiteral("DB_BAROGRAPH")));
            QVERIFY(query.exec(QStringLiteral("SELECT * FROM %1 ORDER BY TIME").arg(table)));
            QVERIFY(query.next());
            const QVariantList expected = {T0, -4.5, 48.25, 270.0, 6.5, 1013.25, 12.5, -0.75};
            for (int c = 0; c < expected.size(); ++c)
                QCOMPARE(query.value(c).toDouble(), expected.at(c).toDouble());
        }
        // New rows carry the new elevation, older ones keep theirs.
        QSqlQuery query(QSqlDatabase::database(QStringLiteral("DB_BAROGRAPH")));
        QVERIFY(query.exec(QStringLiteral("SELECT TIME, ELE, LON FROM BARO30M ORDER BY TIME")));
        QVERIFY(query.next());
        QCOMPARE(query.value(1).toDouble(), 12.5);
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toLongLong(), T0 + 2);
        QCOMPARE(query.value(1).toDouble(), 30.0);
        QCOMPARE(query.value(2).toDouble(), 0.0);
    }

    // The back end's own sample clock, two seconds a tick, over two cycles and more.
    void sampleClockOverTwoCycles()
    {
        const int ticks = 1 + 2 * 385;
        for (int i = 0; i < ticks; ++i) {
            setNow(T0 + 2 * i);
            m_backend->slot_timerData();
        }
        // Started at 768 (every table), then 0, 2, ..., 768 twice.
        const QList<int> expected = {1 + 2 * 384, 1 + 2 * 128, 1 + 2 * 64, 1 + 2 * 32, 1 + 2 * 16,
                                     1 + 2 * 8,   1 + 2 * 4,   1 + 2 * 2,  1 + 2 * 1};
        for (int i = 0; i < Tables.size(); ++i)
            QCOMPARE(historyRowCount(Tables.at(i)), expected.at(i));

        // The longest table gets one row a cycle: 770 s apart, not 768.
        QCOMPARE(historyTimes(QStringLiteral("BAR16D")), (QList<qint64>{T0, T0 + 770, T0 + 1540}));
        // The tick 0 leaves one step 2 s longer than the interval.
        const QList<qint64> baro3h = historyTimes(QStringLiteral("BARO3H"));
        QCOMPARE(baro3h.at(1) - baro3h.at(0), qint64(8));
        QCOMPARE(baro3h.at(2) - baro3h.at(1), qint64(6));
        const QList<qint64> baro30m = historyTimes(QStringLiteral("BARO30M"));
        QCOMPARE(baro30m.at(1) - baro30m.at(0), qint64(4));
    }

    void retentionCutOff_data()
    {
        QTest::addColumn<int>("table");
        for (int i = 0; i < Tables.size(); ++i)
            QTest::newRow(qPrintable(Tables.at(i))) << i;
    }

    // Only rows strictly older than the span go, at the next write to the table.
    void retentionCutOff()
    {
        QFETCH(int, table);
        const QString name = Tables.at(table);
        const qint64 now = T0 + 2000000;
        insertHistoryRow(name, now - Spans.at(table) - 1, 1000.0);
        insertHistoryRow(name, now - Spans.at(table), 1001.0);
        insertHistoryRow(name, now - 100, 1002.0);
        setNow(now);
        QVERIFY(g_dataSource->recordSample(768, 0.0, 0.0, 0.0, 0.0, 1013.25));
        QCOMPARE(historyTimes(name), (QList<qint64>{now - Spans.at(table), now - 100, now}));
    }

    void pruningOnlyWhenDue()
    {
        insertHistoryRow(QStringLiteral("BARO6H"), T0 - 30 * 86400, 1000.0);
        QVERIFY(g_dataSource->recordSample(6, 0.0, 0.0, 0.0, 0.0, 1013.25));
        QCOMPARE(historyRowCount(QStringLiteral("BARO6H")), 1);
        setNow(T0 + 6);
        QVERIFY(g_dataSource->recordSample(12, 0.0, 0.0, 0.0, 0.0, 1013.25));
        QCOMPARE(historyTimes(QStringLiteral("BARO6H")), QList<qint64>{T0 + 6});
    }

    void twoSamplesInOneSecond()
    {
        MessageLog log;
        QVERIFY(g_dataSource->recordSample(6, 0.0, 0.0, 0.0, 0.0, 1013.25));
        QVERIFY(!g_dataSource->recordSample(6, 0.0, 0.0, 0.0, 0.0, 990.0));
        QCOMPARE(log.count(QStringLiteral("db update error")), 2);
        QCOMPARE(log.count(QStringLiteral("\"BARO30M\"")), 1);
        QCOMPARE(log.count(QStringLiteral("\"BARO3H\"")), 1);
        QCOMPARE(log.count(QString::number(T0)), 2);
        // The first rows stay.
        QCOMPARE(historyRowCount(QStringLiteral("BARO30M")), 1);
        QCOMPARE(g_dataSource->getValueAt(0.0, 0, T0).y(), 1013.25);
    }

    void otherTablesWrittenWhenOneFails()
    {
        QSqlQuery(QSqlDatabase::database(QStringLiteral("DB_BAROGRAPH"))).exec(QStringLiteral("DROP TABLE BARO3H"));
        MessageLog log;
        QVERIFY(g_dataSource->recordSample(12, 0.0, 0.0, 0.0, 0.0, 1013.25));
        QCOMPARE(log.count(QStringLiteral("db update error")), 1);
        QCOMPARE(historyRowCount(QStringLiteral("BARO30M")), 1);
        QCOMPARE(historyRowCount(QStringLiteral("BARO6H")), 1);
    }

    // The store's present instant moves also on a tick that writes nothing:
    // the three-hour change is measured from it.
    void idleTickMovesThePresent()
    {
        insertHistoryRow(QStringLiteral("BARO3H"), T0 - 10800 + 1000, 1010.0);
        QVERIFY(g_dataSource->recordSample(2, 0.0, 0.0, 0.0, 0.0, 1013.25));
        QCOMPARE(g_dataSource->getTrend3h(), QStringLiteral("notOK"));
        setNow(T0 + 1000);
        m_backend->setPressure(1013.25, SourceTcp);
        QVERIFY(!g_dataSource->recordSample(0, 0.0, 0.0, 0.0, 0.0, 1013.25));
        QCOMPARE(g_dataSource->getTrend3h(), QStringLiteral("<div align='left'>3.3 mb / 3h</div>"));
    }
};

QTEST_GUILESS_MAIN(TestRecording)
#include "tst_recording.moc"
