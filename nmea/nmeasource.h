#pragma once

#include <QObject>
#include <QString>
#include <memory>

class BackEndLink;
class NmeaReceiver;
class QIODevice;

// What the serial, TCP and UDP inputs have in common: their slot in the back
// end, opening, stopping and writing, and re-opening a lost link without
// limit.
class NmeaSource : public QObject
{
    Q_OBJECT

public:
    NmeaSource(NmeaReceiver *receiver, int id);
    ~NmeaSource() override;

    // Closes and releases the device and withdraws this source's pressure.
    virtual void stopReceiving() {}
    virtual bool writeMessage(const QString &message);

    int getSourceId() const { return sourceId; }
    bool isReconnecting() const { return reconnecting; }

    // The delay before a lost link is tried again.
    static constexpr int ReconnectMs = 10000;

public slots:
    virtual void slot_startReceiving() {}
    void reconnect();

protected slots:
    void slot_sendMessage(QString message);

protected:
    // The serial and TCP way of writing: UTF-8 bytes, true if any were taken.
    static bool writeToDevice(QIODevice *device, const QString &message);
    void scheduleReconnect(int ms);
    void withdrawPressure();

    NmeaReceiver *receiver;
    // The receiver's way into the back end, kept by the source itself: a
    // source still withdraws its pressure while its receiver is destroyed.
    std::shared_ptr<BackEndLink> link;
    bool reconnecting = false;
    bool writable = false;
    int sourceId;
};
