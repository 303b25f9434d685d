// The real program in an empty folder, in English or French: the first-run settings and tables; fed by nmeasim over
// TCP on loopback, samples recorded with their position; SIGTERM, and the orderly shutdown.
#include "testsupport.h"

#include <csignal>

using namespace TestSupport;

class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void run_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::newRow("English system, fed by nmeasim") << "C";
        QTest::newRow("French system") << "fr_FR.UTF-8";
    }
    void run()
    {
        QFETCH(QString, locale);
        const bool fed = locale == "C";
        QTemporaryDir dir;
        QProcess simulator, program;
        QSettings ini(dir.filePath("barograph.ini"), QSettings::IniFormat);
        if (fed) {
            const QVariantMap settings = settingsFrom(
                "SettingSerialPort=None;SettingUseTcp=1;SettingTcpIpAddress=127.0.0.1;SettingPosSource=2;"
                "SettingTcpIpPort="
                + startSimulator(simulator, {"--tcp", "0", "--rate", "2"}, "tcp: listening on 127.0.0.1 port "));
            for (auto it = settings.cbegin(); it != settings.cend(); ++it)
                ini.setValue(it.key(), it.value());
            ini.sync();
        }
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", locale); // a connection of its own for each run
        db.setDatabaseName(dir.filePath("barograph.db"));
        const auto query = [&db](const QString &sql) {
            QStringList values;
            for (QSqlQuery q(sql, db); q.next();)
                values << q.value(0).toString();
            return values;
        };
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LANG", locale), env.insert("LC_ALL", locale), env.insert("LANGUAGE", "");
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(dir.path());
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(QUILLMERE_BIN_DIR "/app/quillmere", QStringList());
        QString log;
        const QString positioned = "SELECT PRE FROM BARO30M WHERE LAT <> 0";
        QElapsedTimer waited;
        // Not a look at the file before the program made it: that would leave it without tables.
        for (waited.start(); waited.elapsed() < 30000 && !(log.contains("main page loaded") && db.open()
                                                          && (!fed || query(positioned).size() >= 2));) {
            program.waitForReadyRead(200);
            log += program.readAll();
        }
        ::kill(pid_t(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(30000));
        log += program.readAll();
        QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0, qPrintable(log));
        // The store goes first; the back end stops its worker, then has the window store its geometry.
        const QStringList order = {"BackEnd created", "dataSource created", "main page loaded", "datasource deleted",
                                   fed ? "nmea source deleted: 2" : "saving size", "saving size", "backend deleted"};
        for (int i = 1; i < order.size(); ++i)
            QVERIFY2(log.contains(order[i - 1]) && log.indexOf(order[i - 1]) <= log.indexOf(order[i]), qPrintable(log));
        ini.sync();
        QCOMPARE(ini.value("language").toInt() + ini.value("formatMMDD").toInt(), fed ? 0 : 2);
        QVERIFY(ini.value("version") == "3.0.0" && ini.value("windowWidth").toInt() > 0);
        QCOMPARE(query("SELECT group_concat(name) FROM (SELECT name FROM sqlite_master WHERE name NOT LIKE '%ALARMS%' ORDER BY name)"),
                 QStringList{"BAR12H,BAR16D,BARO1D,BARO2D,BARO30M,BARO3H,BARO4D,BARO6H,BARO8D"});
        const QStringList pressures = query(positioned);
        QCOMPARE(pressures.size() >= 2, fed);
        for (const QString &p : pressures)
            QVERIFY2(p.toDouble() > 950.0 && p.toDouble() < 1050.0, qPrintable(p));
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
