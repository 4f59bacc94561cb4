#include "listrestore.h"

#include "listfile.h"
#include "userprompts.h"

#include <QDir>

using namespace Qt::Literals::StringLiterals;

bool RestoreListFile(const QString& path, const ListFileKind& kind,
                     const std::function<bool(const QByteArray& contents, quint32 format)>& decode,
                     UserPrompts& prompts)
{
    const listfile::ReadResult read = listfile::Read(path, kind.Tag, kind.NewestFormat);
    if (read.Status == listfile::ReadStatus::Missing)
        return true;
    if (read.Status == listfile::ReadStatus::Loaded && decode(read.Contents, read.Format))
        return true;

    QString why;
    switch (read.Status) {
    case listfile::ReadStatus::Unreadable: why = u"无法读取保存的%1。"_s.arg(kind.Name); break;
    case listfile::ReadStatus::Newer:
        why = u"保存的%1由较新版本的程序写入（格式 %2），本版本无法读取。"_s.arg(kind.Name).arg(read.Format);
        break;
    default: why = u"保存的%1已损坏或不完整，无法恢复。"_s.arg(kind.Name); break;
    }
    const QString aside = listfile::SetAside(path);
    if (aside.isEmpty()) {
        prompts.showMessage(why + u"\n文件无法改名保留，仍在：\n"_s + QDir::toNativeSeparators(path)
                                + u"\n本次以空列表开始，且不会覆盖该文件。"_s,
                            MessageIcon::Warning);
        return false;
    }
    prompts.showMessage(why + u"\n原文件已保留为：\n"_s + QDir::toNativeSeparators(aside)
                            + u"\n本次以空列表开始。"_s,
                        MessageIcon::Warning);
    return true;
}
