#pragma once

#include <mutex>
#include <QSet>
#include <QSettings>
#include <QString>
#include <QVariant>

// The application's settings file, "barograph.ini". Keys are matched without
// regard to letter case (the calibration screen asks for "UnitPre", the
// settings screen writes "unitPre"), which QSettings does not do on Linux.
// Both threads read it (the NMEA worker reads its link settings), so every
// access is serialised by one small lock.
class SettingsStore
{
public:
    explicit SettingsStore(const QString &fileName);

    QVariant value(const QString &key, const QVariant &defaultValue = QVariant()) const;
    void setValue(const QString &key, const QVariant &value);
    bool contains(const QString &key) const;
    void remove(const QString &key);
    void sync();
    QString fileName() const;

private:
    // The spelling under which the key is stored, or key itself when absent.
    QString storedKey(const QString &key) const;

    // std::mutex rather than QMutex: ThreadSanitizer sees through it.
    mutable std::mutex m_mutex;
    QSettings m_settings;
    // Keys known to be absent in any spelling, until the next change or sync.
    mutable QSet<QString> m_absentKeys;
};
