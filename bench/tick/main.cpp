// The cost of one sample tick with all nine tables full, of building the
// chart of a full table and of one point query, each beside the same SQL run
// by the sqlite3 shell on a copy of the same file (the floor that the
// storage itself sets). Prints `name: value unit` lines.
// The tick feeds the storm warning after recording, as the sample cycle
// does; `--storm-warning=off` leaves it out, to see what it costs.
// Then hours of ticks in the sample cycle's rhythm with the hourly archive on
// and off in turn, the one beside the other, and what an hour's close adds.
#include "backend.h"
#include "clock.h"
#include "datasource.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

const qint64 T0 = 1700000000;
const QStringList &Tables = DataSource::tableNames;
const QList<int> &Intervals = DataSource::tableIntervals;
const int TypicalTicks = 200;
const int FullTicks = 40;
const int ChartBuilds = 200;
const int PointQueries = 2000;
const int ReadRounds = 5;
const int TickChunks = 4;
const int ArchiveHours = 6; // alternately on and off
const int TicksPerHour = 1800;

void print(const char *name, double value, const char *unit)
{
    std::printf("%s: %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

// Each table as full as its span allows, newest row at T0.
void fillTables()
{
    QSqlDatabase db = QSqlDatabase::database(QStringLiteral("DB_BAROGRAPH"));
    QSqlQuery query(db);
    query.exec(QStringLiteral("BEGIN"));
    for (int i = 0; i < Tables.size(); ++i) {
        const int rows = i == 0 ? 900 : 1800;
        query.prepare(QStringLiteral("INSERT INTO %1 VALUES (?, -4.5, 48.25, 270.0, 6.5, ?, 12.0, 0.5)")
                          .arg(Tables.at(i)));
        for (int k = 0; k < rows; ++k) {
            query.addBindValue(T0 - qint64(k) * Intervals.at(i));
            query.addBindValue(1010.0 + 3.0 * std::sin(k / 50.0));
            query.exec();
        }
    }
    query.exec(QStringLiteral("COMMIT"));
}

QString insertSql(const QString &table, qint64 now)
{
    return QStringLiteral("INSERT INTO %1 (TIME, LON, LAT, COG, SOG, PRE, ELE, OFS) VALUES "
                          "(%2, -4.5, 48.25, 270.0, 6.5, 1013.25, 12.0, 0.5);\n")
        .arg(table)
        .arg(now);
}

// The statements of one tick at the given clock value, as recordSample runs
// them, and the storm warning's lookup three hours back.
QString tickSql(int tick, qint64 now, bool stormWarning)
{
    QString sql;
    for (int i = 0; i < Tables.size(); ++i) {
        if (tick < Intervals.at(i) || tick % Intervals.at(i) != 0)
            continue;
        const qint64 span = qint64(i == 0 ? 1 : Intervals.at(i)) * 1800;
        sql += QStringLiteral("DELETE FROM %1 WHERE TIME < %2;\n").arg(Tables.at(i)).arg(now - span);
        sql += insertSql(Tables.at(i), now);
    }
    sql += QStringLiteral("SELECT * from BARO3H ORDER BY ABS(%1 - TIME) LIMIT 1;\n").arg(now - 3600);
    if (stormWarning)
        sql += QStringLiteral("SELECT PRE FROM BARO3H WHERE TIME BETWEEN %1 AND %2 ORDER BY ABS(%3 - TIME), TIME LIMIT 1;\n")
                   .arg(now - 10830).arg(now - 10770).arg(now - 10800);
    return sql;
}

QString pointSql(qint64 s)
{
    return QStringLiteral("SELECT * from BARO3H WHERE TIME = %1;\n"
                          "SELECT * from BARO3H WHERE TIME > %1 ORDER BY TIME LIMIT 1;\n"
                          "SELECT * from BARO3H WHERE TIME < %1 ORDER BY TIME DESC LIMIT 1;\n")
        .arg(s);
}

double runShell(const QString &file, const QString &script)
{
    QProcess shell;
    shell.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    shell.start(QStringLiteral("sqlite3"), {QStringLiteral("-batch"), file});
    shell.write(script.toUtf8());
    shell.closeWriteChannel();
    shell.waitForFinished(-1);
    return timer.nsecsElapsed() / 1e6;
}

// Milliseconds per repetition of the script's statements, net of the shell's
// start; the best of `rounds` runs (only read-only scripts can run twice).
double shellFloor(const QString &file, const QString &script, int repetitions, int rounds = 1)
{
    double start = 1e9;
    for (int i = 0; i < 5; ++i)
        start = std::min(start, runShell(file, QStringLiteral("SELECT 1;\n")));
    double best = 1e9;
    for (int i = 0; i < rounds; ++i)
        best = std::min(best, runShell(file, script));
    return (best - start) / repetitions;
}

// Milliseconds per step; the best of `rounds` rounds, as for the shell.
double timeEach(int repetitions, const std::function<void(int)> &step, int rounds = 1)
{
    double best = 1e9;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < repetitions; ++i)
            step(i);
        best = std::min(best, timer.nsecsElapsed() / 1e6 / repetitions);
    }
    return best;
}

void compare(const char *name, double ours, double floor, const char *unit, double scale)
{
    print(name, ours * scale, unit);
    print(QByteArray(name).append("_sqlite3").constData(), floor * scale, unit);
    print(QByteArray(name).append("_ratio").constData(), ours / floor, "x");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool stormWarning = !app.arguments().contains(QStringLiteral("--storm-warning=off"));
    std::printf("storm_warning: %d %s\n", stormWarning ? 1 : 0, stormWarning ? "on" : "off");
    // On the disk the program uses, not in memory: the cost of a tick is the
    // cost of committing it.
    QTemporaryDir dir(QDir::currentPath() + QStringLiteral("/bench-tick-XXXXXX"));
    QDir::setCurrent(dir.path());
    {
        QSettings ini(QStringLiteral("./barograph.ini"), QSettings::IniFormat);
        for (const char *key : {"SettingUseSerial", "SettingUseTcp", "SettingUseUdp", "SettingUseUdpOut", "SettingUsePos"})
            ini.setValue(QLatin1String(key), 0);
        ini.setValue(QStringLiteral("SettingSerialPort"), QStringLiteral("None"));
        ini.setValue(QStringLiteral("elevation"), 12.0);
        ini.setValue(QStringLiteral("offset"), 0.5);
    }
    Clock::setWallClock(T0 * 1000);
    BackEnd backend(nullptr);
    g_dataSource = new DataSource();
    backend.setPressure(1013.25, SourceTcp);
    fillTables();
    const QString shellFile = dir.filePath(QStringLiteral("shell.db"));
    QFile::copy(dir.filePath(QStringLiteral("barograph.db")), shellFile);

    // The same ticks, at the same instants, on both files, in alternating
    // chunks so that both sides meet the same disk.
    qint64 now = T0;
    auto ticks = [&](int tick, int count, double *floor) {
        double ours = 0.0;
        *floor = 0.0;
        for (int chunk = 0; chunk < TickChunks; ++chunk) {
            QString script;
            ours += timeEach(count / TickChunks, [&](int) {
                now += 2;
                Clock::setWallClock(now * 1000);
                script += tickSql(tick, now, stormWarning);
                if (stormWarning)
                    backend.stormWarning()->tick();
                if (g_dataSource->recordSample(tick, -4.5, 48.25, 270.0, 6.5, 1013.25) && stormWarning)
                    backend.stormWarning()->update(1013.25, 1014.99);
            });
            *floor += shellFloor(shellFile, script, count / TickChunks);
        }
        *floor /= TickChunks;
        return ours / TickChunks;
    };
    double typicalFloor = 0.0;
    const double typical = ticks(2, TypicalTicks, &typicalFloor);
    double fullFloor = 0.0;
    const double full = ticks(768, FullTicks, &fullFloor);
    const double chart = timeEach(ChartBuilds, [&](int) { g_dataSource->updateChart(1); }, ReadRounds);
    const double point = timeEach(PointQueries, [&](int i) {
        // Between two rows, so that all three lookups run and interpolate.
        g_dataSource->getValueAt(-(i % 1700 * 6 + 3) / 3600.0, 1, now);
    }, ReadRounds);

    QString chartScript;
    for (int i = 0; i < ChartBuilds; ++i)
        chartScript += QStringLiteral("SELECT * FROM BARO3H ORDER BY TIME DESC;\n");
    QString pointScript;
    for (int i = 0; i < PointQueries; ++i)
        pointScript += pointSql(now - (i % 1700 * 6 + 3));

    // What the storm warning adds to a tick, on its own: the tick's share
    // above is lost in the noise of committing to the disk.
    if (stormWarning) {
        const double warning = timeEach(PointQueries, [&](int) {
            backend.stormWarning()->tick();
            backend.stormWarning()->update(1013.25, 1014.99);
        }, ReadRounds);
        print("storm_warning_update", warning * 1000.0, "us");
    }
    compare("tick_typical", typical, typicalFloor, "ms", 1.0);
    compare("tick_full", full, fullFloor, "ms", 1.0);
    compare("update_chart_full", chart, shellFloor(shellFile, chartScript, ChartBuilds, ReadRounds), "ms", 1.0);
    compare("get_value_at", point, shellFloor(shellFile, pointScript, PointQueries, ReadRounds), "us", 1000.0);

    // The archive: hours of ticks from the top of an hour, on and off in turn.
    double archiveMs[2] = {0.0, 0.0};
    QVector<double> closing;
    QVector<double> others;
    now = (now / 3600 + 1) * 3600;
    for (int hour = 0, tick = 0; hour < ArchiveHours; ++hour) {
        const bool on = hour % 2 == 0;
        g_dataSource->setArchiving(on);
        for (int i = 0; i < TicksPerHour; ++i) {
            tick = tick + 2 > 768 ? 2 : tick + 2;
            Clock::setWallClock(now * 1000);
            QElapsedTimer timer;
            timer.start();
            g_dataSource->recordSample(tick, -4.5, 48.25, 270.0, 6.5, 1013.25);
            const double ms = timer.nsecsElapsed() / 1e6;
            archiveMs[on ? 0 : 1] += ms;
            // The first tick of an hour closes the one before (when on).
            if (on)
                (i == 0 && hour > 0 ? closing : others) << ms;
            now += 2;
        }
    }
    const double ticksEach = TicksPerHour * ArchiveHours / 2.0;
    print("tick_archive_on", archiveMs[0] / ticksEach, "ms");
    print("tick_archive_off", archiveMs[1] / ticksEach, "ms");
    print("tick_archive_difference", (archiveMs[0] - archiveMs[1]) / ticksEach, "ms");
    std::sort(others.begin(), others.end());
    const double closeExtra = *std::min_element(closing.begin(), closing.end()) - others.at(others.size() / 2);
    print("archive_hour_close_extra", closeExtra, "ms");
    print("archive_share_per_tick", closeExtra / TicksPerHour * 1000.0, "us");

    QSqlQuery rows(QSqlDatabase::database(QStringLiteral("DB_BAROGRAPH")));
    rows.exec(QStringLiteral("SELECT COUNT(*) FROM BARO3H"));
    print("rows_baro3h", rows.next() ? rows.value(0).toDouble() : -1.0, "rows");
    rows.exec(QStringLiteral("SELECT COUNT(*) FROM ARCHIVE1H"));
    print("rows_archive1h", rows.next() ? rows.value(0).toDouble() : -1.0, "rows");
    delete g_dataSource;
    g_dataSource = nullptr;
    return 0;
}
