#include "signalkreader.h"

#include "backend.h"
#include "nmeaconsumer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cmath>

namespace {
const QString PressurePath = QStringLiteral("environment.outside.pressure");
const QString PositionPath = QStringLiteral("navigation.position");
const QString CoursePath = QStringLiteral("navigation.courseOverGroundTrue");
const QString SpeedPath = QStringLiteral("navigation.speedOverGround");
constexpr double Pi = 3.14159265358979323846;
// No boat makes more: such a speed is a garbled value (as for NMEA).
constexpr double MaximumSpeedKnots = 1000.0;
constexpr double KnotsPerMetreSecond = 3.6 / 1.852;
// A full turn, with room for the rounding of a server's conversion.
constexpr double FullTurnRad = 2.0 * Pi + 1e-6;

bool finiteNumber(const QJsonValue &value, double &number)
{
    number = value.toDouble();
    return value.isDouble() && std::isfinite(number);
}

QString shown(const QJsonValue &value)
{
    const QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(text.mid(1, text.size() - 2).left(80));
}
} // namespace

SignalKReader::SignalKReader(NmeaConsumer *consumer, int sourceId)
    : m_consumer(consumer)
    , m_sourceId(sourceId)
{
}

QByteArray SignalKReader::subscription()
{
    QJsonArray paths;
    for (const QString &path : {PressurePath, PositionPath, CoursePath, SpeedPath})
        paths.append(QJsonObject{{"path", path}, {"policy", "instant"}, {"minPeriod", 1000}});
    return QJsonDocument(QJsonObject{{"context", "vessels.self"}, {"subscribe", paths}})
        .toJson(QJsonDocument::Compact);
}

void SignalKReader::reset()
{
    m_self.clear();
}

bool SignalKReader::isThisBoat(const QJsonObject &message) const
{
    // A delta without context is about the server's own boat.
    const QJsonValue context = message.value(QStringLiteral("context"));
    if (context.isUndefined())
        return true;
    const QString name = context.toString();
    return name == QLatin1String("vessels.self") || (!m_self.isEmpty() && name == m_self);
}

QStringList SignalKReader::feed(const QByteArray &message)
{
    if (message.size() > MaxMessageBytes)
        return {QStringLiteral("message of %1 bytes, more than %2").arg(message.size()).arg(MaxMessageBytes)};
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(message, &error);
    if (!document.isObject())
        return {QStringLiteral("not a JSON object: %1").arg(error.error ? error.errorString() : "another value")};
    const QJsonObject object = document.object();
    const QJsonValue updates = object.value(QStringLiteral("updates"));
    if (updates.isUndefined()) {
        // The hello, or a reply to the subscription.
        if (object.value(QStringLiteral("self")).isString())
            m_self = object.value(QStringLiteral("self")).toString();
        return {};
    }
    if (!isThisBoat(object))
        return {QStringLiteral("another vessel: %1").arg(shown(object.value(QStringLiteral("context"))))};
    QStringList refused;
    m_fixChanged = false;
    for (const QJsonValue update : updates.toArray()) {
        for (const QJsonValue entry : update.toObject().value(QStringLiteral("values")).toArray()) {
            const QString why = take(entry.toObject().value(QStringLiteral("path")).toString(),
                                     entry.toObject().value(QStringLiteral("value")));
            if (!why.isEmpty())
                refused << why;
        }
    }
    // Once a message, with the course and speed that came with the position.
    if (m_fixChanged && m_consumer) {
        if (m_hasPosition)
            m_consumer->setFix(m_position, m_sog, m_cog, m_sourceId);
        else
            m_consumer->clearFix(m_sourceId);
    }
    return refused;
}

QString SignalKReader::take(const QString &path, const QJsonValue &value)
{
    double number = 0.0;
    if (path == PressurePath) {
        const double hpa = value.toDouble() / 100.0;
        if (!finiteNumber(value, number) || hpa < MINIMUM_PRESSURE || hpa > MAXIMUM_PRESSURE)
            return QStringLiteral("pressure beyond reason: %1").arg(shown(value));
        if (m_consumer)
            m_consumer->setPressure(hpa, m_sourceId);
    } else if (path == PositionPath) {
        // null: the server has no position any more.
        const QJsonObject at = value.toObject();
        double lat = 0.0;
        double lon = 0.0;
        const bool read = finiteNumber(at.value(QStringLiteral("latitude")), lat)
            && finiteNumber(at.value(QStringLiteral("longitude")), lon);
        if (!value.isNull() && (!read || std::fabs(lat) > 90.0 || std::fabs(lon) > 180.0 || (lat == 0.0 && lon == 0.0)))
            return QStringLiteral("position beyond reason: %1").arg(shown(value));
        m_hasPosition = !value.isNull();
        m_position = QPointF(lon, lat);
        m_fixChanged = true;
    } else if (path == CoursePath) {
        if (!value.isNull() && (!finiteNumber(value, number) || number < 0.0 || number > FullTurnRad))
            return QStringLiteral("course beyond reason: %1").arg(shown(value));
        m_cog = std::fmod(number * 180.0 / Pi, 360.0);
        m_fixChanged = m_fixChanged || m_hasPosition;
    } else if (path == SpeedPath) {
        if (!value.isNull()
            && (!finiteNumber(value, number) || number < 0.0 || number * KnotsPerMetreSecond > MaximumSpeedKnots))
            return QStringLiteral("speed beyond reason: %1").arg(shown(value));
        m_sog = number * KnotsPerMetreSecond;
        m_fixChanged = m_fixChanged || m_hasPosition;
    }
    return QString();
}
