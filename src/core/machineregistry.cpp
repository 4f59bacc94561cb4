#include "machineregistry.h"

#include "inisettingsstorage.h"

#include <QFileInfo>
#include <QSettings>
#include <QUrl>

#include <array>

using namespace Qt::Literals::StringLiterals;

namespace {

struct RootName {
    QStringView Name;
    quint32 Handle;
};

constexpr std::array<RootName, 7> kRoots = {{
    {u"HKEY_CLASSES_ROOT", 0x80000000},
    {u"HKEY_CURRENT_USER", 0x80000001},
    {u"HKEY_LOCAL_MACHINE", 0x80000002},
    {u"HKEY_USERS", 0x80000003},
    {u"HKEY_PERFORMANCE_DATA", 0x80000004},
    {u"HKEY_CURRENT_CONFIG", 0x80000005},
    {u"HKEY_DYN_DATA", 0x80000006},
}};

QString rootName(quint32 handle)
{
    for (const RootName& root : kRoots) {
        if (root.Handle == handle)
            return root.Name.toString();
    }
    return {};
}

// One INI key per registry value; separators in the registry path must not
// become INI groups, so the whole path is percent-encoded into one name.
QString storeKey(quint32 root, const QString& subKey, const QString& valueName)
{
    const QString keyPath = rootName(root) + u'\\' + subKey;
    return QString::fromLatin1(QUrl::toPercentEncoding(keyPath)) + u'/'
        + QString::fromLatin1(QUrl::toPercentEncoding(valueName));
}

} // namespace

quint32 RootKeyFromName(const QString& rootName)
{
    for (const RootName& root : kRoots) {
        if (root.Name == rootName)
            return root.Handle;
    }
    return 0;
}

RegistryPath SplitRegistryPath(const QString& path)
{
    if (!path.startsWith(u"HKEY_"_s) || path.endsWith(u'\\'))
        return {};
    const qsizetype sep = path.indexOf(u'\\');
    if (sep < 0)
        return {RootKeyFromName(path), QString()};
    return {RootKeyFromName(path.first(sep)), path.sliced(sep + 1)};
}

MachineRegistry::MachineRegistry(QString iniFilePath)
    : m_filePath(std::move(iniFilePath))
{
}

QString MachineRegistry::defaultFilePath()
{
    return QFileInfo(IniSettingsStorage().filePath()).absolutePath() + u"/machine.ini"_s;
}

bool MachineRegistry::RegWriteDword(const QString& keyPath, const QString& valueName, quint32 value)
{
    const RegistryPath path = SplitRegistryPath(keyPath);
    if (path.Root == 0)
        return false;
    QSettings store(m_filePath, QSettings::IniFormat);
    store.setValue(storeKey(path.Root, path.SubKey, valueName), QString::number(value));
    store.sync();
    return store.status() == QSettings::NoError;
}

DwordRead MachineRegistry::RegReadDword(const QString& keyPath, const QString& valueName) const
{
    const RegistryPath path = SplitRegistryPath(keyPath);
    if (path.Root == 0)
        return {};
    const QSettings store(m_filePath, QSettings::IniFormat);
    const QVariant stored = store.value(storeKey(path.Root, path.SubKey, valueName));
    bool ok = false;
    const quint32 value = stored.toString().toUInt(&ok);
    if (!stored.isValid() || !ok)
        return {DwordRead::Kind::Error, 0};
    return {DwordRead::Kind::Number, value};
}

void MachineRegistry::DeleteRegistryValue(quint32 root, const QString& subKey, const QString& valueName)
{
    if (rootName(root).isEmpty())
        return;
    QSettings store(m_filePath, QSettings::IniFormat);
    store.remove(storeKey(root, subKey, valueName));
    store.sync();
}

void SetBrowserEmulation(MachineRegistry& registry, const QString& executableName, const QString& level,
                         bool strict)
{
    struct Level {
        QStringView Name;
        quint32 Strict;
        quint32 Loose;
    };
    static constexpr Level kLevels[] = {
        {u"IE10", 10001, 10000}, {u"IE9", 9999, 9000}, {u"IE8", 8888, 8000}, {u"IE7", 7000, 7000}};

    const QString valueName = executableName + u".exe"_s;
    const QString wantedLevel = level.toUpper();
    const auto known = std::find_if(std::begin(kLevels), std::end(kLevels),
                                    [&](const Level& l) { return l.Name == wantedLevel; });
    if (known == std::end(kLevels)) {
        const RegistryPath path = SplitRegistryPath(kBrowserEmulationKey);
        registry.DeleteRegistryValue(path.Root, path.SubKey, valueName);
        return;
    }
    const quint32 wanted = strict ? known->Strict : known->Loose;

    // What is stored counts only as a small signed number; anything else as 0.
    const DwordRead current = registry.RegReadDword(kBrowserEmulationKey, valueName);
    const quint32 stored = (current.Result == DwordRead::Kind::Number && current.Value <= 32767) ? current.Value : 0;
    if (stored != wanted)
        registry.RegWriteDword(kBrowserEmulationKey, valueName, wanted);
}
