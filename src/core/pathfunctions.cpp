#include "pathfunctions.h"

#include "textfunctions.h"
#include "userprompts.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;
using namespace textrules;

bool FileExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool FolderExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool EntryExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo::exists(path);
}

QString EnsureFolder(const QString& path, UserPrompts& prompts)
{
    static const QRegularExpression separators(u"[/\\\\]"_s);
    const QStringList parts = path.split(separators);
    const bool absolute = !path.isEmpty() && isSeparator(path.front());
    QString current = parts.front(); // the root (or a drive): neither cleaned nor created

    for (qsizetype i = 1; i < parts.size(); ++i) {
        if (parts[i].isEmpty())
            break;
        const QString level = FitFileName(SafeFileName(parts[i]));
        if (level.isEmpty()) {
            prompts.showMessage(QString::fromUtf16(kFolderNameError), MessageIcon::Error);
            break;
        }
        current = (current.isEmpty() && absolute) ? QString(u'/' + level) : QString(current + u'/' + level);
        if (!EntryExists(current))
            QDir().mkdir(current);
    }
    if (current.isEmpty() && absolute)
        current = u"/"_s;
    return FolderExists(current) ? current : QString();
}

QString WithTrailingSeparator(const QString& folder)
{
    return (folder.endsWith(u'/') || folder.endsWith(u'\\')) ? folder : folder + u'/';
}

QString NextNumberedName(const QString& path)
{
    if (!FileExists(path))
        return path;
    const qsizetype sep = lastSeparator(path);
    if (sep < 0)
        return path;
    const QString folder = path.first(sep + 1);
    const QString name = path.sliced(sep + 1);

    const qsizetype dot = name.lastIndexOf(u'.');
    QString base = dot >= 0 ? name.first(dot) : name;
    const QString extension = dot >= 0 ? name.sliced(dot + 1) : QString();
    base.truncate(100);

    // A name that already carries a counter is renumbered, not given a second one.
    const qsizetype open = base.lastIndexOf(u'[');
    const qsizetype close = base.lastIndexOf(u']');
    if (close == base.size() - 1 && open >= 0 && close - open > 1
        && isDigits(trimSpaces(QStringView(base).sliced(open + 1, close - open - 1))))
        base.truncate(open);

    const auto candidateFor = [&](qint64 n) {
        QString candidate = folder + base;
        if (n > 0)
            candidate += u'[' + QString::number(n).rightJustified(4, u'0') + u']';
        if (!extension.isEmpty())
            candidate += u'.' + extension;
        return candidate;
    };
    qint64 n = 0;
    QString candidate = candidateFor(n);
    while (FileExists(candidate))
        candidate = candidateFor(++n);
    return candidate;
}

namespace {

enum class Collect { Folders, Files };

void collect(QString folder, QStringList& list, bool recursive, Collect what)
{
    folder = WithTrailingSeparator(folder);
    const QDir dir(folder);
    if (!dir.exists())
        return;
    const bool isRoot = QDir(folder).isRoot();
    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);

    QStringList toEnter;
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (name.compare(u"pagefile.sys"_s, Qt::CaseInsensitive) == 0)
            continue;
        if (isRoot && name.compare(u"RECYCLER"_s, Qt::CaseInsensitive) == 0)
            continue;
        if (entry.isDir()) {
            if (what == Collect::Folders)
                list.append(folder + name);
            if (!entry.isSymLink())
                toEnter.append(name);
        } else if (what == Collect::Files) {
            list.append(folder + name);
        }
    }
    if (!recursive)
        return;
    for (const QString& name : toEnter)
        collect(folder + name, list, true, what);
}

} // namespace

void CollectSubfolders(const QString& folder, QStringList& list, bool recursive)
{
    // Only absolute folders: a relative one would depend on the working folder.
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder))
        return;
    collect(folder, list, recursive, Collect::Folders);
}

void CollectFiles(const QString& folder, QStringList& list, bool recursive)
{
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder))
        return;
    collect(folder, list, recursive, Collect::Files);
}
