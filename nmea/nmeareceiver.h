#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>

#include "sentencesink.h"

class Nmea0183;
class NmeaSenderUdp;
class NmeaSource;
class QTimer;

// The NMEA worker: lives on a thread of its own, builds the sources that the
// settings ask for, hands their lines to the parser and relays the current
// pressure and position over UDP once a second.
class NmeaReceiver : public QObject, public SentenceSink
{
    Q_OBJECT

public:
    NmeaReceiver();
    ~NmeaReceiver() override;

    bool isValidSentence(const QByteArray &line, int &index) override;
    void parseSentence(const QByteArray &line, int index, int sourceId) override;

    // Closes and deletes every source, the output timer and the sender, then
    // emits finished(). Must run in the worker thread.
    Q_INVOKABLE void stop();
    void stopAll();

    QList<NmeaSource *> currentSources() const { return sources; }
    bool isRelaying() const { return timerUdp != nullptr; }

    // The network sources wait this long behind a serial source, so that the
    // barometer's link is up first.
    static constexpr int NetworkStartDelayMs = 5000;

signals:
    void finished();

public slots:
    void slot_startReceiving();
    void slot_sendUdp();

private:
    void startSource(NmeaSource *source, int delayMs);
    void releaseOutput();

    Nmea0183 *parser = nullptr;
    QList<NmeaSource *> sources;
    QTimer *timerUdp = nullptr;
    NmeaSenderUdp *senderUdp = nullptr;
};
