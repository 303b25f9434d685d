// The log of storm warnings: when each began, of what kind, with the
// three-hour change and the pressure shown then, and when it was
// acknowledged. A table of its own beside the nine history tables, which it
// leaves alone; kept whole, like a logbook.
#include "datasource.h"

#include <QMutexLocker>
#include <QSqlError>
#include <QtDebug>

void DataSource::createAlarmTable()
{
    QSqlQuery query(db);
    query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS ALARMS (START INTEGER, KIND TEXT, CHANGE3H FLOAT, "
                              "PRESSURE FLOAT, ACK INTEGER, PRIMARY KEY (START, KIND))"));
}

void DataSource::recordAlarm(qint64 start, const QString &kind, double change, double pressure)
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
}

void DataSource::acknowledgeAlarm(qint64 start, const QString &kind, qint64 when)
{
    QMutexLocker lock(&mutex);
    QSqlQuery query(db);
    query.prepare(QStringLiteral("UPDATE ALARMS SET ACK = :ACK WHERE START = :START AND KIND = :KIND AND ACK = 0"));
    query.bindValue(QStringLiteral(":ACK"), when);
    query.bindValue(QStringLiteral(":START"), start);
    query.bindValue(QStringLiteral(":KIND"), kind);
    if (!query.exec())
        qWarning() << "db update error" << "ALARMS" << query.lastError().text() << start;
}
