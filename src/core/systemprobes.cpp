#include "systemprobes.h"

#include "programversion_config.h"

#include <QSysInfo>

using namespace Qt::Literals::StringLiterals;

QString GetSystemVersionName()
{
    return QSysInfo::prettyProductName() + u" ["_s + QSysInfo::kernelVersion() + u']';
}

QString ProgramVersion::text() const
{
    return QString::number(Major) + u'.' + QString::number(Minor) + u'.' + QString::number(Revision);
}

ProgramVersion CurrentProgramVersion()
{
    return {PAPERPULL_VERSION_MAJOR, PAPERPULL_VERSION_MINOR, PAPERPULL_VERSION_PATCH};
}
