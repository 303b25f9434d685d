// The steps of the record that are not weather, kept in table STEPS beside
// the history while the tendency looks back over them, and the computer's
// clock set forward or back under the recorder.
#include "datasource.h"

#include "clock.h"

#include <QMutexLocker>
#include <QSqlError>
#include <QStringList>
#include <QtDebug>
#include <cmath>
#include <cstdlib>

namespace {
const char *const KindNames[] = {"calibration", "source", "clock"};
// A wall clock that moved this much more or less than the time that passed
// was set: a time server or a GPS correcting the computer.
constexpr qint64 ClockStepS = 10;
// How far back a step still matters: three hours, the 10 minutes around
// them that tell a hole from no history, and the reference's 30 s.
constexpr qint64 StepMemoryS = 10800 + 600 + 30;
} // namespace

void DataSource::createStepTable()
{
    QSqlQuery query(db);
    query.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS STEPS (TIME INTEGER, SIZE FLOAT, KIND TEXT)"));
    // In the order they came: after a clock set back, not the order of TIME.
    if (!query.exec(QStringLiteral("SELECT rowid, TIME, SIZE, KIND FROM STEPS ORDER BY rowid")))
        return;
    while (query.next()) {
        StepLog::Step step;
        step.id = query.value(0).toLongLong();
        step.time = query.value(1).toLongLong();
        if (!query.isNull(2))
            step.size = query.value(2).toDouble();
        const int kind = QStringList({KindNames[0], KindNames[1], KindNames[2]}).indexOf(query.value(3).toString());
        if (kind < 0)
            continue;
        step.kind = StepLog::Kind(kind);
        steps.append(step);
    }
}

void DataSource::noteStep(StepLog::Kind kind, double size)
{
    QMutexLocker lock(&mutex);
    pendingSteps.append({kind, size});
}

void DataSource::keepStep(StepLog::Kind kind, double size)
{
    StepLog::Step step;
    step.time = lastSampleTime;
    step.kind = kind;
    step.size = size;
    QSqlQuery query(db);
    query.prepare(QStringLiteral("INSERT INTO STEPS (TIME, SIZE, KIND) VALUES (:TIME, :SIZE, :KIND)"));
    query.bindValue(QStringLiteral(":TIME"), step.time);
    query.bindValue(QStringLiteral(":SIZE"), step.known() ? QVariant(size) : QVariant(QVariant::Double));
    query.bindValue(QStringLiteral(":KIND"), QLatin1String(KindNames[kind]));
    if (query.exec())
        step.id = query.lastInsertId().toLongLong();
    else
        qWarning() << "db update error" << "STEPS" << query.lastError().text() << step.time;
    qWarning() << "step in the record" << KindNames[kind] << size;
    steps.append(step);
}

void DataSource::followClock(qint64 now)
{
    const qint64 ms = Clock::monotonicMs();
    if (lastSampleMs == 0) {
        // The first sample of the run: a clock set back while the program was
        // not running leaves rows ahead of it.
        QSqlQuery query(db);
        if (query.exec(QStringLiteral("SELECT MAX(TIME) FROM BARO30M")) && query.next()
            && query.value(0).toLongLong() > now + ClockStepS)
            deleteRowsLaterThan(now);
    } else {
        const qint64 moved = now - lastSampleTime - std::llround((ms - lastSampleMs) / 1000.0);
        if (std::llabs(moved) > ClockStepS) {
            lastSampleTime = now;
            keepStep(StepLog::ClockSet, double(moved));
            if (moved < 0)
                deleteRowsLaterThan(now);
        }
    }
    lastSampleMs = ms;
}

void DataSource::deleteRowsLaterThan(qint64 now)
{
    // Recording goes on at once instead of colliding with them on the key.
    int deleted = 0;
    QSqlQuery query(db);
    for (const QString &table : tableNames) {
        if (query.exec(QStringLiteral("DELETE FROM %1 WHERE TIME > %2").arg(table).arg(now)))
            deleted += query.numRowsAffected();
    }
    qWarning() << "clock set back, history rows later than now deleted:" << deleted;
    // Hours the archive closed by the clock that was ahead, and that have not
    // closed by the clock set right: kept, they would stand in for the real
    // hours (never replaced) and draw a trace in the future. Those still in
    // the tables go in again at their close.
    if (query.exec(QStringLiteral("DELETE FROM ARCHIVE1H WHERE HOUR > %1").arg(now - 3600)))
        qWarning() << "clock set back, archive hours not yet closed deleted:" << query.numRowsAffected();
}

void DataSource::keepPendingSteps()
{
    for (const auto &pending : qAsConst(pendingSteps))
        keepStep(pending.first, pending.second);
    pendingSteps.clear();
    const QVector<qint64> expired = steps.expire(lastSampleTime, StepMemoryS);
    if (expired.isEmpty())
        return;
    QStringList ids;
    for (const qint64 id : expired)
        ids << QString::number(id);
    QSqlQuery query(db);
    query.exec(QStringLiteral("DELETE FROM STEPS WHERE rowid IN (%1)").arg(ids.join(QLatin1Char(','))));
}
