#include "analysislistfile.h"

#include "analysistablemodel.h"

#include "core/citationstream.h"
#include "core/listfile.h"
#include "core/listreader.h"
#include "core/listrestore.h"
#include "core/listwriter.h"
#include "core/programfolders.h"


using namespace Qt::Literals::StringLiterals;

namespace analysislistfile {

namespace {

const QByteArray kTag = QByteArrayLiteral("ALST");
// Seven empty texts, the selection flag and an empty citation (8 texts, a list, two flags).
constexpr qint64 kMinRecordBytes = 7 * 4 + 1 + 9 * 4 + 2;
// About what a record with a title, two addresses and a citation takes.
constexpr qint64 kTypicalRecordBytes = 700;

} // namespace

QByteArray Encode(const AnalysisList& list)
{
    ListWriter out;
    out.reserve(8 + list.count() * kTypicalRecordBytes);
    out.write(static_cast<qint64>(list.count()));
    for (const AnalysisRecord& r : list.records()) {
        for (const QString* text : {&r.Title, &r.FileType, &r.AnalysisState, &r.SavePath, &r.Source, &r.ArticleUrl,
                                    &r.PageUrl})
            out.write(*text);
        out.write(r.Selected);
        WriteCitation(out, r.Meta);
    }
    return out.take();
}

std::optional<AnalysisList> Decode(const QByteArray& contents, quint32 format)
{
    if (format != kFormat)
        return std::nullopt;
    ListReader in(contents);
    const qint64 count = in.int64();
    if (!in.ok() || count < 0 || count > in.remaining() / kMinRecordBytes)
        return std::nullopt;
    AnalysisList list;
    for (qint64 i = 0; i < count; ++i) {
        AnalysisRecord r;
        for (QString* text : {&r.Title, &r.FileType, &r.AnalysisState, &r.SavePath, &r.Source, &r.ArticleUrl,
                              &r.PageUrl})
            *text = in.text();
        r.Selected = in.flag();
        r.Meta = ReadCitation(in);
        if (!in.ok() || !list.AddAnalysisRecord(r.Title, r.ArticleUrl, r.PageUrl, r.FileType, r.SavePath, r.Source))
            return std::nullopt;
        *list.at(list.count() - 1) = std::move(r);
    }
    if (!in.atEnd())
        return std::nullopt;
    return list;
}

bool Save(const QString& path, const AnalysisList& list, QString* error)
{
    return listfile::Write(path, kTag, kFormat, Encode(list), error);
}

bool Restore(const QString& path, AnalysisTableModel& model, UserPrompts& prompts)
{
    return RestoreListFile(
        path, {kTag, kFormat, u"分析列表"_s},
        [&model](const QByteArray& contents, quint32 format) {
            std::optional<AnalysisList> restored = Decode(contents, format);
            if (!restored)
                return false;
            model.changeAll([&restored](AnalysisList& list) { list = std::move(*restored); });
            return true;
        },
        prompts);
}

QString DefaultPath()
{
    return ProgramDataFolder() + u"/analysis.dat"_s;
}

} // namespace analysislistfile
