// Record browsing and deletion: the entries of the record list, one record
// removed by its key, whole tables emptied. Recording goes on into an
// emptied table at the next tick. The archive is listed, never deleted.
#include "datasource.h"

#include "formatting.h"

#include <QDateTime>
#include <QMutexLocker>
#include <QSqlError>
#include <QtDebug>
#include <cmath>
#include <limits>

namespace {

// A record's key is its TIME as a decimal integer and nothing else: no
// blanks, no sign but a leading minus, no digits of other scripts.
bool parseKey(const QString &key, qint64 *time)
{
    const int start = key.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (key.size() == start)
        return false;
    for (int i = start; i < key.size(); ++i) {
        if (key.at(i) < QLatin1Char('0') || key.at(i) > QLatin1Char('9'))
            return false;
    }
    bool ok = false;
    *time = key.toLongLong(&ok, 10);
    return ok;
}

// The course of a stored row in whole degrees, cut toward zero (359.7 is
// 359); a wild stored value cannot overflow the conversion.
int courseCut(double cog)
{
    if (std::isnan(cog))
        return 0;
    constexpr double low = std::numeric_limits<int>::min();
    constexpr double high = std::numeric_limits<int>::max();
    return int(std::trunc(qBound(low, cog, high)));
}

} // namespace

QVariantList DataSource::getTableContent(int tableNb)
{
    QVariantList result;
    if (tableNb == AlarmLog)
        return alarmLogContent();
    const bool archive = tableNb == ArchiveTable;
    if (!isValidTable(tableNb) && !archive)
        return result;
    QMutexLocker lock(&mutex);
    const int preDisplay = setting(QStringLiteral("preDisplay"), 0).toInt();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT * FROM %1 ORDER BY TIME DESC").arg(rowsOf(tableNb))))
        return result;
    while (query.next()) {
        QVariantMap entry;
        entry.insert(QStringLiteral("key"), QString::number(query.value(0).toLongLong()));
        entry.insert(QStringLiteral("desc"), recordText(query, preDisplay) + (archive ? hourText(query, preDisplay) : QString()));
        result.append(entry);
    }
    return result;
}

QString DataSource::hourText(const QSqlQuery &row, int preDisplay) const
{
    return QStringLiteral("<br>")
        + tr("min %1 - max %2 - %3 samples")
              .arg(Formatting::formatPressure(displayOf(row.value(8).toDouble(), row, preDisplay), true),
                   Formatting::formatPressure(displayOf(row.value(9).toDouble(), row, preDisplay), true))
              .arg(row.value(10).toLongLong());
}

QString DataSource::recordText(const QSqlQuery &row, int preDisplay) const
{
    const QDateTime time = QDateTime::fromSecsSinceEpoch(row.value(0).toLongLong(), Qt::UTC);
    // Stored in knots; the speed text takes metres per second.
    const double sog = row.value(4).toDouble() * 1.852 / 3.6;
    return QStringLiteral("<Qt>") + Formatting::formatDateTime(time) + QLatin1Char('\n')
        + QStringLiteral("<br><b>") + Formatting::formatPressure(displayPressure(row, preDisplay), true)
        + QStringLiteral("</b> ") + Formatting::formatPosition(row.value(1).toDouble(), row.value(2).toDouble())
        + QStringLiteral("<br>") + QStringLiteral("COG ") + Formatting::formatCourse(courseCut(row.value(3).toDouble()))
        + tr("deg") + QStringLiteral(" T - SOG ") + Formatting::formatSpeed(sog);
}

void DataSource::removeKey(int tableNb, QString key)
{
    if (!isValidTable(tableNb))
        return;
    QMutexLocker lock(&mutex);
    qint64 time = 0;
    if (!parseKey(key, &time)) {
        qWarning() << "db query error" << "not a record key:" << key;
        return;
    }
    QSqlQuery query(db);
    query.prepare(QStringLiteral("DELETE FROM %1 WHERE TIME = ?;").arg(tableNames.at(tableNb)));
    query.addBindValue(time);
    if (query.exec())
        qWarning() << "delete one record OK";
    else
        qWarning() << "db query error" << query.lastError().text() << query.lastQuery() << time;
    syncLog();
}

void DataSource::emptyOneTable(int n)
{
    if (isValidTable(n))
        deleteAllRows(n);
}

void DataSource::emptyAllTables()
{
    // One table at a time, each under the lock and with its own report.
    for (int n = 0; n < TableCount; ++n)
        deleteAllRows(n);
}

void DataSource::deleteAllRows(int tableNb)
{
    QMutexLocker lock(&mutex);
    const QString &table = tableNames.at(tableNb);
    QSqlQuery query(db);
    const QString sql = QStringLiteral("DELETE FROM %1").arg(table);
    if (query.exec(sql))
        qWarning() << "empty one table OK" << table;
    else
        qWarning() << "db query error" << query.lastError().text() << sql;
    syncLog();
}
