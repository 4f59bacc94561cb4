#include "downloadlistfile.h"

#include "downloadlist.h"
#include "downloadtablemodel.h"

#include "core/citationstream.h"
#include "core/listfile.h"
#include "core/listrestore.h"
#include "core/programfolders.h"

#include <QDataStream>
#include <QIODevice>

using namespace Qt::Literals::StringLiterals;

namespace downloadlistfile {

namespace {

const QByteArray kTag = QByteArrayLiteral("DLST");
// The smallest a task can be in the file: nine empty strings, the numbers and flags.
constexpr qint64 kMinTaskBytes = 9 * 4 + 4 + 1 + 8 + 8 + 4 + 1;

void prepare(QDataStream& stream)
{
    stream.setVersion(QDataStream::Qt_6_4);
    // The machines this runs on are little-endian: strings go in and out as they are in memory.
    stream.setByteOrder(QDataStream::LittleEndian);
}

bool isState(qint32 value)
{
    return value >= static_cast<qint32>(TaskState::Waiting) && value <= static_cast<qint32>(TaskState::Failed);
}

bool isOutcome(qint32 value)
{
    return value >= static_cast<qint32>(TaskOutcome::None) && value <= static_cast<qint32>(TaskOutcome::Failed);
}

} // namespace

QByteArray Encode(const DownloadList& list)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    prepare(out);
    out << static_cast<qint64>(list.count());
    for (const DownloadTask& t : list.tasks()) {
        out << t.Name << t.Type << t.Size << t.Received << t.Progress << t.Folder << t.ColumnB << t.Url
            << t.Referer << static_cast<qint32>(t.State) << t.Selected << t.SizeBytes << t.ReceivedBytes
            << static_cast<qint32>(t.Outcome) << t.Cited.has_value();
        if (t.Cited) {
            out << t.Cited->Title << t.Cited->Url;
            WriteCitation(out, t.Cited->Meta);
        }
    }
    return bytes;
}

std::optional<DownloadList> Decode(const QByteArray& contents, quint32 format)
{
    if (format != kFormat)
        return std::nullopt;
    QDataStream in(contents);
    prepare(in);
    qint64 count = -1;
    in >> count;
    // A count the contents cannot hold is damage; trusting it would reserve gigabytes.
    if (in.status() != QDataStream::Ok || count < 0 || count > contents.size() / kMinTaskBytes)
        return std::nullopt;
    DownloadList list;
    for (qint64 i = 0; i < count; ++i) {
        DownloadTask t;
        qint32 state = 0;
        qint32 outcome = 0;
        bool cited = false;
        in >> t.Name >> t.Type >> t.Size >> t.Received >> t.Progress >> t.Folder >> t.ColumnB >> t.Url
            >> t.Referer >> state >> t.Selected >> t.SizeBytes >> t.ReceivedBytes >> outcome >> cited;
        if (cited) {
            CitedArticle& article = t.Cited.emplace();
            in >> article.Title >> article.Url;
            ReadCitation(in, article.Meta);
        }
        if (in.status() != QDataStream::Ok || !isState(state) || !isOutcome(outcome))
            return std::nullopt;
        t.State = static_cast<TaskState>(state);
        if (t.State == TaskState::Downloading)
            t.State = TaskState::Waiting;
        t.Outcome = static_cast<TaskOutcome>(outcome);
        if (!list.AddTask(t.Url, t.Name, t.Type, t.Folder, t.Referer))
            return std::nullopt;
        *list.TaskAt(list.count()) = std::move(t);
    }
    if (!in.atEnd())
        return std::nullopt;
    return list;
}

bool Save(const QString& path, const DownloadList& list, QString* error)
{
    return listfile::Write(path, kTag, kFormat, Encode(list), error);
}

bool Restore(const QString& path, DownloadTableModel& model, UserPrompts& prompts)
{
    return RestoreListFile(
        path, {kTag, kFormat, u"下载列表"_s},
        [&model](const QByteArray& contents, quint32 format) {
            std::optional<DownloadList> restored = Decode(contents, format);
            if (!restored)
                return false;
            model.changeAll([&restored](DownloadList& list) { list = std::move(*restored); });
            return true;
        },
        prompts);
}

QString DefaultPath()
{
    return ProgramDataFolder() + u"/downloads.dat"_s;
}

} // namespace downloadlistfile
