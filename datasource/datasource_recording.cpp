// Recording and retention: one row per due table at each sample tick, after
// the table has dropped what fell out of its span.
#include "datasource.h"

#include "clock.h"

#include <QMutexLocker>
#include <QSqlError>
#include <QtDebug>

bool DataSource::recordSample(const int &tick, const double &lon, const double &lat, const double &cog,
                              const double &sog, const double &pressure)
{
    QMutexLocker lock(&mutex);
    const qint64 now = Clock::currentSecsSinceEpoch();
    followClock(now);
    // The store's present instant moves on every call, also when nothing is due.
    lastSampleTime = now;
    keepPendingSteps();
    const bool archived = closeArchiveHour();
    const double offset = setting(QStringLiteral("offset"), 0.0).toDouble();
    const double elevation = setting(QStringLiteral("elevation"), 0.0).toDouble();

    bool inserted = false;
    for (int i = 0; i < TableCount; ++i) {
        const int interval = tableIntervals.at(i);
        // Due at positive multiples of its interval: the clock value 0 writes nothing.
        if (tick < interval || tick % interval != 0)
            continue;
        if (writeRow(i, lon, lat, cog, sog, pressure, elevation, offset))
            inserted = true;
    }
    if (inserted) {
        updateTrend();
        archiveHourWritten = true;
    }
    syncLog();
    lock.unlock();
    // Out of the lock: the chart reads the archive again.
    if (archived)
        emit archiveUpdated();
    return inserted;
}

bool DataSource::writeRow(int tableNb, double lon, double lat, double cog, double sog, double pressure,
                          double elevation, double offset)
{
    const QString &table = tableNames.at(tableNb);

    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.exec(QStringLiteral("DELETE FROM %1 WHERE TIME < %2;").arg(table).arg(lastSampleTime - tableSpan(tableNb)));

    query.prepare(QStringLiteral("INSERT INTO %1 (TIME, LON, LAT, COG, SOG, PRE, ELE, OFS) VALUES "
                                 "(:TIME, :LON, :LAT, :COG, :SOG, :PRE, :ELE, :OFS);")
                      .arg(table));
    query.bindValue(QStringLiteral(":TIME"), lastSampleTime);
    query.bindValue(QStringLiteral(":LON"), lon);
    query.bindValue(QStringLiteral(":LAT"), lat);
    query.bindValue(QStringLiteral(":COG"), cog);
    query.bindValue(QStringLiteral(":SOG"), sog);
    query.bindValue(QStringLiteral(":PRE"), pressure);
    query.bindValue(QStringLiteral(":ELE"), elevation);
    query.bindValue(QStringLiteral(":OFS"), offset);
    if (!query.exec()) {
        qWarning() << "db update error" << table << query.lastError().text() << lastSampleTime;
        return false;
    }
    query.finish();
    return true;
}

qint64 DataSource::tableSpan(int tableNb) const
{
    // The long spans: 30 days, 90 days, a year, and all that the archive holds.
    static const qint64 longSpans[LongSpanCount] = {30 * 86400, 90 * 86400, 365 * 86400, qint64(1) << 50};
    if (isLongSpan(tableNb))
        return longSpans[tableNb - FirstLongSpan];
    // Every table spans 1800 of its intervals, except the 30-minute one.
    const int interval = tableIntervals.at(tableNb);
    return qint64(interval == 2 ? 1 : interval) * 1800;
}
