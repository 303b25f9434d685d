// Chart series and point queries: the runs of one table (or of the archive,
// for the long spans) for the chart view, the pressure at a position of the
// x axis, and the read-out text.
#include "datasource.h"

#include "chartscale.h"
#include "clock.h"
#include "formatting.h"

#include <QDateTime>
#include <QMutexLocker>
#include <QSqlError>
#include <QXYSeries>
#include <QtDebug>
#include <cmath>
#include <limits>

namespace {

// Seconds per unit of the x axis: minutes, hours, days.
int xUnit(int chartNb)
{
    return chartNb == 0 ? 60 : chartNb <= 5 ? 3600 : 86400;
}

// hPa to the display unit of the setting unitPre.
double unitFactor(int unit)
{
    switch (unit) {
    case Formatting::UnitKpa:
        return 0.1;
    case Formatting::UnitInHg:
        return 0.029529983071445;
    case Formatting::UnitMmHg:
        return 0.75006157584566;
    default:
        return 1.0;
    }
}

// Through a 32-bit integer, halves up; held in its range, so that a wild
// stored value cannot overflow the conversion.
qint32 toInt32(double v)
{
    constexpr double low = std::numeric_limits<qint32>::min();
    constexpr double high = std::numeric_limits<qint32>::max();
    return std::isnan(v) ? 0 : qint32(qBound(low, v, high));
}

double hundredths(double v)
{
    return toInt32(std::floor(v * 100.0 + 0.5)) / 100.0;
}

} // namespace

void DataSource::updateChart(int chartNb)
{
    if (!isValidChart(chartNb))
        return;
    QMutexLocker lock(&mutex);
    double min = 10000000.0;
    double max = -10000000.0;
    qint64 reference = 0;
    readChart(chartNb, &min, &max, &reference);

    double lower;
    double upper;
    const double range = max - min;
    if (range >= 1.0) {
        upper = std::ceil(max);
        lower = std::floor(min);
    } else if (range >= 0.2) {
        upper = max;
        lower = min - 0.1;
    } else {
        // Also the empty table: the upper bound comes out negative.
        upper = toInt32(std::ceil(max * 100.0 + 1.0)) / 100.0;
        lower = toInt32(std::floor(min * 100.0 - 1.0)) / 100.0;
    }
    // Emitted under the lock: receivers may only use what does not wait for it.
    emit chartUpdated(QVariant::fromValue<qint64>(reference), lower, upper, chartSeries.size());
}

void DataSource::readChart(int chartNb, double *min, double *max, qint64 *reference)
{
    chartSeries = {QVector<QPointF>()};
    bandLow.clear();
    bandHigh.clear();
    const double factor = unitFactor(setting(QStringLiteral("unitPre"), 0).toInt());
    const int preDisplay = setting(QStringLiteral("preDisplay"), 0).toInt();
    const int interval = rowInterval(chartNb);
    const bool band = isLongSpan(chartNb);
    // A missing sample cuts the line; the 30-minute table tolerates the
    // regular 4-second step at the wrap of the sample clock.
    const double cut = interval * (interval == 2 ? 2.0 : 1.5);
    const double unit = xUnit(chartNb);
    const qint64 clock = Clock::currentSecsSinceEpoch();

    QSqlQuery query(db);
    query.setForwardOnly(true);
    const QString sql = QStringLiteral("SELECT * FROM %1 ORDER BY TIME DESC;").arg(rowsOf(chartNb));
    if (!query.exec(sql)) {
        qWarning() << "db query error" << query.lastError().text() << sql;
        return;
    }
    qint64 previous = 0;
    bool first = true;
    while (query.next()) {
        const qint64 t = query.value(0).toLongLong();
        if (first) {
            // Without a current pressure the newest sample lies left of now.
            *reference = currentPressure() < 0.0 ? clock : t;
            first = false;
        }
        // The archive holds more than a long span shows.
        if (band && t < *reference - tableSpan(chartNb))
            break;
        const double y = hundredths(displayPressure(query, preDisplay) * factor);
        *min = std::min(*min, y);
        *max = std::max(*max, y);
        const double x = double(t - *reference) / unit;
        if (previous != 0 && previous - t > cut) {
            chartSeries.append(QVector<QPointF>());
            // The band closes over a gap, as the line breaks.
            if (band) {
                const QPointF edges[] = {QPointF(bandLow.last().x(), y), QPointF(x, y)};
                bandLow << edges[0] << edges[1];
                bandHigh << edges[0] << edges[1];
            }
        }
        previous = t;
        chartSeries.last().append(QPointF(x, y));
        if (band) {
            const double low = hundredths(displayOf(query.value(8).toDouble(), query, preDisplay) * factor);
            const double high = hundredths(displayOf(query.value(9).toDouble(), query, preDisplay) * factor);
            *min = std::min(*min, low);
            *max = std::max(*max, high);
            bandLow << QPointF(x, low);
            bandHigh << QPointF(x, high);
        }
    }
}

void DataSource::update(QtCharts::QAbstractSeries *series, int n)
{
    // Runs inside the delivery of chartUpdated, under the lock of updateChart.
    auto *xy = qobject_cast<QtCharts::QXYSeries *>(series);
    if (!xy || n < 0 || n >= chartSeries.size())
        return;
    xy->replace(chartSeries.at(n));
}

void DataSource::updateBand(QtCharts::QAbstractSeries *lower, QtCharts::QAbstractSeries *upper)
{
    auto *low = qobject_cast<QtCharts::QXYSeries *>(lower);
    auto *high = qobject_cast<QtCharts::QXYSeries *>(upper);
    if (!low || !high)
        return;
    low->replace(bandLow);
    high->replace(bandHigh);
}

double DataSource::getChartStart() const
{
    if (chartSeries.isEmpty() || chartSeries.last().isEmpty())
        return 0.0;
    return chartSeries.last().last().x();
}

QVariantList DataSource::getAlarmMarks(int chartNb, QVariant startDate)
{
    if (!isValidChart(chartNb))
        return {};
    QList<qint64> times;
    const qint64 reference = startDate.toLongLong();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (query.exec(QStringLiteral("SELECT START FROM ALARMS WHERE START BETWEEN %1 AND %2 ORDER BY START")
                       .arg(reference - tableSpan(chartNb))
                       .arg(reference))) {
        while (query.next())
            times << query.value(0).toLongLong();
    }
    return marks(chartNb, reference, times);
}

QVariantList DataSource::getStepMarks(int chartNb, QVariant startDate)
{
    QList<qint64> times;
    for (const StepLog::Step &step : steps.steps()) {
        if (step.kind != StepLog::ClockSet)
            times << step.time;
    }
    return isValidChart(chartNb) ? marks(chartNb, startDate.toLongLong(), times) : QVariantList();
}

QVariantList DataSource::marks(int chartNb, qint64 reference, const QList<qint64> &times) const
{
    QVariantList marks;
    for (const qint64 time : times) {
        if (time >= reference - tableSpan(chartNb) && time <= reference)
            marks << double(time - reference) / xUnit(chartNb);
    }
    return marks;
}

QVariantMap DataSource::getPressureAxis(double low, double high, double plotHeight, double labelRoom)
{
    const ChartScale::Axis axis =
        ChartScale::pressureAxis(low, high, setting(QStringLiteral("unitPre"), 0).toInt(), plotHeight, labelRoom);
    return {{QStringLiteral("min"), axis.min}, {QStringLiteral("max"), axis.max}, {QStringLiteral("step"), axis.step}};
}

QPointF DataSource::getPressureInView(double xMin, double xMax)
{
    QPointF range(0.0, -1.0);
    bool found = false;
    const auto take = [&](const QVector<QPointF> &points) {
        for (const QPointF &p : points) {
            if (p.x() < xMin || p.x() > xMax)
                continue;
            range = found ? QPointF(std::min(range.x(), p.y()), std::max(range.y(), p.y())) : QPointF(p.y(), p.y());
            found = true;
        }
    };
    for (const QVector<QPointF> &points : qAsConst(chartSeries))
        take(points);
    // The long spans' band of hourly extremes stays within the axis too.
    take(bandLow);
    take(bandHigh);
    return range;
}

QPointF DataSource::getViewWindow(double min, double max)
{
    // Runs hold their points newest first, and the runs too.
    if (chartSeries.isEmpty() || chartSeries.first().isEmpty())
        return QPointF(min, max);
    return ChartScale::window(min, max, chartSeries.last().last().x(), chartSeries.first().first().x());
}

QPointF DataSource::getValueAt(double timed, int chartNb, QVariant startDate)
{
    const double factor = unitFactor(setting(QStringLiteral("unitPre"), 0).toInt());
    const double none = -1000.0;
    const double position = xUnit(chartNb) * timed + startDate.toLongLong() + 0.5;
    // Far outside any stored time (or not a number): no sample there.
    if (!isValidChart(chartNb) || !(std::fabs(position) < 1e15))
        return QPointF(timed, hundredths(none * factor));

    QMutexLocker lock(&mutex);
    const int preDisplay = setting(QStringLiteral("preDisplay"), 0).toInt();
    const QString table = rowsOf(chartNb);
    const qint64 s = qint64(std::floor(position));
    // Interpolate only across the gaps of regular sampling: between
    // neighbouring hours of the archive, never over a missing one.
    const int interval = rowInterval(chartNb);
    const qint64 limit = isLongSpan(chartNb) ? interval + 60 : std::min(interval + 60, 300);

    double value = none;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (query.exec(QStringLiteral("SELECT * from %1 WHERE TIME = %2").arg(table).arg(s)) && query.next()) {
        value = displayPressure(query, preDisplay);
    } else if (query.exec(QStringLiteral("SELECT * from %1 WHERE TIME > %2 ORDER BY TIME LIMIT 1").arg(table).arg(s))
               && query.next()) {
        const qint64 later = query.value(0).toLongLong();
        const double pLater = displayPressure(query, preDisplay);
        if (query.exec(QStringLiteral("SELECT * from %1 WHERE TIME < %2 ORDER BY TIME DESC LIMIT 1")
                           .arg(table)
                           .arg(s))
            && query.next()) {
            const qint64 earlier = query.value(0).toLongLong();
            const double pEarlier = displayPressure(query, preDisplay);
            if (later - earlier < limit)
                value = pLater + (pEarlier - pLater) * double(later - s) / double(later - earlier);
        }
    }
    return QPointF(timed, hundredths(value * factor));
}

QString DataSource::calcInfo(QPointF pt, int chartNb)
{
    if (!isValidChart(chartNb))
        return QString();
    // Called while the chart is being delivered, when updateChart holds the lock.
    if (!mutex.tryLock()) {
        qWarning() << "unable to lock mutex";
        return QString();
    }
    const QString text = infoText(pt, chartNb);
    mutex.unlock();
    return text;
}

QString DataSource::infoText(QPointF pt, int chartNb)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const QString sql = QStringLiteral("SELECT TIME FROM %1 ORDER BY TIME DESC LIMIT 1;").arg(rowsOf(chartNb));
    if (!query.exec(sql)) {
        qWarning() << "db query error" << query.lastError().text() << sql;
        return QString();
    }
    if (!query.next())
        return QString();
    // Measured from the newest row, cut toward zero to a whole second.
    const double instant = query.value(0).toLongLong() + pt.x() * xUnit(chartNb);
    if (!(std::fabs(instant) < 1e15))
        return QString();
    const double pressure = pt.y() / unitFactor(setting(QStringLiteral("unitPre"), 0).toInt());
    return Formatting::formatPressure(pressure, true)
        + QStringLiteral("&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;")
        + Formatting::formatDateTime(QDateTime::fromSecsSinceEpoch(qint64(instant), Qt::UTC));
}
