#include "core/copyrun.h"
#include "core/filecopy.h"
#include "support/tempfolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void setTime(const QString& path, const QDateTime& time)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

TEST(NumberedCopy, TakesTheFirstFreeThreeDigitName)
{
    TempFolder temp;
    const QString dest = temp.makeFolder(u"dest"_s);
    const QString source = temp.writeFile(u"src/report.pdf"_s, "new");
    temp.writeFile(u"dest/report.pdf"_s, "old");

    const NumberedCopy first = 复制相同文件自动重命名(CopySource::WholeFile(source), dest);
    EXPECT_TRUE(first.Copied);
    EXPECT_EQ(first.FileName, u"report[001].pdf"_s);
    EXPECT_EQ(复制相同文件自动重命名(CopySource::WholeFile(source), dest).FileName, u"report[002].pdf"_s);
    EXPECT_EQ(contentOf(dest + u"/report[002].pdf"_s), "new");

    // A counter on the source's name is dropped before numbering.
    const QString numbered = temp.writeFile(u"src/report[003].pdf"_s, "n3");
    EXPECT_EQ(复制相同文件自动重命名(CopySource::WholeFile(numbered), temp.makeFolder(u"fresh"_s)).FileName,
              u"report.pdf"_s);
    const QString plain = temp.writeFile(u"src/data"_s, "d");
    temp.writeFile(u"dest/data"_s, "d");
    EXPECT_EQ(复制相同文件自动重命名(CopySource::WholeFile(plain), dest).FileName, u"data[001]"_s);
    EXPECT_FALSE(复制相同文件自动重命名(CopySource::WholeFile(temp.filePath(u"gone.pdf"_s)), dest).Copied);
}

// Each policy against a target of the same name that is an earlier copy of
// the source (same length and time) or a different file.
TEST(CopyPolicies, DecideWhatHappensToATakenName)
{
    struct Case {
        const char* Name;
        ExistingFilePolicy Policy;
        bool EarlierCopy;     // the target is the source copied before
        bool SameLengthOnly;  // the target has the source's length, not its time
        QByteArray Target;    // what the target holds afterwards
        bool Numbered;        // a name[001] copy appears
    };
    const Case cases[] = {
        {"skip", ExistingFilePolicy::Skip, false, false, "other content", false},
        {"overwrite", ExistingFilePolicy::Overwrite, false, false, "source", false},
        {"rename", ExistingFilePolicy::Rename, true, false, "source", true},
        {"size and time: own copy", ExistingFilePolicy::SameSizeAndTime, true, false, "source", false},
        {"size and time: other file", ExistingFilePolicy::SameSizeAndTime, false, false, "other content", true},
        {"size and time: same size only", ExistingFilePolicy::SameSizeAndTime, false, true, "SOURCE", true},
        {"size: same size", ExistingFilePolicy::SameSize, false, true, "source", false},
        {"size: other size", ExistingFilePolicy::SameSize, false, false, "other content", true},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        const QString source = temp.writeFile(u"src/a.pdf"_s, "source");
        const QString dest = temp.makeFolder(u"dest"_s);
        const QString target = dest + u"/a.pdf"_s;
        setTime(source, QDateTime(QDate(2020, 5, 1), QTime(10, 0)));
        if (c.EarlierCopy) {
            ASSERT_TRUE(CopyFilePart(CopySource::WholeFile(source), target)) << c.Name;
        } else {
            temp.writeFile(u"dest/a.pdf"_s, c.SameLengthOnly ? "SOURCE" : "other content");
        }
        CopyRun::CopyOne(CopySource::WholeFile(source), dest + u'/', c.Policy);
        EXPECT_EQ(contentOf(target), c.Target) << c.Name;
        EXPECT_EQ(QFile::exists(dest + u"/a[001].pdf"_s), c.Numbered) << c.Name;
        EXPECT_EQ(filesIn(dest).size(), c.Numbered ? 2 : 1) << c.Name << " (no temporary file left)";
    }
}

TEST(CopyFilePart, CopiesARangeWithTheSourcesTimeAndNeverLeavesAPartialFile)
{
    TempFolder temp;
    const QString source = temp.writeFile(u"entry"_s, "HEADER%PDF-body-TRAILER");
    const QDateTime time(QDate(2021, 3, 4), QTime(5, 6, 7));
    setTime(source, time);
    const QString dest = temp.makeFolder(u"dest"_s);

    ASSERT_TRUE(CopyFilePart({source, 6, 9, u"paper.pdf"_s}, dest + u"/paper.pdf"_s));
    EXPECT_EQ(contentOf(dest + u"/paper.pdf"_s), "%PDF-body");
    EXPECT_EQ(QFileInfo(dest + u"/paper.pdf"_s).lastModified(), time);

    // A range past the end (an entry cut short since it was listed) copies nothing
    // and leaves the file already there as it was.
    EXPECT_FALSE(CopyFilePart({source, 6, 900, u"paper.pdf"_s}, dest + u"/paper.pdf"_s));
    EXPECT_EQ(contentOf(dest + u"/paper.pdf"_s), "%PDF-body");
    EXPECT_FALSE(CopyFilePart(CopySource::WholeFile(source), temp.filePath(u"no/such/folder/x"_s)));
    EXPECT_EQ(filesIn(dest), QStringList({u"paper.pdf"_s}));
}

struct CopyRunTest : ::testing::Test {
    CopyRunTest() : dest(temp.makeFolder(u"dest"_s) + u'/')
    {
        for (const char* name : {"one.pdf", "two.pdf", "three.pdf"})
            sources.append(CopySource::WholeFile(temp.writeFile(u"src/"_s + QString::fromLatin1(name), name)));
    }
    TempFolder temp;
    QString dest;
    QList<CopySource> sources;
    CopyRun run;
};

TEST_F(CopyRunTest, CopiesAFileATurnAndReportsProgress)
{
    QSignalSpy progress(&run, &CopyRun::progressChanged);
    QSignalSpy names(&run, &CopyRun::currentFileChanged);
    QSignalSpy finished(&run, &CopyRun::finished);
    sources.append(CopySource::WholeFile(dest + u"already.pdf"_s)); // lies in the destination
    temp.writeFile(u"dest/already.pdf"_s, "here");
    run.start(sources, dest, ExistingFilePolicy::SameSizeAndTime);
    EXPECT_TRUE(filesIn(dest) == QStringList({u"already.pdf"_s})) << "nothing is copied before the first turn";
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(filesIn(dest), QStringList({u"already.pdf"_s, u"one.pdf"_s, u"three.pdf"_s, u"two.pdf"_s}));
    QList<int> values;
    for (const QList<QVariant>& signal : progress)
        values.append(signal[0].toInt());
    EXPECT_EQ(values, QList<int>({0, 1, 2, 3, 4, 0}));
    EXPECT_EQ(progress.first()[1].toInt(), 5);
    QStringList shown;
    for (const QList<QVariant>& signal : names)
        shown.append(signal[0].toString());
    EXPECT_EQ(shown, QStringList({u"one.pdf"_s, u"two.pdf"_s, u"three.pdf"_s, QString()}));
    EXPECT_FALSE(run.running());
}

TEST_F(CopyRunTest, StopEndsTheRunAfterTheCurrentFile)
{
    QSignalSpy finished(&run, &CopyRun::finished);
    QObject::connect(&run, &CopyRun::currentFileChanged, &run, [this](const QString& name) {
        if (name == u"one.pdf"_s)
            run.stop();
    });
    run.start(sources, dest, ExistingFilePolicy::SameSizeAndTime);
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(filesIn(dest), QStringList({u"one.pdf"_s}));
}

} // namespace
