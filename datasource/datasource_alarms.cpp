// The log of storm warnings: when each began, of what kind, with the
// three-hour change and the pressure shown then, when it was acknowledged,
// until when its chime was snoozed and when it cleared. A table of its own
// beside the nine history tables, which it leaves alone; kept whole, like a
// logbook, and read back at start so that an alarm outlives a restart.
#include "datasource.h"

#include "formatting.h"

#include <QDateTime>
#include <QMutexLocker>
#include <QSqlError>
#include <QSqlRecord>
#include <QtDebug>

const char *const DataSource::AlarmLogQuery =
    "SELECT START, KIND, CHANGE3H, PRESSURE, ACK, CLEARED FROM ALARMS ORDER BY START DESC";

void DataSource::createAlarmTable()
{
    QSqlQuery query(db);
    query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS ALARMS (START INTEGER, KIND TEXT, CHANGE3H FLOAT, "
                              "PRESSURE FLOAT, ACK INTEGER, CLEARED INTEGER, SNOOZED INTEGER, "
                              "PRIMARY KEY (START, KIND))"));
    // A log written before alarms were cleared or snoozed: its rows read as
    // in force, never snoozed.
    const QSqlRecord columns = db.record(QStringLiteral("ALARMS"));
    for (const char *column : {"CLEARED", "SNOOZED"}) {
        if (!columns.contains(QLatin1String(column)))
            query.exec(QStringLiteral("ALTER TABLE ALARMS ADD COLUMN %1 INTEGER").arg(QLatin1String(column)));
    }
}

void DataSource::recordAlarm(qint64 start, const QString &kind, const QVariant &change, const QVariant &pressure)
{
    QMutexLocker lock(&mutex);
    QSqlQuery query(db);
    query.prepare(QStringLiteral("INSERT INTO ALARMS (START, KIND, CHANGE3H, PRESSURE, ACK) "
                                 "VALUES (:START, :KIND, :CHANGE3H, :PRESSURE, 0)"));
    query.bindValue(QStringLiteral(":START"), start);
    query.bindValue(QStringLiteral(":KIND"), kind);
    query.bindValue(QStringLiteral(":CHANGE3H"), change);
    query.bindValue(QStringLiteral(":PRESSURE"), pressure);
    if (!query.exec())
        qWarning() << "db update error" << "ALARMS" << query.lastError().text() << start;
    syncLog();
}

void DataSource::acknowledgeAlarm(qint64 start, const QString &kind, qint64 when)
{
    setAlarmColumn("ACK", when, start, kind);
}

void DataSource::snoozeAlarm(qint64 start, const QString &kind, qint64 until)
{
    setAlarmColumn("SNOOZED", until, start, kind);
}

void DataSource::clearAlarm(qint64 start, const QString &kind, qint64 when)
{
    setAlarmColumn("CLEARED", when, start, kind);
}

bool DataSource::setAlarmColumn(const char *column, qint64 value, qint64 start, const QString &kind)
{
    QMutexLocker lock(&mutex);
    QSqlQuery query(db);
    // An acknowledgement or a clearing time, once written, stays.
    const QString once = QLatin1String(column) == QLatin1String("SNOOZED") ? QString()
        : QLatin1String(column) == QLatin1String("ACK") ? QStringLiteral(" AND ACK = 0")
                                                         : QStringLiteral(" AND CLEARED IS NULL");
    query.prepare(QStringLiteral("UPDATE ALARMS SET %1 = :VALUE WHERE START = :START AND KIND = :KIND%2")
                      .arg(QLatin1String(column), once));
    query.bindValue(QStringLiteral(":VALUE"), value);
    query.bindValue(QStringLiteral(":START"), start);
    query.bindValue(QStringLiteral(":KIND"), kind);
    const bool done = query.exec();
    if (!done)
        qWarning() << "db update error" << "ALARMS" << query.lastError().text() << start;
    syncLog();
    return done;
}

QVector<DataSource::OpenAlarm> DataSource::openAlarms()
{
    QMutexLocker lock(&mutex);
    QVector<OpenAlarm> alarms;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT START, KIND, ACK, SNOOZED FROM ALARMS WHERE CLEARED IS NULL "
                                   "ORDER BY START DESC")))
        return alarms;
    QStringList kinds;
    while (query.next()) {
        const QString kind = query.value(1).toString();
        if (kinds.contains(kind))
            continue;
        kinds << kind;
        alarms.append({query.value(0).toLongLong(), kind, query.value(2).toLongLong() != 0,
                       query.value(3).toLongLong()});
    }
    return alarms;
}

qint64 DataSource::newestSampleTime()
{
    QMutexLocker lock(&mutex);
    QSqlQuery query(db);
    return query.exec(QStringLiteral("SELECT MAX((SELECT MAX(TIME) FROM BARO30M), (SELECT MAX(TIME) FROM BARO3H))"))
            && query.next()
        ? query.value(0).toLongLong()
        : 0;
}

QString DataSource::alarmKindText(const QString &kind)
{
    if (kind == QLatin1String("fall"))
        return tr("Storm warning");
    if (kind == QLatin1String("rise"))
        return tr("Rapid rise warning");
    if (kind == QLatin1String("low"))
        return tr("Low pressure warning");
    if (kind == QLatin1String("lost"))
        return tr("No pressure");
    return kind;
}

QVariantList DataSource::alarmLogContent()
{
    QVariantList result;
    QMutexLocker lock(&mutex);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QLatin1String(AlarmLogQuery)))
        return result;
    const auto time = [](const QVariant &secs) {
        return Formatting::formatDateTime(QDateTime::fromSecsSinceEpoch(secs.toLongLong(), Qt::UTC));
    };
    while (query.next()) {
        QString text = QStringLiteral("<Qt>") + time(query.value(0)) + QStringLiteral("\n<br><b>")
            + alarmKindText(query.value(1).toString()) + QStringLiteral("</b>");
        if (!query.isNull(2))
            text += QLatin1Char(' ') + tr("%1 in 3 h").arg(Formatting::formatChange(query.value(2).toDouble(), true));
        if (!query.isNull(3))
            text += QStringLiteral(", ") + Formatting::formatPressure(query.value(3).toDouble(), true);
        text += QStringLiteral("<br>")
            + (query.value(4).toLongLong() != 0 ? tr("Acknowledged %1").arg(time(query.value(4))) : tr("Not acknowledged"))
            + QStringLiteral(" - ")
            + (query.isNull(5) ? tr("In force") : tr("Cleared %1").arg(time(query.value(5))));
        QVariantMap entry;
        entry.insert(QStringLiteral("key"), QString::number(query.value(0).toLongLong()));
        entry.insert(QStringLiteral("desc"), text);
        result.append(entry);
    }
    return result;
}
