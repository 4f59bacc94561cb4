#pragma once

#include "settingsstorage.h"

#include <QHash>

class MemorySettingsStorage final : public SettingsStorage {
public:
    std::optional<QString> read(const QString& section, const QString& key) const override
    {
        const auto found = m_values.constFind(section + QChar(0) + key);
        if (found == m_values.cend())
            return std::nullopt;
        return *found;
    }

    void write(const QString& section, const QString& key, const QString& value) override
    {
        m_values.insert(section + QChar(0) + key, value);
    }

private:
    QHash<QString, QString> m_values;
};
