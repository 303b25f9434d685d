#pragma once

#include "lineframer.h"
#include "nmeasource.h"

#include <QSerialPort>

// NMEA from a serial port, typically the maker's USB barometer, and the only
// channel to its calibration: $PWEGB commands out, $PWEGB replies back.
class NmeaSourceSerial : public NmeaSource
{
    Q_OBJECT

public:
    NmeaSourceSerial(NmeaReceiver *parent, const QString &portName, int baudRate, int flowControl, int parity,
                     int dataBits, int stopBits);
    ~NmeaSourceSerial() override;

    void stopReceiving() override;
    bool writeMessage(const QString &message) override;
    // Writes a $PWEGB command once the port is open and past its first torn
    // reads, which would swallow the answer; until then the latest is held.
    void sendCommand(const QString &message);

    // The $PWEGB commands, complete with checksum (without CR LF).
    static QString calibrationCommand(double offset, double slope, double pressure);
    static QString calibrationQuery();
    static QString factoryResetCommand();

    QString getPortName() const { return portName; }
    bool isOpen() const { return port && port->isOpen(); }

signals:
    void calibrationStatus(bool ok);
    void calibrationValues(QString message);

public slots:
    void slot_startReceiving() override;
    void slot_readyRead();
    void slot_errorOccured(QSerialPort::SerialPortError error);

private:
    void closePort();
    void handleReply(const QByteArray &line);
    void writeHeldCommand();

    QSerialPort *port = nullptr;
    QString portName;
    int baudRate;
    int parity;
    int dataBits;
    int stopBits;
    int flowControl;
    LineFramer lineBuffer;
    bool discardStartup = true;
    int readCount = 0;
    QString heldCommand;
};
