#pragma once

#include "n2kdecoder.h"
#include "nmeasource.h"

#include <QCanBusDevice>

// NMEA 2000 straight from the boat's CAN backbone, through a CAN adapter the
// computer presents as a network interface (SocketCAN, "can0"), read with Qt
// SerialBus. The interface's bit rate (250 kbit/s on NMEA 2000) is set by the
// system, not here; the source only listens.
class NmeaSourceCan : public NmeaSource
{
    Q_OBJECT

public:
    NmeaSourceCan(NmeaReceiver *parent, const QString &interfaceName);
    ~NmeaSourceCan() override;

    void stopReceiving() override;
    bool isConnected() const;

    // The Qt SerialBus plug-in: "socketcan", unless QUILLMERE_CAN_PLUGIN
    // names another (tests use "virtualcan", CAN over a loopback TCP port).
    static QString plugin();

public slots:
    void slot_startReceiving() override;
    void slot_framesReceived();
    void slot_canError(QCanBusDevice::CanBusError error);
    void slot_stateChanged(QCanBusDevice::CanBusDeviceState state);

private:
    void failOpening(const QString &why);
    void loseLink();

    QString interfaceName;
    N2kDecoder decoder;
    QCanBusDevice *device = nullptr;
};
