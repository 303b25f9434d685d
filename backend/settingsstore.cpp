#include "settingsstore.h"

#include <QMutexLocker>

SettingsStore::SettingsStore(const QString &fileName)
    : m_settings(fileName, QSettings::IniFormat)
{
}

QString SettingsStore::storedKey(const QString &key) const
{
    if (m_settings.contains(key))
        return key;
    const QStringList keys = m_settings.allKeys();
    for (const QString &stored : keys) {
        if (stored.compare(key, Qt::CaseInsensitive) == 0)
            return stored;
    }
    return key;
}

QVariant SettingsStore::value(const QString &key, const QVariant &defaultValue) const
{
    QMutexLocker lock(&m_mutex);
    return m_settings.value(storedKey(key), defaultValue);
}

void SettingsStore::setValue(const QString &key, const QVariant &value)
{
    QMutexLocker lock(&m_mutex);
    m_settings.setValue(storedKey(key), value);
}

bool SettingsStore::contains(const QString &key) const
{
    QMutexLocker lock(&m_mutex);
    return m_settings.contains(storedKey(key));
}

void SettingsStore::remove(const QString &key)
{
    QMutexLocker lock(&m_mutex);
    m_settings.remove(storedKey(key));
}

void SettingsStore::sync()
{
    QMutexLocker lock(&m_mutex);
    m_settings.sync();
}

QString SettingsStore::fileName() const
{
    return m_settings.fileName();
}
