#pragma once

#include "settingsstorage.h"

#include <QSettings>

// The per-user INI file (organisation and application "Paperpull"). Each write
// reaches the disk at once: settings are written at a few chosen moments, and a
// crash afterwards must not lose them.
class IniSettingsStorage final : public SettingsStorage {
public:
    IniSettingsStorage(); // the per-user file
    explicit IniSettingsStorage(const QString& filePath);

    std::optional<QString> read(const QString& section, const QString& key) const override;
    void write(const QString& section, const QString& key, const QString& value) override;

    QString filePath() const;

private:
    mutable QSettings m_settings;
};
