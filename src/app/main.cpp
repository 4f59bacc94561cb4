#include "core/systemprobes.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

// The windows are not part of this build yet. Until they are, the program says
// so plainly instead of opening an empty window.
int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    out << u"Paperpull "_s << CurrentProgramVersion().text() << u" on "_s << GetSystemVersionName() << Qt::endl
        << u"This build holds the program's foundations (settings, names, the download list);"_s << Qt::endl
        << u"the search and download windows are not built yet."_s << Qt::endl;
    return 0;
}
