// Pressure tendency: the trend code from the last hour's change, and the
// change over three hours, both against the 6-second table BARO3H.
#include "datasource.h"

#include "formatting.h"

#include <QMutexLocker>

#include <cmath>
#include <cstdlib>

namespace {
// A reference sample counts when it lies this close to the wanted instant.
constexpr qint64 ReferenceWindowS = 30;
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
    if (!baro3hPressureNear(lastSampleTime - 10800, &old))
        return notOk;
    // Plain measured difference: never reduced to sea level, always millibars.
    return QStringLiteral("<div align='left'>%1 mb / 3h</div>").arg(Formatting::fixed(current - old, 1));
}

void DataSource::updateTrend()
{
    trendCode = -10;
    hourReference = false;
    double old = 0.0;
    if (!baro3hPressureNear(lastSampleTime - 3600, &old))
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

bool DataSource::baro3hPressureNear(qint64 instant, double *pressure)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT * from BARO3H ORDER BY ABS(%1 - TIME) LIMIT 1").arg(instant))
        || !query.next())
        return false;
    if (std::llabs(instant - query.value(0).toLongLong()) > ReferenceWindowS)
        return false;
    *pressure = query.value(5).toDouble();
    return true;
}

DataSource::TendencyReferences DataSource::tendencyReferences()
{
    QMutexLocker lock(&mutex);
    TendencyReferences references;
    references.sampleTime = lastSampleTime;
    references.hour = hourReference;
    references.hourPressure = hourReferencePressure;
    // Only the rows within the window, through the primary key, and of those
    // the nearest (the older of two as near).
    const qint64 wanted = lastSampleTime - 10800;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (query.exec(QStringLiteral("SELECT PRE FROM BARO3H WHERE TIME BETWEEN %1 AND %2 "
                                  "ORDER BY ABS(%3 - TIME), TIME LIMIT 1")
                       .arg(wanted - ReferenceWindowS)
                       .arg(wanted + ReferenceWindowS)
                       .arg(wanted))
        && query.next()) {
        references.threeHours = true;
        references.threeHoursPressure = query.value(0).toDouble();
    }
    return references;
}
