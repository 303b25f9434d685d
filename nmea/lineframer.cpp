#include "lineframer.h"

#include "sentencesink.h"

#include <QDebug>

namespace {
bool isSeparator(char c)
{
    return c == '\n' || c == '\r' || c == '\\';
}

bool beginsSentence(char c)
{
    return c == '$' || c == '!';
}
}

LineFramer::LineFramer(Variant variant, int sourceId)
    : m_variant(variant)
    , m_sourceId(sourceId)
{
}

void LineFramer::setReplyHandler(std::function<void(const QByteArray &)> handler)
{
    m_replyHandler = std::move(handler);
}

void LineFramer::setRejectHandler(std::function<void(const QByteArray &, const QString &)> handler)
{
    m_rejectHandler = std::move(handler);
}

void LineFramer::clear()
{
    m_pending.clear();
    m_overrun = false;
}

void LineFramer::feed(const QByteArray &chunk, SentenceSink *sink)
{
    m_pending.append(chunk);
    // Cut at the last separator: what follows it is an incomplete line.
    int last = m_pending.size() - 1;
    while (last >= 0 && !isSeparator(m_pending.at(last)))
        --last;
    if (last < 0) {
        boundPending();
        return;
    }
    QByteArray buffer;
    buffer.swap(m_pending);
    m_pending = buffer.mid(last + 1);
    m_overrun = false;

    const char *data = buffer.constData();
    int start = 0;
    for (int i = 0; i <= last; ++i) {
        if (!isSeparator(data[i]))
            continue;
        if (i > start)
            handleLine(QByteArray(data + start, i - start), sink);
        start = i + 1;
    }
    boundPending();
}

void LineFramer::boundPending()
{
    if (m_pending.size() <= MaxPending)
        return;
    m_pending.remove(0, m_pending.size() - MaxPending);
    if (!m_overrun)
        qWarning() << "NMEA line buffer full, oldest bytes dropped, source" << m_sourceId;
    m_overrun = true;
}

void LineFramer::handleLine(QByteArray line, SentenceSink *sink)
{
    if (m_variant == Serial) {
        // The barometer starts talking mid-line after a reset: skip to the
        // first sentence start.
        int begin = 0;
        while (begin < line.size() && !beginsSentence(line.at(begin)))
            ++begin;
        if (begin == line.size())
            return reject(line, QStringLiteral("no $ or ! in the line"));
        line.remove(0, begin);
        if (takeReply(line))
            return;
    } else if (m_variant == Network && !beginsSentence(line.at(0))) {
        return reject(line, QStringLiteral("does not begin with $ or !"));
    }

    int index = 0;
    if (sink && sink->isValidSentence(line, index)) {
        sink->parseSentence(line, index, m_sourceId);
        return;
    }
    if (m_variant == Serial)
        qWarning() << "message rejected by NMEA module";
    reject(line, QStringLiteral("refused by the parser"));
}

bool LineFramer::takeReply(const QByteArray &line)
{
    if (!line.startsWith("$PWEGB,OK") && !line.startsWith("$PWEGB,ERR") && !line.startsWith("$PWEGB,CAL,"))
        return false;
    if (m_replyHandler)
        m_replyHandler(line);
    return true;
}

void LineFramer::reject(const QByteArray &line, const QString &why)
{
    if (m_rejectHandler)
        m_rejectHandler(line, why);
}
