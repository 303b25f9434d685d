#pragma once

#include "backend.h"
#include "datasource.h"

#include <QtTest>

// The fixture of every test: working folder, settings, message log, back end and history store, case files, nmeasim,
// loopback stand-ins.
namespace TestSupport {

// A fresh folder (in /dev/shm if there) as working directory while it lives; the relay sends to loopback only.
class TempWorkDir
{
public:
    TempWorkDir();
    ~TempWorkDir() { QDir::setCurrent(m_previous); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Keys into "./barograph.ini"; those that start no worker nor positioning; "key=value;..." as a map.
void writeSettings(const QVariantMap &values);
QVariantMap quietSettings();
QVariantMap settingsFrom(const QString &text);

// Every line of the Qt message log (all threads) while it lives; still printed.
class MessageLog
{
public:
    MessageLog();
    ~MessageLog();
    QStringList lines() const { std::lock_guard<std::mutex> lock(s_mutex); return m_lines; }
    bool contains(const QString &text) const { return indexOf(text) >= 0; }
    int count(const QString &text) const { return lines().filter(text).size(); }
    int indexOf(const QString &text) const; // the first line containing text, or -1
    void clear() { std::lock_guard<std::mutex> lock(s_mutex); m_lines.clear(); }

private:
    inline static std::mutex s_mutex; // also held while a worker's line is taken, so a log ends only between lines
    QStringList m_lines;
    QtMessageHandler m_previous;
};

// Time passes until the wall clock reads secs: both clocks move (not the clock being set).
inline void passTimeTo(qint64 secs) { Clock::advance(secs * 1000 - Clock::currentMSecsSinceEpoch()); }

// Rows of the history database, on the store's connection (other columns 0).
void insertHistoryRow(const QString &table, qint64 time, double pressure, double elevation = 0.0, double offset = 0.0);
int historyRowCount(const QString &table); // -1 when the table cannot be read
QList<qint64> historyTimes(const QString &table); // oldest first
bool historySql(const QString &sql); // one statement; false when it failed

// A BackEnd on quiet settings and `settings` (no file when fresh) in a fresh folder, a DataSource with history, the
// wall clock frozen at wallSeconds unless negative; torn down in the program's order, then the clock seam is reset.
class BackEndFixture
{
public:
    explicit BackEndFixture(const QVariantMap &settings = {}, bool history = false, qint64 wallSeconds = -1,
                            bool fresh = false);
    ~BackEndFixture();
    BackEnd *backend() const { return m_backend; }
    // The program stopped and started again on the same folder (with history).
    BackEnd *restart();
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    TempWorkDir m_dir;
    BackEnd *m_backend = nullptr;
};

struct HistoryFixture : BackEndFixture
{
    explicit HistoryFixture(qint64 wallSeconds) : BackEndFixture({}, true, wallSeconds) {}
};

// Case files, tests/data/<file>: a header naming the columns, then a case a line, tab-separated, `#` comments.
// addRows makes QTest rows of QString columns, named "<file>:<line>"; cell() is a column of the current row.
// QCOMPARE_ROW compares with a column; with QUILLMERE_REBUILD_EXPECTED=1 it writes the actual value into the file
// instead (commit it with the reason).
inline QString dataPath(const QString &file) { return QUILLMERE_SOURCE_DIR "/tests/data/" + file; }
void addRows(const QString &file);
QString dataFile(const QString &file); // the whole text
inline QString cell(const char *name) { return *static_cast<QString *>(QTest::qData(name, qMetaTypeId<QString>())); }
QString expected(const char *column, const QString &actual);
#define QCOMPARE_ROW(actual, column) QCOMPARE(QString(actual), TestSupport::expected(column, actual))
// Cell text with \r \n \t \\ \xNN escapes as bytes, and back; its " | " items.
QByteArray unescape(const QString &text);
QString escape(const QString &text);
inline QStringList items(const QString &text) { return text.isEmpty() ? QStringList() : text.split(" | "); }

// Starts tools/nmeasim: the rest of its first line beginning with prefix ("pty: "), or nothing.
QString startSimulator(QProcess &process, const QStringList &arguments, const QString &prefix);

// Sends sig to a child that still runs. Once Qt has seen the child end its pid reads 0, and kill(0, sig) would end
// the test and the whole test run with it.
bool signalChild(const QProcess &process, int sig);

// A UDP port on 127.0.0.1 free a moment ago, for a source to bind.
quint16 freeUdpPort();

// A listener on 127.0.0.1 whose accept queue is full and never drained: a further connection attempt gets no answer
// (Linux drops its SYN) and hangs.
class StalledListener
{
public:
    StalledListener();
    ~StalledListener();
    quint16 port() const { return m_port; }
    bool isStalled() const { return m_stalled; } // a probe connection did hang

private:
    QList<int> m_sockets;
    quint16 m_port = 0;
    bool m_stalled = false;
};

// Multicast only inside a network namespace of the test's own (lo up, 224.0.0.0/4 on lo): this program again there,
// for "function:row"; its exit status, or -1 and why if none can be made (-2: it had not ended after timeoutMs).
inline bool insideOwnNetworkNamespace() { return qEnvironmentVariableIsSet("QUILLMERE_OWN_NETNS"); }
int runInOwnNetworkNamespace(const QString &functionAndRow, QString *why, int timeoutMs = 60000);

// The desktop's session bus is never reached: tests run with none, or, for "function:row", this program again under
// dbus-run-session with a bus of its own (tests/data/session-bus.conf); its exit status, or -1 and why.
inline bool onOwnSessionBus() { return qEnvironmentVariableIsSet("QUILLMERE_OWN_BUS"); }
int runOnOwnSessionBus(const QString &functionAndRow, QString *why);

} // namespace TestSupport
