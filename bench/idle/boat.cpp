#include "boat.h"

#include <QDateTime>
#include <QTcpSocket>

namespace {

QByteArray sentence(const QByteArray &body)
{
    quint8 sum = 0;
    for (const char c : body)
        sum ^= static_cast<quint8>(c);
    return '$' + body + '*' + QByteArray::number(sum, 16).toUpper().rightJustified(2, '0') + "\r\n";
}

} // namespace

void Boat::takeClients()
{
    while (QTcpSocket *client = m_server.nextPendingConnection())
        m_clients.append(client);
}

void Boat::send()
{
    ++m_round;
    const double hPa = 1013.2 - 0.002 * m_round;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QByteArray lines = sentence("IIMDA," + QByteArray::number(hPa * 0.0295299830714, 'f', 3) + ",I,"
                                + QByteArray::number(hPa / 1000.0, 'f', 5) + ",B,,,,,,,,,,,,,,,,");
    lines += sentence("GPRMC," + now.toString(QStringLiteral("HHmmss.00")).toLatin1()
                      + ",A,4730.120,N,00312.450,W,5.2,123.0,"
                      + now.toString(QStringLiteral("ddMMyy")).toLatin1() + ",,,A");
    for (QTcpSocket *client : qAsConst(m_clients))
        client->write(lines);
}
