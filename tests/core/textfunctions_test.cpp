#include "core/legacytext.h"
#include "core/textfunctions.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct TextCase {
    const char* Name;
    QString Input;
    QString Expected;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.Name; }

class SafeFileNameTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(SafeFileNameTest, CleansName)
{
    EXPECT_EQ(SafeFileName(GetParam().Input), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, SafeFileNameTest, ::testing::Values(
    TextCase{"forbidden_characters_removed", u"a/b:c?.pdf"_s, u"abc.pdf"_s},
    TextCase{"all_nine_characters", u"\\/:*?\"<>|x"_s, u"x"_s},
    TextCase{"only_dots_gives_empty", u"...."_s, u""_s},
    TextCase{"leading_spaces_hide_dot", u"  .abc"_s, u".abc"_s},
    TextCase{"trailing_space_hides_dot", u"abc. "_s, u"abc."_s},
    TextCase{"dots_stripped_before_spaces", u"..abc.."_s, u"abc"_s},
    TextCase{"line_breaks_and_nul_removed", u"a\r\nb"_s + QChar(0) + u"c"_s, u"abc"_s},
    TextCase{"tabs_kept", u"a\tb"_s, u"a\tb"_s},
    TextCase{"empty_stays_empty", u""_s, u""_s}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

TEST(SafeFileName, CutsAt250LegacyBytesKeepingWholeCharacters)
{
    // 200 Chinese characters are 400 bytes: the first 125 fit.
    const QString title = QString(200, QChar(0x4E2D));
    EXPECT_EQ(SafeFileName(title), QString(125, QChar(0x4E2D)));

    // One byte short of a whole character: the character is dropped, not garbled.
    const QString odd = u"a"_s + QString(200, QChar(0x4E2D));
    const QString cut = SafeFileName(odd);
    EXPECT_EQ(cut, u"a"_s + QString(124, QChar(0x4E2D)));
    EXPECT_LE(legacytext::byteCount(cut), 250);

    // Characters outside GBK take four bytes in GB18030 and are kept whole.
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80").repeated(70); // 280 bytes
    const QString cutEmoji = SafeFileName(emoji);
    EXPECT_EQ(cutEmoji, QString::fromUtf8("\xF0\x9F\x98\x80").repeated(62));
}

TEST(SafeFileName, ControlCharactersAndSeparatorsMakeASavableName)
{
    const QString title = u"Synthesis of A/B\r\n: a \"review\"?"_s;
    EXPECT_EQ(SafeFileName(title), u"Synthesis of AB a review"_s);
}

TEST(SplitFileName, Table)
{
    struct Case { QString Path, Extension, Base; };
    const Case cases[] = {
        {u"C:\\a\\b.tar.gz"_s, u"gz"_s, u"b.tar"_s},
        {u"C:\\a\\b.torrentx"_s, u""_s, u"b.torrentx"_s},
        {u"/home/x/report.pdf"_s, u"pdf"_s, u"report"_s},
        {u"  name.docx  "_s, u"docx"_s, u"name"_s},
        {u".pdf"_s, u"pdf"_s, u""_s},
        {u"noext"_s, u""_s, u"noext"_s},
        {u"a.b c"_s, u"b c"_s, u"a"_s},
        {u"dir/"_s, u""_s, u""_s},
    };
    for (const Case& c : cases) {
        const FileNameParts parts = SplitFileName(c.Path);
        EXPECT_EQ(parts.Extension, c.Extension) << c.Path.toStdString();
        EXPECT_EQ(parts.BaseName, c.Base) << c.Path.toStdString();
    }
}

TEST(SplitPath, Table)
{
    struct Case { QString Path, Folder, Base, Extension; };
    const Case cases[] = {
        {u"D:\\x\\r.pdf"_s, u"D:\\x\\"_s, u"r"_s, u"pdf"_s},
        {u"/home/x/r.pdf"_s, u"/home/x/"_s, u"r"_s, u"pdf"_s},
        {u"/home/x/.pdf"_s, u"/home/x/"_s, u".pdf"_s, u""_s}, // unlike SplitFileName
        {u"r.pdf"_s, u""_s, u"r"_s, u"pdf"_s},
        {u"/a/b.torrentx"_s, u"/a/"_s, u"b.torrentx"_s, u""_s},
    };
    for (const Case& c : cases) {
        const PathParts parts = SplitPath(c.Path);
        EXPECT_EQ(parts.Folder, c.Folder) << c.Path.toStdString();
        EXPECT_EQ(parts.BaseName, c.Base) << c.Path.toStdString();
        EXPECT_EQ(parts.Extension, c.Extension) << c.Path.toStdString();
    }
}

TEST(FileNameFromPath, Table)
{
    struct Case { QString Input; bool Drop; QString Expected; };
    const Case cases[] = {
        {u"https://host/doi/pdf/10.1021/ja.5b01.pdf"_s, false, u"ja.5b01.pdf"_s},
        {u"https://host/doi/pdf/10.1021/ja.5b01.pdf"_s, true, u"ja.5b01"_s},
        {u"C:\\a\\ b.txt "_s, true, u"b"_s},
        {u"/a/b/"_s, false, u""_s},
        {u" plain "_s, false, u" plain "_s}, // no separator: untouched
        {u"noext"_s, true, u"noext"_s},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileNameFromPath(c.Input, c.Drop), c.Expected) << c.Input.toStdString();
}

TEST(SplitNumberSuffix, Table)
{
    struct Case { QString Input, Base, Number; };
    const Case cases[] = {
        {u"report[0003]"_s, u"report"_s, u"0003"_s},
        {u"report[ 12 ]"_s, u"report"_s, u"12"_s},
        {u"report[x]"_s, u"report[x]"_s, u""_s},
        {u"report[]"_s, u"report[]"_s, u""_s},
        {u"[12]"_s, u"[12]"_s, u""_s},
        {u"a[1]b"_s, u"a[1]b"_s, u""_s},
        {u"a]1["_s, u"a]1["_s, u""_s},
    };
    for (const Case& c : cases) {
        const NumberSuffix s = SplitNumberSuffix(c.Input);
        EXPECT_EQ(s.BaseName, c.Base) << c.Input.toStdString();
        EXPECT_EQ(s.Number, c.Number) << c.Input.toStdString();
    }
}

TEST(RemoveLineBreaks, RemovesCrLfAndNul)
{
    EXPECT_EQ(RemoveLineBreaks(u"a\r\nb\rc\nd"_s + QChar(0) + u"e"_s), u"abcde"_s);
}

TEST(FitFileName, ShortNamesUnchanged)
{
    EXPECT_EQ(FitFileName(u"/tmp/a.pdf"_s), u"/tmp/a.pdf"_s);
}

TEST(FitFileName, LongTitleCutToFileSystemLimitKeepingExtensionAndCounter)
{
    // 250 GB18030 bytes of Chinese are 375 bytes of UTF-8.
    const QString base = SafeFileName(QString(200, QChar(0x4E2D)));
    const struct {
        QString Suffix;
    } cases[] = {{u".pdf"_s}, {u"[0007].pdf"_s}, {u"(2).pdf"_s}, {u"『3』.pdf"_s}, {u""_s}};
    for (const auto& c : cases) {
        const QString fitted = FitFileName(u"/papers/"_s + base + c.Suffix);
        const QString name = fitted.sliced(8);
        EXPECT_TRUE(fitted.startsWith(u"/papers/"_s));
        EXPECT_LE(name.toUtf8().size(), 255) << c.Suffix.toStdString();
        EXPECT_TRUE(name.endsWith(c.Suffix)) << c.Suffix.toStdString();
        EXPECT_TRUE(name.startsWith(QString(80, QChar(0x4E2D))));
        EXPECT_FALSE(name.contains(QChar::ReplacementCharacter));
    }
}

TEST(FitFileName, NeverSplitsASurrogatePair)
{
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    const QString fitted = FitFileName(emoji.repeated(100) + u".pdf"_s, 255);
    EXPECT_EQ(fitted, emoji.repeated(62) + u".pdf"_s); // 62 * 4 + 4 = 252 bytes
}

TEST(TextFunctions, KilobyteFormatIsTheSameInEveryLocale)
{
    EXPECT_EQ(FormatKilobytes(1536 / 1024.0), u"1.5"_s);
    EXPECT_EQ(FormatKilobytes(2097152 / 1024.0), u"2,048.0"_s);
    EXPECT_EQ(FormatKilobytes(0), u"0.0"_s);
    EXPECT_EQ(FormatKilobytes(1234567.26), u"1,234,567.3"_s);
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(FormatKilobytes(2097152 / 1024.0), u"2,048.0"_s);
    QLocale::setDefault(before);
}


} // namespace
