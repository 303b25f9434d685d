#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

#include "sentencesink.h"

class NmeaConsumer;
class NmeaItem;

// Decides whether a line is one of the four sentences the barograph
// understands (MDA, XDR, MMB, RMC, any talker), checks its optional
// checksum and hands it to the item that decodes its kind. Items are made on
// first use and keep their state from one sentence to the next. It is a
// sentence sink itself, so tools can put it straight behind a line framer.
class Nmea0183 : public QObject, public SentenceSink
{
    Q_OBJECT

public:
    // The items hand their values to consumer; none means the BackEnd
    // (g_backEnd) as it is at the time of each call.
    explicit Nmea0183(QObject *parent = nullptr, NmeaConsumer *consumer = nullptr);
    ~Nmea0183() override;

    bool isKnownSentence(const QByteArray &line, int &index) const;
    static bool isChecksumValid(const QByteArray &line);
    // Exclusive-or of the bytes after the leading `$` or `!` up to the first
    // `*`, CR or LF, within the first 99 bytes; two upper-case hex digits.
    static QString checksum(const QByteArray &text);
    void parseSentence(const QByteArray &line, int index, int sourceId) override;

    // isKnownSentence, then isChecksumValid: the check the sources rely on.
    bool isValidSentence(const QByteArray &line, int &index) override;
    // Why isValidSentence refuses the line, in plain words (empty if it
    // does not).
    QString refusalReason(const QByteArray &line) const;

    // Sentence formatters; the position in the list is the sentence index.
    QList<QByteArray> sentenceIds;
    // Sentence index to its item, created on first use.
    QMap<int, NmeaItem *> items;

private:
    NmeaItem *createItem(int index) const;

    NmeaConsumer *m_consumer;
};
