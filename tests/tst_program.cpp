// The real program in an empty folder, in English or French: the first-run settings and tables; fed by nmeasim over
// TCP on loopback, which comes up after the program, or as an NMEA 2000 gateway over TCP and UDP, samples recorded with
// their position; SIGTERM, the orderly shutdown also while a lookup hangs; a second signal on a stalled disk.
// Installed: its launcher, its catalogues, one to a folder.
#include "testsupport.h"

#include <QTcpServer>

#include <csignal>

using namespace TestSupport;

class TestProgram : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_program;
    QString m_log;
    // The program's delays at half their length (the sample clock every second, a reconnection every 5 s). Through
    // an installed launcher the folder is ~/Quillmere, home being the test's folder.
    void launch(const QString &settings, const QString &locale = "C", const QString &launcher = QString())
    {
        const QString folder = launcher.isEmpty() ? m_dir->path() : m_dir->filePath("Quillmere");
        QSettings ini(folder + "/barograph.ini", QSettings::IniFormat);
        for (const QString &pair : settings.split(';', Qt::SkipEmptyParts))
            ini.setValue(pair.section('=', 0, 0), pair.section('=', 1));
        ini.sync();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LANG", locale), env.insert("LC_ALL", locale), env.insert("LANGUAGE", "");
        env.insert("QUILLMERE_INTERVAL_SCALE", "0.5"), env.insert("HOME", m_dir->path()), env.remove("QUILLMERE_HOME");
        env.insert("LD_PRELOAD", QUILLMERE_LOOKUP_STUB); // lookups stay on the machine, a lookup or the disk may hang
        m_program->setProcessEnvironment(env);
        m_program->setWorkingDirectory(m_dir->path());
        m_program->setProcessChannelMode(QProcess::MergedChannels);
        m_program->start(launcher.isEmpty() ? QUILLMERE_BIN_DIR "/app/quillmere" : launcher, QStringList());
    }
    bool waitFor(const std::function<bool()> &done)
    {
        QElapsedTimer waited;
        for (waited.start(); waited.elapsed() < 30000 && !done();)
            m_program->waitForReadyRead(200), m_log += m_program->readAll();
        return done();
    }
    bool waitFor(const QString &text) { return waitFor([&] { return m_log.contains(text); }); }

private slots:
    void init() { m_dir.reset(new QTemporaryDir), m_program.reset(new QProcess), m_log.clear(); }
    void cleanup() { m_program->kill(), m_program->waitForFinished(); }

    void run_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("link"); // and the source that winds down last
        QTest::newRow("English system, fed by nmeasim") << "C" << "tcp 2";
        QTest::newRow("French system") << "fr_FR.UTF-8" << "";
        // The fixes of NMEA 2000 are taken whatever the position source says (internal by default).
        QTest::newRow("NMEA 2000 gateway over TCP") << "C" << "n2k-tcp 4";
        QTest::newRow("NMEA 2000 gateway over UDP") << "C" << "n2k-udp 4";
    }
    void run()
    {
        QFETCH(QString, locale);
        QFETCH(QString, link);
        const bool fed = !link.isEmpty(), tcp = link.contains("tcp");
        QProcess simulator;
        QTcpServer probe; // a free port for nmeasim
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const QString port = QString::number(tcp ? probe.serverPort() : freeUdpPort());
        probe.close();
        const QString gateway = "SettingSerialPort=None;SettingUseN2k=1;SettingN2kPort=" + port + ";SettingN2kMode=";
        launch(link.startsWith("tcp") ? "SettingSerialPort=None;SettingUseTcp=1;SettingTcpIpAddress=127.0.0.1;"
                                        "SettingPosSource=2;SettingTcpIpPort=" + port
               : fed                  ? gateway + (tcp ? "1" : "2") : "", locale);
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", QTest::currentDataTag()); // one for each run
        db.setDatabaseName(m_dir->filePath("barograph.db"));
        const auto query = [&db](const QString &sql) {
            QStringList values;
            for (QSqlQuery q(sql, db); q.next();)
                values << q.value(0).toString();
            return values;
        };
        // The multiplexer or gateway comes up 5 s (scaled) after the program failed to reach it: the first retry finds
        // it.
        if (tcp) {
            QVERIFY2(waitFor("failed to connect to TCP host"), qPrintable(m_log));
            QTest::qWait(2500);
        }
        const QStringList n2k = link.startsWith("n2k") ? QStringList{"--n2k"} : QStringList();
        if (fed)
            QVERIFY(!startSimulator(simulator, n2k + QStringList{tcp ? "--tcp" : "--udp", port, "--rate", "2"},
                                    tcp ? "tcp: listening" : "udp: sending").isNull());
        const QString positioned = "SELECT PRE FROM BARO30M WHERE LAT <> 0";
        // Not a look at the file before the program made it: that would leave it without tables.
        waitFor([&] { return m_log.contains("main page loaded") && db.open() && (!fed || query(positioned).size() >= 2); });
        QVERIFY(signalChild(*m_program, SIGTERM));
        QVERIFY(m_program->waitForFinished(30000));
        m_log += m_program->readAll();
        QVERIFY2(m_program->exitStatus() == QProcess::NormalExit && m_program->exitCode() == 0, qPrintable(m_log));
        // The store goes first; the back end stops its worker, then has the window store its geometry.
        const QStringList order = {"BackEnd created", "dataSource created", "main page loaded", "datasource deleted",
                                   fed ? "nmea source deleted: " + link.section(' ', 1) : "saving size", "saving size",
                                   "backend deleted"};
        for (int i = 1; i < order.size(); ++i)
            QVERIFY2(m_log.contains(order[i - 1]) && m_log.indexOf(order[i - 1]) <= m_log.indexOf(order[i]), qPrintable(m_log));
        QVERIFY2(!tcp || (m_log.count("failed to connect to TCP host") == 1 && !m_log.contains("trying to reconnect")),
                 qPrintable(m_log));
        QSettings ini(m_dir->filePath("barograph.ini"), QSettings::IniFormat);
        QCOMPARE(ini.value("language").toInt() + ini.value("formatMMDD").toInt(), fed ? 0 : 2);
        QVERIFY(ini.value("version") == "3.0.0" && ini.value("windowWidth").toInt() > 0);
        QCOMPARE(query("SELECT group_concat(name) FROM (SELECT name FROM sqlite_master WHERE name NOT LIKE '%ALARMS%' AND name <> 'STEPS' ORDER BY name)"),
                 QStringList{"ARCHIVE1H,BAR12H,BAR16D,BARO1D,BARO2D,BARO30M,BARO3H,BARO4D,BARO6H,BARO8D"});
        const QStringList pressures = query(positioned);
        QCOMPARE(pressures.size() >= 2, fed);
        for (const QString &p : pressures)
            QVERIFY2(p.toDouble() > 950.0 && p.toDouble() < 1050.0, qPrintable(p));
    }

    void hangs_data()
    {
        QTest::addColumn<QString>("hang");
        QTest::newRow("a host name lookup that never answers: SIGTERM ends the run in order") << "lookup.hangs";
        QTest::newRow("a stalled disk: a second signal ends the program at once") << "disk";
    }
    void hangs()
    {
        QFETCH(QString, hang);
        const bool disk = hang == "disk";
        launch("SettingSerialPort=None;SettingUseTcp=1;SettingPosSource=2;SettingTcpIpAddress=" + hang);
        QVERIFY2(waitFor([&] { return m_log.contains("main page loaded") && (disk || m_log.contains("lookup hangs")); }),
                 qPrintable(m_log));
        QVERIFY(!disk || QFile(m_dir->filePath("stall-disk")).open(QIODevice::WriteOnly));
        // Two of a kind sent at once may merge into one; two kinds never do.
        QVERIFY(signalChild(*m_program, disk ? SIGINT : SIGTERM));
        if (disk)
            QVERIFY(signalChild(*m_program, SIGTERM));
        QVERIFY(m_program->waitForFinished(30000));
        m_log += m_program->readAll();
        const int status = m_program->exitCode();
        QVERIFY2(disk ? status == 128 + SIGINT || status == 128 + SIGTERM : status == 0, qPrintable(m_log));
        QVERIFY2(m_log.count("second termination signal") == int(disk) && m_log.contains("backend deleted") != disk,
                 qPrintable(m_log));
        QCOMPARE(QSettings(m_dir->filePath("barograph.ini"), QSettings::IniFormat).value("windowWidth").toInt() > 0, !disk);
    }

    // Installed into a fresh prefix, started in a fresh home: the launcher makes ~/Quillmere. A crash leaves its lock,
    // which the next start takes over, in French from the catalogues installed with it; another start there hands
    // over to the one running and quits before any database.
    void installedTree()
    {
        QTemporaryDir prefix;
        QCOMPARE(QProcess::execute("cmake", {"--install", QUILLMERE_BIN_DIR, "--prefix", prefix.path()}), 0);
        const QString launcher = prefix.filePath("bin/quillmere"), data = m_dir->filePath("Quillmere/");
        QCOMPARE(QProcess::execute("env", {"HOME=" + m_dir->path(), launcher, "--help"}), 0); // before any folder
        QVERIFY(!QFile::exists(data));
        launch("", "C", launcher);
        QVERIFY2(waitFor("main page loaded") && QFile::exists(data + "barograph.ini"), qPrintable(m_log));
        m_program->kill(), m_program->waitForFinished(), m_log.clear();
        QVERIFY(QFile::exists(data + "barograph.lock"));
        launch("language=1", "C", launcher);
        QVERIFY2(waitFor("main page loaded") && m_log.contains("translator qt empty ? false")
                     && m_log.contains("translator quillmere empty ? false"), qPrintable(m_log));
        QCOMPARE(QDir(data).entryList({"*.qm"}), QStringList());
        QProcess second;
        second.setProcessEnvironment(m_program->processEnvironment());
        second.start(launcher, QStringList());
        QVERIFY(second.waitForFinished(30000));
        const QString said = second.readAllStandardError();
        QVERIFY2(second.exitCode() == 0 && said.contains("Quillmere already runs in " + QDir(data).canonicalPath())
                     && !said.contains("BackEnd starting"), qPrintable(said));
        QVERIFY2(waitFor("another start in this data folder"), qPrintable(m_log));
        QVERIFY(signalChild(*m_program, SIGTERM));
        QVERIFY(m_program->waitForFinished(30000));
        QCOMPARE(m_program->exitCode(), 0);
        QVERIFY(!QFile::exists(data + "barograph.lock"));
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
