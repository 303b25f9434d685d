// The real program as a user meets it: first run, second run, a damaged
// database, and an orderly shutdown on SIGTERM.
#include "testsupport.h"

#include <QProcess>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <csignal>

using namespace TestSupport;

namespace {

const QString ProgramPath = QStringLiteral(QUILLMERE_BIN_DIR "/app/quillmere");

// Runs the program in dir until it has shown its window, then ends it with
// SIGTERM; returns everything it wrote to its log.
QString runProgram(const QString &dir, const QString &locale = QStringLiteral("C"),
                   const QString &waitFor = QStringLiteral("main page loaded"))
{
    QProcess process;
    process.setWorkingDirectory(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LANG"), locale);
    env.insert(QStringLiteral("LC_ALL"), locale);
    env.insert(QStringLiteral("LANGUAGE"), QString());
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(ProgramPath, QStringList());
    if (!process.waitForStarted(10000))
        return QStringLiteral("did not start");
    QString output;
    QElapsedTimer waited;
    waited.start();
    while (!output.contains(waitFor) && waited.elapsed() < 30000 && process.state() == QProcess::Running) {
        process.waitForReadyRead(200);
        output += QString::fromLocal8Bit(process.readAll());
    }
    ::kill(pid_t(process.processId()), SIGTERM);
    process.waitForFinished(30000);
    output += QString::fromLocal8Bit(process.readAll());
    if (process.exitStatus() != QProcess::NormalExit)
        output += QStringLiteral("\n<crashed>");
    output += QStringLiteral("\n<exit %1>").arg(process.exitCode());
    return output;
}

QStringList tablesOf(const QString &path)
{
    QStringList names;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("inspect"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name <> 'ALARMS' ORDER BY name"), db);
            while (query.next())
                names << query.value(0).toString();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("inspect"));
    return names;
}

int rowCount(const QString &path, const QString &table)
{
    int n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("count"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table), db);
            if (query.next())
                n = query.value(0).toInt();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("count"));
    return n;
}

const QStringList AllTables = {"BAR12H", "BAR16D", "BARO1D", "BARO2D", "BARO30M",
                               "BARO3H", "BARO4D", "BARO6H", "BARO8D"};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void firstRun_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("formatMMDD");
        QTest::newRow("English system") << "C" << 0 << 0;
        QTest::newRow("French system") << "fr_FR.UTF-8" << 1 << 1;
    }

    void firstRun()
    {
        QFETCH(QString, locale);
        QFETCH(int, language);
        QFETCH(int, formatMMDD);
        QTemporaryDir dir;
        const QString output = runProgram(dir.path(), locale);
        QVERIFY2(output.contains(QStringLiteral("<exit 0>")), qPrintable(output));
        QVERIFY2(!output.contains(QStringLiteral("<crashed>")), qPrintable(output));

        QSettings ini(dir.filePath(QStringLiteral("barograph.ini")), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("language")).toInt(), language);
        QCOMPARE(ini.value(QStringLiteral("formatMMDD")).toInt(), formatMMDD);
        QCOMPARE(ini.value(QStringLiteral("version")).toString(), QStringLiteral("3.0.0"));
        QCOMPARE(tablesOf(dir.filePath(QStringLiteral("barograph.db"))), AllTables);
        for (const QString &table : AllTables)
            QCOMPARE(rowCount(dir.filePath(QStringLiteral("barograph.db")), table), 0);
    }

    void shutdownOnSigtermIsOrderly()
    {
        QTemporaryDir dir;
        const QString output = runProgram(dir.path());
        QVERIFY2(output.contains(QStringLiteral("<exit 0>")), qPrintable(output));
        const int created = output.indexOf(QStringLiteral("BackEnd created"));
        const int dataSourceCreated = output.indexOf(QStringLiteral("dataSource created"));
        const int saving = output.indexOf(QStringLiteral("saving size"));
        const int dataSourceDeleted = output.indexOf(QStringLiteral("datasource deleted"));
        const int backendDeleted = output.indexOf(QStringLiteral("backend deleted"));
        QVERIFY2(created >= 0 && created < dataSourceCreated, qPrintable(output));
        QVERIFY2(dataSourceDeleted > dataSourceCreated, qPrintable(output));
        QVERIFY2(saving > dataSourceDeleted && backendDeleted > saving, qPrintable(output));

        // The window's geometry went to the file before it was released.
        QSettings ini(dir.filePath(QStringLiteral("barograph.ini")), QSettings::IniFormat);
        QVERIFY(ini.value(QStringLiteral("windowWidth")).toInt() > 0);
        QVERIFY(ini.value(QStringLiteral("windowHeight")).toInt() > 0);
        QVERIFY(ini.contains(QStringLiteral("windowX")));
        QVERIFY(ini.contains(QStringLiteral("windowY")));
    }

    void secondRunKeepsSettingsAndHistory()
    {
        QTemporaryDir dir;
        QVERIFY(runProgram(dir.path()).contains(QStringLiteral("<exit 0>")));
        const QString db = dir.filePath(QStringLiteral("barograph.db"));
        {
            QSqlDatabase conn = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
            conn.setDatabaseName(db);
            QVERIFY(conn.open());
            QSqlQuery query(conn);
            QVERIFY(query.exec(QStringLiteral("INSERT INTO BARO3H VALUES (1000, 1, 2, 3, 4, 1013.25, 0, 0)")));
            conn.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("fill"));
        {
            QSettings ini(dir.filePath(QStringLiteral("barograph.ini")), QSettings::IniFormat);
            ini.setValue(QStringLiteral("language"), 5);     // taken as French, not rewritten
            ini.setValue(QStringLiteral("formatMMDD"), 0);   // never changed by start-up
            ini.setValue(QStringLiteral("version"), QStringLiteral("1.0"));
        }
        const QString output = runProgram(dir.path());
        QVERIFY2(output.contains(QStringLiteral("<exit 0>")), qPrintable(output));
        // French was selected: Qt's French catalogue was asked for.
        QVERIFY2(output.contains(QStringLiteral("translator qtbase empty ?")), qPrintable(output));
        QSettings ini(dir.filePath(QStringLiteral("barograph.ini")), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("language")).toInt(), 5);
        QCOMPARE(ini.value(QStringLiteral("formatMMDD")).toInt(), 0);
        QCOMPARE(ini.value(QStringLiteral("version")).toString(), QStringLiteral("3.0.0"));
        QCOMPARE(rowCount(db, QStringLiteral("BARO3H")), 1);
    }

    void zeroByteDatabaseFailsWithoutCrash()
    {
        QTemporaryDir dir;
        QFile empty(dir.filePath(QStringLiteral("barograph.db")));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        // The screen asks for its chart at every sample; on a database without
        // tables that statement fails and says so.
        const QString output = runProgram(dir.path(), QStringLiteral("C"), QStringLiteral("db query error"));
        QVERIFY2(output.contains(QStringLiteral("db query error")), qPrintable(output));
        QVERIFY2(output.contains(QStringLiteral("<exit 0>")), qPrintable(output));
        QVERIFY(!output.contains(QStringLiteral("<crashed>")));
        QCOMPARE(tablesOf(dir.filePath(QStringLiteral("barograph.db"))), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
