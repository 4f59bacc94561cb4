#pragma once

#include <QString>

#include <optional>

// Where settings live: text values addressed by section and key. The program
// uses an INI file per user; tests use memory.
class SettingsStorage {
public:
    virtual ~SettingsStorage() = default;

    virtual std::optional<QString> read(const QString& section, const QString& key) const = 0;
    virtual void write(const QString& section, const QString& key, const QString& value) = 0;
};
