#include "folderhistory.h"

#include "core/legacytext.h"
#include "core/programfolders.h"
#include "core/textfunctions.h"

#include <QFile>
#include <QStringDecoder>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kMaxLines = 100;
// No folder path comes near this; a longer line is damage, not a folder.
constexpr qint64 kMaxLineBytes = 64 * 1024;

// Files written by this program are GB18030; files edited by hand are often
// UTF-8. Valid UTF-8 is strict enough that it is tried first.
std::optional<QString> decodeLine(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return legacytext::decode(bytes);
}

QByteArray withoutLineEnd(QByteArray line)
{
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return line;
}

} // namespace

void LoadFolderHistory(QStringList& entries, const QString& filePath)
{
    QFile file(filePath);
    if (!file.exists())
        return;
    entries.clear();
    if (!file.open(QIODevice::ReadOnly))
        return;

    int linesSeen = 0;
    while (!file.atEnd()) {
        QByteArray line = file.readLine(kMaxLineBytes);
        const bool cutShort = !line.endsWith('\n') && !file.atEnd();
        if (cutShort) { // skip the rest of an overlong line
            while (!file.atEnd() && !file.readLine(kMaxLineBytes).endsWith('\n')) {
            }
        }
        const std::optional<QString> decoded = decodeLine(withoutLineEnd(line));
        const bool blank = decoded && textrules::trimSpaces(*decoded).isEmpty();
        if (blank)
            continue;
        if (++linesSeen > kMaxLines)
            break;
        if (!decoded || cutShort)
            continue;
        const QString folder = textrules::trimSpaces(*decoded);
        const bool listed = std::any_of(entries.cbegin(), entries.cend(), [&](const QString& entry) {
            return entry.compare(folder, Qt::CaseInsensitive) == 0;
        });
        if (!listed)
            entries.append(folder);
    }
}

bool SaveFolderHistory(const QStringList& entries, const QString& filePath)
{
    // An empty history is one empty line, as the program has always written it.
    return legacytext::writeLines(filePath, entries.isEmpty() ? QStringList{QString()} : entries);
}

QString FolderHistoryFilePath()
{
    return ProgramDataFolder() + u"/SaveList.dat"_s;
}
