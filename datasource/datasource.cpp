#include "datasource.h"

#include "backend.h"
#include "formatting.h"

#include <QAbstractSeries>
#include <QAbstractAxis>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSqlQuery>
#include <QtDebug>
#include <cmath>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

DataSource *g_dataSource = nullptr;

namespace {
const char *const ConnectionName = "DB_BAROGRAPH";
// The log is folded into the file, and begins again, after this many pages.
constexpr int LogRoundPages = 200;
}

const QStringList DataSource::tableNames = {"BARO30M", "BARO3H", "BARO6H", "BAR12H", "BARO1D",
                                            "BARO2D",  "BARO4D", "BARO8D", "BAR16D"};
const QList<int> DataSource::tableIntervals = {2, 6, 12, 24, 48, 96, 192, 384, 768};

DataSource::DataSource(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<QtCharts::QAbstractSeries *>("QAbstractSeries *");
    qRegisterMetaType<QtCharts::QAbstractAxis *>("QAbstractAxis *");

    const QString base = g_backEnd ? g_backEnd->basePath() : QStringLiteral("./");
    const QString path = base + QStringLiteral("barograph.db");
    // Opening creates the file, so ask first.
    const bool existed = QFileInfo::exists(path);
    const bool empty = existed && QFileInfo(path).size() == 0;

    if (QSqlDatabase::contains(ConnectionName)) {
        db = QSqlDatabase::database(ConnectionName, true);
    } else {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), ConnectionName);
        db.setDatabaseName(path);
        db.open();
        writeAheadLog();
    }

    if (!existed) {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        for (const QString &name : qAsConst(tableNames)) {
            query.exec(QStringLiteral("CREATE TABLE %1 (TIME INTEGER primary key, LON FLOAT, LAT FLOAT, "
                                      "COG FLOAT, SOG FLOAT, PRE FLOAT, ELE FLOAT, OFS FLOAT)")
                           .arg(name));
        }
    }
    // The alarm log, the steps and the archive join a history written before
    // they existed; an empty file stays as it is, like the history tables.
    if (!empty) {
        createAlarmTable();
        createStepTable();
        createArchive();
    }
    syncLog();
    qWarning() << "dataSource created";
}

// Every statement commits on its own, and in the default rollback journal
// each commit waits for four writes to reach the disk: about ten waits a
// sample, around the clock, that keep the processor and the disk awake (and
// wear out the flash cards of small computers). A write-ahead log needs one
// wait, the log's, and folds itself into the file every few hundred pages.
// The log is not synced at each commit but once for all the commits of a
// sample (syncLog): every recorded sample still survives a power cut (the
// house battery switched off), for one wait every 2 s instead of three or six.
void DataSource::writeAheadLog()
{
    QSqlQuery query(db);
#ifdef Q_OS_UNIX
    const char *const sync = "PRAGMA synchronous=NORMAL";
#else
    const char *const sync = "PRAGMA synchronous=FULL"; // no syncLog there: each commit waits
#endif
    for (const char *pragma : {"PRAGMA journal_mode=WAL", sync})
        query.exec(QLatin1String(pragma));
    query.exec(QStringLiteral("PRAGMA wal_autocheckpoint=%1").arg(LogRoundPages));
}

// What the commits so far wrote to the log reaches the disk; called, under
// the lock, at the end of each operation that writes.
void DataSource::syncLog()
{
#ifdef Q_OS_UNIX
    if (!db.isOpen())
        return;
    const int fd = ::open(QFile::encodeName(db.databaseName() + QStringLiteral("-wal")).constData(),
                          O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return; // no log: nothing was written since it was folded in
    ::fdatasync(fd);
    // The next commits overwrite frames of the log's previous round, written
    // minutes ago. Where the system has let go of those pages (short of
    // memory, or paging out what was not touched for a minute), each frame,
    // which never fills a page, would first wait for the disk to read its
    // page back: they are read ahead now, in the background, with nothing
    // waiting for them. One round of the log and some room, however long a
    // large deletion once made it: its frames (a page and a 24-byte header)
    // after a 32-byte header.
    const off_t round = 32 + off_t(4096 + 24) * (LogRoundPages + LogRoundPages / 4);
    ::posix_fadvise(fd, 0, round, POSIX_FADV_WILLNEED);
    ::close(fd);
#endif
}

DataSource::~DataSource()
{
    if (db.isOpen()) {
        QMutexLocker lock(&mutex);
        {
            QSqlQuery query(db);
            query.exec(QStringLiteral("VACUUM"));
            // The compacted file whole, also while another program reads it.
            query.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        }
        db.close();
    }
    qWarning() << "datasource deleted";
}

QVariant DataSource::setting(const QString &key, const QVariant &defaultValue)
{
    return g_backEnd ? g_backEnd->getSetting(key, defaultValue) : defaultValue;
}

double DataSource::currentPressure()
{
    return g_backEnd ? g_backEnd->getCurrentPressure() : NO_PRESSURE;
}

double DataSource::stationPressure(const QSqlQuery &row)
{
    return row.value(5).toDouble() + row.value(7).toDouble();
}

double DataSource::seaLevelPressure(const QSqlQuery &row)
{
    return displayOf(row.value(5).toDouble(), row, 0);
}

double DataSource::displayPressure(const QSqlQuery &row, int preDisplay)
{
    return displayOf(row.value(5).toDouble(), row, preDisplay);
}

double DataSource::displayOf(double measured, const QSqlQuery &row, int preDisplay)
{
    const double station = measured + row.value(7).toDouble();
    const double elevation = row.value(6).toDouble();
    if (preDisplay != 0 || std::fabs(elevation) <= 1e-12)
        return station;
    return station / Formatting::seaLevelFactor(elevation);
}
