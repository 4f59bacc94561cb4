#include "savenaming.h"

#include "downloadtask.h"
#include "namepattern.h"

#include "core/pathfunctions.h"
#include "core/textfunctions.h"

#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

DuplicatePolicy DuplicatePolicyFromCaption(const QString& caption)
{
    const QString trimmed = caption.trimmed();
    if (trimmed == u"跳过"_s)
        return DuplicatePolicy::Skip;
    if (trimmed == u"覆盖"_s)
        return DuplicatePolicy::Overwrite;
    return DuplicatePolicy::Rename;
}

QString DuplicatePolicyCaption(DuplicatePolicy policy)
{
    switch (policy) {
    case DuplicatePolicy::Skip: return u"跳过"_s;
    case DuplicatePolicy::Overwrite: return u"覆盖"_s;
    case DuplicatePolicy::Rename: break;
    }
    return u"重命名"_s;
}

namespace {

QString nameOrAddress(const QString& safeName, const QString& url)
{
    if (!safeName.isEmpty())
        return safeName;
    // A title of dots and separators cleans down to nothing; a nameless file
    // would be hidden (".pdf"), so the address names it instead.
    const QString fromAddress = SafeFileName(FileNameFromPath(url, true));
    return fromAddress.isEmpty() ? u"article"_s : fromAddress;
}

} // namespace

QString HandOffTaskName(const QString& title, const QString& url, bool nameByOriginalFile)
{
    const QString name = nameByOriginalFile ? FileNameFromPath(url, true) : textrules::trimSpaces(RemoveLineBreaks(title));
    return nameOrAddress(SafeFileName(name), url);
}

QString HandOffTaskName(const QString& title, const QString& url, const Citation& meta, const QString& pattern)
{
    return nameOrAddress(NameFromPattern(pattern, title, meta), url);
}

namespace {


QString joinName(const QString& folder, const QString& name, const QString& type)
{
    return type.isEmpty() ? QString(folder + name) : QString(folder + name + u'.' + type);
}

// The name part of a fitted path, without the task's extension.
QString nameOfPath(const QString& path, const QString& type)
{
    QString name = QFileInfo(path).fileName();
    if (!type.isEmpty())
        name.chop(type.size() + 1);
    return name;
}

QString counterText(qint64 counter)
{
    return QString::number(counter).rightJustified(3, u'0');
}

} // namespace

QString TargetFilePath(const QString& folder, const QString& name, const QString& type)
{
    return FitFileName(joinName(WithTrailingSeparator(folder), name, type));
}

bool CheckExistingFile(DownloadTask& task, DuplicatePolicy policy)
{
    const QString path = TargetFilePath(task.Folder, task.Name, task.Type);
    if (policy != DuplicatePolicy::Skip || !FileExists(path))
        return true;
    const qint64 length = QFileInfo(path).size();
    SetTaskSize(task, length);
    task.ReceivedBytes = length;
    task.Received = QString::number(length);
    SetTaskOutcome(task, TaskOutcome::AlreadyThere);
    return false;
}

SavePath MakeSavePath(const QString& folder, const QString& name, const QString& type, DuplicatePolicy policy,
                      const NameTaken& taken)
{
    const auto inUse = [&](const QString& path) { return taken ? taken(path) : FileExists(path); };
    const QString base = WithTrailingSeparator(folder);
    const QString path = TargetFilePath(base, name, type);
    if (policy == DuplicatePolicy::Overwrite || !inUse(path))
        return {path, nameOfPath(path, type)};

    qint64 counter = 0;
    QString stem = name;
    const qsizetype open = name.lastIndexOf(u'[');
    const qsizetype close = name.lastIndexOf(u']');
    // Only a counter at the very end counts: taking "[7]" out of "a[7]b" would
    // drop the "b" from the name.
    if (open >= 0 && open < close && close == name.size() - 1) {
        const QString between = textrules::trimSpaces(QStringView(name).sliced(open + 1, close - open - 1));
        bool inRange = false;
        const qint64 value = between.toLongLong(&inRange);
        if (inRange && textrules::isDigits(between)) {
            counter = value;
            stem = name.first(open);
        }
    }
    stem.replace(u'[', u'『').replace(u']', u'』');

    const auto candidateFor = [&](qint64 n) {
        const QString candidate = n != 0 ? QString(stem + u'[' + counterText(n) + u']') : stem;
        return TargetFilePath(base, candidate, type);
    };
    QString candidatePath = candidateFor(counter);
    while (inUse(candidatePath))
        candidatePath = candidateFor(++counter);
    return {candidatePath, nameOfPath(candidatePath, type)};
}
