#include "inisettingsstorage.h"

#include "programnames.h"

IniSettingsStorage::IniSettingsStorage()
    : m_settings(QSettings::IniFormat, QSettings::UserScope, programnames::kOrganisation,
                 programnames::kApplication)
{
}

IniSettingsStorage::IniSettingsStorage(const QString& filePath)
    : m_settings(filePath, QSettings::IniFormat)
{
}

std::optional<QString> IniSettingsStorage::read(const QString& section, const QString& key) const
{
    m_settings.beginGroup(section);
    const QVariant value = m_settings.value(key);
    m_settings.endGroup();
    if (!value.isValid())
        return std::nullopt;
    return value.toString();
}

void IniSettingsStorage::write(const QString& section, const QString& key, const QString& value)
{
    m_settings.beginGroup(section);
    m_settings.setValue(key, value);
    m_settings.endGroup();
    m_settings.sync();
}

QString IniSettingsStorage::filePath() const
{
    return m_settings.fileName();
}
