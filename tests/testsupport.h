#pragma once

#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

// Helpers shared by the test programs.
class BackEnd;
class QProcess;

namespace TestSupport {

// A fresh temporary directory made the working directory for the object's
// life: "barograph.ini" and "barograph.db" land there.
class TempWorkDir
{
public:
    TempWorkDir();
    ~TempWorkDir();
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Writes keys into "barograph.ini" of the working directory (before a
// BackEnd opens it).
void writeSettings(const QVariantMap &values);

// Settings under which a BackEnd starts no NMEA worker and no positioning.
QVariantMap quietSettings();

// Collects every message of the Qt message log (all threads) while it lives,
// and still prints them.
class MessageLog
{
public:
    MessageLog();
    ~MessageLog();
    QStringList lines() const;
    bool contains(const QString &text) const; // some line contains text
    int count(const QString &text) const;     // lines that contain text
    void clear();

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message);
    mutable QMutex m_mutex;
    QStringList m_lines;
};

// Rows of the history database, on the store's own connection "DB_BAROGRAPH"
// (a DataSource must exist). The other columns of an inserted row are 0.0.
void insertHistoryRow(const QString &table, qint64 time, double pressure, double elevation = 0.0,
                      double offset = 0.0);
int historyRowCount(const QString &table); // -1 when the table cannot be read
QList<qint64> historyTimes(const QString &table); // oldest first

// A quiet BackEnd and a DataSource (g_dataSource) on a fresh database in a
// temporary working directory, with the wall clock frozen at wallSeconds.
class HistoryFixture
{
public:
    explicit HistoryFixture(qint64 wallSeconds);
    ~HistoryFixture();
    BackEnd *backend() const { return m_backend; }

private:
    TempWorkDir m_dir;
    BackEnd *m_backend = nullptr;
};

// The cases of tests/data/<topic>.tsv as the rows of the current _data()
// function: the header names the columns (all QString), the first column
// names the case, each row is named "line N: <name>"; lines starting with #
// are comments.
void addCasesFromTsv(const QString &topic);

// Starts tools/nmeasim with the arguments and returns the rest of the first
// line it prints that begins with `prefix` ("pty: " gives the terminal's
// path); empty when it did not start or printed no such line.
QString startSimulator(QProcess &process, const QStringList &arguments, const QString &prefix);

} // namespace TestSupport
