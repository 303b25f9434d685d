#include "testsupport.h"

#include "nmeasenderudp.h"

#include <QSettings>
#include <QSqlQuery>
#include <QUdpSocket>

#include <arpa/inet.h>
#include <csignal>
#include <poll.h>
#include <unistd.h>

namespace TestSupport {

TempWorkDir::TempWorkDir()
    : m_dir((QFileInfo("/dev/shm").isWritable() ? QString("/dev/shm") : QDir::tempPath()) + "/quillmere-XXXXXX")
    , m_previous(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
    NmeaSenderUdp::setDestinationProvider([] { return QSet<QHostAddress>{QHostAddress(QHostAddress::LocalHost)}; });
}

void writeSettings(const QVariantMap &values)
{
    QSettings settings("./barograph.ini", QSettings::IniFormat);
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        settings.setValue(it.key(), it.value());
}

QVariantMap quietSettings()
{
    return settingsFrom("SettingSerialPort=None;SettingUseSerial=0;SettingUseTcp=0;SettingUseUdp=0;SettingUseUdpOut=0;"
                        "SettingUsePos=0");
}

QVariantMap settingsFrom(const QString &text)
{
    QVariantMap map;
    for (const QString &pair : text.split(';', Qt::SkipEmptyParts))
        map.insert(pair.section('=', 0, 0), pair.section('=', 1));
    return map;
}

static MessageLog *s_log = nullptr;

MessageLog::MessageLog()
{
    std::lock_guard<std::mutex> lock(s_mutex);
    s_log = this;
    m_previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &text) {
        std::lock_guard<std::mutex> lock(s_mutex);
        if (MessageLog *log = s_log) {
            log->m_lines << text;
            log->m_previous(type, context, text);
        }
    });
}

MessageLog::~MessageLog()
{
    qInstallMessageHandler(m_previous);
    std::lock_guard<std::mutex> lock(s_mutex);
    s_log = nullptr;
}

int MessageLog::indexOf(const QString &text) const
{
    const QStringList all = lines();
    const auto it = std::find_if(all.cbegin(), all.cend(), [&text](const QString &l) { return l.contains(text); });
    return it == all.cend() ? -1 : int(it - all.cbegin());
}

static QSqlQuery history(const QString &sql, const QVariantList &values = {})
{
    QSqlQuery query(QSqlDatabase::database("DB_BAROGRAPH", false));
    query.prepare(sql);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        qWarning("test query failed: %s", qPrintable(sql));
    return query;
}

void insertHistoryRow(const QString &table, qint64 time, double pressure, double elevation, double offset)
{
    history(QString("INSERT INTO %1 VALUES (?, 0, 0, 0, 0, ?, ?, ?)").arg(table), {time, pressure, elevation, offset});
}

int historyRowCount(const QString &table)
{
    QSqlQuery query = history(QString("SELECT COUNT(*) FROM %1").arg(table));
    return query.next() ? query.value(0).toInt() : -1;
}

bool historySql(const QString &sql)
{
    return QSqlQuery(QSqlDatabase::database("DB_BAROGRAPH", false)).exec(sql);
}

QString dataFile(const QString &file)
{
    QFile f(dataPath(file));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        qFatal("cannot read tests/data/%s", qPrintable(file));
    return QString::fromUtf8(f.readAll());
}

QList<qint64> historyTimes(const QString &table)
{
    QList<qint64> times;
    for (QSqlQuery query = history(QString("SELECT TIME FROM %1 ORDER BY TIME").arg(table)); query.next();)
        times << query.value(0).toLongLong();
    return times;
}

BackEndFixture::BackEndFixture(const QVariantMap &settings, bool history, qint64 wallSeconds, bool fresh)
{
    if (wallSeconds >= 0)
        Clock::setWallClock(wallSeconds * 1000);
    QVariantMap all = quietSettings();
    all.insert(settings);
    if (!fresh)
        writeSettings(all);
    m_backend = new BackEnd(nullptr);
    g_dataSource = history ? new DataSource() : nullptr;
}

BackEnd *BackEndFixture::restart()
{
    delete g_dataSource;
    QSqlDatabase::removeDatabase("DB_BAROGRAPH");
    delete m_backend;
    m_backend = new BackEnd(nullptr);
    g_dataSource = new DataSource();
    return m_backend;
}

BackEndFixture::~BackEndFixture()
{
    delete g_dataSource;
    g_dataSource = nullptr;
    QSqlDatabase::removeDatabase("DB_BAROGRAPH"); // it keeps its file; the next fixture has another folder
    delete m_backend;
    g_backEnd = nullptr;
    Clock::reset();
}

// Each case file read: its lines and columns. Rebuilt ones are written back at exit.
struct CaseFile
{
    QStringList lines, header;
    bool rebuilt = false;
};
static QMap<QString, CaseFile> s_files;
static QByteArrayList s_columnNames; // QTest keeps the pointers
static struct Rewriter
{
    ~Rewriter()
    {
        for (auto it = s_files.cbegin(); it != s_files.cend(); ++it) {
            QFile f(dataPath(it.key()));
            if (it->rebuilt && f.open(QIODevice::WriteOnly))
                f.write(it->lines.join('\n').toUtf8());
        }
    }
} s_rewriter;

void addRows(const QString &file)
{
    QFile f(dataPath(file));
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
    CaseFile &cases = s_files[file] = {QString::fromUtf8(f.readAll()).split('\n'), {}, false};
    for (int i = 0; i < cases.lines.size(); ++i) {
        const QStringList fields = cases.lines.at(i).split('\t');
        if (cases.lines.at(i).trimmed().isEmpty() || cases.lines.at(i).startsWith('#'))
            continue;
        if (cases.header.isEmpty()) {
            for (const QString &column : cases.header = fields)
                QTest::addColumn<QString>((s_columnNames << column.toLatin1()).last().constData());
            continue;
        }
        QTestData &row = QTest::addRow("%s:%d", qPrintable(file), i + 1);
        for (int c = 0; c < cases.header.size(); ++c)
            row << fields.value(c);
    }
}

QString expected(const char *column, const QString &actual)
{
    if (qEnvironmentVariableIntValue("QUILLMERE_REBUILD_EXPECTED") != 1)
        return cell(column);
    const QString tag = QTest::currentDataTag();
    CaseFile &cases = s_files[tag.section(':', 0, 0)];
    QString &line = cases.lines[tag.section(':', 1).toInt() - 1];
    QStringList fields = line.split('\t');
    while (fields.size() < cases.header.size())
        fields << QString();
    fields[cases.header.indexOf(column)] = actual;
    line = fields.join('\t');
    cases.rebuilt = true;
    return actual;
}

QByteArray unescape(const QString &text)
{
    const QByteArray in = text.toUtf8();
    QByteArray out;
    for (int i = 0; i < in.size(); ++i) {
        const char c = in.at(i) == '\\' && i + 1 < in.size() ? in.at(++i) : 0;
        if (c == 'x')
            out += char(in.mid(i + 1, 2).toInt(nullptr, 16)), i += 2;
        else
            out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c ? c : in.at(i);
    }
    return out;
}

QString escape(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        const int i = QString("\\\r\n\t").indexOf(c);
        out += i >= 0                                   ? QString("\\\\ \\r \\n \\t").section(' ', i, i)
            : c.unicode() < 0x20 || c.unicode() == 0x7f ? QString("\\x%1").arg(c.unicode(), 2, 16, QChar('0'))
                                                        : QString(c);
    }
    return out;
}

bool signalChild(const QProcess &process, int sig)
{
    const qint64 pid = process.processId();
    return pid > 0 && ::kill(pid_t(pid), sig) == 0;
}

QString startSimulator(QProcess &process, const QStringList &arguments, const QString &prefix)
{
    process.start(QUILLMERE_BIN_DIR "/tools/nmeasim/nmeasim", arguments);
    while (process.canReadLine() || process.waitForReadyRead(10000)) {
        const QString line = QString::fromLocal8Bit(process.readLine()).trimmed();
        if (line.startsWith(prefix))
            return line.mid(prefix.size());
    }
    return QString();
}

quint16 freeUdpPort()
{
    QUdpSocket probe;
    return probe.bind(QHostAddress(QHostAddress::LocalHost)) ? probe.localPort() : 0;
}

StalledListener::StalledListener()
{
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t size = sizeof address;
    m_sockets << ::socket(AF_INET, SOCK_STREAM, 0);
    if (::bind(m_sockets[0], reinterpret_cast<sockaddr *>(&address), size) != 0 || ::listen(m_sockets[0], 0) != 0
        || ::getsockname(m_sockets[0], reinterpret_cast<sockaddr *>(&address), &size) != 0)
        return;
    m_port = ntohs(address.sin_port);
    // A backlog of 0 holds one connection: connect until an attempt hangs.
    while (!m_stalled && m_sockets.size() < 8) {
        m_sockets << ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        pollfd p{m_sockets.last(), POLLOUT, 0};
        m_stalled = ::connect(p.fd, reinterpret_cast<sockaddr *>(&address), size) != 0 && ::poll(&p, 1, 300) == 0;
    }
}

StalledListener::~StalledListener()
{
    for (int fd : qAsConst(m_sockets))
        ::close(fd);
}

// This program again for "function:row", started by `program` with `arguments`, with `flag` set in its environment.
static int runAgain(const QString &program, QStringList arguments, const char *flag, const QString &functionAndRow,
                    int timeoutMs = 60000)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(flag, "1");
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(program, arguments << QCoreApplication::applicationFilePath() << functionAndRow);
    return child.waitForFinished(timeoutMs) && child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -2;
}

int runInOwnNetworkNamespace(const QString &functionAndRow, QString *why, int timeoutMs)
{
    const QString setUp = "ip link set lo up && ip route add 224.0.0.0/4 dev lo";
    QProcess child;
    child.start("unshare", {"--net", "--map-root-user", "sh", "-c", setUp});
    if (!child.waitForFinished(10000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        *why = "no network namespace here (unshare --net, ip): " + child.readAllStandardError();
        return -1;
    }
    return runAgain("unshare", {"--net", "--map-root-user", "sh", "-c", setUp + " && exec \"$0\" \"$1\""},
                    "QUILLMERE_OWN_NETNS", functionAndRow, timeoutMs);
}

// Set before anything opens a bus, and inherited by the programs tests start.
[[maybe_unused]] static bool s_noBus = onOwnSessionBus() || qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/none");

int runOnOwnSessionBus(const QString &functionAndRow, QString *why)
{
    if (QStandardPaths::findExecutable("dbus-run-session").isEmpty()) {
        *why = "no dbus-run-session here (Debian's dbus-bin and dbus-daemon)";
        return -1;
    }
    return runAgain("dbus-run-session", {"--config-file=" + dataPath("session-bus.conf"), "--"}, "QUILLMERE_OWN_BUS",
                    functionAndRow);
}

} // namespace TestSupport
