// The hourly logbook: the archive's hours oldest first, each with its
// pressure, the change over three hours and its tendency in the words of the
// marine forecasts, and the position, course and speed, as a CSV file in the
// language of the CSV export.
#include "datasource.h"

#include "exportfields.h"
#include "formatting.h"

#include <QDateTime>
#include <QHash>
#include <QMutexLocker>
#include <QSqlError>
#include <QTextStream>
#include <QtDebug>
#include <cmath>

void DataSource::exportLogbook(QString fileName)
{
    const QString path = exportPath(fileName, QStringLiteral("logbook.csv"));
    finishExport(path, [&] {
        QMutexLocker lock(&mutex);
        QSqlQuery query(db);
        query.setForwardOnly(true);
        const QString sql = QStringLiteral("SELECT * FROM HOURLY ORDER BY TIME");
        if (!query.exec(sql)) {
            qWarning() << "db query error in Csv" << query.lastError().text() << sql;
            return false;
        }
        QString text;
        QTextStream out(&text);
        writeLogbook(out, query);
        out.flush();
        return saveText(path, text);
    });
}

QString DataSource::tendencyWords(double change)
{
    // The terms of the marine forecasts, by the change over three hours in
    // hPa: steady below 0.1, then slowly to 1.5, plain to 3.5, quickly to
    // 6.0, very rapidly beyond.
    const double tenths = std::floor(std::fabs(change) * 10.0 + 0.5) / 10.0;
    const bool rising = change > 0.0;
    if (tenths < 0.1)
        return tr("steady");
    if (tenths <= 1.5)
        return rising ? tr("rising slowly") : tr("falling slowly");
    if (tenths <= 3.5)
        return rising ? tr("rising") : tr("falling");
    if (tenths <= 6.0)
        return rising ? tr("rising quickly") : tr("falling quickly");
    return rising ? tr("rising very rapidly") : tr("falling very rapidly");
}

void DataSource::writeLogbook(QTextStream &out, QSqlQuery &rows) const
{
    const bool french = setting(QStringLiteral("language"), 0).toInt() == 1;
    const bool utc = setting(QStringLiteral("timeZone"), 1).toInt() == 0;
    const int preDisplay = setting(QStringLiteral("preDisplay"), 0).toInt();
    const QChar separator = french ? QLatin1Char(';') : QLatin1Char(',');
    // French numbers take a decimal comma, field by field: the dates keep
    // their own punctuation.
    const auto number = [french](QString text) { return french ? text.replace(QLatin1Char('.'), QLatin1Char(',')) : text; };

    QString header = tr("Date (%1);%2 (%3);3 h change (%3);Tendency;Latitude;Longitude;COG(T);SOG(kts)")
                         .arg(utc ? QStringLiteral("UTC") : tr("Device"),
                              preDisplay == 0 ? QStringLiteral("QNH") : QStringLiteral("QFE"),
                              Formatting::unitName(setting(QStringLiteral("unitPre"), 0).toInt()));
    out << header.replace(QLatin1Char(';'), separator) << '\n';

    // Oldest first, so that the hour three hours back is always known by now.
    QHash<qint64, double> earlier;
    while (rows.next()) {
        const qint64 hour = rows.value(0).toLongLong();
        const double pressure = displayPressure(rows, preDisplay);
        earlier.insert(hour, pressure);
        QString date = Formatting::formatDateTime(QDateTime::fromSecsSinceEpoch(hour, Qt::UTC));
        QStringList fields = {french ? date : date.replace(QLatin1Char(','), QLatin1Char(' ')),
                              number(Formatting::formatPressure(pressure, false))};
        const auto before = earlier.constFind(hour - 10800);
        if (before != earlier.constEnd())
            fields << number(Formatting::formatPressure(pressure - *before, false)) << tendencyWords(pressure - *before);
        else
            fields << QString() << QString();
        const double lon = rows.value(1).toDouble();
        const double lat = rows.value(2).toDouble();
        // A course and a speed without a fix are not known, not zero.
        if (ExportFields::hasPosition(lon, lat))
            fields << number(Formatting::fixed(lat, 5)) << number(Formatting::fixed(lon, 5))
                   << Formatting::formatCourse(ExportFields::courseRounded(rows.value(3).toDouble()))
                   << number(Formatting::fixed(rows.value(4).toDouble(), 1));
        else
            fields << QString() << QString() << QString() << QString();
        out << fields.join(separator) << '\n';
    }
}
