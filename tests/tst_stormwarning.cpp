// The storm warning: its rule through the clock seam (cases in
// tests/data/storm_warning.tsv), a database of today's format gaining the
// alarm log, the banner and its chime in the window, and the real program
// raising the warning as nmeasim's depression deepens, sped up.
#include "alarmsound.h"
#include "desktop.h"
#include "screenharness.h"

#include "nmeasenderudp.h"

#include <QNetworkDatagram>
#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUdpSocket>
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

// The rows of ALARMS as "kind@start:change:pressure:acknowledgement", then the
// clearing time and the snooze's end if any, times from T0.
QString alarmRows()
{
    QSqlQuery query(QString("SELECT group_concat(KIND || '@' || (START - %1) || ':'"
                            " || CASE WHEN CHANGE3H IS NULL THEN '-' ELSE printf('%.1f', CHANGE3H) END || printf(':%.1f:', PRESSURE)"
                            " || CASE ACK WHEN 0 THEN 'open' ELSE 'ack@' || (ACK - %1) END"
                            " || IFNULL(':cleared@' || (CLEARED - %1), '') || IFNULL(':snoozed@' || (SNOOZED - %1), ''), ' ')"
                            " FROM (SELECT * FROM ALARMS ORDER BY START, KIND)").arg(T0), QSqlDatabase::database("DB_BAROGRAPH"));
    return query.next() && !query.isNull(0) ? query.value(0).toString() : "-";
}

// A barograph.db as the program writes it today: the nine tables, each full
// of rows around the given pressure up to `newest`, and the alarm log with
// two alarms.
void writeTodaysDatabase(const QString &path, qint64 newest, double pressure, bool alarms = false)
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
        QVERIFY(!alarms || query.exec("CREATE TABLE ALARMS (START INTEGER, KIND TEXT, CHANGE3H FLOAT, PRESSURE FLOAT, "
                                      "ACK INTEGER, PRIMARY KEY (START, KIND))"));
        QVERIFY(!alarms || query.exec(QString("INSERT INTO ALARMS VALUES (%1, 'fall', -4.6, 1008.4, %2), "
                                              "(%2, 'low', -5.0, 989.9, 0)").arg(newest - 90000).arg(newest - 86000)));
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
        backend->setSetting("timeZone", 0);
        for (const QString &step : steps.split(' ', Qt::SkipEmptyParts)) {
            const QString key = step.section(QRegularExpression("[=:>]"), 0, 0);
            const QString value = step.section(QRegularExpression("[=:>]"), 1, 1);
            if (step.startsWith('@')) {
                // As the recorder writes them: the 6-hour table beside the 3-hour one.
                const QStringList range = key.mid(1).split("..");
                for (qint64 t = range.first().toLongLong(); t <= range.last().toLongLong(); t += 12) {
                    insertHistoryRow("BARO3H", T0 + t, value.toDouble());
                    insertHistoryRow("BARO6H", T0 + t, value.toDouble());
                }
            } else if (step.contains('=')) {
                backend->setSetting(key, value);
            } else if (step.startsWith('+')) {
                Clock::advance(step.mid(1).toLongLong() * 1000);
                backend->stormWarning()->tick();
            } else if (key == "clock") {
                Clock::stepWallClock(value.toLongLong() * 1000);
            } else if (step == "restart") {
                backend = fixture.restart();
            } else if (key == "ucal") {
                // The offset the barometer reports, then the one sent.
                backend->slot_calibrationValues(QString("$PWEGB,CAL,%1,0,0,1013.0*00").arg(value));
                backend->calibrateBarometer(step.section('>', 1).toDouble(), 0.0, 1013.0);
            } else if (step == "ok") {
                emit backend->calibrationStatus(true);
            } else if (key == "raw") {
                backend->setPressure(value.toDouble(), SourceSerial);
            } else if (step == "tick") {
                backend->takeSample(2);
                Clock::advance(2000);
            } else if (step == "ack") {
                backend->stormWarning()->acknowledge();
            } else if (key == "snooze") {
                backend->stormWarning()->snooze(value.toInt());
            } else {
                // One turn of the sample cycle, from the serial source with "s".
                const bool serial = step.endsWith('s');
                backend->setPressure((serial ? step.chopped(1) : step).toDouble(), serial ? SourceSerial : SourceTcp);
                backend->takeSample(2);
                Clock::advance(2000);
            }
        }
        // Never a row ahead of the clock, whatever it did.
        const QList<qint64> times = historyTimes("BARO30M");
        QVERIFY(times.isEmpty() || times.last() <= Clock::currentSecsSinceEpoch());
        StormWarning *warning = backend->stormWarning();
        const auto shown = [](const QString &text) { return text.isEmpty() ? QString("-") : text; };
        QCOMPARE_ROW(shown(warning->tendency()), "tendency");
        QCOMPARE_ROW(escape(shown(warning->headline())), "banner");
        QCOMPARE(warning->isActive(), cell("banner") != "-");
        QCOMPARE_ROW(shown(m_sounds.join(' ')), "sounds");
        QCOMPARE_ROW(alarmRows(), "alarms");
    }

    void databaseOfTodayGainsTheAlarmLogAndKeepsEveryRow()
    {
        TempWorkDir dir;
        writeSettings(quietSettings());
        writeTodaysDatabase(dir.filePath("barograph.db"), T0, 1012.0, true);
        const QStringList before = tableContents(openFile("before", dir.filePath("barograph.db")));
        QSqlDatabase::removeDatabase("before");
        QCOMPARE(before.size(), 10);

        BackEnd backend(nullptr);
        g_dataSource = new DataSource();
        const QStringList after = tableContents(QSqlDatabase::database("DB_BAROGRAPH"));
        delete g_dataSource;
        g_dataSource = nullptr;
        QSqlDatabase::removeDatabase("DB_BAROGRAPH");
        // Every row kept, with no clearing time nor snooze.
        const QString alarms = QString("ALARMS,%1,fall,-4.6,1008.4,%2,,,%2,low,-5,989.9,0,,").arg(T0 - 90000).arg(T0 - 86000);
        QCOMPARE(after.mid(0, 11), before.mid(0, 9) + QStringList({alarms, "STEPS"}));
        QVERIFY(after.size() == 12 && after.last().startsWith("ARCHIVE1H,")); // its hours: tst_history
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
            // Another instrument gives the pressure: the step's own mark.
            g_dataSource->noteStep(StepLog::Source, 1.2);
            for (int tick = 0; tick < 2; ++tick)
                Clock::advance(2000), g_backEnd->slot_timerData();
            QTRY_VERIFY(item("stepMark") && item("stepMark")->isVisible());

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

            // The alarm log after the nine tables: read only, exported as CSV.
            QVERIFY(QMetaObject::invokeMethod(item("fileList"), "fileSelected", Q_ARG(int, 9)));
            QTRY_VERIFY(item("record0"));
            QCOMPARE(item("record0")->property("text").toString(),
                     "<Qt>22:13:20 (UTC) 14 Nov 2023\n<br><b>Storm warning</b> −6.0 mb in 3 h, 1007.0 mb"
                     "<br>Acknowledged 22:13:24 (UTC) 14 Nov 2023 - In force");
            QVERIFY(!item("gpxButton")->isVisible() && !item("emptyTableButton")->isVisible());
            Desktop::setOpener([](const QUrl &) { return true; });
            g_dataSource->exportFile(9, QUrl::fromLocalFile(QDir::current().filePath("alarms.gpx")).toString());
            Desktop::setOpener({});
            QFile csv("alarms.gpx");
            QVERIFY(csv.open(QIODevice::ReadOnly));
            QCOMPARE(csv.readAll(), "Start (UTC),Kind,Change in 3 h (mb),Pressure (mb),Acknowledged,Cleared\n"
                                    "22:13:20 (UTC) 14 Nov 2023,Storm warning,-6.0,1007.0,22:13:24 (UTC) 14 Nov 2023,\n");
        }
        QSqlDatabase::removeDatabase("DB_BAROGRAPH");
    }

    void relayEchoKeepsNoDeadBarometerAlive()
    {
        // UDP input and relay on one port: the program's own pressure comes
        // back to its input. The relay also goes to 127.0.0.2, where the
        // test sees it (the input is bound to every address, the test's
        // socket to that one).
        const quint16 port = freeUdpPort();
        Clock::setIntervalScale(0.5);
        BackEndFixture fixture(settingsFrom(QString("SettingUseUdp=1;SettingUdpPort=%1;updPort=%1").arg(port)), true);
        NmeaSenderUdp::setDestinationProvider([] { return QSet<QHostAddress>{QHostAddress("127.0.0.1"), QHostAddress("127.0.0.2")}; });
        QUdpSocket relayed, feed;
        QVERIFY(relayed.bind(QHostAddress("127.0.0.2"), port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint));
        fixture.backend()->setSetting("SettingUseUdpOut", 1);
        fixture.backend()->startNmea();
        QTRY_VERIFY((feed.writeDatagram("$IIXDR,P,1.01300,B,Barometer\r\n", QHostAddress::LocalHost, port),
                     fixture.backend()->getCurrentPressure() > 0));
        // The feed stops (the last datagrams are in by the third relayed);
        // half a minute on, the relay still sends the value.
        const auto relays = [&] {
            for (int seen = 0; seen < 3; seen += relayed.receiveDatagram().data().startsWith("$GPXDR"))
                QTRY_VERIFY(relayed.hasPendingDatagrams());
        };
        relays();
        Clock::advance(30000);
        relays();
        Clock::advance(31000);
        QSignalSpy none(fixture.backend(), &BackEnd::noPressureAvailable);
        QTRY_VERIFY(!none.isEmpty());
        Clock::advance(121000);
        QTRY_COMPARE(fixture.backend()->stormWarning()->headline().section(" since", 0, 0), "No pressure");
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
        QVERIFY(signalChild(program, SIGTERM));
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
