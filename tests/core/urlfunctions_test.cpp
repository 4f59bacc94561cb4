#include "core/urlfunctions.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(UrlSiteRoot, Table)
{
    const std::pair<QString, QString> cases[] = {
        {u"https://pubs.example.org/doi/pdf/10.1/x"_s, u"https://pubs.example.org"_s},
        {u"https://pubs.example.org"_s, u"https://pubs.example.org"_s},
        {u"https:///path"_s, u"https:///path"_s}, // a "/" right after "://"
        {u"host/a"_s, u"host"_s},
        {u"abc/d"_s, u"abc"_s},
        {u"ab/cd"_s, u"ab/cd"_s},
        {u""_s, u""_s},
    };
    for (const auto& [url, root] : cases)
        EXPECT_EQ(UrlSiteRoot(url), root) << url.toStdString();
}

TEST(UrlFileExtension, Table)
{
    const std::pair<QString, QString> cases[] = {
        {u"http://host/dir/file.PDF?x=1#top"_s, u"PDF"_s},
        {u"http://host/get.asp?u=http://cdn/y.pdf"_s, u"asp"_s},
        {u"http://host/dir/"_s, u""_s},
        {u"http://host/archive.tar.gz"_s, u"gz"_s},
        {u"http://host/file.torrent"_s, u""_s},
        {u"C:\\Temp\\a.gif"_s, u"gif"_s},
        {u"/tmp/a.gif"_s, u"gif"_s},
        {u"http://host/a.pdf\tjunk"_s, u"pdf"_s},
        {u"http://host/a.php'x.y"_s, u"php"_s},
        {u"http://host/noext"_s, u""_s},
        {u""_s, u""_s},
    };
    for (const auto& [url, extension] : cases)
        EXPECT_EQ(UrlFileExtension(url), extension) << url.toStdString();
}

} // namespace
