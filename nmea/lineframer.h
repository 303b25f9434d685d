#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class SentenceSink;

// Cuts the byte stream of one NMEA source into lines and hands them to a
// sink. Lines end at a line feed, a CR LF pair, a lone carriage return or a
// backslash (so the tag block in front of an NMEA 4 sentence is a piece of
// its own); empty pieces are dropped and an incomplete last line waits for
// the next chunk.
//
// Serial: noise in front of `$` or `!` is removed, the barometer's $PWEGB
// replies go to the reply handler instead of the parser, and a line the
// parser refuses gives the warning "message rejected by NMEA module".
// Network (TCP, UDP): a line must begin with `$` or `!`; refusals are silent.
// Gateway (NMEA 2000 frames as text over TCP or UDP): every line goes to the
// sink as it is; refusals are silent.
//
// The incomplete tail is bounded: past MaxPending bytes the oldest are
// dropped (one warning line per overrun), so a stream without separators
// cannot grow it without end.
class LineFramer
{
public:
    enum Variant { Serial, Network, Gateway };
    static constexpr int MaxPending = 10240;

    LineFramer(Variant variant, int sourceId);

    // Appends the chunk and hands every complete line that passes the
    // variant's filter to sink->isValidSentence, then sink->parseSentence.
    void feed(const QByteArray &chunk, SentenceSink *sink);

    // Serial only: the lines beginning "$PWEGB,OK", "$PWEGB,ERR" or
    // "$PWEGB,CAL," (checksum included).
    void setReplyHandler(std::function<void(const QByteArray &line)> handler);
    // Every line refused, by the filter or by the sink, and why (for tools).
    void setRejectHandler(std::function<void(const QByteArray &line, const QString &why)> handler);

    // Bytes held in the incomplete tail.
    int pendingSize() const { return m_pending.size(); }
    void clear();

    Variant variant() const { return m_variant; }
    int sourceId() const { return m_sourceId; }

private:
    void handleLine(QByteArray line, SentenceSink *sink);
    bool takeReply(const QByteArray &line);
    void reject(const QByteArray &line, const QString &why);
    void boundPending();

    Variant m_variant;
    int m_sourceId;
    QByteArray m_pending;
    bool m_overrun = false;
    std::function<void(const QByteArray &)> m_replyHandler;
    std::function<void(const QByteArray &, const QString &)> m_rejectHandler;
};
