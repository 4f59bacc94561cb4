#include "core/machineregistry.h"
#include "support/tempfolder.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kValueName = u"paperpull.exe"_s;

TEST(RegistryNames, RootKeys)
{
    EXPECT_EQ(RootKeyFromName(u"HKEY_CLASSES_ROOT"_s), 0x80000000u);
    EXPECT_EQ(RootKeyFromName(u"HKEY_LOCAL_MACHINE"_s), 0x80000002u);
    EXPECT_EQ(RootKeyFromName(u"HKEY_DYN_DATA"_s), 0x80000006u);
    EXPECT_EQ(RootKeyFromName(u"hkey_local_machine"_s), 0u);
    EXPECT_EQ(RootKeyFromName(u"HKEY_NOWHERE"_s), 0u);
}

TEST(RegistryNames, SplitPath)
{
    const RegistryPath full = SplitRegistryPath(u"HKEY_CURRENT_USER\\Software\\A"_s);
    EXPECT_EQ(full.Root, 0x80000001u);
    EXPECT_EQ(full.SubKey, u"Software\\A"_s);
    const RegistryPath bare = SplitRegistryPath(u"HKEY_USERS"_s);
    EXPECT_EQ(bare.Root, 0x80000003u);
    EXPECT_EQ(bare.SubKey, u""_s);
    EXPECT_EQ(SplitRegistryPath(u"Software\\A"_s).Root, 0u);
    EXPECT_EQ(SplitRegistryPath(u"HKEY_CURRENT_USER\\A\\"_s).Root, 0u);
}

TEST(MachineRegistry, WriteReadAndErrors)
{
    TempFolder temp;
    MachineRegistry registry(temp.filePath(u"machine.ini"_s));
    const QString key = u"HKEY_CURRENT_USER\\Software\\Paperpull\\Test"_s;

    EXPECT_EQ(registry.RegReadDword(key, kValueName).Result, DwordRead::Kind::Error);
    EXPECT_EQ(registry.RegReadDword(u"HKEY_BOGUS\\x"_s, kValueName).Result, DwordRead::Kind::Empty);
    EXPECT_FALSE(registry.RegWriteDword(u"nope\\x"_s, kValueName, 1));

    ASSERT_TRUE(registry.RegWriteDword(key, kValueName, 4000000000u));
    const DwordRead read = registry.RegReadDword(key, kValueName);
    EXPECT_EQ(read.Result, DwordRead::Kind::Number);
    EXPECT_EQ(read.Value, 4000000000u);
    // Another value of the same key and the same name under another key are apart.
    EXPECT_EQ(registry.RegReadDword(key, u"other"_s).Result, DwordRead::Kind::Error);
    EXPECT_EQ(registry.RegReadDword(key + u"\\Sub"_s, kValueName).Result, DwordRead::Kind::Error);

    const RegistryPath path = SplitRegistryPath(key);
    registry.DeleteRegistryValue(path.Root, path.SubKey, kValueName);
    EXPECT_EQ(registry.RegReadDword(key, kValueName).Result, DwordRead::Kind::Error);
}

TEST(BrowserEmulation, LevelTable)
{
    struct Case { QString Level; bool Strict; quint32 Wanted; };
    const Case cases[] = {
        {u"IE10"_s, true, 10001}, {u"IE10"_s, false, 10000}, {u"ie9"_s, true, 9999}, {u"IE9"_s, false, 9000},
        {u"IE8"_s, true, 8888}, {u"IE8"_s, false, 8000}, {u"IE7"_s, true, 7000}, {u"ie7"_s, false, 7000},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        MachineRegistry registry(temp.filePath(u"machine.ini"_s));
        SetBrowserEmulation(registry, u"paperpull"_s, c.Level, c.Strict);
        const DwordRead read = registry.RegReadDword(kBrowserEmulationKey, kValueName);
        EXPECT_EQ(read.Result, DwordRead::Kind::Number) << c.Level.toStdString();
        EXPECT_EQ(read.Value, c.Wanted) << c.Level.toStdString();
    }
}

TEST(BrowserEmulation, UnknownLevelDeletesTheValue)
{
    TempFolder temp;
    MachineRegistry registry(temp.filePath(u"machine.ini"_s));
    SetBrowserEmulation(registry, u"paperpull"_s, u"IE10"_s, true);
    SetBrowserEmulation(registry, u"paperpull"_s, u"IE11"_s, true);
    EXPECT_EQ(registry.RegReadDword(kBrowserEmulationKey, kValueName).Result, DwordRead::Kind::Error);
}

TEST(BrowserEmulation, EqualValueIsNotRewritten)
{
    TempFolder temp;
    const QString file = temp.filePath(u"machine.ini"_s);
    MachineRegistry registry(file);
    SetBrowserEmulation(registry, u"paperpull"_s, u"IE10"_s, true);
    // A comment survives only as long as nobody rewrites the file.
    QFile ini(file);
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write("; untouched\n");
    ini.close();

    SetBrowserEmulation(registry, u"paperpull"_s, u"IE10"_s, true);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("; untouched"));
    ini.close();

    SetBrowserEmulation(registry, u"paperpull"_s, u"IE9"_s, true);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_FALSE(ini.readAll().contains("; untouched"));
}

} // namespace
