#include "search/htmlsnapshot.h"
#include "search/loginform.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

DomSnapshot page(const char* body)
{
    return SnapshotFromHtml(QByteArray(body), u"https://pubs.example.org/action/showLogin"_s);
}

// What a plan does, in words a failure reads easily: "name=value" per fill
// (by the element's name or id), then "submit:<name or id>" or "no submit".
QStringList describe(const DomSnapshot& doc, const LoginFormPlan& plan)
{
    const auto label = [&doc](int index) {
        const DomElement& e = *doc.element(index);
        return e.Name.isEmpty() ? e.Id : e.Name;
    };
    QStringList out;
    for (const LoginFieldFill& fill : plan.Fills) {
        EXPECT_EQ(fill.Tag, doc.element(fill.Index)->Tag);
        out << label(fill.Index) + u'=' + fill.Value;
    }
    out << (plan.SubmitIndex < 0 ? u"no submit"_s : u"submit:"_s + label(plan.SubmitIndex));
    if (plan.SubmitIndex >= 0)
        EXPECT_EQ(plan.SubmitTag, doc.element(plan.SubmitIndex)->Tag);
    return out;
}

struct FormCase {
    const char* name;
    const char* html;
    QStringList expected;
};

class AccountLogin : public ::testing::TestWithParam<FormCase> {};

TEST_P(AccountLogin, FillsAndSubmits)
{
    const DomSnapshot doc = page(GetParam().html);
    EXPECT_EQ(describe(doc, PlanAccountLogin(doc, u"  reader  "_s, u" s3cret "_s)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, AccountLogin,
    ::testing::Values(
        FormCase{"NamesInAnyLetterCase",
                 "<form><input name=UserName><input type=password name=PassWord>"
                 "<input type=SUBMIT name=go value=Sign></form>",
                 {u"UserName=reader"_s, u"PassWord=s3cret"_s, u"submit:go"_s}},
        FormCase{"UnknownUserFieldAndOnePasswordIsNotSubmitted",
                 "<form><input name=account><input type=password name=passwd><input type=submit name=go></form>",
                 {u"passwd=s3cret"_s, u"no submit"_s}},
        FormCase{"SubmitBeforeTheFieldsIsNotClicked",
                 "<form><input type=submit name=go><input name=user><input type=password name=pass></form>",
                 {u"user=reader"_s, u"pass=s3cret"_s, u"no submit"_s}},
        FormCase{"FirstSubmitAfterTwoFieldsEndsTheWalk",
                 "<input type=submit name=early><input name=userid><input name=password>"
                 "<input type=submit name=late><input name=useruid><input type=submit name=last>",
                 {u"userid=reader"_s, u"password=s3cret"_s, u"submit:late"_s}},
        FormCase{"TwoAccountFieldsAreEnoughToSubmit",
                 "<input name=user><input name=username><input type=submit name=go>",
                 {u"user=reader"_s, u"username=reader"_s, u"submit:go"_s}},
        FormCase{"LoginAndEmailTakeTheAccount",
                 "<input name=login><input name=password><input type=submit name=a>"
                 "<input name=Email><input name=pass><input type=submit name=b>",
                 {u"login=reader"_s, u"password=s3cret"_s, u"submit:a"_s}},
        FormCase{"EmailTakesTheAccount",
                 "<input name=Email><input name=pass><input type=submit name=b>",
                 {u"Email=reader"_s, u"pass=s3cret"_s, u"submit:b"_s}},
        FormCase{"ButtonWithoutTypeSubmits",
                 "<form><input name=login><input type=password name=password>"
                 "<button type=button name=show>Show</button><button id=signin>Sign in</button></form>",
                 {u"login=reader"_s, u"password=s3cret"_s, u"submit:signin"_s}},
        FormCase{"ButtonsAreNeverFilled",
                 "<button name=user type=submit>x</button><input name=user><input name=pass>"
                 "<button type=Submit name=go>y</button>",
                 {u"user=reader"_s, u"pass=s3cret"_s, u"submit:go"_s}},
        FormCase{"NoFieldsNothingToDo", "<form><input type=text name=q><input type=submit name=find></form>",
                 {u"no submit"_s}}),
    [](const ::testing::TestParamInfo<FormCase>& info) { return std::string(info.param.name); });

TEST(IpLogin, TheSubmitIpElement)
{
    const DomSnapshot withButton = page("<input type=submit id=other><a id=submitip href='#'>IP</a>");
    ASSERT_GE(IpLoginButton(withButton), 0);
    EXPECT_EQ(withButton.element(IpLoginButton(withButton))->Tag, u"A"_s);
    EXPECT_EQ(IpLoginButton(page("<input type=submit id=SubmitIP>")), -1);
    EXPECT_EQ(IpLoginButton(DomSnapshot()), -1);
}

} // namespace
