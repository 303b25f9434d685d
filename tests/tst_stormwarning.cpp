// The storm warning: its rule through the clock seam (cases in
// tests/data/storm_warning.tsv), a database of today's format gaining the
// alarm log, the banner and its chime in the window, and the real program
// raising the warning as nmeasim's depression deepens, sped up.
#include "alarmsound.h"
#include "screenharness.h"

#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

#include <csignal>

using namespace TestSupport;

namespace {
const qint64 T0 = 1700000000;
const QStringList Tables = {"BARO30M", "BARO3H", "BARO6H", "BAR12H", "BARO1D", "BARO2D", "BARO4D", "BARO8D", "BAR16D"};
const int Intervals[] = {2, 6, 12, 24, 48, 96, 192, 384, 768};

// A connection of the test's own to the file.
QSqlDatabase openFile(const QString &connection, const QString &path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", connection);
    db.setDatabaseName(path);
    return db.open() ? db : QSqlDatabase();
}

// The rows of ALARMS as "kind@start:change:pressure:acknowledgement", times from T0.
QString alarmRows()
{
    QSqlQuery query(QString("SELECT group_concat(KIND || '@' || (START - %1) || printf(':%.1f:%.1f:', CHANGE3H, PRESSURE)"
                            " || CASE ACK WHEN 0 THEN 'open' ELSE 'ack@' || (ACK - %1) END, ' ')"
                            " FROM (SELECT * FROM ALARMS ORDER BY START)").arg(T0), QSqlDatabase::database("DB_BAROGRAPH"));
    return query.next() && !query.isNull(0) ? query.value(0).toString() : "-";
}

// A barograph.db as the program writes it today: the nine tables, each full
// of rows around the given pressure up to `newest`.
void writeTodaysDatabase(const QString &path, qint64 newest, double pressure)
{
    {
        QSqlQuery query(openFile("today", path));
        query.exec("BEGIN");
        for (int i = 0; i < Tables.size(); ++i) {
            QVERIFY(query.exec(QString("CREATE TABLE %1 (TIME INTEGER primary key, LON FLOAT, LAT FLOAT, COG FLOAT, "
                                       "SOG FLOAT, PRE FLOAT, ELE FLOAT, OFS FLOAT)").arg(Tables.at(i))));
            for (qint64 t = newest - 1800 * (i == 0 ? 1 : Intervals[i]); t <= newest; t += Intervals[i])
                query.exec(QString("INSERT INTO %1 VALUES (%2, -4.1, 47.7, 225.0, 6.0, %3, 2.5, 0.5)")
                               .arg(Tables.at(i)).arg(t).arg(pressure + (t % 7) / 10.0));
        }
        QVERIFY(query.exec("COMMIT"));
    }
    QSqlDatabase::removeDatabase("today");
}

// Each table of the file: its name, then every value of its rows.
QStringList tableContents(const QSqlDatabase &db)
{
    QStringList tables;
    QSqlQuery names("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid", db);
    while (names.next()) {
        QSqlQuery rows("SELECT * FROM " + names.value(0).toString(), db);
        tables << names.value(0).toString();
        while (rows.next()) {
            for (int c = 0; c < rows.record().count(); ++c)
                tables.last() += ',' + rows.value(c).toString();
        }
    }
    return tables;
}
} // namespace

class TestStormWarning : public QObject
{
    Q_OBJECT

    QStringList m_sounds;

private slots:
    void initTestCase() { ScreenHarness::registerTypes(); }

    void init() { AlarmSound::setPlayer([this](bool play) { m_sounds << QString(play ? "play" : "stop"); }); }
    void cleanup() { AlarmSound::setPlayer({}); m_sounds.clear(); Clock::reset(); }

    void rule_data() { addRows("storm_warning.tsv"); }

    void rule()
    {
        QFETCH(QString, steps);
        HistoryFixture fixture(T0);
        BackEnd *backend = fixture.backend();
        StormWarning *warning = backend->stormWarning();
        backend->setSetting("timeZone", 0);
        for (const QString &step : steps.split(' ', Qt::SkipEmptyParts)) {
            const QString key = step.section('=', 0, 0), value = step.section('=', 1);
            if (step.startsWith('@'))
                insertHistoryRow("BARO3H", T0 + key.mid(1).toLongLong(), value.toDouble());
            else if (step.contains('='))
                backend->setSetting(key, value);
            else if (step.startsWith('+')) {
                Clock::advance(step.mid(1).toLongLong() * 1000);
                warning->tick();
            } else if (step == "ack")
                warning->acknowledge();
            else if (step.startsWith("snooze:"))
                warning->snooze(step.mid(7).toInt());
            else {
                // One turn of the sample cycle.
                const double pressure = step.toDouble();
                warning->tick();
                backend->setPressure(pressure, SourceTcp);
                QVERIFY(g_dataSource->recordSample(2, 0.0, 0.0, 0.0, 0.0, pressure));
                warning->update(pressure, pressure);
                Clock::advance(2000);
            }
        }
        const auto shown = [](const QString &text) { return text.isEmpty() ? QString("-") : text; };
        QTEST(shown(warning->tendency()), "tendency");
        QFETCH(QString, banner);
        QCOMPARE(shown(warning->headline()), banner.replace("\\n", "\n"));
        QCOMPARE(warning->isActive(), banner != "-");
        QTEST(shown(m_sounds.join(' ')), "sounds");
        QTEST(alarmRows(), "alarms");
    }

    void databaseOfTodayGainsTheAlarmLogAndKeepsEveryRow()
    {
        TempWorkDir dir;
        writeSettings(quietSettings());
        writeTodaysDatabase(dir.filePath("barograph.db"), T0, 1012.0);
        const QStringList before = tableContents(openFile("before", dir.filePath("barograph.db")));
        QSqlDatabase::removeDatabase("before");
        QCOMPARE(before.size(), 9);

        BackEnd backend(nullptr);
        g_dataSource = new DataSource();
        const QStringList after = tableContents(QSqlDatabase::database("DB_BAROGRAPH"));
        delete g_dataSource;
        g_dataSource = nullptr;
        QSqlDatabase::removeDatabase("DB_BAROGRAPH");
        QVERIFY(after == before + QStringList{"ALARMS"});
    }

    void acknowledgedOnScreenTheChimeStops()
    {
        // The test turns the sample cycle itself.
        Clock::setIntervalScale(1000.0);
        Clock::setWallClock(T0 * 1000);
        {
            ScreenHarness screen({{"timeZone", 0}});
            QVERIFY(screen.waitExposed());
            insertHistoryRow("BARO3H", T0 - 10800, 1013.0);
            g_backEnd->setPressure(1007.0, SourceTcp);
            g_backEnd->slot_timerData();

            const auto item = [&](const char *name) { return ScreenHarness::findItem(screen.window()->contentItem(), name); };
            QTRY_VERIFY(item("alarmBanner")->isVisible());
            QCOMPARE(item("alarmHeadline")->property("text").toString(), "Storm warning since 22:13:20 (UTC) 14 Nov 2023");
            QCOMPARE(item("tendencyText")->property("text").toString(), "Falling quickly: −6.0 mb in 3 h");
            QTRY_VERIFY(item("alarmMark") && item("alarmMark")->isVisible());

            // On another tab the banner stays, and its button silences the chime.
            screen.click(item("tabData"));
            QTRY_VERIFY(item("fileList"));
            QVERIFY(item("alarmBanner")->isVisible());
            QCOMPARE(m_sounds, QStringList{"play"});
            screen.click(item("acknowledgeButton"));
            QCOMPARE(m_sounds, QStringList({"play", "stop"}));
            Clock::advance(61000);
            g_backEnd->slot_timerData();
            QCOMPARE(m_sounds, QStringList({"play", "stop"}));
            QTRY_VERIFY(!item("acknowledgeButton")->isVisible());
            QVERIFY(item("alarmBanner")->isVisible());
        }
        QSqlDatabase::removeDatabase("DB_BAROGRAPH");
    }

    void simulatedDepressionRaisesTheWarning()
    {
        QTemporaryDir dir;
        // Three hours at the pressure the simulator starts from, then its
        // depression at 600 times its pace: 4.5 hPa down within seconds.
        writeTodaysDatabase(dir.filePath("barograph.db"), QDateTime::currentSecsSinceEpoch(), 1011.2);
        QProcess sim;
        const QString port = startSimulator(sim, {"--tcp", "0", "--rate", "2", "--speedup", "600"},
                                            "tcp: listening on 127.0.0.1 port ");
        QVERIFY(!port.isEmpty());
        {
            QSettings ini(dir.filePath("barograph.ini"), QSettings::IniFormat);
            ini.setValue("SettingSerialPort", "None");
            ini.setValue("SettingUseTcp", 1);
            ini.setValue("SettingTcpIpAddress", "127.000.000.001");
            ini.setValue("SettingTcpIpPort", port.toInt());
        }
        QProcess program;
        program.setWorkingDirectory(dir.path());
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(QUILLMERE_BIN_DIR "/app/quillmere", QStringList());
        QString output;
        QTRY_VERIFY2_WITH_TIMEOUT((output += QString::fromLocal8Bit(program.readAll())).contains("storm warning shown"),
                                  qPrintable(output), 90000);
        ::kill(pid_t(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(30000));
        sim.kill();
        sim.waitForFinished(5000);

        QCOMPARE(program.exitCode(), 0);
        QVERIFY(output.contains("qml: storm warning shown: Storm warning since "));
        QSqlQuery row("SELECT KIND, CHANGE3H, PRESSURE, ACK FROM ALARMS", openFile("after", dir.filePath("barograph.db")));
        QVERIFY(row.next());
        QCOMPARE(row.value(0).toString(), "fall");
        QVERIFY2(row.value(1).toDouble() <= -4.5, qPrintable(row.value(1).toString()));
        QCOMPARE(row.value(3).toInt(), 0);
        QVERIFY(!row.next());
    }
};

QTEST_MAIN(TestStormWarning)
#include "tst_stormwarning.moc"
