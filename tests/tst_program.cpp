// The real program as a user meets it, in an empty folder, with LANG English
// or French: the first-run settings and nine empty tables; and the whole road
// of a sample, nmeasim serving a boat over TCP on loopback, recorded with its
// position; then SIGTERM and the orderly shutdown.
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
        QTest::addColumn<int>("language");
        QTest::newRow("English system, fed by nmeasim") << "C" << 0;
        QTest::newRow("French system") << "fr_FR.UTF-8" << 1;
    }
    void run()
    {
        QFETCH(QString, locale);
        QFETCH(int, language);
        QTemporaryDir dir;
        QProcess simulator;
        if (language == 0) {
            const QString port = startSimulator(simulator, {"--tcp", "0", "--rate", "2"}, "tcp: listening on 127.0.0.1 port ");
            QSettings ini(dir.filePath("barograph.ini"), QSettings::IniFormat);
            const QVariantMap settings = settingsFrom("SettingSerialPort=None;SettingUseTcp=1;SettingTcpIpAddress=127.0.0.1;"
                                                      "SettingPosSource=2;SettingTcpIpPort=" + port);
            for (auto it = settings.cbegin(); it != settings.cend(); ++it)
                ini.setValue(it.key(), it.value());
        }
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "inspect");
        db.setDatabaseName(dir.filePath("barograph.db"));
        const auto query = [&db](const QString &sql) { // not before the program made the file: it would have no tables
            QStringList values;
            for (QSqlQuery q(sql, db); q.next();)
                values << q.value(0).toString();
            return values;
        };
        QProcess program;
        program.setWorkingDirectory(dir.path());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LANG", locale), env.insert("LC_ALL", locale), env.insert("LANGUAGE", "");
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(QUILLMERE_BIN_DIR "/app/quillmere", QStringList());
        QString log;
        const QString positioned = "SELECT PRE FROM BARO30M WHERE LAT <> 0";
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 30000 && !(log.contains("main page loaded") && db.open() && (language || query(positioned).size() >= 2))) {
            program.waitForReadyRead(200);
            log += program.readAll();
        }
        ::kill(pid_t(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(30000));
        log += program.readAll();
        simulator.kill();
        QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0, qPrintable(log));
        // The store goes first; the back end stops its worker before it asks the window for its geometry.
        const QStringList order = {"BackEnd created", "dataSource created", "main page loaded", "datasource deleted",
                                   "saving size", "backend deleted"};
        for (int i = 1; i < order.size(); ++i)
            QVERIFY2(log.indexOf(order.at(i - 1)) >= 0 && log.indexOf(order.at(i - 1)) < log.indexOf(order.at(i)), qPrintable(log));
        QSettings ini(dir.filePath("barograph.ini"), QSettings::IniFormat);
        QCOMPARE(ini.value("language").toInt(), language);
        QCOMPARE(ini.value("formatMMDD").toInt(), language);
        QCOMPARE(ini.value("version").toString(), QString("3.0.0"));
        QVERIFY(ini.value("windowWidth").toInt() > 0);
        QCOMPARE(query("SELECT name FROM sqlite_master ORDER BY name"),
                 QStringList({"BAR12H", "BAR16D", "BARO1D", "BARO2D", "BARO30M", "BARO3H", "BARO4D", "BARO6H", "BARO8D"}));
        const QStringList pressures = query(positioned);
        QCOMPARE(pressures.size() >= 2, language == 0);
        for (const QString &p : pressures)
            QVERIFY2(p.toDouble() > 950.0 && p.toDouble() < 1050.0, qPrintable(p));
        if (language == 0) // the worker, stopped with the back end
            QVERIFY2(log.indexOf("nmea source deleted: 2") > log.indexOf("datasource deleted")
                         && log.indexOf("nmea source deleted: 2") < log.indexOf("saving size"), qPrintable(log));
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase("inspect");
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
