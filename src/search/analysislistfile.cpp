#include "analysislistfile.h"

#include "analysistablemodel.h"

#include "core/citationstream.h"
#include "core/listfile.h"
#include "core/listrestore.h"
#include "core/programfolders.h"

#include <QDataStream>
#include <QIODevice>

using namespace Qt::Literals::StringLiterals;

namespace analysislistfile {

namespace {

const QByteArray kTag = QByteArrayLiteral("ALST");
// Seven empty strings, the selection flag and an empty citation (8 strings, a list, two flags).
constexpr qint64 kMinRecordBytes = 7 * 4 + 1 + 9 * 4 + 2;

void prepare(QDataStream& stream)
{
    stream.setVersion(QDataStream::Qt_6_4);
    // The machines this runs on are little-endian: strings go in and out as they are in memory.
    stream.setByteOrder(QDataStream::LittleEndian);
}

} // namespace

QByteArray Encode(const AnalysisList& list)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    prepare(out);
    out << static_cast<qint64>(list.count());
    for (const AnalysisRecord& r : list.records()) {
        out << r.Title << r.FileType << r.AnalysisState << r.SavePath << r.Source << r.ArticleUrl << r.PageUrl
            << r.Selected;
        WriteCitation(out, r.Meta);
    }
    return bytes;
}

std::optional<AnalysisList> Decode(const QByteArray& contents, quint32 format)
{
    if (format != kFormat)
        return std::nullopt;
    QDataStream in(contents);
    prepare(in);
    qint64 count = -1;
    in >> count;
    if (in.status() != QDataStream::Ok || count < 0 || count > contents.size() / kMinRecordBytes)
        return std::nullopt;
    AnalysisList list;
    for (qint64 i = 0; i < count; ++i) {
        AnalysisRecord r;
        in >> r.Title >> r.FileType >> r.AnalysisState >> r.SavePath >> r.Source >> r.ArticleUrl >> r.PageUrl
            >> r.Selected;
        ReadCitation(in, r.Meta);
        if (in.status() != QDataStream::Ok
            || !list.AddAnalysisRecord(r.Title, r.ArticleUrl, r.PageUrl, r.FileType, r.SavePath, r.Source))
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
