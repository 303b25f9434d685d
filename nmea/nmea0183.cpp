#include "nmea0183.h"

#include "nmeaitemmda.h"
#include "nmeaitemmmb.h"
#include "nmeaitemrmc.h"
#include "nmeaitemxdr.h"

#include <QDebug>

namespace {
constexpr int MinimumLength = 6;     // $, talker, formatter
constexpr int FormatterOffset = 3;
constexpr int FormatterLength = 3;
constexpr int ChecksumSpan = 99;
}

Nmea0183::Nmea0183(QObject *parent, NmeaConsumer *consumer)
    : QObject(parent)
    , sentenceIds{QByteArrayLiteral("MDA"), QByteArrayLiteral("XDR"), QByteArrayLiteral("MMB"),
                  QByteArrayLiteral("RMC")}
    , m_consumer(consumer)
{
}

Nmea0183::~Nmea0183()
{
    qDeleteAll(items);
}

bool Nmea0183::isKnownSentence(const QByteArray &line, int &index) const
{
    if (line.size() < MinimumLength || line.at(0) != '$')
        return false;
    // The talker (GP, EC, II, WI, ...) does not matter; the formatter does.
    const char *formatter = line.constData() + FormatterOffset;
    for (int i = 0; i < sentenceIds.size(); ++i) {
        if (qstrncmp(formatter, sentenceIds.at(i).constData(), FormatterLength) == 0) {
            index = i;
            return true;
        }
    }
    return false;
}

QString Nmea0183::checksum(const QByteArray &text)
{
    const int end = qMin(text.size(), ChecksumSpan);
    quint8 sum = 0;
    for (int i = 1; i < end; ++i) {
        const char c = text.at(i);
        if (c == '*' || c == '\r' || c == '\n')
            break;
        sum ^= quint8(c);
    }
    return QStringLiteral("%1").arg(sum, 2, 16, QLatin1Char('0')).toUpper();
}

bool Nmea0183::isChecksumValid(const QByteArray &line)
{
    const int star = line.lastIndexOf('*');
    if (star < 0)
        return true;
    // The received digits follow the last star; lower case is accepted.
    const QString received = QString::fromLatin1(line.mid(star + 1, 2)).toUpper();
    return received == checksum(line);
}

bool Nmea0183::isValidSentence(const QByteArray &line, int &index)
{
    return isKnownSentence(line, index) && isChecksumValid(line);
}

QString Nmea0183::refusalReason(const QByteArray &line) const
{
    int index = 0;
    if (line.size() < MinimumLength)
        return QStringLiteral("too short for a sentence");
    if (line.at(0) != '$')
        return QStringLiteral("does not begin with $");
    if (!isKnownSentence(line, index))
        return QStringLiteral("sentence %1 not decoded")
            .arg(QString::fromLatin1(line.mid(FormatterOffset, FormatterLength)));
    if (!isChecksumValid(line))
        return QStringLiteral("checksum wrong, computed %1").arg(checksum(line));
    return QString();
}

NmeaItem *Nmea0183::createItem(int index) const
{
    switch (index) {
    case 0: return new NmeaItemMDA(m_consumer);
    case 1: return new NmeaItemXDR(m_consumer);
    case 2: return new NmeaItemMMB(m_consumer);
    case 3: return new NmeaItemRMC(m_consumer);
    default: return nullptr;
    }
}

void Nmea0183::parseSentence(const QByteArray &line, int index, int sourceId)
{
    NmeaItem *item = items.value(index);
    if (!item) {
        item = createItem(index);
        if (!item) {
            qWarning() << "message not implemented??" << index;
            return;
        }
        items.insert(index, item);
    }
    item->parse(line, sourceId);
}
