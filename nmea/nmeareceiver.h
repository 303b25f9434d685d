#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <memory>

#include "sentencesink.h"

class BackEndLink;
class N2kLineReader;
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
    // Without a link the receiver reaches the back end that exists now
    // (g_backEnd). `previous` is the link of the worker this one replaces:
    // the sources open only once that worker has released its ports.
    explicit NmeaReceiver(std::shared_ptr<BackEndLink> link = nullptr,
                          std::shared_ptr<BackEndLink> previous = nullptr);
    ~NmeaReceiver() override;

    const std::shared_ptr<BackEndLink> &link() const { return m_link; }

    bool isValidSentence(const QByteArray &line, int &index) override;
    void parseSentence(const QByteArray &line, int index, int sourceId) override;

    // Closes and deletes every source, the output timer and the sender, marks
    // the link wound down, then emits finished(). Must run in the worker
    // thread.
    Q_INVOKABLE void stop();
    void stopAll();

    QList<NmeaSource *> currentSources() const { return sources; }
    bool isRelaying() const { return timerUdp != nullptr; }

    // The network sources wait this long behind a serial source, so that the
    // barometer's link is up first.
    static constexpr int NetworkStartDelayMs = 5000;
    // How long a worker waits for the one it replaces, and the back end for
    // its workers at shutdown. Nothing in a worker blocks (a connection
    // attempt or a host name lookup waits in the background), so this only
    // bounds the unforeseen.
    static constexpr int WindDownMs = 6000;

signals:
    void finished();
    // The USB barometer's way, through its serial source: a $PWEGB command
    // (with no serial source nobody answers, and the back end's time-out
    // tells the user), and the barometer's replies.
    void sendCalibration(QString message);
    void calibrationStatus(bool ok);
    void calibrationValues(QString message);

public slots:
    void slot_startReceiving();
    void slot_sendUdp();

private:
    void startSource(NmeaSource *source, int delayMs);
    void startN2k(int delayMs);
    void releaseOutput();

    Nmea0183 *parser = nullptr;
    QList<NmeaSource *> sources;
    QTimer *timerUdp = nullptr;
    NmeaSenderUdp *senderUdp = nullptr;
    // The frames of an NMEA 2000 gateway's lines, read for its TCP or UDP source.
    std::unique_ptr<N2kLineReader> n2kLines;
    std::shared_ptr<BackEndLink> m_link;
    std::shared_ptr<BackEndLink> m_previous;
};
