#pragma once

#include <QString>
#include <QtGlobal>

// The per-machine store: registry-style keys ("HKEY_LOCAL_MACHINE\SOFTWARE\...")
// holding 32-bit values, kept in an INI file of its own beside the settings.
// Only the browser emulation value lives here; the embedded browser ignores it,
// but its rules are kept so the value means the same wherever it is read.

// The handle of a root name ("HKEY_CURRENT_USER" -> 0x80000001), 0 when unknown.
quint32 RootKeyFromName(const QString& rootName);

struct RegistryPath {
    quint32 Root = 0; // 0: the path was refused
    QString SubKey;
};

// Refuses a path that does not start with "HKEY_" or ends with '\'.
RegistryPath SplitRegistryPath(const QString& path);

struct DwordRead {
    enum class Kind { Empty, Number, Error };
    Kind Result = Kind::Empty;
    quint32 Value = 0;
};

class MachineRegistry final {
public:
    explicit MachineRegistry(QString iniFilePath);

    // The store beside the per-user settings file.
    static QString defaultFilePath();

    bool RegWriteDword(const QString& keyPath, const QString& valueName, quint32 value);
    // Empty for a refused path; Error when the key or value is missing or not a number.
    DwordRead RegReadDword(const QString& keyPath, const QString& valueName) const;
    void DeleteRegistryValue(quint32 root, const QString& subKey, const QString& valueName);

private:
    QString m_filePath;
};

inline const QString kBrowserEmulationKey = QStringLiteral(
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\FEATURE_BROWSER_EMULATION");

// Stores the emulation level wanted for the program's executable (value name
// "<executable>.exe"): 10001 for "IE10" strict, 10000 otherwise, and so on. An
// unknown level deletes the value; an equal stored value is not rewritten.
void SetBrowserEmulation(MachineRegistry& registry, const QString& executableName, const QString& level,
                         bool strict);
