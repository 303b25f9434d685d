#include "settingsstore.h"

#include <mutex>

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
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_settings.value(storedKey(key), defaultValue);
}

void SettingsStore::setValue(const QString &key, const QVariant &value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_settings.setValue(storedKey(key), value);
}

bool SettingsStore::contains(const QString &key) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_settings.contains(storedKey(key));
}

void SettingsStore::remove(const QString &key)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_settings.remove(storedKey(key));
}

void SettingsStore::sync()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_settings.sync();
}

QString SettingsStore::fileName() const
{
    return m_settings.fileName();
}
