// No lost data: a recorder killed outright (SIGKILL, as at a crash or a
// power cut of the process) leaves a sound database holding every row it
// reported as written. The recorder is this program again, started in child
// mode by an environment variable.
#include "backend.h"
#include "datasource.h"
#include "testsupport.h"

#include <QProcess>
#include <QSqlQuery>
#include <QtTest>
#include <cstdio>

using namespace TestSupport;

namespace {
const char *const ChildDirVar = "QUILLMERE_DURABILITY_CHILD";
const char *const ChildStartVar = "QUILLMERE_DURABILITY_START";

// Records at full speed, one second of the clock per sample, and reports each
// written sample on stdout after recordSample returned.
int runChild(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QDir::setCurrent(qEnvironmentVariable(ChildDirVar));
    qint64 now = qEnvironmentVariable(ChildStartVar).toLongLong();
    new BackEnd(nullptr);
    g_dataSource = new DataSource();
    for (int tick = 768;; tick = tick + 2 > 768 ? 0 : tick + 2) {
        Clock::setWallClock(now * 1000);
        g_backEnd->setPressure(1000.0 + (now % 100) / 10.0, SourceTcp);
        if (g_dataSource->recordSample(tick, 1.0, 2.0, 3.0, 4.0, 1000.0 + (now % 100) / 10.0)) {
            std::printf("written %lld %d\n", static_cast<long long>(now), tick);
            std::fflush(stdout);
        }
        ++now;
    }
}
} // namespace

class TestDurability : public QObject
{
    Q_OBJECT

    TempWorkDir m_dir;

    // The child's report: second → sample clock value.
    static QMap<qint64, int> readReport(const QByteArray &output)
    {
        QMap<qint64, int> written;
        for (const QByteArray &line : output.split('\n')) {
            const QList<QByteArray> f = line.split(' ');
            if (f.size() == 3 && f.at(0) == "written")
                written.insert(f.at(1).toLongLong(), f.at(2).toInt());
        }
        return written;
    }

private slots:
    void initTestCase() { writeSettings(quietSettings()); }

    void killedRecorderLosesNothing_data()
    {
        QTest::addColumn<int>("round");
        QTest::addColumn<int>("rows");
        QTest::newRow("first run") << 0 << 150;
        QTest::newRow("after a kill") << 1 << 97;
        QTest::newRow("again") << 2 << 211;
    }

    void killedRecorderLosesNothing()
    {
        QFETCH(int, round);
        QFETCH(int, rows);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(ChildDirVar, m_dir.path());
        env.insert(ChildStartVar, QString::number(1700000000 + round * 1000));
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(child.waitForStarted());

        QByteArray output;
        while (output.count('\n') < rows) {
            QVERIFY2(child.waitForReadyRead(30000), "the recorder stopped reporting");
            output += child.readAllStandardOutput();
        }
        child.kill(); // SIGKILL, in the middle of whatever it was writing
        QVERIFY(child.waitForFinished(30000));
        output += child.readAllStandardOutput();
        const QMap<qint64, int> written = readReport(output);
        QVERIFY(written.size() >= rows);

        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(m_dir.filePath(QStringLiteral("barograph.db")));
        QVERIFY(db.open());
        {
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("PRAGMA integrity_check")));
            QVERIFY(query.next());
            QCOMPARE(query.value(0).toString(), QStringLiteral("ok"));
            QSet<qint64> stored;
            QVERIFY(query.exec(QStringLiteral("SELECT TIME FROM BARO30M")));
            while (query.next())
                stored.insert(query.value(0).toLongLong());
            QSet<qint64> longest;
            QVERIFY(query.exec(QStringLiteral("SELECT TIME FROM BAR16D")));
            while (query.next())
                longest.insert(query.value(0).toLongLong());
            // Every reported sample wrote BARO30M; those at 768 also BAR16D.
            for (auto it = written.constBegin(); it != written.constEnd(); ++it) {
                QVERIFY2(stored.contains(it.key()), qPrintable(QString::number(it.key())));
                if (it.value() == 768)
                    QVERIFY(longest.contains(it.key()));
            }
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
    }
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(ChildDirVar))
        return runChild(argc, argv);
    QCoreApplication app(argc, argv);
    TestDurability test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_durability.moc"
