#include "backend.h"
#include "datasource.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QMutexLocker>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

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

} // namespace TestSupport
