#include "transfers/hostrefusal.h"
#include "transfers/transfer.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(HostRefusal, AnswersThatRefuseTheFileAndThoseThatDoNot)
{
    const QByteArray check = "<html><head><title>Just a moment...</title></head></html>";
    const QByteArray signIn = "<html><head><title>Sign in | ACS</title></head><body></body></html>";
    const QByteArray loginForm = "<form><INPUT name=p TYPE = 'password'></form>";
    const QByteArray chineseSignIn = "<html><head><title>用户登录</title></head></html>";
    const QByteArray forbidden = "<html><head><title>403 Forbidden</title></head><body>design login later</body></html>";
    struct Case {
        int Status;
        QByteArray Body;
        HostRefusal Expected;
    };
    const Case cases[] = {
        {429, {}, HostRefusal::SlowDown},
        {429, signIn, HostRefusal::SlowDown},
        {503, {}, HostRefusal::SlowDown},
        {503, check, HostRefusal::BotCheck},
        {403, check, HostRefusal::BotCheck},
        {403, forbidden, HostRefusal::Refused},
        {403, {}, HostRefusal::Refused},
        {403, signIn, HostRefusal::None},
        {403, loginForm, HostRefusal::None},
        {403, chineseSignIn, HostRefusal::None},
        {200, forbidden, HostRefusal::None},
        {200, check, HostRefusal::None},
        {404, forbidden, HostRefusal::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClassifyAnswer(c.Status, c.Body), c.Expected) << c.Status << ' ' << c.Body.constData();
        // The reason a transfer reports stands for the same refusal.
        EXPECT_EQ(RefusalOfReason(RefusalReason(c.Expected)), c.Expected);
    }
    EXPECT_EQ(RefusalOfReason(QString::fromUtf16(kReasonTimeout)), HostRefusal::None);
    // "login" as a word of a title is a sign-in page; inside another word it is not.
    EXPECT_TRUE(IsSignInPage("<title>Log-in required</title>"));
    EXPECT_FALSE(IsSignInPage("<title>Blogin news</title>"));
}

} // namespace
