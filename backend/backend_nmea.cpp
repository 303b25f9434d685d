// The NMEA worker: one receiver on a thread of its own, replaced at every
// startNmea.
#include "backend.h"

#include "backendlink.h"
#include "nmeareceiver.h"
#include "settingsstore.h"

#include <QDeadlineTimer>
#include <QThread>
#include <QTimer>
#include <QtDebug>

void BackEnd::startNmea()
{
    retireNmea();

    // A missing port setting reads as the empty text, which is not "None":
    // a fresh installation starts the worker.
    const bool wanted = m_settings->value(QStringLiteral("SettingSerialPort")).toString() != QLatin1String("None")
        || m_settings->value(QStringLiteral("SettingUseTcp"), 0).toInt() != 0
        || m_settings->value(QStringLiteral("SettingUseUdp"), 0).toInt() != 0
        || m_settings->value(QStringLiteral("SettingUseUdpOut"), 0).toInt() != 0
        || m_settings->value(QStringLiteral("SettingUseN2k"), 0).toInt() != 0
        || m_settings->value(QStringLiteral("SettingUseSignalK"), 0).toInt() != 0;
    if (!wanted)
        return;

    // The new worker opens its ports once the last one has released them.
    std::shared_ptr<BackEndLink> previous = m_link;
    m_link = std::make_shared<BackEndLink>(this);
    m_receiver = new NmeaReceiver(m_link, previous);
    m_receiverThread = new QThread();
    m_receiver->moveToThread(m_receiverThread);
    routeCalibration(m_receiver);
    // Direct: quit() is thread-safe, and the main thread may be waiting for
    // this thread at shutdown.
    connect(m_receiver, &NmeaReceiver::finished, m_receiverThread, &QThread::quit, Qt::DirectConnection);
    connect(m_receiverThread, &QThread::finished, m_receiver, &QObject::deleteLater);
    connect(m_receiverThread, &QThread::finished, m_receiverThread, &QObject::deleteLater);
    m_receiverThread->start(QThread::InheritPriority);
    QTimer::singleShot(0, m_receiver, &NmeaReceiver::slot_startReceiving);
}

void BackEnd::retireNmea()
{
    if (!m_receiver)
        return;
    // From here on the old worker cannot reach this object, and nothing it
    // set stays. It is told to stop in its own thread and winds down there;
    // the window does not wait for it.
    m_link->close();
    // A command sent from now on goes to the next worker, not to a serial
    // source about to be deleted.
    disconnect(this, &BackEnd::sendCalibration, m_receiver, nullptr);
    QMetaObject::invokeMethod(m_receiver, "stop", Qt::QueuedConnection);
    m_windingDown.removeAll(nullptr);
    m_windingDown.append(m_receiverThread);
    m_receiverThread = nullptr;
    m_receiver = nullptr;
}

void BackEnd::stopNmea()
{
    retireNmea();
    // Everything the workers call must outlive them: wait, but not forever.
    QDeadlineTimer deadline(Clock::interval(NmeaReceiver::WindDownMs));
    for (const QPointer<QThread> &thread : qAsConst(m_windingDown)) {
        if (!thread)
            continue;
        if (thread->wait(deadline))
            delete thread.data();
        else
            qWarning() << "NMEA worker still busy at shutdown, leaving it behind";
    }
    m_windingDown.clear();
}
