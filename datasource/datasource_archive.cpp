// The archive: ARCHIVE1H, one row per UTC hour, kept for ever beside the nine
// rolling tables, so that a season's record outlives their sixteen days. An
// hour goes in once it is closed, from the finest table that still holds all
// of it; an hour that the tables kept only in part goes in from what is left
// rather than being lost. The long spans, the archive's records, its exports,
// the logbook and the barogram all read it.
#include "datasource.h"

#include "clock.h"

#include <QSqlError>
#include <QtDebug>

namespace {

constexpr qint64 HourS = 3600;

// The hour's start, also before the epoch.
qint64 hourOf(qint64 t)
{
    return t - ((t % HourS) + HourS) % HourS;
}

// Older than anything a clock has stamped.
constexpr qint64 Beginning = -(qint64(1) << 50);

} // namespace

QString DataSource::rowsOf(int n)
{
    // A view of this connection only: the file holds the table alone.
    return isValidTable(n) ? tableNames.at(n) : QStringLiteral("HOURLY");
}

int DataSource::rowInterval(int n)
{
    return isValidTable(n) ? tableIntervals.at(n) : int(HourS);
}

void DataSource::createArchive()
{
    QSqlQuery query(db);
    query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS ARCHIVE1H (HOUR INTEGER primary key, MEAN FLOAT, MIN FLOAT, "
                              "MAX FLOAT, SAMPLES INTEGER, LON FLOAT, LAT FLOAT, COG FLOAT, SOG FLOAT, ELE FLOAT, "
                              "OFS FLOAT)"));
    query.exec(QStringLiteral("CREATE TEMP VIEW IF NOT EXISTS HOURLY AS SELECT HOUR AS TIME, LON, LAT, COG, SOG, "
                              "MEAN AS PRE, ELE, OFS, MIN, MAX, SAMPLES FROM ARCHIVE1H"));
    // Every closed hour the tables hold, before the first sample prunes
    // them: an upgrade keeps its sixteen days, a stop its last hour.
    archiveHour = hourOf(Clock::currentSecsSinceEpoch());
    fillArchive(Beginning, archiveHour);
    // The hour now open may hold rows from before a restart.
    archiveHourWritten = true;
}

bool DataSource::closeArchiveHour()
{
    const qint64 hour = hourOf(lastSampleTime);
    bool archived = false;
    // Before this sample's writes prune the tables. A clock set back only
    // moves the open hour back.
    if (archiving && hour > archiveHour && archiveHourWritten)
        archived = fillArchive(archiveHour, archiveHour + HourS);
    if (hour != archiveHour)
        archiveHourWritten = false;
    archiveHour = hour;
    return archived;
}

bool DataSource::fillArchive(qint64 from, qint64 to)
{
    // First each table over the hours it holds whole, finest first; then
    // whatever is left of hours that no table holds whole any more.
    const bool oneHour = to - from == HourS;
    bool archived = false;
    for (const bool covered : {true, false}) {
        for (int i = 0; i < TableCount; ++i) {
            if (archiveHours(i, from, to, covered) > 0) {
                archived = true;
                if (oneHour)
                    return true;
            }
        }
    }
    return archived;
}

int DataSource::archiveHours(int tableNb, qint64 from, qint64 to, bool covered)
{
    const QString &table = tableNames.at(tableNb);
    // A table holds an hour whole when its pruning, a span behind its newest
    // row, has not reached the hour's start.
    const QString holds = covered ? QStringLiteral("g.HOUR >= (SELECT MAX(TIME) FROM %1) - %2")
                                        .arg(table)
                                        .arg(tableSpan(tableNb))
                                  : QStringLiteral("1");
    QSqlQuery query(db);
    const QString sql =
        QStringLiteral("INSERT OR IGNORE INTO ARCHIVE1H (HOUR, MEAN, MIN, MAX, SAMPLES, LON, LAT, COG, SOG, ELE, OFS) "
                       "SELECT g.HOUR, g.MEAN, g.LOW, g.HIGH, g.SAMPLES, r.LON, r.LAT, r.COG, r.SOG, r.ELE, r.OFS "
                       "FROM (SELECT TIME - ((TIME % 3600) + 3600) % 3600 AS HOUR, AVG(PRE) AS MEAN, MIN(PRE) AS LOW, "
                       "MAX(PRE) AS HIGH, COUNT(*) AS SAMPLES, MAX(TIME) AS LAST FROM %1 "
                       "WHERE TIME >= %2 AND TIME < %3 GROUP BY HOUR) AS g "
                       "JOIN %1 AS r ON r.TIME = g.LAST WHERE %4")
            .arg(table)
            .arg(from)
            .arg(to)
            .arg(holds);
    if (!query.exec(sql)) {
        qWarning() << "db update error" << "ARCHIVE1H" << query.lastError().text() << sql;
        return 0;
    }
    return query.numRowsAffected();
}
