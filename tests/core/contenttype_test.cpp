#include "core/contenttype.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(ParseContentType, DropsParametersAndSpaces)
{
    EXPECT_EQ(ParseContentType(u"Application/PDF; charset=utf-8"_s), u"Application/PDF"_s);
    EXPECT_EQ(ParseContentType(u"  text/html  "_s), u"text/html"_s);
    EXPECT_EQ(ParseContentType(u""_s), u""_s);
}

TEST(ContentTypeToExt, Table)
{
    const std::pair<QString, QString> cases[] = {
        {u"Application/PDF"_s, u"pdf"_s},
        {u"text/html"_s, u"html"_s},
        {u"image/ tiff"_s, u"tif"_s},
        {u"image/x-icon"_s, u"ico"_s},
        {u"video/mpeg4"_s, u"mp4"_s},
        {u"audio/midi"_s, u"mid"_s},
        {u"application/zip"_s, u"application/zip"_s},
        {u"Foo/Bar"_s, u"Foo/Bar"_s},
        {u"application/octet-stream"_s, u""_s},
        {u"video/*"_s, u"video"_s},
        {u"image/"_s, u"image"_s},
        {u"text"_s, u"text"_s},
        {u""_s, u""_s},
        {u"application/x/y"_s, u"application/x/y"_s},
    };
    for (const auto& [media, word] : cases)
        EXPECT_EQ(ContentTypeToExt(media), word) << media.toStdString();
}

TEST(ContentTypeToExt, HeaderValueToTaskType)
{
    EXPECT_EQ(ContentTypeToExt(ParseContentType(u"text/html;charset=gb2312"_s)), u"html"_s);
}

} // namespace
