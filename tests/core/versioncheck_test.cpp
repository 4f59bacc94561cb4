#include "core/versioncheck.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(VersionCheck, AnswersTable)
{
    const ProgramVersion running{1, 4, 728};
    const struct {
        const char* Label;
        QString Answer;
        QString Notice; // "" = nothing shown
    } cases[] = {
        {"newer_revision", u"1.4.729"_s, u"有最新版本：V1.4.729"_s},
        {"newer_minor", u"1.5.0"_s, u"有最新版本：V1.5.0"_s},
        {"equal", u"1.4.728"_s, u""_s},
        {"older", u"1.3.999"_s, u""_s},
        {"two_parts", u"1.5"_s, u""_s},
        {"four_parts", u"1.5.0.1"_s, u""_s},
        {"padded", u"  1.4.730  "_s, u"有最新版本：V1.4.730"_s},
        {"eleven_characters", u"1.4.7290000"_s, u""_s},
        {"error_page", u"<html>404</html>"_s, u""_s},
        {"not_numbers", u"1.x.3"_s, u""_s},
        {"empty_part", u"1..3"_s, u""_s},
        {"empty", u""_s, u""_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NewerVersionNotice(c.Answer, running).value_or(QString()), c.Notice) << c.Label;
}

TEST(VersionCheck, LaterVersionsStayApart)
{
    // Past 1.6.x single precision would make these equal.
    EXPECT_TRUE(NewerVersionNotice(u"2.0.1"_s, ProgramVersion{2, 0, 0}).has_value());
    EXPECT_FALSE(NewerVersionNotice(u"2.0.0"_s, ProgramVersion{2, 0, 1}).has_value());
}

TEST(VersionCheck, Addresses)
{
    EXPECT_EQ(VersionFileAddress(u"http://127.0.0.1:8000/"_s), u"http://127.0.0.1:8000/Paperpull/newver.txt"_s);
    EXPECT_EQ(ProgramPageAddress(u"http://127.0.0.1:8000/"_s), u"http://127.0.0.1:8000/Paperpull/"_s);
}

} // namespace
