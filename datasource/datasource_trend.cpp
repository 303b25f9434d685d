// Pressure tendency: the trend code from the last hour's change, and the
// change over three hours, both against the 6-second table BARO3H. Both look
// back through the steps of the record that are not weather.
#include "datasource.h"

#include "formatting.h"

#include <QMutexLocker>

#include <cmath>
#include <cstdlib>

namespace {
// A reference sample counts when it lies this close to the wanted instant.
constexpr qint64 ReferenceWindowS = 30;
// Rows of the 6-hour table this close to three hours back make a gap there a
// short hole in the record, not a record that does not reach back.
constexpr qint64 NearWindowS = 600;
} // namespace

int DataSource::getTrend()
{
    return trendCode;
}

QString DataSource::getTrend3h()
{
    const QString notOk = QStringLiteral("notOK");
    // Without a current pressure there is no change to tell.
    const double current = currentPressure();
    if (current < 0.0)
        return notOk;
    double old = 0.0;
    bool unknownStep = false;
    if (!baro3hPressureBack(10800, &old, &unknownStep))
        return notOk;
    // Plain measured difference: never reduced to sea level, always millibars.
    return QStringLiteral("<div align='left'>%1 mb / 3h</div>").arg(Formatting::fixed(current - old, 1));
}

void DataSource::updateTrend()
{
    trendCode = -10;
    hourReference = false;
    hourReferenceUnknownStep = false;
    double old = 0.0;
    if (!baro3hPressureBack(3600, &old, &hourReferenceUnknownStep))
        return;
    // The storm warning's estimate needs the same row: keep it.
    hourReference = true;
    hourReferencePressure = old;
    // The last hour's change extrapolated to three hours.
    const double r = (currentPressure() - old) * 3.0;
    const double a = std::fabs(r);
    const int magnitude = a < 1.0 ? 1 : a < 2.0 ? 2 : a < 3.0 ? 3 : 4;
    trendCode = r >= 0.0 ? magnitude : -magnitude;
}

bool DataSource::baro3hPressureBack(qint64 span, double *pressure, bool *unknownStep)
{
    const StepLog::Lookback back = steps.lookBack(lastSampleTime, span);
    if (back.blind)
        return false;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT * from BARO3H ORDER BY ABS(%1 - TIME) LIMIT 1").arg(back.instant))
        || !query.next())
        return false;
    const qint64 time = query.value(0).toLongLong();
    if (std::llabs(back.instant - time) > ReferenceWindowS)
        return false;
    *pressure = query.value(5).toDouble() + steps.addedSince(back, time, unknownStep);
    return true;
}

DataSource::TendencyReferences DataSource::tendencyReferences()
{
    QMutexLocker lock(&mutex);
    TendencyReferences references;
    references.sampleTime = lastSampleTime;
    references.hour = hourReference;
    references.hourPressure = hourReferencePressure;
    references.hourTwoInstruments = hourReferenceUnknownStep;
    const StepLog::Lookback back = steps.lookBack(lastSampleTime, 10800);
    // Stamps written again after the clock was set back: the rows there are
    // not of three hours back, but the record has no hole.
    references.nearThreeHours = back.blind;
    if (back.blind)
        return references;
    // Only the rows within the window, through the primary key, and of those
    // the nearest (the older of two as near).
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (query.exec(QStringLiteral("SELECT TIME, PRE FROM BARO3H WHERE TIME BETWEEN %1 AND %2 "
                                  "ORDER BY ABS(%3 - TIME), TIME LIMIT 1")
                       .arg(back.instant - ReferenceWindowS)
                       .arg(back.instant + ReferenceWindowS)
                       .arg(back.instant))
        && query.next()) {
        references.threeHours = true;
        references.threeHoursPressure = query.value(1).toDouble()
            + steps.addedSince(back, query.value(0).toLongLong(), &references.threeHoursTwoInstruments);
        return references;
    }
    references.nearThreeHours = query.exec(QStringLiteral("SELECT TIME FROM BARO6H WHERE TIME BETWEEN %1 AND %2 LIMIT 1")
                                               .arg(back.instant - NearWindowS)
                                               .arg(back.instant + NearWindowS))
        && query.next();
    return references;
}
