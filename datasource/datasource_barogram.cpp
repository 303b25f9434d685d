// The barogram for the logbook: the week's hourly record from the archive,
// with the storm warnings and the noon positions, handed to the drum chart.
#include "datasource.h"

#include "barogram.h"
#include "clock.h"
#include "desktop.h"
#include "formatting.h"

#include <QFileInfo>
#include <QMutexLocker>
#include <QSqlError>
#include <QUrl>
#include <QtDebug>
#include <cmath>

Barogram DataSource::barogramWeek(double lastDay)
{
    // Seven days from midnight to midnight in the zone of the screens.
    const bool utc = setting(QStringLiteral("timeZone"), 1).toInt() == 0;
    const Qt::TimeSpec timeSpec = utc ? Qt::UTC : Qt::LocalTime;
    const qint64 endInstant = std::isfinite(lastDay) && lastDay > 0.0 && lastDay < 1e13
        ? qint64(lastDay)
        : Clock::currentSecsSinceEpoch();
    const QDate last = QDateTime::fromSecsSinceEpoch(endInstant, timeSpec).date();
    Barogram barogram;
    for (int d = -6; d <= 0; ++d) {
        const QDate date = last.addDays(d);
        barogram.days.append({date, QDateTime(date, QTime(0, 0), timeSpec).toSecsSinceEpoch(), QString()});
    }
    barogram.end = QDateTime(last.addDays(1), QTime(0, 0), timeSpec).toSecsSinceEpoch();
    barogram.unit = setting(QStringLiteral("unitPre"), 0).toInt();
    const int preDisplay = setting(QStringLiteral("preDisplay"), 0).toInt();
    barogram.stationLevel = preDisplay != 0;
    barogram.monthFirst = setting(QStringLiteral("formatMMDD"), 0).toInt() == 1;
    // Named as the time stamps name it: UTC, or the offset at the week's end.
    const QDateTime local = QDateTime::fromSecsSinceEpoch(endInstant, Qt::LocalTime);
    barogram.zone = utc ? QStringLiteral("UTC") : local.toOffsetFromUtc(local.offsetFromUtc()).toString(QStringLiteral("t"));
    return barogram;
}

QString DataSource::getBarogramWeek(double lastDay)
{
    return barogramWeek(lastDay).title();
}

void DataSource::exportBarogram(QString fileName, double lastDay)
{
    QString pdf = exportPath(fileName, QStringLiteral("barogram.pdf"));
    if (!pdf.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        pdf += QStringLiteral(".pdf");
    finishExport(pdf, [&] { return writeBarogram(barogramWeek(lastDay), pdf); });
}

bool DataSource::writeBarogram(Barogram barogram, const QString &pdf)
{
    const int preDisplay = setting(QStringLiteral("preDisplay"), 0).toInt();
    const bool utc = setting(QStringLiteral("timeZone"), 1).toInt() == 0;
    const Qt::TimeSpec timeSpec = utc ? Qt::UTC : Qt::LocalTime;
    {
        QMutexLocker lock(&mutex);
        QSqlQuery query(db);
        query.setForwardOnly(true);
        const QString sql = QStringLiteral("SELECT * FROM HOURLY WHERE TIME >= %1 AND TIME < %2 ORDER BY TIME")
                                .arg(barogram.days.first().start)
                                .arg(barogram.end);
        if (!query.exec(sql)) {
            qWarning() << "db query error" << query.lastError().text() << sql;
            return false;
        }
        QHash<qint64, QString> positions;
        qint64 previous = 0;
        while (query.next()) {
            const qint64 hour = query.value(0).toLongLong();
            // A missing hour breaks the trace.
            if (barogram.trace.isEmpty() || hour - previous > 5400)
                barogram.trace.append(QVector<QPointF>());
            previous = hour;
            barogram.trace.last().append(
                QPointF(hour, Formatting::hpaToUnit(displayPressure(query, preDisplay), barogram.unit)));
            const double lon = query.value(1).toDouble();
            const double lat = query.value(2).toDouble();
            // Latitude over longitude, to fit under its day.
            if (std::fabs(lon) > 1e-12 && std::fabs(lat) > 1e-12)
                positions.insert(hour, Formatting::formatPosition(lon, lat).simplified().replace(QLatin1Char(' '), QLatin1Char('\n')));
        }
        // The noon position: the hour that holds noon of the day.
        for (Barogram::Day &day : barogram.days) {
            const qint64 noon = QDateTime(day.date, QTime(12, 0), timeSpec).toSecsSinceEpoch();
            day.noonPosition = positions.value(noon - ((noon % 3600) + 3600) % 3600);
        }
        if (query.exec(QStringLiteral("SELECT START FROM ALARMS WHERE START >= %1 AND START < %2 ORDER BY START")
                           .arg(barogram.days.first().start)
                           .arg(barogram.end))) {
            while (query.next())
                barogram.alarms.append(query.value(0).toLongLong());
        }
    }

    QString error;
    if (!barogram.write(pdf, pdf.left(pdf.size() - 4) + QStringLiteral(".png"), &error)) {
        qWarning() << "unable to open" << error;
        return false;
    }
    Desktop::openUrl(QUrl::fromLocalFile(QFileInfo(pdf).absoluteFilePath()));
    return true;
}
