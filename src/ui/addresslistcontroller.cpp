#include "addresslistcontroller.h"

#include "core/pathfunctions.h"
#include "core/textfunctions.h"
#include "core/urlfunctions.h"
#include "downloads/list/downloadtablemodel.h"

#include <QSet>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

namespace {

struct NewTask {
    QString Url;
    QString Name;
    QString Type;
};

bool isPlainExtension(const QString& extension)
{
    if (extension.isEmpty() || !extension.front().isLetter())
        return false;
    return std::all_of(extension.begin(), extension.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

// The site's article addresses end in a DOI ("/doi/pdf/10.1021/acs.jmc.0c01234"),
// whose last dot is no extension: those are named by the whole last segment
// and typed as PDF, which type detection corrects if something else arrives.
NewTask taskFor(const QString& url)
{
    const QString extension = UrlFileExtension(url);
    const bool typed = isPlainExtension(extension);
    QString name = SafeFileName(FileNameFromPath(url, typed));
    if (name.isEmpty())
        name = u"article"_s;
    return {url, name, typed ? extension.toLower() : u"pdf"_s};
}

} // namespace

QString AddressProblem(const QString& line)
{
    const QString text = line.trimmed();
    if (text.isEmpty())
        return u"空行"_s;
    if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); }))
        return u"网址中含有空格"_s;
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty())
        return u"不是网址"_s;
    const QString scheme = url.scheme().toLower();
    if (scheme != u"http"_s && scheme != u"https"_s)
        return u"只支持 http 和 https 网址"_s;
    if (url.host().isEmpty())
        return u"网址缺少主机名"_s;
    return {};
}

QString AddressListOutcome::rejectedText() const
{
    QStringList lines;
    for (const RejectedAddress& r : Rejected)
        lines.append(r.Text);
    return lines.join(u'\n');
}

QString AddressListOutcome::rejectedReport() const
{
    QStringList lines;
    for (const RejectedAddress& r : Rejected)
        lines.append(u"第%1行：%2 — %3"_s.arg(r.LineNumber).arg(r.Text, r.Reason));
    return lines.join(u'\n');
}

QString AddressListOutcome::summary() const
{
    return u"加入 %1 个任务，重复 %2 个，无效 %3 行。"_s.arg(Added).arg(Duplicates).arg(Rejected.size());
}

AddressListController::AddressListController(DownloadTableModel& model, QString folder)
    : m_model(model)
    , m_folder(WithTrailingSeparator(folder))
{
}

AddressListOutcome AddressListController::AddAddresses(const QString& text)
{
    AddressListOutcome outcome;
    QList<NewTask> tasks;
    QSet<QString> pasted;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const QString problem = AddressProblem(line);
        if (!problem.isEmpty()) {
            outcome.Rejected.append({static_cast<int>(i + 1), line, problem});
            continue;
        }
        if (pasted.contains(line) || m_model.list().positionOfUrl(line) != 0) {
            ++outcome.Duplicates;
            continue;
        }
        pasted.insert(line);
        tasks.append(taskFor(line));
    }
    if (tasks.isEmpty())
        return outcome;

    m_model.changeAll([&](DownloadList& list) {
        for (const NewTask& task : tasks) {
            if (list.AddTask(task.Url, task.Name, task.Type, m_folder, {}))
                ++outcome.Added;
        }
    });
    return outcome;
}
