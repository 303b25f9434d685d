// CSV and GPX export of one table, newest row first, in ISO 8859-1 with the
// platform's line ends. The file is written aside and put in place only
// when complete, so a failed export never costs the sailor an older file.
#include "datasource.h"

#include "backend.h"
#include "clock.h"
#include "desktop.h"
#include "exportfields.h"
#include "formatting.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSaveFile>
#include <QSqlError>
#include <QTextStream>
#include <QUrl>
#include <QtDebug>
#include <cmath>
#include <limits>

namespace {

// The maker's namespace, declared on the root element for its own readers.
const char *const MakerNamespace = "https://www.brenlow.example/xmlschemas/barograph/1";

double metresToFeet(double metres)
{
    return metres * (3.0 * 39.37 / 36.0);
}

// Every byte or failure: a short write is tried again, so that a full disk
// comes back with its error text rather than as a shorter file.
bool writeAll(QSaveFile &file, const QByteArray &bytes)
{
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

// One replacement over the whole line, the date included: decimal commas in
// French, comma separators otherwise.
QString csvLine(const QStringList &fields, bool french)
{
    QString line = fields.join(QLatin1Char(';'));
    if (french)
        line.replace(QLatin1Char('.'), QLatin1Char(','));
    else
        line.replace(QLatin1Char(';'), QLatin1Char(','));
    return line;
}

// A file URL names an absolute path; anything else is taken as a path.
QString localPath(const QString &fileName)
{
    const QUrl url(fileName);
    return url.isLocalFile() ? url.toLocalFile() : fileName;
}

QString dataFolder()
{
    return g_backEnd ? g_backEnd->basePath() : QStringLiteral("./");
}

} // namespace

void DataSource::exportCsv(int tableNb, QString fileName)
{
    exportTable(tableNb, fileName, ExportFormat::Csv);
}

void DataSource::exportGpx(int tableNb, QString fileName)
{
    exportTable(tableNb, fileName, ExportFormat::Gpx);
}

void DataSource::exportFile(int tableNb, QString fileName)
{
    qWarning() << "exporting to" << tableNb << fileName;
    const QString path = localPath(fileName);
    if (path.isEmpty())
        return;
    exportTable(tableNb, path,
                path.endsWith(QLatin1String(".gpx"), Qt::CaseInsensitive) ? ExportFormat::Gpx : ExportFormat::Csv);
}

QString DataSource::getExportName(int tableNb, QString extension)
{
    const QString table = exportedTable(tableNb);
    if (table.isEmpty())
        return QString();
    const QDateTime today = Formatting::toDisplayTime(Clock::currentDateTimeUtc());
    return table + QLatin1Char('_') + today.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('.')
        + extension;
}

QString DataSource::getExportPath(QString fileUrl, QString extension)
{
    const QString path = localPath(fileUrl);
    const QString suffix = QLatin1Char('.') + extension;
    return path.isEmpty() || path.endsWith(suffix, Qt::CaseInsensitive) ? path : path + suffix;
}

// The live database or the settings, under whatever name the dialog gave them (a link, a "..").
bool DataSource::isOwnFile(const QString &path) const
{
    const auto canonical = [](const QString &name) {
        const QFileInfo info(name);
        const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
        return info.exists() ? info.canonicalFilePath() : folder + QLatin1Char('/') + info.fileName();
    };
    const QString target = canonical(path);
    const QDir folder(dataFolder());
    for (const char *own : {"barograph.db", "barograph.db-journal", "barograph.db-wal", "barograph.db-shm",
                             "barograph.ini"}) {
        if (target == canonical(folder.absoluteFilePath(QLatin1String(own))))
            return true;
    }
    return false;
}

QString DataSource::exportedTable(int tableNb) const
{
    if (tableNb == AlarmLog)
        return QStringLiteral("ALARMS");
    if (tableNb == ArchiveTable)
        return QStringLiteral("ARCHIVE1H");
    return isValidTable(tableNb) ? tableNames.at(tableNb) : QString();
}

void DataSource::exportTable(int tableNb, const QString &fileName, ExportFormat format)
{
    const QString table = exportedTable(tableNb);
    if (table.isEmpty())
        return;
    // The alarm log has no track to give: CSV whatever the name.
    if (tableNb == AlarmLog)
        format = ExportFormat::Csv;
    const QString path = exportPath(
        fileName, QStringLiteral("export_") + table + (format == ExportFormat::Csv ? QStringLiteral(".csv") : QStringLiteral(".gpx")));
    finishExport(path, [&] { return writeExport(tableNb, path, format); });
}

void DataSource::finishExport(const QString &path, const std::function<bool()> &write)
{
    if (isOwnFile(path)) {
        qWarning() << "export refused, a file of the program's own:" << path;
        emit exportFinished(false, tr("Not exported: %1 is a file of Quillmere's own").arg(path));
        return;
    }
    const bool written = write();
    const QString shown = QFileInfo(path).absoluteFilePath();
    emit exportFinished(written, written ? tr("Exported to %1").arg(shown) : tr("Could not write %1").arg(shown));
}

bool DataSource::writeExport(int tableNb, const QString &path, ExportFormat format)
{
    QMutexLocker lock(&mutex);
    const bool alarms = tableNb == AlarmLog;
    const QString table = exportedTable(tableNb);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const QString sql =
        alarms ? QLatin1String(AlarmLogQuery) : QStringLiteral("SELECT * FROM %1 ORDER BY TIME DESC").arg(rowsOf(tableNb));
    if (!query.exec(sql)) {
        qWarning() << "db query error in Csv" << query.lastError().text() << sql;
        return false;
    }
    QString text;
    QTextStream out(&text);
    if (alarms)
        writeAlarmCsv(out, query);
    else if (format == ExportFormat::Csv)
        writeCsv(out, query, tableNb == ArchiveTable);
    else
        writeGpx(out, query, table);
    out.flush();
    return saveText(path, text);
}

bool DataSource::saveText(const QString &path, const QString &text)
{
    QSaveFile file(path);
    // Replaced only by a complete export: a full disk or a folder that went
    // away leaves the sailor's older file as it was.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text) || !writeAll(file, text.toLatin1()) || !file.commit()) {
        qWarning() << "unable to open" << path << file.errorString();
        return false;
    }
    Desktop::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    return true;
}

void DataSource::writeCsv(QTextStream &out, QSqlQuery &rows, bool archive) const
{
    const bool french = setting(QStringLiteral("language"), 0).toInt() == 1;
    const bool utc = setting(QStringLiteral("timeZone"), 1).toInt() == 0;
    const bool feet = setting(QStringLiteral("unitEle"), 0).toInt() == 1;
    const int unit = setting(QStringLiteral("unitPre"), 0).toInt();

    QString header = tr("Date (%1);Latitude;Longitude;Station pressure (%3);Sea Level Pressure (%3);"
                        "Offset (%3);Elevation (%2);COG(T);SOG(kts)");
    // The archive's hourly mean stands in the pressure columns, its extremes after.
    if (archive)
        header += tr(";Sea level minimum (%3);Sea level maximum (%3);Samples");
    header = header.arg(utc ? QStringLiteral("UTC") : tr("Device"), feet ? tr("ft") : tr("m"), Formatting::unitName(unit));
    if (!french)
        header.replace(QLatin1Char(';'), QLatin1Char(','));
    out << header << '\n';

    while (rows.next()) {
        const double elevation = rows.value(6).toDouble();
        QString date = Formatting::formatDateTime(QDateTime::fromSecsSinceEpoch(rows.value(0).toLongLong(), Qt::UTC));
        QStringList fields = {
            date.replace(QLatin1Char(','), QLatin1Char(' ')),
            Formatting::fixed(rows.value(2).toDouble(), 5),
            Formatting::fixed(rows.value(1).toDouble(), 5),
            Formatting::formatPressure(stationPressure(rows), false),
            Formatting::formatPressure(seaLevelPressure(rows), false),
            Formatting::formatPressure(rows.value(7).toDouble(), false),
            Formatting::fixed(feet ? metresToFeet(elevation) : elevation, 2),
            Formatting::formatCourse(ExportFields::courseRounded(rows.value(3).toDouble())),
            Formatting::fixed(rows.value(4).toDouble(), 1),
        };
        if (archive)
            fields << Formatting::formatPressure(displayOf(rows.value(8).toDouble(), rows, 0), false)
                   << Formatting::formatPressure(displayOf(rows.value(9).toDouble(), rows, 0), false)
                   << QString::number(rows.value(10).toLongLong());
        out << csvLine(fields, french) << '\n';
    }
}

void DataSource::writeAlarmCsv(QTextStream &out, QSqlQuery &rows) const
{
    const bool french = setting(QStringLiteral("language"), 0).toInt() == 1;
    const bool utc = setting(QStringLiteral("timeZone"), 1).toInt() == 0;
    QString header = tr("Start (%1);Kind;Change in 3 h (%2);Pressure (%2);Acknowledged;Cleared")
                         .arg(utc ? QStringLiteral("UTC") : tr("Device"),
                              Formatting::unitName(setting(QStringLiteral("unitPre"), 0).toInt()));
    if (!french)
        header.replace(QLatin1Char(';'), QLatin1Char(','));
    out << header << '\n';
    const auto time = [&rows](int column) {
        const qint64 secs = rows.value(column).toLongLong();
        return secs == 0 ? QString()
                         : Formatting::formatDateTime(QDateTime::fromSecsSinceEpoch(secs, Qt::UTC))
                               .replace(QLatin1Char(','), QLatin1Char(' '));
    };
    while (rows.next()) {
        const QStringList fields = {
            time(0),
            alarmKindText(rows.value(1).toString()),
            rows.isNull(2) ? QString() : Formatting::formatChange(rows.value(2).toDouble(), false),
            rows.isNull(3) ? QString() : Formatting::formatPressure(rows.value(3).toDouble(), false),
            time(4),
            time(5),
        };
        out << csvLine(fields, french) << '\n';
    }
}

void DataSource::writeGpx(QTextStream &out, QSqlQuery &rows, const QString &table) const
{
    out << "<gpx xmlns=\"http://www.topografix.com/GPX/1/1\""
           " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
           " xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 http://www.topografix.com/GPX/1/1/gpx.xsd\""
           " xmlns:brenlow=\""
        << MakerNamespace << "\" version=\"1.1\" creator=\"quillmere\">\n"
        << "<trk>\n"
        << "<name>" << table << "</name>\n"
        << "<trkseg>\n";
    const QLocale c = QLocale::c();
    while (rows.next()) {
        const double lon = rows.value(1).toDouble();
        const double lat = rows.value(2).toDouble();
        // A row recorded without a fix has no place on a track.
        if (!ExportFields::hasPosition(lon, lat))
            continue;
        const QDateTime time = QDateTime::fromSecsSinceEpoch(rows.value(0).toLongLong(), Qt::UTC);
        out << "<trkpt lat=\"" << Formatting::fixed(lat, 10) << "\" lon=\"" << Formatting::fixed(lon, 10) << "\">\n"
            << "<ele>" << Formatting::fixed(rows.value(6).toDouble(), 2) << "</ele>\n"
            << "<time>" << c.toString(time, QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'")) << "</time>\n"
            << "</trkpt>\n";
    }
    out << "</trkseg>\n"
        << "</trk>\n"
        << "</gpx>\n";
}

QString DataSource::exportPath(const QString &fileName, const QString &defaultName)
{
    return fileName.isEmpty() ? dataFolder() + defaultName : localPath(fileName);
}
