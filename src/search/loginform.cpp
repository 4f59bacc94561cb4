#include "loginform.h"

using namespace Qt::Literals::StringLiterals;

const QStringList& UserFieldNames()
{
    static const QStringList names{u"userid"_s, u"user"_s, u"username"_s, u"useruid"_s, u"login"_s, u"email"_s};
    return names;
}

const QStringList& PasswordFieldNames()
{
    static const QStringList names{u"pass"_s, u"password"_s, u"passwd"_s};
    return names;
}

LoginFormPlan PlanAccountLogin(const DomSnapshot& page, const QString& account, const QString& password)
{
    LoginFormPlan plan;
    int filled = 0;
    for (int i = 0; i < page.size(); ++i) {
        const DomElement& e = *page.element(i);
        const bool input = e.Tag == u"INPUT"_s;
        if (!input && e.Tag != u"BUTTON"_s)
            continue;
        const QString name = e.Name.toLower();
        // Buttons carry no text the user types; only their submit counts.
        if (input && UserFieldNames().contains(name)) {
            ++filled;
            plan.Fills.push_back({i, e.Tag, account.trimmed(), false});
        }
        if (input && PasswordFieldNames().contains(name)) {
            ++filled;
            plan.Fills.push_back({i, e.Tag, password.trimmed(), true});
        }
        if (e.Type.toLower() == u"submit"_s && filled > 1) {
            plan.SubmitIndex = i;
            plan.SubmitTag = e.Tag;
            break;
        }
    }
    return plan;
}

int IpLoginButton(const DomSnapshot& page)
{
    return page.getElementById(u"submitip"_s);
}
