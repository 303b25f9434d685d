// The NMEA worker: one receiver on a thread of its own, replaced at every
// startNmea.
#include "backend.h"

#include "nmeareceiver.h"
#include "settingsstore.h"

#include <QThread>
#include <QTimer>

void BackEnd::startNmea()
{
    stopNmea();

    // A missing port setting reads as the empty text, which is not "None":
    // a fresh installation starts the worker.
    const bool wanted = m_settings->value(QStringLiteral("SettingSerialPort")).toString() != QLatin1String("None")
        || m_settings->value(QStringLiteral("SettingUseTcp"), 0).toInt() != 0
        || m_settings->value(QStringLiteral("SettingUseUdp"), 0).toInt() != 0
        || m_settings->value(QStringLiteral("SettingUseUdpOut"), 0).toInt() != 0;
    if (!wanted)
        return;

    m_receiver = new NmeaReceiver();
    m_receiverThread = new QThread();
    m_receiver->moveToThread(m_receiverThread);
    // Direct: quit() is thread-safe, and a queued call would wait for the
    // main thread, which is blocked in stopNmea() waiting for this thread.
    connect(m_receiver, &NmeaReceiver::finished, m_receiverThread, &QThread::quit, Qt::DirectConnection);
    connect(m_receiverThread, &QThread::finished, m_receiver, &QObject::deleteLater);
    connect(m_receiverThread, &QThread::finished, m_receiverThread, &QObject::deleteLater);
    m_receiverThread->start(QThread::InheritPriority);
    QTimer::singleShot(0, m_receiver, &NmeaReceiver::slot_startReceiving);
}

void BackEnd::stopNmea()
{
    if (!m_receiver)
        return;
    // The receiver's sources, timers and sockets belong to the worker thread:
    // stop them there, then wait until the thread (and with it the receiver)
    // is gone, so that no worker call can reach a half-destroyed back end.
    QMetaObject::invokeMethod(m_receiver, "stop", Qt::QueuedConnection);
    m_receiverThread->wait();
    delete m_receiverThread;
    m_receiverThread = nullptr;
    m_receiver = nullptr;
}
