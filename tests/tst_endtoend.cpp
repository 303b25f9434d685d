// The whole road of a sample in the real program: nmeasim serves a boat's
// NMEA over TCP on loopback, the worker reads it, the sample cycle records it
// into "barograph.db", and the screen reads the chart back; SIGTERM then ends
// the program in order.
#include "testsupport.h"

#include <QProcess>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <csignal>

namespace {

// The recorded pressures of BARO30M, oldest first; rows without a position
// (the simulator sends RMC with every pressure) count as missing.
QList<double> pressures(const QString &path)
{
    QList<double> values;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("inspect"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(QStringLiteral("SELECT PRE FROM BARO30M WHERE LAT <> 0 ORDER BY TIME"), db);
            while (query.next())
                values << query.value(0).toDouble();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("inspect"));
    return values;
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void simulatedBoatOverTcpReachesTheHistory()
    {
        QTemporaryDir dir;
        QProcess sim;
        sim.start(QStringLiteral(QUILLMERE_BIN_DIR "/tools/nmeasim/nmeasim"),
                  {QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("--rate"), QStringLiteral("2")});
        QVERIFY(sim.waitForStarted(10000));
        QString simOutput;
        QRegularExpression portLine(QStringLiteral("tcp: listening on 127.0.0.1 port (\\d+)"));
        QRegularExpressionMatch match;
        QTRY_VERIFY_WITH_TIMEOUT(
            (simOutput += QString::fromLocal8Bit(sim.readAllStandardOutput()), match = portLine.match(simOutput),
             match.hasMatch()),
            10000);

        {
            QSettings ini(dir.filePath(QStringLiteral("barograph.ini")), QSettings::IniFormat);
            ini.setValue(QStringLiteral("SettingSerialPort"), QStringLiteral("None"));
            ini.setValue(QStringLiteral("SettingUseTcp"), 1);
            ini.setValue(QStringLiteral("SettingTcpIpAddress"), QStringLiteral("127.0.0.1"));
            ini.setValue(QStringLiteral("SettingTcpIpPort"), match.captured(1).toInt());
            ini.setValue(QStringLiteral("SettingPosSource"), 2);
        }

        QProcess program;
        program.setWorkingDirectory(dir.path());
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(QStringLiteral(QUILLMERE_BIN_DIR "/app/quillmere"), QStringList());
        QVERIFY(program.waitForStarted(10000));
        QString output;
        // Three samples (2 s each) after the link is up.
        // Not a look at the file before the program has made it: opening it
        // first would leave it without tables.
        QElapsedTimer waited;
        waited.start();
        while (!output.contains(QStringLiteral("dataSource created")) && waited.elapsed() < 30000) {
            program.waitForReadyRead(500);
            output += QString::fromLocal8Bit(program.readAll());
        }
        while (pressures(dir.filePath(QStringLiteral("barograph.db"))).size() < 3 && waited.elapsed() < 30000) {
            program.waitForReadyRead(500);
            output += QString::fromLocal8Bit(program.readAll());
        }
        ::kill(pid_t(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(30000));
        output += QString::fromLocal8Bit(program.readAll());
        sim.kill();
        sim.waitForFinished(5000);

        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY2(output.contains(QStringLiteral("tcp source activated")), qPrintable(output));
        // The screen drew the chart from what was recorded, without a failed query.
        QVERIFY2(!output.contains(QStringLiteral("db query error")), qPrintable(output));
        QVERIFY2(!output.contains(QStringLiteral("db update error")), qPrintable(output));
        QVERIFY2(output.indexOf(QStringLiteral("nmea source deleted: 2")) < output.indexOf(QStringLiteral("backend deleted")),
                 qPrintable(output));
        const QList<double> values = pressures(dir.filePath(QStringLiteral("barograph.db")));
        QVERIFY2(values.size() >= 3, qPrintable(output));
        for (double p : values)
            QVERIFY2(p > 950.0 && p < 1050.0, qPrintable(QString::number(p)));
    }
};

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
