#include "downloads/list/downloadtask.h"
#include "downloads/list/filetypedetection.h"
#include "support/tempfolder.h"

#include <QFile>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (const int v : values)
        b.append(static_cast<char>(v));
    return b;
}

QByteArray padded(QByteArray head, qsizetype size, char fill = ' ')
{
    head.append(QByteArray(std::max<qsizetype>(0, size - head.size()), fill));
    return head;
}

// Long enough that no check runs past the end.
QByteArray withBody(const QByteArray& head)
{
    return padded(head, 2000, 'x');
}

QByteArray ole(std::initializer_list<int> at512, qsizetype size = 2000)
{
    QByteArray b = padded(bytes({0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1}), 512, '\0');
    b += bytes(at512);
    return padded(b, size, '\0');
}

TEST(DetectFileType, Signatures)
{
    const std::pair<QByteArray, QString> cases[] = {
        {withBody("%PDF-1.7"), u"pdf"_s},
        {withBody(bytes({0xC8, 0, 0, 0})), u"caj"_s},
        {withBody(bytes({'C', 'A', 'J', 0})), u"caj"_s},
        {withBody("KDH "), u"kdh"_s},
        {withBody(bytes({'H', 'N', 0, 0})), u"nh"_s},
        {withBody(bytes({'I', 'I', 0x2A, 0})), u"tif"_s},
        {withBody("{\\rtf1"), u"rtf"_s},
        {withBody("MZ"), u"exe"_s},
        {withBody("Rar!"), u"rar"_s},
        {withBody(bytes({0x50, 0x4B, 3, 4, 0x14, 0, 0, 0, 8})), u"zip"_s},
        {withBody(bytes({0x50, 0x4B, 3, 4, 0x14, 0, 6, 0, 8, 0})), u"docx"_s},
        {withBody(bytes({'C', 'W', 'S', 6})), u"swf"_s},
        {withBody(".RMF"), u"rm"_s},
        {withBody(bytes({0x30, 0x26, 0xB2, 0x75, 0x8E})), u"wma"_s},
        {withBody(bytes({'I', 'D', '3', 3})), u"mp3"_s},
        {withBody(bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A})), u"png"_s},
        {withBody(bytes({'G', 'I', 'F', '8', '9', '1', 4})), u"gif"_s},
        {withBody(bytes({'G', 'I', 'F', '8', '9', 'a', 4})), u""_s},
        {withBody(bytes({0xFF, 0xD8, 0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 0x2A})), u"jpg"_s},
        {withBody(bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F', 'I', 'F'})), u"jpg"_s},
        {ole({0xEC, 0xA5, 0xC1, 0}), u"doc"_s},
        {ole({0x09, 0x08, 0x10, 0}), u"xls"_s},
        {ole({0, 0, 0, 0xF0}), u"ppt"_s},
        {ole({0, 0, 0, 0}), u""_s},
    };
    TempFolder temp;
    int i = 0;
    for (const auto& [content, type] : cases) {
        const QString path = temp.writeFile(u"f"_s + QString::number(i++), content);
        EXPECT_EQ(DetectFileType(path), type) << content.left(12).toHex().constData();
    }
}

TEST(DetectFileType, ShortFilesSayNothing)
{
    TempFolder temp;
    EXPECT_EQ(DetectFileType(temp.writeFile(u"mz"_s, "MZ")), u""_s);       // first check reads past it
    EXPECT_EQ(DetectFileType(temp.writeFile(u"empty"_s, "")), u""_s);
    EXPECT_EQ(DetectFileType(temp.writeFile(u"one"_s, "%")), u""_s);
    EXPECT_EQ(DetectFileType(temp.writeFile(u"pdf4"_s, "%PDF")), u"pdf"_s); // exactly enough
    // An OLE file must reach position 515; exactly 515 bytes reads the zero past its end.
    EXPECT_EQ(DetectFileType(temp.writeFile(u"ole514"_s, ole({0, 0}, 514))), u""_s);
    EXPECT_EQ(DetectFileType(temp.writeFile(u"ole515"_s, ole({0x09, 0x08, 0x10}, 515))), u"xls"_s);
}

TEST(DetectFileType, WebPages)
{
    const QByteArray page = "<!DOCTYPE html><html lang=en><head><title>Sign in</title></head><body></body></html>";
    const struct {
        const char* Label;
        QByteArray Content;
        QString Type;
    } cases[] = {
        {"page_150k", padded(page, 150 * 1024), u"htm"_s},
        {"page_250k_too_big", padded(page, 250 * 1024), u""_s},
        {"mixed_case", padded("<HTML xmlns=x><Title>t</Title>", 4000), u"htm"_s},
        {"html_alone", padded("<html></html>", 4000), u""_s},
        {"markers_after_10k_unseen", padded(QByteArray(11000, ' ') + page, 20000), u""_s},
    };
    TempFolder temp;
    for (const auto& c : cases)
        EXPECT_EQ(DetectFileType(temp.writeFile(QString::fromLatin1(c.Label), c.Content)), c.Type) << c.Label;
}

TEST(DetectFileType, TagTailAndCaa)
{
    TempFolder temp;
    QByteArray tagged = padded("xxxxxxxxxxxxxxxx", 5000, 'x');
    tagged += padded("TAG", 128, ' ');
    EXPECT_EQ(DetectFileType(temp.writeFile(u"song"_s, tagged)), u"mp3"_s);

    const QByteArray caa = "[TARGET]\r\nA1=1\r\nA2=2\r\nb1=3\r\nB2=4\r\nC1=5\r\nC2=6\r\nD1=7\r\nD2=8\r\nDocType=9\r\n";
    EXPECT_EQ(DetectFileType(temp.writeFile(u"caa"_s, caa)), u"caa"_s);
    EXPECT_EQ(DetectFileType(temp.writeFile(u"caa_partial"_s, QByteArray(caa).replace("D2=", "D3="))), u""_s);
    EXPECT_EQ(DetectFileType(temp.writeFile(u"caa_big"_s, padded(caa, 3 * 1024))), u""_s);
}

TEST(DetectFileType, NonRegularOrMissingFilesAnswerAtOnce)
{
    TempFolder temp;
    EXPECT_EQ(DetectFileType(temp.filePath(u"missing"_s)), u""_s);
    EXPECT_EQ(DetectFileType(temp.makeFolder(u"folder"_s)), u""_s);
    EXPECT_EQ(DetectFileType(u""_s), u""_s);
    const QString pipe = temp.filePath(u"pipe"_s);
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(DetectFileType(pipe), u""_s); // would block forever if opened
    const QString unreadable = temp.writeFile(u"unreadable"_s, withBody("%PDF"));
    QFile::setPermissions(unreadable, QFileDevice::Permissions());
    if (::geteuid() != 0) { // root reads it anyway
        EXPECT_EQ(DetectFileType(unreadable), u""_s);
    }
}

TEST(DetectFileType, SparseFourGigabyteFileReadsOnlyHeadAndTail)
{
    TempFolder temp;
    const QString path = temp.writeFile(u"big"_s, "%PDF-1.4");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(4LL * 1024 * 1024 * 1024));
    file.close();
    EXPECT_EQ(DetectFileType(path), u"pdf"_s);

    const QString tagged = temp.writeFile(u"bigtag"_s, "0123456789abcdef");
    QFile tail(tagged);
    ASSERT_TRUE(tail.open(QIODevice::ReadWrite));
    ASSERT_TRUE(tail.resize(4LL * 1024 * 1024 * 1024));
    ASSERT_TRUE(tail.seek(4LL * 1024 * 1024 * 1024 - 128));
    tail.write("TAG");
    tail.close();
    EXPECT_EQ(DetectFileType(tagged), u"mp3"_s);
}

class CorrectTypeTest : public ::testing::Test {
protected:
    TempFolder temp;
    DownloadTask task(const QString& name, const QString& type) const
    {
        DownloadTask t;
        t.Folder = temp.path() + u'/';
        t.Name = name;
        t.Type = type;
        t.State = TaskState::Completed;
        return t;
    }
};

TEST_F(CorrectTypeTest, WebPageGetsAFreeNumberedName)
{
    temp.writeFile(u"report.pdf"_s, "<html ><title>Please sign in</title></html>");
    temp.writeFile(u"report.htm"_s, "older page");
    DownloadTask t = task(u"report"_s, u"pdf"_s);
    ASSERT_TRUE(CorrectTaskFileType(t));
    EXPECT_EQ(t.Type, u"htm"_s);
    EXPECT_EQ(t.Name, u"report[0001]"_s);
    EXPECT_EQ(t.State, TaskState::Completed);
    EXPECT_TRUE(QFile::exists(temp.filePath(u"report[0001].htm"_s)));
    EXPECT_FALSE(QFile::exists(temp.filePath(u"report.pdf"_s)));
    EXPECT_TRUE(IsWebPageResult(t));
}

TEST_F(CorrectTypeTest, NothingToCorrect)
{
    temp.writeFile(u"a.PDF"_s, withBody("%PDF-1.5"));
    temp.writeFile(u"b.pdf"_s, "unknown stuff that is long enough to be read through");
    DownloadTask sameType = task(u"a"_s, u"PDF"_s);
    DownloadTask unknown = task(u"b"_s, u"pdf"_s);
    DownloadTask missing = task(u"c"_s, u"pdf"_s);
    EXPECT_FALSE(CorrectTaskFileType(sameType));
    EXPECT_FALSE(CorrectTaskFileType(unknown));
    EXPECT_FALSE(CorrectTaskFileType(missing));
    EXPECT_EQ(sameType.Type, u"PDF"_s);
    // A name claim a killed run left is no paper, whatever a caller says it is.
    temp.writeFile(u"claimed.pdf"_s, QByteArray("\x01\x00", 2));
    DownloadTask claimed = task(u"claimed"_s, u"pdf"_s);
    EXPECT_FALSE(CorrectTaskFileType(claimed, u"htm"_s));
    EXPECT_TRUE(QFile::exists(temp.filePath(u"claimed.pdf"_s)));
}

TEST_F(CorrectTypeTest, FailedRenameLeavesTaskUnchanged)
{
    // A folder holds the free-looking name (folders do not count as taken),
    // so the rename fails, for root as for anyone.
    temp.writeFile(u"a.xxx"_s, withBody("%PDF-1.5"));
    temp.makeFolder(u"a.pdf"_s);
    DownloadTask t = task(u"a"_s, u"xxx"_s);
    EXPECT_FALSE(CorrectTaskFileType(t));
    EXPECT_EQ(t.Type, u"xxx"_s);
    EXPECT_EQ(t.Name, u"a"_s);
    EXPECT_TRUE(QFile::exists(temp.filePath(u"a.xxx"_s)));
}

} // namespace

namespace {

TEST(DetectFileType, SampleOfTheBodyTellsWhatTheFileTells)
{
    // What a transfer keeps as the body passes (the first 10 KB and the last
    // 128 bytes) must name the same type as reading the finished file.
    const QByteArray page = "<html><head><title>Sign in</title></head><body></body></html>";
    const QByteArray caa = "[TARGET]\r\nA1=1\r\nA2=2\r\nb1=3\r\nB2=4\r\nC1=5\r\nC2=6\r\nD1=7\r\nD2=8\r\nDocType=9\r\n";
    const std::pair<const char*, QByteArray> cases[] = {
        {"pdf", padded("%PDF-1.7", 50000, 'x')},
        {"tagged", padded("xxxxxxxxxxxxxxxx", 5000, 'x') + padded("TAG", 128, ' ')},
        {"tag_not_last", padded("xxxxxxxxxxxxxxxx", 5000, 'x') + padded("TAG", 128, ' ') + "x"},
        {"page", padded(page, 150 * 1024)},
        {"page_too_big", padded(page, 250 * 1024)},
        {"markers_after_10k", padded(QByteArray(11000, ' ') + page, 20000)},
        {"caa", caa},
        {"too_short", QByteArray("%P")},
    };
    TempFolder temp;
    for (const auto& [label, content] : cases) {
        const QString fromFile = DetectFileType(temp.writeFile(QString::fromLatin1(label), content));
        EXPECT_EQ(DetectFileTypeFromSample(content.left(10240), content.right(128), content.size()), fromFile) << label;
    }
}

} // namespace
