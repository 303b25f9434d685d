#pragma once

#include <QByteArray>
#include <QStringList>

class NmeaConsumer;

// Decodes the sentences of one kind and hands what it finds to the
// consumer. One item per kind lives as long as its parser, so its state
// carries over from one sentence (and one source) to the next.
class NmeaItem
{
public:
    explicit NmeaItem(NmeaConsumer *consumer = nullptr);
    virtual ~NmeaItem() = default;

    virtual void parse(const QByteArray &line, int sourceId);
    // True when a value was handed to the consumer.
    virtual bool publish(int sourceId);

    bool valid = false; // the last parse produced a usable value
    bool fresh = false; // parse ran and publish has not consumed it yet

protected:
    // The fields of the sentence before its checksum; field 0 is the address.
    static QStringList splitFields(const QByteArray &line);
    // A field as a number; one that does not read, or reads as infinity or
    // not-a-number, counts as 0.0 with ok cleared.
    static double readNumber(const QString &field, bool &ok);
    static double readNumber(const QString &field);
    // Barometers write bar or hectopascals: below 3 it can only be bar.
    static double normalisePressure(double value);
    // The consumer given at construction, else the BackEnd (may be null).
    NmeaConsumer *consumer() const;

private:
    NmeaConsumer *m_consumer;
};
