#include "core/systemprobes.h"

#include <QSysInfo>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(SystemProbes, NameCarriesProductAndKernelVersion)
{
    const QString name = GetSystemVersionName();
    EXPECT_TRUE(name.startsWith(QSysInfo::prettyProductName()));
    EXPECT_TRUE(name.endsWith(u" ["_s + QSysInfo::kernelVersion() + u']')) << name.toStdString();
}

TEST(SystemProbes, VersionTextJoinsThreeNumbers)
{
    EXPECT_EQ((ProgramVersion{1, 12, 40000}.text()), u"1.12.40000"_s);
    const ProgramVersion current = CurrentProgramVersion();
    EXPECT_GE(current.Major + current.Minor + current.Revision, 1);
}

} // namespace
