#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>

class Nmea0183;
class NmeaSenderUdp;
class NmeaSource;
class QTimer;

// The NMEA worker: lives on a thread of its own, builds the sources that the
// settings ask for, hands their lines to the parser and relays the current
// pressure and position over UDP once a second.
class NmeaReceiver : public QObject
{
    Q_OBJECT

public:
    NmeaReceiver();
    ~NmeaReceiver() override;

    bool isValidSentence(const QByteArray &line, int &index);
    void parseSentence(const QByteArray &line, int index, int sourceId);

    // Closes and deletes every source, the output timer and the sender, then
    // emits finished(). Must run in the worker thread.
    Q_INVOKABLE void stop();
    void stopAll();

    QList<NmeaSource *> currentSources() const { return sources; }

signals:
    void finished();

public slots:
    void slot_startReceiving();
    void slot_sendUdp();

private:
    Nmea0183 *parser = nullptr;
    QList<NmeaSource *> sources;
    QTimer *timerUdp = nullptr;
    NmeaSenderUdp *senderUdp = nullptr;
};
