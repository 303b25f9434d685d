// scripts/demo as a newcomer starts it: live, in a folder of its own, nothing left behind.
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

class TestDemo : public QObject
{
    Q_OBJECT

private slots:
    void liveBarographInATemporaryFolder()
    {
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath("tmp") && QDir(root.path()).mkpath("user"));
        QFile userSettings(root.filePath("user/barograph.ini"));
        QVERIFY(userSettings.open(QIODevice::WriteOnly) && userSettings.write("[General]\nunitPre=3\n") > 0);
        userSettings.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUILLMERE_BUILD", QUILLMERE_BIN_DIR);
        env.insert("TMPDIR", root.filePath("tmp"));
        env.insert("QUILLMERE_HOME", root.filePath("user"));
        QProcess demo;
        demo.setProcessEnvironment(env);
        demo.start("bash", {QUILLMERE_SOURCE_DIR "/scripts/demo"});
        const QRegularExpression started("nmeasim \\(pid (\\d+)\\).*\\nQuillmere \\(pid (\\d+)\\) runs in (\\S+/tmp/\\S+);");
        QString output; // what the demonstration says it started
        QRegularExpressionMatch match;
        QTRY_VERIFY_WITH_TIMEOUT((output += demo.readAll(), match = started.match(output)).hasMatch(), 300000);
        const QStringList query{"-readonly", match.captured(3) + "/barograph.db",
                                QString("SELECT COUNT(*) FROM BARO30M WHERE LAT <> 0 AND TIME >= %1").arg(QDateTime::currentSecsSinceEpoch())};
        QProcess sqlite; // rows recorded from now on, beside the history the demonstration starts with
        QTRY_VERIFY_WITH_TIMEOUT((sqlite.start("sqlite3", query), sqlite.waitForFinished(), sqlite.readAll().toInt() > 0), 30000);
        // What closing the window does: the program leaves its event loop.
        QCOMPARE(::kill(match.captured(2).toInt(), SIGTERM), 0);
        QVERIFY(demo.waitForFinished(30000));
        QVERIFY(::kill(match.captured(1).toInt(), 0) != 0);
        QVERIFY(!QFile::exists(match.captured(3)));
        QCOMPARE(QDir(root.filePath("user")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"barograph.ini"});
        QVERIFY(userSettings.open(QIODevice::ReadOnly) && userSettings.readAll() == "[General]\nunitPre=3\n");
    }
};

QTEST_GUILESS_MAIN(TestDemo)
#include "tst_demo.moc"
