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
// One SQL statement on the store's connection.
bool historySql(const QString &sql);
int historyRowCount(const QString &table); // -1 when the table cannot be read
QList<qint64> historyTimes(const QString &table); // oldest first

// The text of tests/data/<name>.
QString dataFile(const QString &name);

// A QStringList column "fields" and a row per case of tests/data/<file> (tab-separated,
// "#" comments, a header), named by its line number and first column, holding the others.
void addCaseRows(const QString &file);

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

// A listening socket on 127.0.0.1 whose accept queue is full and never
// drained: a further connection attempt to port() gets no answer (Linux drops
// its SYN) and hangs until the caller gives up, without leaving loopback.
class StalledListener
{
public:
    StalledListener();
    ~StalledListener();
    quint16 port() const { return m_port; }
    // A probe connection really hung, as the ones after it will.
    bool isStalled() const { return m_stalled; }

private:
    QList<int> m_sockets; // the listener first, then the connections that fill it
    quint16 m_port = 0;
    bool m_stalled = false;
};

// Multicast and unreachable hosts are only tried inside a network namespace
// that the test makes itself: lo up, 224.0.0.0/4 routed to lo.
bool insideOwnNetworkNamespace();
// Runs this test program again in such a namespace, restricted to
// "function:row"; returns its exit status, or -1 with the reason in why when
// no namespace can be made here.
int runInOwnNetworkNamespace(const QString &functionAndRow, QString *why);

// tests/data/<topic>.tsv as QString columns, a row named "line N: <first field>".
void addCasesFromTsv(const QString &topic);

// Starts tools/nmeasim; returns what follows `prefix` on its first line so begun.
QString startSimulator(QProcess &process, const QStringList &arguments, const QString &prefix);

} // namespace TestSupport
