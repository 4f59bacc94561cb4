#include "core/listfile.h"
#include "core/listreader.h"
#include "core/listwriter.h"
#include "core/listrestore.h"
#include "core/listsaver.h"
#include "support/recordingprompts.h"
#include "support/tempfolder.h"

#include <QDir>
#include <QFile>
#include <QStringListModel>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QByteArray kKind = "TEST";

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeRaw(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

TEST(ListFile, ReadsBackWhatWasWrittenAndReplacesAnOlderFile)
{
    TempFolder temp;
    const QString path = temp.filePath(u"list.dat"_s);
    ASSERT_TRUE(listfile::Write(path, kKind, 1, "old contents"));
    const QByteArray contents("\0\1 binary \xff contents", 20);
    ASSERT_TRUE(listfile::Write(path, kKind, 1, contents));

    const listfile::ReadResult read = listfile::Read(path, kKind, 1);
    EXPECT_EQ(read.Status, listfile::ReadStatus::Loaded);
    EXPECT_EQ(read.Format, 1u);
    EXPECT_EQ(read.Contents, contents);
    EXPECT_EQ(filesIn(temp.path()), QStringList{u"list.dat"_s}); // no temporary left behind
}

TEST(ListFile, ToldApartFromAGoodFileBeforeItsContentsAreUsed)
{
    TempFolder temp;
    const QString path = temp.filePath(u"list.dat"_s);
    ASSERT_TRUE(listfile::Write(path, kKind, 2, QByteArray(1000, 'x')));
    const QByteArray good = readAll(path);
    QByteArray flipped = good;
    flipped[500] = 'y';

    struct Case {
        const char* what;
        QByteArray bytes;
        QByteArray kind;
        quint32 newest;
        listfile::ReadStatus expected;
    };
    const Case cases[] = {
        {"empty", {}, kKind, 2, listfile::ReadStatus::Damaged},
        {"cut in the head", good.left(10), kKind, 2, listfile::ReadStatus::Damaged},
        {"cut in the contents", good.left(good.size() / 2), kKind, 2, listfile::ReadStatus::Damaged},
        {"last byte missing", good.chopped(1), kKind, 2, listfile::ReadStatus::Damaged},
        {"a byte more", good + 'z', kKind, 2, listfile::ReadStatus::Damaged},
        {"one byte changed", flipped, kKind, 2, listfile::ReadStatus::Damaged},
        {"another list's file", good, "ELSE", 2, listfile::ReadStatus::Damaged},
        {"not a list file", "name,url\nx,y\n", kKind, 2, listfile::ReadStatus::Damaged},
        {"from a newer program", good, kKind, 1, listfile::ReadStatus::Newer},
        {"an older format", good, kKind, 3, listfile::ReadStatus::Loaded},
    };
    for (const Case& c : cases) {
        writeRaw(path, c.bytes);
        EXPECT_EQ(listfile::Read(path, c.kind, c.newest).Status, c.expected) << c.what;
    }

    EXPECT_EQ(listfile::Read(temp.filePath(u"none.dat"_s), kKind, 2).Status, listfile::ReadStatus::Missing);
    // A folder in the file's place cannot be read, whoever runs the program.
    temp.makeFolder(u"folder.dat"_s);
    EXPECT_EQ(listfile::Read(temp.filePath(u"folder.dat"_s), kKind, 2).Status, listfile::ReadStatus::Unreadable);
}

TEST(ListFile, WriteFailsWithAReasonWhenTheFolderIsMissing)
{
    TempFolder temp;
    QString error;
    EXPECT_FALSE(listfile::Write(temp.filePath(u"no/such/folder/list.dat"_s), kKind, 1, "x", &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(ListRestore, AFileThatCannotBeUsedIsSetAsideAndToldOnce)
{
    struct Case {
        const char* what;
        std::function<void(const QString& path)> make;
        bool decodeAccepts;
        QString inMessage;
    };
    const Case cases[] = {
        {"cut short", [](const QString& p) { listfile::Write(p, kKind, 1, "abcdef"); QFile::resize(p, 20); }, true,
         u"已损坏或不完整"_s},
        {"newer", [](const QString& p) { listfile::Write(p, kKind, 7, "abcdef"); }, true, u"较新版本"_s},
        {"contents refused", [](const QString& p) { listfile::Write(p, kKind, 1, "abcdef"); }, false,
         u"已损坏或不完整"_s},
        {"unreadable", [](const QString& p) { QDir().mkpath(p); }, true, u"无法读取"_s},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        const QString path = temp.filePath(u"list.dat"_s);
        c.make(path);
        RecordingPrompts prompts;
        bool decoded = false;
        const bool maySave = RestoreListFile(
            path, {kKind, 1, u"测试列表"_s},
            [&](const QByteArray&, quint32) { return decoded = c.decodeAccepts; }, prompts);

        EXPECT_TRUE(maySave) << c.what;
        EXPECT_FALSE(decoded) << c.what;
        ASSERT_EQ(prompts.messages().size(), 1) << c.what;
        EXPECT_TRUE(prompts.messages()[0].contains(c.inMessage)) << c.what;
        EXPECT_TRUE(prompts.messages()[0].contains(u"测试列表"_s)) << c.what;
        // Kept under a new name the message gives; the list's own name is free for the next save.
        const QStringList files = filesIn(temp.path());
        ASSERT_EQ(files.size(), 1) << c.what;
        EXPECT_TRUE(files[0].startsWith(u"list.dat.damaged-"_s)) << c.what;
        EXPECT_TRUE(prompts.messages()[0].contains(files[0])) << c.what;
    }
}

TEST(ListRestore, AGoodOrMissingFileIsQuiet)
{
    TempFolder temp;
    const QString path = temp.filePath(u"list.dat"_s);
    RecordingPrompts prompts;
    QByteArray seen = "untouched";
    auto decode = [&](const QByteArray& contents, quint32) { seen = contents; return true; };
    EXPECT_TRUE(RestoreListFile(path, {kKind, 1, u"测试列表"_s}, decode, prompts));
    EXPECT_EQ(seen, "untouched");
    ASSERT_TRUE(listfile::Write(path, kKind, 1, "contents"));
    EXPECT_TRUE(RestoreListFile(path, {kKind, 1, u"测试列表"_s}, decode, prompts));
    EXPECT_EQ(seen, "contents");
    EXPECT_TRUE(prompts.shown.isEmpty());
    EXPECT_EQ(filesIn(temp.path()), QStringList{u"list.dat"_s});
}

TEST(ListRestore, SetAsideNeverReusesAName)
{
    TempFolder temp;
    const QString path = temp.filePath(u"list.dat"_s);
    QStringList asides;
    for (int i = 0; i < 3; ++i) {
        writeRaw(path, QByteArray::number(i));
        asides << listfile::SetAside(path);
    }
    asides.removeDuplicates();
    ASSERT_EQ(asides.size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(readAll(asides[i]), QByteArray::number(i));
    EXPECT_FALSE(QFile::exists(path));
}

TEST(ListFields, ReadBackInOrderAndDamageMarksTheReaderFailed)
{
    ListWriter out;
    out.write(u"Zoë «李»"_s);
    out.write(QString());
    out.write(QStringList{u"a"_s, u""_s, u"ç"_s});
    out.write(qint64(-5'000'000'000));
    out.write(qint32(-7));
    out.write(true);
    const QByteArray bytes = out.bytes();

    ListReader in(bytes);
    EXPECT_EQ(in.text(), u"Zoë «李»"_s);
    EXPECT_EQ(in.text(), QString());
    EXPECT_EQ(in.texts(), (QStringList{u"a"_s, u""_s, u"ç"_s}));
    EXPECT_EQ(in.int64(), -5'000'000'000);
    EXPECT_EQ(in.int32(), -7);
    EXPECT_TRUE(in.flag());
    EXPECT_TRUE(in.ok());
    EXPECT_TRUE(in.atEnd());

    // Every read of a cut field fails, and so does everything after it.
    for (qsizetype cut = 0; cut < bytes.size(); ++cut) {
        const QByteArray part = bytes.left(cut);
        ListReader damaged(part);
        damaged.text();
        damaged.text();
        damaged.texts();
        damaged.int64();
        damaged.int32();
        damaged.flag();
        EXPECT_FALSE(damaged.ok()) << cut;
    }
    const QByteArray hugeText("\xff\xff\xff\x7f" "ab", 6);
    ListReader tooLong(hugeText);
    EXPECT_EQ(tooLong.text(), QString());
    EXPECT_FALSE(tooLong.ok());
    const QByteArray notAFlag("\2", 1);
    ListReader flag(notAFlag);
    flag.flag();
    EXPECT_FALSE(flag.ok());
}

class ListSaverTest : public ::testing::Test {
protected:
    static constexpr int kInterval = 60;

    std::unique_ptr<ListSaver> makeSaver()
    {
        return std::make_unique<ListSaver>(
            model,
            [this](QString* error) {
                saved << model.stringList();
                if (failing)
                    *error = u"磁盘已满"_s;
                return !failing;
            },
            prompts, u"测试列表"_s, kInterval);
    }

    void append(const QString& text)
    {
        const int row = model.rowCount();
        model.insertRows(row, 1);
        model.setData(model.index(row), text);
    }

    QStringListModel model;
    RecordingPrompts prompts;
    QList<QStringList> saved;
    bool failing = false;
};

TEST_F(ListSaverTest, ABurstOfChangesIsSavedOnceAfterTheInterval)
{
    const auto saver = makeSaver();
    append(u"a"_s);
    append(u"b"_s);
    model.setData(model.index(0), u"A"_s);
    EXPECT_TRUE(saved.isEmpty()); // nothing written while the changes come
    EXPECT_TRUE(saver->isSaveScheduled());

    ASSERT_TRUE(QTest::qWaitFor([&] { return !saved.isEmpty(); }, 5000));
    EXPECT_EQ(saved, (QList<QStringList>{{u"A"_s, u"b"_s}}));
    EXPECT_FALSE(saver->hasUnsavedChanges());

    // Quiet afterwards: no change, no save.
    QTest::qWait(kInterval * 3);
    EXPECT_EQ(saved.size(), 1);

    model.removeRows(0, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return saved.size() == 2; }, 5000));
    EXPECT_EQ(saved.last(), QStringList{u"b"_s});
}

TEST_F(ListSaverTest, FlushSavesWhatIsPendingAndTheEndOfTheSaverToo)
{
    auto saver = makeSaver();
    saver->flush();
    EXPECT_TRUE(saved.isEmpty()); // nothing changed, nothing written

    append(u"a"_s);
    saver->flush();
    EXPECT_EQ(saved.size(), 1);
    EXPECT_FALSE(saver->isSaveScheduled());

    model.setStringList({u"x"_s, u"y"_s}); // a reset
    saver.reset();
    ASSERT_EQ(saved.size(), 2);
    EXPECT_EQ(saved.last(), (QStringList{u"x"_s, u"y"_s}));
}

TEST_F(ListSaverTest, AFailureIsToldOnceAfterTheTimerHandlerUntilASaveSucceeds)
{
    const auto saver = makeSaver();
    failing = true;
    append(u"a"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prompts.shown.isEmpty(); }, 5000));
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_TRUE(prompts.messages()[0].contains(u"磁盘已满"_s));
    EXPECT_TRUE(saver->hasUnsavedChanges());

    append(u"b"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return saved.size() == 2; }, 5000));
    QTest::qWait(10);
    EXPECT_EQ(prompts.messages().size(), 1); // the same trouble is not told again

    failing = false;
    append(u"c"_s);
    saver->flush();
    EXPECT_FALSE(saver->hasUnsavedChanges());
    failing = true;
    append(u"d"_s);
    saver->flush(); // a window closing: told at once
    EXPECT_EQ(prompts.messages().size(), 2);
}

} // namespace
