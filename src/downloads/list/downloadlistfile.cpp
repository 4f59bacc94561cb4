#include "downloadlistfile.h"

#include "downloadlist.h"
#include "downloadtablemodel.h"

#include "core/citationstream.h"
#include "core/listfile.h"
#include "core/listreader.h"
#include "core/listrestore.h"
#include "core/listwriter.h"
#include "core/programfolders.h"


using namespace Qt::Literals::StringLiterals;

namespace downloadlistfile {

namespace {

const QByteArray kTag = QByteArrayLiteral("DLST");
// The smallest a task can be in the file: nine empty texts, the numbers and flags.
constexpr qint64 kMinTaskBytes = 9 * 4 + 4 + 1 + 8 + 8 + 4 + 1;
// About what a task with a title, an address and a folder takes.
constexpr qint64 kTypicalTaskBytes = 400;

bool isState(qint32 value)
{
    return value >= static_cast<qint32>(TaskState::Waiting) && value <= static_cast<qint32>(TaskState::Failed);
}

bool isOutcome(qint32 value)
{
    return value >= static_cast<qint32>(TaskOutcome::None) && value <= static_cast<qint32>(kLastTaskOutcome);
}

} // namespace

QByteArray Encode(const DownloadList& list)
{
    ListWriter out;
    out.reserve(8 + list.count() * kTypicalTaskBytes);
    out.write(static_cast<qint64>(list.count()));
    for (const DownloadTask& t : list.tasks()) {
        for (const QString* text : {&t.Name, &t.Type, &t.Size, &t.Received, &t.Progress, &t.Folder, &t.ColumnB,
                                    &t.Url, &t.Referer})
            out.write(*text);
        out.write(static_cast<qint32>(t.State));
        out.write(t.Selected);
        out.write(t.SizeBytes);
        out.write(t.ReceivedBytes);
        out.write(static_cast<qint32>(t.Outcome));
        out.write(t.Cited.has_value());
        if (t.Cited) {
            out.write(t.Cited->Title);
            out.write(t.Cited->Url);
            WriteCitation(out, t.Cited->Meta);
        }
    }
    return out.take();
}

std::optional<DownloadList> Decode(const QByteArray& contents, quint32 format)
{
    if (format != kFormat)
        return std::nullopt;
    ListReader in(contents);
    const qint64 count = in.int64();
    // A count the contents cannot hold is damage; trusting it would reserve gigabytes.
    if (!in.ok() || count < 0 || count > in.remaining() / kMinTaskBytes)
        return std::nullopt;
    DownloadList list;
    for (qint64 i = 0; i < count; ++i) {
        DownloadTask t;
        for (QString* text : {&t.Name, &t.Type, &t.Size, &t.Received, &t.Progress, &t.Folder, &t.ColumnB, &t.Url,
                              &t.Referer})
            *text = in.text();
        const qint32 state = in.int32();
        t.Selected = in.flag();
        t.SizeBytes = in.int64();
        t.ReceivedBytes = in.int64();
        const qint32 outcome = in.int32();
        if (in.flag()) {
            CitedArticle& article = t.Cited.emplace();
            article.Title = in.text();
            article.Url = in.text();
            article.Meta = ReadCitation(in);
        }
        if (!in.ok() || !isState(state) || !isOutcome(outcome))
            return std::nullopt;
        t.State = static_cast<TaskState>(state);
        if (t.State == TaskState::Downloading)
            t.State = TaskState::Waiting;
        t.Outcome = static_cast<TaskOutcome>(outcome);
        // A host's wait ended with the run that kept it.
        if (t.Outcome == TaskOutcome::WaitingForHost && t.State == TaskState::Waiting)
            ClearTaskProgress(t);
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
