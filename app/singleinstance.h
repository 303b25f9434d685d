#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QPointer>

class QQmlApplicationEngine;

// One Quillmere to a data folder: two on one barograph.db would collide on
// every sample and relay every sentence twice. The first start holds a lock
// file in the folder and listens; a later start asks it to bring its window to
// the front, and quits. A lock left by a program that crashed is taken over.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    SingleInstance(); // for the working directory, the data folder

    bool claim(); // false: another Quillmere runs in this folder
    int handOver(); // asks the running one to show itself; the exit status of this start
    void raiseOnRequest(QQmlApplicationEngine *engine);
    // Leaves the folder to the next start (the program ends without
    // destructors).
    void release();

private slots:
    void slot_newConnection();

private:
    QString m_folder;
    QLockFile m_lock;
    QLocalServer m_server;
    QPointer<QQmlApplicationEngine> m_engine;
};
