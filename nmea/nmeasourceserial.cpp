#include "nmeasourceserial.h"

#include "nmea0183.h"
#include "nmeareceiver.h"

#include <QMetaEnum>
#include <QtDebug>

namespace {
template <typename T, int N>
T pick(const T (&list)[N], int index)
{
    return index >= 0 && index < N ? list[index] : list[0];
}

const QSerialPort::Parity Parities[] = {QSerialPort::NoParity, QSerialPort::EvenParity, QSerialPort::OddParity,
                                        QSerialPort::SpaceParity, QSerialPort::MarkParity};
const QSerialPort::DataBits DataBitsList[] = {QSerialPort::Data8, QSerialPort::Data7, QSerialPort::Data6,
                                              QSerialPort::Data5};
const QSerialPort::StopBits StopBitsList[] = {QSerialPort::OneStop, QSerialPort::OneAndHalfStop,
                                              QSerialPort::TwoStop};
const QSerialPort::FlowControl FlowControls[] = {QSerialPort::NoFlowControl, QSerialPort::HardwareControl,
                                                 QSerialPort::SoftwareControl};

QString withChecksum(const QString &text)
{
    return text + QLatin1Char('*') + Nmea0183::checksum(text.toLatin1());
}
}

NmeaSourceSerial::NmeaSourceSerial(NmeaReceiver *parent, const QString &portName, int baudRate, int flowControl,
                                   int parity, int dataBits, int stopBits)
    : NmeaSource(parent, 1)
    , portName(portName)
    , baudRate(baudRate)
    , parity(parity)
    , dataBits(dataBits)
    , stopBits(stopBits)
    , flowControl(flowControl)
    , lineBuffer(LineFramer::Serial, 1)
{
    writable = true;
    lineBuffer.setReplyHandler([this](const QByteArray &line) { handleReply(line); });
    if (parent) {
        connect(parent, &NmeaReceiver::sendCalibration, this, &NmeaSourceSerial::sendCommand);
        connect(this, &NmeaSourceSerial::calibrationStatus, parent, &NmeaReceiver::calibrationStatus);
        connect(this, &NmeaSourceSerial::calibrationValues, parent, &NmeaReceiver::calibrationValues);
    }
}

NmeaSourceSerial::~NmeaSourceSerial()
{
    closePort();
    withdrawPressure();
    qWarning() << "NmeaSourceSerial deleted" << portName;
}

QString NmeaSourceSerial::calibrationCommand(double offset, double slope, double pressure)
{
    return withChecksum(QStringLiteral("$PWEGB,UCAL,%1,%2,%3")
                            .arg(offset, 0, 'f', 2)
                            .arg(slope, 0, 'f', 1)
                            .arg(pressure, 0, 'f', 2));
}

QString NmeaSourceSerial::calibrationQuery()
{
    return withChecksum(QStringLiteral("$PWEGB,CAL?"));
}

QString NmeaSourceSerial::factoryResetCommand()
{
    return withChecksum(QStringLiteral("$PWEGB,FRST"));
}

void NmeaSourceSerial::closePort()
{
    if (!port)
        return;
    disconnect(port, &QSerialPort::readyRead, this, &NmeaSourceSerial::slot_readyRead);
    disconnect(port, &QSerialPort::errorOccurred, this, &NmeaSourceSerial::slot_errorOccured);
    if (port->isOpen()) {
        port->setDataTerminalReady(false);
        port->close();
        qWarning() << "serial port closed";
    }
    delete port;
    port = nullptr;
}

void NmeaSourceSerial::stopReceiving()
{
    closePort();
    withdrawPressure();
}

bool NmeaSourceSerial::writeMessage(const QString &message)
{
    return writeToDevice(port, message);
}

void NmeaSourceSerial::sendCommand(const QString &message)
{
    heldCommand = message;
    if (isOpen() && !discardStartup)
        writeHeldCommand();
}

void NmeaSourceSerial::writeHeldCommand()
{
    slot_sendMessage(heldCommand);
    heldCommand.clear();
}

void NmeaSourceSerial::slot_startReceiving()
{
    stopReceiving();
    port = new QSerialPort(this);
    port->setPortName(portName);
    port->setBaudRate(baudRate, QSerialPort::AllDirections);
    port->setFlowControl(pick(FlowControls, flowControl));
    port->setParity(pick(Parities, parity));
    port->setDataBits(pick(DataBitsList, dataBits));
    port->setStopBits(pick(StopBitsList, stopBits));
    if (!port->open(writable ? QIODevice::ReadWrite : QIODevice::ReadOnly)) {
        qWarning() << "error opening serial port" << port->errorString();
        scheduleReconnect(ReconnectMs);
        delete port;
        port = nullptr;
        return;
    }
    connect(port, &QSerialPort::errorOccurred, this, &NmeaSourceSerial::slot_errorOccured);
    // Virtual ports (pseudo-terminals, multiplexers) refuse this; the error it
    // raises is not a lost link (slot_errorOccured).
    port->setDataTerminalReady(true);
    // Any other failure (a device unplugged as it opens) has already dropped
    // the port and scheduled the next attempt.
    if (!port)
        return;
    readCount = 0;
    qWarning() << portName << "opened successfully";
    reconnecting = false;
    connect(port, &QSerialPort::readyRead, this, &NmeaSourceSerial::slot_readyRead, Qt::UniqueConnection);
    qWarning() << "serial port started" << portName << port->baudRate();
    if (!discardStartup)
        writeHeldCommand();
}

void NmeaSourceSerial::slot_readyRead()
{
    if (!port)
        return;
    const QByteArray data = port->readAll();
    // The barometer's first output after the port opens is often a torn line.
    if (discardStartup) {
        if (++readCount > 1) {
            discardStartup = false;
            writeHeldCommand();
        }
        return;
    }
    lineBuffer.feed(data, receiver);
}

void NmeaSourceSerial::handleReply(const QByteArray &line)
{
    if (line.startsWith("$PWEGB,OK")) {
        emit calibrationStatus(true);
    } else if (line.startsWith("$PWEGB,ERR")) {
        emit calibrationStatus(false);
    } else if (line.startsWith("$PWEGB,CAL,")) {
        const QString text = QString::fromUtf8(line);
        emit calibrationValues(text);
        qWarning() << portName << "Calibration value" << text;
    }
}

void NmeaSourceSerial::slot_errorOccured(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || !port)
        return;
    // Setting Data Terminal Ready on a virtual port fails this way while the
    // link itself is fine: keep reading.
    if (error == QSerialPort::UnsupportedOperationError && port->isOpen()) {
        port->clearError();
        return;
    }
    qWarning() << "error occured on port" << portName
               << QMetaEnum::fromType<QSerialPort::SerialPortError>().valueToKey(error) << port->errorString();
    disconnect(port, nullptr, this, nullptr);
    port->deleteLater();
    port = nullptr;
    withdrawPressure();
    scheduleReconnect(ReconnectMs);
}
