#include "transfers/partfile.h"
#include "core/leftoverfiles.h"
#include "support/tempfolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>


using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList everything(const TempFolder& temp)
{
    return QDir(temp.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

bool writeBody(PartFile& part, const QByteArray& body)
{
    return part.write(body.constData(), body.size());
}

TEST(PartFileTest, TheNameShowsOnlyAWholeBodyAndNeverLosesWhatWasThere)
{
    const struct {
        const char* Label;
        QByteArray Before;   // the target before open(); empty: none
        bool Commit;
        QByteArray After;    // empty: no file
    } cases[] = {
        {"new_whole", {}, true, "%PDF-new"},
        {"new_abandoned", {}, false, {}},
        {"overwrite_whole", "old paper", true, "%PDF-new"},
        {"overwrite_abandoned", "old paper", false, "old paper"},
    };
    for (const auto& c : cases) {
        TempFolder temp;
        const QString target = temp.filePath(u"paper.pdf"_s);
        if (!c.Before.isEmpty())
            temp.writeFile(u"paper.pdf"_s, c.Before);
        PartFile part;
        ASSERT_TRUE(part.open(target)) << c.Label;
        ASSERT_TRUE(writeBody(part, "%PDF-n")) << c.Label;
        ASSERT_TRUE(part.rewind()) << c.Label; // a retry starts the body again
        ASSERT_TRUE(writeBody(part, "%PDF-new")) << c.Label;
        // While it streams the name shows what was there, never the body.
        EXPECT_EQ(contents(target), c.Before) << c.Label;
        EXPECT_EQ(everything(temp).size(), c.Before.isEmpty() ? 1 : 2) << c.Label;
        if (c.Commit) {
            EXPECT_TRUE(part.commit()) << c.Label;
            EXPECT_EQ(part.committedSample().Length, 8) << c.Label;
        } else {
            part.discard();
        }
        EXPECT_EQ(contents(target), c.After) << c.Label;
        EXPECT_EQ(everything(temp), c.After.isEmpty() ? QStringList{} : QStringList{u"paper.pdf"_s}) << c.Label;
    }
}

TEST(PartFileTest, ANameTakenMeanwhileIsNeverWrittenOver)
{
    TempFolder temp;
    const QString target = temp.filePath(u"paper.pdf"_s);
    PartFile part;
    ASSERT_TRUE(part.open(target));
    ASSERT_TRUE(writeBody(part, "%PDF-mine"));
    temp.writeFile(u"paper.pdf"_s, "another program's file");
    EXPECT_FALSE(part.commit());
    EXPECT_EQ(contents(target), "another program's file");
    EXPECT_EQ(everything(temp), QStringList{u"paper.pdf"_s}); // and no part file is left
}

TEST(LeftoverFilesTest, WhatAKilledRunLeftGoesAndNothingElse)
{
    TempFolder temp;
    temp.writeFile(u".paperpull-abc123.part"_s, "%PDF-half");   // nobody holds it
    temp.writeFile(u"Old claim.pdf"_s, QByteArray("\x01\x00", 2)); // an earlier version's claim
    temp.writeFile(u"paper.pdf"_s, "%PDF-1.7 whole");
    temp.writeFile(u"two.txt"_s, "ok");                            // two bytes, but not a claim
    temp.writeFile(u"notes.part"_s, "the user's own");
    temp.writeFile(u".paperpull-settings"_s, "not a part file");
    // A body still on its way, in this process or another, keeps its file.
    PartFile live;
    ASSERT_TRUE(live.open(temp.filePath(u"live.pdf"_s)));
    ASSERT_TRUE(writeBody(live, "%PDF-on its way"));

    EXPECT_TRUE(IsLeftNameClaim(temp.filePath(u"Old claim.pdf"_s)));
    EXPECT_FALSE(IsLeftNameClaim(temp.filePath(u"two.txt"_s)));
    EXPECT_EQ(RemoveLeftoverFiles(temp.path()), 2);
    QStringList left = everything(temp);
    ASSERT_EQ(left.size(), 5) << qPrintable(left.join(u','));
    EXPECT_TRUE(left.contains(u"paper.pdf"_s));
    EXPECT_TRUE(left.contains(u"two.txt"_s));
    EXPECT_TRUE(left.contains(u"notes.part"_s));
    EXPECT_TRUE(left.contains(u".paperpull-settings"_s));
    EXPECT_TRUE(live.commit());
    EXPECT_EQ(contents(temp.filePath(u"live.pdf"_s)), "%PDF-on its way");
    EXPECT_EQ(RemoveLeftoverFiles(temp.filePath(u"no such folder"_s)), 0);
}

} // namespace
