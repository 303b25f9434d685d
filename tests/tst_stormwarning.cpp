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

// The rows of ALARMS as "kind@start:change:pressure:acknowledgement", times from origin.
QString alarmRows(const QSqlDatabase &db, qint64 origin)
{
    QStringList rows;
    QSqlQuery query(QStringLiteral("SELECT KIND, START, CHANGE3H, PRESSURE, ACK FROM ALARMS ORDER BY START"), db);
    while (query.next()) {
        const qint64 ack = query.value(4).toLongLong();
        rows << QStringLiteral("%1@%2:%3:%4:%5").arg(query.value(0).toString()).arg(query.value(1).toLongLong() - origin)
                    .arg(query.value(2).toDouble(), 0, 'f', 1).arg(query.value(3).toDouble(), 0, 'f', 1)
                    .arg(ack ? QStringLiteral("ack@%1").arg(ack - origin) : QStringLiteral("open"));
    }
    return rows.isEmpty() ? QStringLiteral("-") : rows.join(' ');
}

// A barograph.db as the program writes it today: the nine tables, each full
// of rows of the given pressure up to `newest`.
void writeTodaysDatabase(const QString &path, qint64 newest, double pressure)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("today"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        query.exec(QStringLiteral("BEGIN"));
        for (int i = 0; i < Tables.size(); ++i) {
            QVERIFY(query.exec(QStringLiteral("CREATE TABLE %1 (TIME INTEGER primary key, LON FLOAT, LAT FLOAT, COG FLOAT, "
                                              "SOG FLOAT, PRE FLOAT, ELE FLOAT, OFS FLOAT)").arg(Tables.at(i))));
            for (qint64 t = newest - 1800 * (i == 0 ? 1 : Intervals[i]); t <= newest; t += Intervals[i])
                query.exec(QStringLiteral("INSERT INTO %1 VALUES (%2, -4.1, 47.7, 225.0, 6.0, %3, 2.5, 0.5)")
                               .arg(Tables.at(i)).arg(t).arg(pressure + (t % 7) / 10.0));
        }
        QVERIFY(query.exec(QStringLiteral("COMMIT")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("today"));
}

// Each table's name, row count and the sums of its columns.
QStringList tableSignatures(const QSqlDatabase &db)
{
    QStringList signatures;
    QSqlQuery names(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid"), db);
    while (names.next()) {
        const QString name = names.value(0).toString();
        QSqlQuery sums(name == QLatin1String("ALARMS") ? QStringLiteral("SELECT COUNT(*) FROM ALARMS")
                           : QStringLiteral("SELECT COUNT(*), SUM(TIME), SUM(PRE), SUM(LON + LAT + COG + SOG + ELE + OFS) "
                                            "FROM %1").arg(name), db);
        QStringList fields{name};
        if (sums.next()) {
            for (int c = 0; c < sums.record().count(); ++c)
                fields << sums.value(c).toString();
        }
        signatures << fields.join(':');
    }
    return signatures;
}
} // namespace

class TestStormWarning : public QObject
{
    Q_OBJECT

    QStringList m_sounds;

private slots:
    void initTestCase() { ScreenHarness::registerTypes(); }

    void init()
    {
        m_sounds.clear();
        AlarmSound::setPlayer([this](bool play) { m_sounds << QString(play ? "play" : "stop"); });
    }

    void cleanup()
    {
        AlarmSound::setPlayer({});
        Clock::reset();
    }

    void rule_data() { addCasesFromTsv(QStringLiteral("storm_warning")); }

    void rule()
    {
        QFETCH(QString, steps);
        HistoryFixture fixture(T0);
        BackEnd *backend = fixture.backend();
        StormWarning *warning = backend->stormWarning();
        backend->setSetting(QStringLiteral("timeZone"), 0);
        for (const QString &step : steps.split(' ', Qt::SkipEmptyParts)) {
            if (step.startsWith('@')) {
                insertHistoryRow(QStringLiteral("BARO3H"), T0 + step.mid(1).section('=', 0, 0).toLongLong(),
                                 step.section('=', 1).toDouble());
            } else if (step.contains('=')) {
                backend->setSetting(step.section('=', 0, 0), step.section('=', 1));
            } else if (step.startsWith('+')) {
                Clock::advance(step.mid(1).toLongLong() * 1000);
                warning->tick();
            } else if (step == QLatin1String("ack")) {
                warning->acknowledge();
            } else if (step.startsWith(QLatin1String("snooze:"))) {
                warning->snooze(step.mid(7).toInt());
            } else {
                // One turn of the sample cycle.
                const double pressure = step.toDouble();
                warning->tick();
                backend->setPressure(pressure, SourceTcp);
                QVERIFY(g_dataSource->recordSample(2, 0.0, 0.0, 0.0, 0.0, pressure));
                warning->update(pressure, pressure);
                Clock::advance(2000);
            }
        }
        const auto shown = [](const QString &text) { return text.isEmpty() ? QStringLiteral("-") : text; };
        QTEST(shown(warning->tendency()), "tendency");
        QFETCH(QString, banner);
        QCOMPARE(shown(warning->headline()), banner.replace(QLatin1String("\\n"), QLatin1String("\n")));
        QCOMPARE(warning->isActive(), banner != QLatin1String("-"));
        QTEST(shown(m_sounds.join(' ')), "sounds");
        QTEST(alarmRows(QSqlDatabase::database(QStringLiteral("DB_BAROGRAPH")), T0), "alarms");
    }

    void databaseOfTodayGainsTheAlarmLogAndKeepsEveryRow()
    {
        TempWorkDir dir;
        writeSettings(quietSettings());
        writeTodaysDatabase(dir.filePath(QStringLiteral("barograph.db")), T0, 1012.0);
        QStringList before;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("before"));
            db.setDatabaseName(dir.filePath(QStringLiteral("barograph.db")));
            QVERIFY(db.open());
            before = tableSignatures(db);
        }
        QSqlDatabase::removeDatabase(QStringLiteral("before"));
        QCOMPARE(before.size(), 9);

        BackEnd backend(nullptr);
        g_dataSource = new DataSource();
        const QStringList after = tableSignatures(QSqlDatabase::database(QStringLiteral("DB_BAROGRAPH")));
        delete g_dataSource;
        g_dataSource = nullptr;
        QSqlDatabase::removeDatabase(QStringLiteral("DB_BAROGRAPH"));
        QCOMPARE(after, before + QStringList{QStringLiteral("ALARMS:0")});
    }

    void acknowledgedOnScreenTheChimeStops()
    {
        // The test turns the sample cycle itself.
        Clock::setIntervalScale(1000.0);
        Clock::setWallClock(T0 * 1000);
        {
            ScreenHarness screen({{QStringLiteral("timeZone"), 0}});
            QVERIFY(screen.waitExposed());
            insertHistoryRow(QStringLiteral("BARO3H"), T0 - 10800, 1013.0);
            g_backEnd->setPressure(1007.0, SourceTcp);
            g_backEnd->slot_timerData();

            QQuickItem *root = screen.window()->contentItem();
            const auto item = [&](const char *name) { return ScreenHarness::findItem(root, QLatin1String(name)); };
            QTRY_VERIFY(item("alarmBanner")->isVisible());
            QCOMPARE(item("alarmHeadline")->property("text").toString(),
                     QStringLiteral("Storm warning since 22:13:20 (UTC) 14 Nov 2023"));
            QCOMPARE(item("tendencyText")->property("text").toString(), QStringLiteral("Falling quickly: −6.0 mb in 3 h"));
            QTRY_VERIFY(item("alarmMark") && item("alarmMark")->isVisible());
            screen.screenshot(QStringLiteral("storm_warning"));

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
        QSqlDatabase::removeDatabase(QStringLiteral("DB_BAROGRAPH"));
    }

    void simulatedDepressionRaisesTheWarning()
    {
        QTemporaryDir dir;
        // Three hours at the pressure the simulator starts from, then its
        // depression at 600 times its pace: 4.5 hPa down within seconds.
        writeTodaysDatabase(dir.filePath(QStringLiteral("barograph.db")), QDateTime::currentSecsSinceEpoch(), 1011.2);
        QProcess sim;
        const QString port = startSimulator(sim, {"--tcp", "0", "--rate", "2", "--speedup", "600"},
                                            QStringLiteral("tcp: listening on 127.0.0.1 port "));
        QVERIFY(!port.isEmpty());
        {
            QSettings ini(dir.filePath(QStringLiteral("barograph.ini")), QSettings::IniFormat);
            ini.setValue(QStringLiteral("SettingSerialPort"), QStringLiteral("None"));
            ini.setValue(QStringLiteral("SettingUseTcp"), 1);
            ini.setValue(QStringLiteral("SettingTcpIpAddress"), QStringLiteral("127.000.000.001"));
            ini.setValue(QStringLiteral("SettingTcpIpPort"), port.toInt());
        }
        QProcess program;
        program.setWorkingDirectory(dir.path());
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(QStringLiteral(QUILLMERE_BIN_DIR "/app/quillmere"), QStringList());
        QVERIFY(program.waitForStarted(10000));
        QString output;
        QElapsedTimer waited;
        waited.start();
        while (!output.contains(QStringLiteral("storm warning shown")) && waited.elapsed() < 90000
               && program.state() == QProcess::Running) {
            program.waitForReadyRead(500);
            output += QString::fromLocal8Bit(program.readAll());
        }
        ::kill(pid_t(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(30000));
        output += QString::fromLocal8Bit(program.readAll());
        sim.kill();
        sim.waitForFinished(5000);

        QCOMPARE(program.exitCode(), 0);
        QVERIFY2(output.contains(QStringLiteral("qml: storm warning shown: Storm warning since ")), qPrintable(output));
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("after"));
        db.setDatabaseName(dir.filePath(QStringLiteral("barograph.db")));
        QVERIFY(db.open());
        QSqlQuery row(QStringLiteral("SELECT KIND, CHANGE3H, PRESSURE, ACK FROM ALARMS"), db);
        QVERIFY(row.next());
        QCOMPARE(row.value(0).toString(), QStringLiteral("fall"));
        QVERIFY2(row.value(1).toDouble() <= -4.5, qPrintable(row.value(1).toString()));
        QVERIFY(row.value(2).toDouble() < 1008.0 && row.value(2).toDouble() > 980.0);
        QCOMPARE(row.value(3).toInt(), 0);
        QVERIFY(!row.next());
    }
};

QTEST_MAIN(TestStormWarning)
#include "tst_stormwarning.moc"
