#include "backend.h"
#include "datasource.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMutexLocker>
#include <QProcess>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

namespace TestSupport {

TempWorkDir::TempWorkDir()
    : m_previous(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
}

TempWorkDir::~TempWorkDir()
{
    QDir::setCurrent(m_previous);
}

void writeSettings(const QVariantMap &values)
{
    QSettings settings(QStringLiteral("./barograph.ini"), QSettings::IniFormat);
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        settings.setValue(it.key(), it.value());
    settings.sync();
}

QVariantMap quietSettings()
{
    return {{QStringLiteral("SettingSerialPort"), QStringLiteral("None")},
            {QStringLiteral("SettingUseSerial"), 0},
            {QStringLiteral("SettingUseTcp"), 0},
            {QStringLiteral("SettingUseUdp"), 0},
            {QStringLiteral("SettingUseUdpOut"), 0},
            {QStringLiteral("SettingUsePos"), 0}};
}

namespace {
MessageLog *s_current = nullptr;
QtMessageHandler s_previous = nullptr;
} // namespace

MessageLog::MessageLog()
{
    s_current = this;
    s_previous = qInstallMessageHandler(&MessageLog::handler);
}

MessageLog::~MessageLog()
{
    qInstallMessageHandler(s_previous);
    s_current = nullptr;
}

void MessageLog::handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (MessageLog *log = s_current) {
        QMutexLocker lock(&log->m_mutex);
        log->m_lines << message;
    }
    if (s_previous)
        s_previous(type, context, message);
}

QStringList MessageLog::lines() const
{
    QMutexLocker lock(&m_mutex);
    return m_lines;
}

bool MessageLog::contains(const QString &text) const
{
    return count(text) > 0;
}

int MessageLog::count(const QString &text) const
{
    QMutexLocker lock(&m_mutex);
    int n = 0;
    for (const QString &line : m_lines)
        n += line.contains(text) ? 1 : 0;
    return n;
}

void MessageLog::clear()
{
    QMutexLocker lock(&m_mutex);
    m_lines.clear();
}

namespace {
QSqlDatabase historyDb()
{
    return QSqlDatabase::database(QStringLiteral("DB_BAROGRAPH"), false);
}
} // namespace

void insertHistoryRow(const QString &table, qint64 time, double pressure, double elevation, double offset)
{
    QSqlQuery query(historyDb());
    query.prepare(QStringLiteral("INSERT INTO %1 VALUES (?, 0.0, 0.0, 0.0, 0.0, ?, ?, ?)").arg(table));
    query.addBindValue(time);
    query.addBindValue(pressure);
    query.addBindValue(elevation);
    query.addBindValue(offset);
    if (!query.exec())
        qWarning("insertHistoryRow failed on %s", qPrintable(table));
}

int historyRowCount(const QString &table)
{
    QSqlQuery query(historyDb());
    if (!query.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)) || !query.next())
        return -1;
    return query.value(0).toInt();
}

QList<qint64> historyTimes(const QString &table)
{
    QList<qint64> times;
    QSqlQuery query(historyDb());
    query.exec(QStringLiteral("SELECT TIME FROM %1 ORDER BY TIME").arg(table));
    while (query.next())
        times << query.value(0).toLongLong();
    return times;
}

QString dataFile(const QString &name)
{
    QFile data(QStringLiteral(QUILLMERE_SOURCE_DIR "/tests/data/") + name);
    if (!data.open(QIODevice::ReadOnly | QIODevice::Text))
        qFatal("cannot read tests/data/%s", qPrintable(name));
    return QString::fromUtf8(data.readAll());
}

bool historySql(const QString &sql)
{
    QSqlQuery query(historyDb());
    return query.exec(sql);
}

void addCaseRows(const QString &file)
{
    QTest::addColumn<QStringList>("fields");
    const QStringList lines = dataFile(file).split(QLatin1Char('\n'));
    bool header = true;
    for (int i = 0; i < lines.size(); ++i) {
        QStringList fields = lines.at(i).split(QLatin1Char('\t'));
        if (lines.at(i).isEmpty() || lines.at(i).startsWith(QLatin1Char('#')) || std::exchange(header, false))
            continue;
        const QString name = QStringLiteral("%1 %2").arg(i + 1).arg(fields.takeFirst());
        QTest::newRow(qPrintable(name)) << fields;
    }
}

HistoryFixture::HistoryFixture(qint64 wallSeconds)
{
    Clock::reset();
    Clock::setWallClock(wallSeconds * 1000);
    writeSettings(quietSettings());
    m_backend = new BackEnd(nullptr);
    g_dataSource = new DataSource();
}

HistoryFixture::~HistoryFixture()
{
    delete g_dataSource;
    g_dataSource = nullptr;
    // The connection keeps its file name; the next fixture has another folder.
    QSqlDatabase::removeDatabase(QStringLiteral("DB_BAROGRAPH"));
    delete m_backend;
    Clock::reset();
}

namespace {
// A non-blocking TCP connection to 127.0.0.1:port; true when it completed
// within waitMs.
bool connectLoopback(quint16 port, int waitMs, QList<int> &sockets)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockets << fd;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0)
        return true;
    pollfd p{fd, POLLOUT, 0};
    return ::poll(&p, 1, waitMs) == 1;
}
} // namespace

StalledListener::StalledListener()
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    m_sockets << listener;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr *>(&address), size) != 0 || ::listen(listener, 0) != 0
        || ::getsockname(listener, reinterpret_cast<sockaddr *>(&address), &size) != 0)
        return;
    m_port = ntohs(address.sin_port);
    // A backlog of 0 holds one connection; fill it until one attempt hangs.
    for (int i = 0; i < 8 && !m_stalled; ++i)
        m_stalled = !connectLoopback(m_port, 300, m_sockets);
}

StalledListener::~StalledListener()
{
    for (int fd : qAsConst(m_sockets))
        ::close(fd);
}

bool insideOwnNetworkNamespace()
{
    return qEnvironmentVariableIsSet("QUILLMERE_OWN_NETNS");
}

int runInOwnNetworkNamespace(const QString &functionAndRow, QString *why)
{
    const QString setUp = QStringLiteral("ip link set lo up && ip route add 224.0.0.0/4 dev lo");
    QProcess probe;
    probe.start(QStringLiteral("unshare"), {"--net", "--map-root-user", "sh", "-c", setUp});
    if (!probe.waitForFinished(10000) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0) {
        *why = QStringLiteral("no network namespace here (unshare --net and ip): ")
            + QString::fromLocal8Bit(probe.readAllStandardError() + probe.errorString().toLocal8Bit());
        return -1;
    }
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUILLMERE_OWN_NETNS"), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QStringLiteral("unshare"), {"--net", "--map-root-user", "sh", "-c", setUp + " && exec \"$0\" \"$1\"",
                                           QCoreApplication::applicationFilePath(), functionAndRow});
    if (!child.waitForFinished(60000))
        return -2;
    return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -2;
}

void addCasesFromTsv(const QString &topic)
{
    QFile file(QStringLiteral(QUILLMERE_SOURCE_DIR "/tests/data/%1.tsv").arg(topic));
    QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(file.fileName()));
    static QList<QByteArray> columns; // QTest keeps the names by pointer
    const int firstColumn = columns.size();
    for (int number = 1; !file.atEnd(); ++number) {
        const QStringList fields = QString::fromUtf8(file.readLine()).remove(QLatin1Char('\n')).split(QLatin1Char('\t'));
        if (fields.first().startsWith(QLatin1Char('#')) || fields.join(QString()).trimmed().isEmpty())
            continue;
        if (columns.size() == firstColumn) {
            for (const QString &column : fields.mid(1))
                QTest::addColumn<QString>((columns << column.toUtf8()).last().constData());
            continue;
        }
        QTestData &row = QTest::newRow(qPrintable(QStringLiteral("line %1: %2").arg(number).arg(fields.first())));
        for (const QString &field : fields.mid(1))
            row << field;
    }
}

QString startSimulator(QProcess &process, const QStringList &arguments, const QString &prefix)
{
    process.start(QStringLiteral(QUILLMERE_BIN_DIR "/tools/nmeasim/nmeasim"), arguments);
    while (process.waitForStarted(5000) && (process.canReadLine() || process.waitForReadyRead(5000))) {
        const QString line = QString::fromLocal8Bit(process.readLine()).trimmed();
        if (line.startsWith(prefix))
            return line.mid(prefix.size());
    }
    return QString();
}

} // namespace TestSupport
