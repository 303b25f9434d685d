#pragma once

#include <QByteArray>
#include <QPointF>
#include <QString>
#include <QStringList>

class NmeaConsumer;
class QJsonObject;
class QJsonValue;

// One Signal K server's stream as the barograph reads it: first the server's
// hello, which names the boat it serves in "self" ("vessels.urn:mrn:..."),
// then deltas, JSON objects whose updates carry values by path:
//   {"context":"vessels.urn:mrn:imo:mmsi:234567890","updates":[{"timestamp":"...",
//    "values":[{"path":"environment.outside.pressure","value":101325}]}]}
// The pressure (Pa), position (degrees), true course (rad) and speed over
// ground (m/s) of this boat go to the consumer in the program's units (hPa,
// degrees, knots), under one source index; other paths are passed over.
// The time stamps are not read: a server stamps a position with the GPS time
// of its sentence, and a value's age counts from its arrival here.
class SignalKReader
{
public:
    SignalKReader(NmeaConsumer *consumer, int sourceId);

    // One message: a WebSocket text message, or a line of a recording. What
    // was refused in it, and why; empty when everything was taken. A message
    // is untrusted: one larger than MaxMessageBytes, one that is not a JSON
    // object, another vessel's values and values beyond reason are refused.
    QStringList feed(const QByteArray &message);
    // A new connection: the boat is named again by the next hello.
    void reset();

    // What the source asks the server for, right after connecting: the four
    // paths of this boat as they change, at most once a second each.
    static QByteArray subscription();

    static constexpr int MaxMessageBytes = 256 * 1024;

private:
    bool isThisBoat(const QJsonObject &message) const;
    QString take(const QString &path, const QJsonValue &value);

    NmeaConsumer *m_consumer;
    int m_sourceId;
    QString m_self;
    bool m_hasPosition = false;
    QPointF m_position;
    double m_cog = 0.0;
    double m_sog = 0.0;
    bool m_fixChanged = false;
};
