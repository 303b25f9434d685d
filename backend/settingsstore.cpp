#include "settingsstore.h"

#include <mutex>

SettingsStore::SettingsStore(const QString &fileName)
    : m_settings(fileName, QSettings::IniFormat)
{
}

QString SettingsStore::storedKey(const QString &key) const
{
    if (m_settings.contains(key) || m_absentKeys.contains(key))
        return key;
    const QStringList keys = m_settings.allKeys();
    for (const QString &stored : keys) {
        if (stored.compare(key, Qt::CaseInsensitive) == 0)
            return stored;
    }
    // The formatting of a long record list asks for the same missing keys
    // thousands of times; the list of keys changes only through this store.
    m_absentKeys.insert(key);
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
    m_absentKeys.clear();
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
    m_absentKeys.clear();
}

void SettingsStore::sync()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_settings.sync();
    m_absentKeys.clear();
}

QString SettingsStore::fileName() const
{
    return m_settings.fileName();
}
