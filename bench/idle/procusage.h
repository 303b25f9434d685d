#pragma once

// What a running process costs, read from /proc: its CPU time, resident
// memory, and per thread its wake-ups (voluntary context switches) and CPU.

#include <QByteArray>
#include <QMap>
#include <QString>

struct Usage
{
    double cpuSeconds = 0.0;
    double rssMiB = 0.0;
    // By thread id: its name (pooled threads and the rasteriser's share
    // theirs), its voluntary context switches and CPU seconds so far.
    struct Thread
    {
        QByteArray name;
        qint64 switches = 0;
        double cpuSeconds = 0.0;
    };
    QMap<QString, Thread> threads;
    qint64 frames = 0;
};

Usage usage(qint64 pid);

// The frames rendered so far, from the scene graph's timing lines in a log.
qint64 framesLogged(const QString &log);
// Whether the program's log says it draws with the software renderer.
bool softwareRendererLogged(const QString &log);
