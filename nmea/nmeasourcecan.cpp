#include "nmeasourcecan.h"

#include "backend.h"
#include "backendlink.h"

#include <QCanBus>
#include <QtDebug>

NmeaSourceCan::NmeaSourceCan(NmeaReceiver *parent, const QString &interfaceName)
    : NmeaSource(parent, SourceN2k)
    , interfaceName(interfaceName)
    , decoder(link.get(), SourceN2k)
{
}

NmeaSourceCan::~NmeaSourceCan()
{
    // The device goes with this object: nothing it says on closing comes back here.
    if (device)
        device->disconnect(this);
}

QString NmeaSourceCan::plugin()
{
    const QString chosen = qEnvironmentVariable("QUILLMERE_CAN_PLUGIN");
    return chosen.isEmpty() ? QStringLiteral("socketcan") : chosen;
}

bool NmeaSourceCan::isConnected() const
{
    return device && device->state() == QCanBusDevice::ConnectedState;
}

void NmeaSourceCan::stopReceiving()
{
    if (device) {
        device->disconnect(this);
        device->disconnectDevice();
        device->deleteLater();
        device = nullptr;
    }
    withdrawPressure();
}

void NmeaSourceCan::slot_startReceiving()
{
    stopReceiving();
    QString error;
    device = QCanBus::instance()->createDevice(plugin(), interfaceName, &error);
    if (!device)
        return failOpening(error);
    device->setParent(this);
    if (!device->connectDevice())
        return failOpening(device->errorString());
    connect(device, &QCanBusDevice::framesReceived, this, &NmeaSourceCan::slot_framesReceived);
    connect(device, &QCanBusDevice::errorOccurred, this, &NmeaSourceCan::slot_canError);
    connect(device, &QCanBusDevice::stateChanged, this, &NmeaSourceCan::slot_stateChanged);
    // SocketCAN is up at once; a plug-in that connects in the background says so later.
    slot_stateChanged(device->state());
}

void NmeaSourceCan::failOpening(const QString &why)
{
    qWarning() << "error opening CAN interface" << plugin() << interfaceName << why;
    if (device)
        device->deleteLater();
    device = nullptr;
    withdrawPressure();
    // An adapter plugged in later, or an interface brought up later: try again, as for a serial port.
    scheduleReconnect(ReconnectMs);
}

void NmeaSourceCan::slot_framesReceived()
{
    if (!device)
        return;
    // The plug-in queues what one read of the interface brought: taken whole.
    for (const QCanBusFrame &frame : device->readAllFrames()) {
        if (frame.frameType() == QCanBusFrame::DataFrame && frame.hasExtendedFrameFormat())
            decoder.feed(frame.frameId(), frame.payload());
    }
}

void NmeaSourceCan::slot_canError(QCanBusDevice::CanBusError error)
{
    // The source never writes: a refused write is not a lost link.
    if (!device || error == QCanBusDevice::NoError || error == QCanBusDevice::WriteError)
        return;
    qWarning() << "CAN bus error" << interfaceName << device->errorString();
    loseLink();
}

void NmeaSourceCan::slot_stateChanged(QCanBusDevice::CanBusDeviceState state)
{
    if (!device)
        return;
    if (state == QCanBusDevice::ConnectedState) {
        qWarning() << "CAN source activated" << interfaceName;
        reconnecting = false;
    } else if (state == QCanBusDevice::UnconnectedState) {
        qWarning() << "CAN interface closed" << interfaceName;
        loseLink();
    }
}

void NmeaSourceCan::loseLink()
{
    device->disconnect(this);
    device->deleteLater();
    device = nullptr;
    reconnecting = true;
    withdrawPressure();
    scheduleReconnect(ReconnectMs);
}
