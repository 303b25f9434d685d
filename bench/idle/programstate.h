#pragma once

// The program's state before it starts: its settings (TCP input from the
// boat on loopback) and a full 30-minute table; and what it recorded since.

#include <QString>
#include <QStringList>

void writeSettings(const QString &dir, quint16 port);
bool fillHistory(const QString &dir, qint64 now);
int rowsSince(const QString &dir, qint64 since);
