#include "procusage.h"

#include <QChar>
#include <QDir>
#include <QFile>

#include <unistd.h>

namespace {

QByteArray readProc(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

qint64 statusField(const QByteArray &status, const QByteArray &field)
{
    for (const QByteArray &line : status.split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

// utime and stime of a process or thread: fields 14 and 15, counted after
// the command name, which may itself hold blanks.
double cpuSeconds(const QString &base)
{
    const QByteArray stat = readProc(base + QStringLiteral("/stat"));
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? (fields[11].toLongLong() + fields[12].toLongLong()) / double(sysconf(_SC_CLK_TCK))
                              : 0.0;
}

} // namespace

Usage usage(qint64 pid)
{
    Usage u;
    const QString base = QStringLiteral("/proc/%1").arg(pid);
    u.cpuSeconds = cpuSeconds(base);
    u.rssMiB = statusField(readProc(base + QStringLiteral("/status")), "VmRSS") / 1024.0;
    const QStringList tasks = QDir(base + QStringLiteral("/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &task : tasks) {
        const QString taskBase = base + QStringLiteral("/task/") + task;
        const qint64 switches = statusField(readProc(taskBase + QStringLiteral("/status")), "voluntary_ctxt_switches");
        QByteArray name;
        for (const char c : readProc(taskBase + QStringLiteral("/comm")).trimmed())
            name += QChar::isLetter(c) ? c : '_';
        u.threads.insert(task, {name, switches, cpuSeconds(taskBase)});
    }
    return u;
}

// The scene graph logs one timing line per frame rendered, on its render
// thread (threaded loop) or the main thread (basic loop).
bool softwareRendererLogged(const QString &log)
{
    return readProc(log).contains("renderer software");
}

qint64 framesLogged(const QString &log)
{
    return readProc(log).count("qt.scenegraph.time.renderloop: Frame rendered");
}
