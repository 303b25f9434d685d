#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QQmlApplicationEngine>
#include <QWindow>
#include <QtDebug>

namespace {
// Where a second start finds the first: a name of the data folder's own, in
// the user's temporary folder (a socket may not be made on a boat's USB stick).
QString serverName(const QString &folder)
{
    const QByteArray hash = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("quillmere-") + QString::fromLatin1(hash.left(16));
}
} // namespace

SingleInstance::SingleInstance()
    : m_folder(QDir::current().canonicalPath())
    , m_lock(QStringLiteral("barograph.lock"))
{
    // Only a program that is gone (its process ended, the computer restarted)
    // leaves its lock to be taken over, however old the lock is.
    m_lock.setStaleLockTime(0);
}

bool SingleInstance::claim()
{
    if (!m_lock.tryLock(0)) {
        if (m_lock.error() == QLockFile::LockFailedError)
            return false;
        // A folder that takes no lock file takes no history either: the store
        // will say so. That is no reason to refuse the start.
        qWarning() << "no lock file in the data folder" << m_folder;
        return true;
    }
    QLocalServer::removeServer(serverName(m_folder)); // left by a program that crashed
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::slot_newConnection);
    if (!m_server.listen(serverName(m_folder)))
        qWarning() << "a second start cannot reach this one:" << m_server.errorString();
    return true;
}

int SingleInstance::handOver()
{
    qint64 pid = 0;
    QString host, application;
    m_lock.getLockInfo(&pid, &host, &application);
    QLocalSocket socket;
    socket.connectToServer(serverName(m_folder));
    if (socket.waitForConnected(3000)) {
        qWarning().noquote() << QStringLiteral("Quillmere already runs in %1 (process %2): its window is brought to the front")
                                    .arg(m_folder).arg(pid);
        return 0;
    }
    qWarning().noquote() << QStringLiteral("Quillmere already runs in %1 (process %2) and does not answer; quitting")
                                .arg(m_folder).arg(pid);
    return 1;
}

void SingleInstance::raiseOnRequest(QQmlApplicationEngine *engine)
{
    m_engine = engine;
}

void SingleInstance::release()
{
    m_server.close();
    m_lock.unlock();
}

void SingleInstance::slot_newConnection()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection())
        socket->deleteLater();
    qWarning() << "another start in this data folder: the window comes to the front";
    if (!m_engine)
        return;
    for (QObject *root : m_engine->rootObjects()) {
        if (auto *window = qobject_cast<QWindow *>(root)) {
            window->setWindowStates(window->windowStates() & ~Qt::WindowMinimized);
            window->show();
            window->raise();
            window->requestActivate();
        }
    }
}
