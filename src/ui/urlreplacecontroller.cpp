#include "urlreplacecontroller.h"

#include "dialogmessages.h"

#include "core/userprompts.h"
#include "downloads/list/downloadactivity.h"
#include "downloads/list/downloadtablemodel.h"
#include "downloads/list/listmessages.h"

#include <QHash>

#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

// Which tasks keep their old address so that all addresses stay unique. Of
// two tasks that would share an address the earlier one in the list gets it,
// unless the later one keeps its address anyway. A task sent back to its old
// address may in turn block another, so rounds repeat until one changes
// nothing; each change is for good and the old addresses are unique, so the
// rounds end.
std::vector<bool> keepsOldAddress(const std::vector<QString>& oldUrls, const std::vector<QString>& newUrls)
{
    const size_t n = oldUrls.size();
    std::vector<bool> keeps(n, false);
    for (size_t i = 0; i < n; ++i)
        keeps[i] = newUrls[i] == oldUrls[i];

    for (bool changed = true; changed;) {
        changed = false;
        QHash<QString, size_t> owner;
        owner.reserve(static_cast<qsizetype>(n));
        for (size_t i = 0; i < n; ++i) {
            const QString& url = keeps[i] ? oldUrls[i] : newUrls[i];
            const auto found = owner.find(url);
            if (found == owner.end()) {
                owner.insert(url, i);
                continue;
            }
            changed = true;
            if (keeps[i]) {
                // Its own address cannot be given up: the moving owner yields.
                keeps[*found] = true;
                *found = i;
            } else {
                keeps[i] = true;
            }
        }
    }
    return keeps;
}

} // namespace

UrlReplaceController::UrlReplaceController(DownloadTableModel& model, const DownloadActivity& activity,
                                           UserPrompts& prompts)
    : m_model(model)
    , m_activity(activity)
    , m_prompts(prompts)
{
}

std::optional<int> UrlReplaceController::ReplaceAll(const QString& find, const QString& replacement)
{
    if (m_activity.DownloadsActive()) {
        m_prompts.showMessage(QString::fromUtf16(listmessages::kStopDownloadsFirst), MessageIcon::Information);
        return std::nullopt;
    }
    if (find.trimmed().isEmpty()) {
        m_prompts.showMessage(QString::fromUtf16(dialogmessages::kEnterText), MessageIcon::Error);
        return std::nullopt;
    }

    int leftUnchanged = 0;
    m_model.changeAll([&](DownloadList& list) {
        const int count = list.count();
        std::vector<QString> oldUrls;
        std::vector<QString> newUrls;
        oldUrls.reserve(count);
        newUrls.reserve(count);
        for (const DownloadTask& task : list.tasks()) {
            oldUrls.push_back(task.Url);
            // The text is used as typed; QString::replace finds from left to
            // right without overlap and never searches replaced text again.
            newUrls.push_back(QString(task.Url).replace(find, replacement, Qt::CaseInsensitive));
        }
        const std::vector<bool> keeps = keepsOldAddress(oldUrls, newUrls);

        // Two tasks may trade addresses, which setUrl refuses one at a time:
        // each moving task first takes a placeholder no address can hold.
        for (int i = 0; i < count; ++i) {
            if (!keeps[i])
                list.setUrl(i + 1, QString(QChar(u'\0')) + QString::number(i));
        }
        for (int i = 0; i < count; ++i) {
            DownloadTask& task = *list.TaskAt(i + 1);
            if (keeps[i]) {
                if (newUrls[i] != oldUrls[i])
                    ++leftUnchanged;
                else
                    task.Referer.replace(find, replacement, Qt::CaseInsensitive);
                continue;
            }
            list.setUrl(i + 1, newUrls[i]);
            task.Referer.replace(find, replacement, Qt::CaseInsensitive);
        }
    });
    return leftUnchanged;
}

QString UrlReplaceController::DoneMessage(int leftUnchanged)
{
    if (leftUnchanged == 0)
        return QString::fromUtf16(dialogmessages::kAllReplaced);
    return u"网址替换完成！有 %1 个任务的新网址与其他任务相同，保留了原网址。"_s.arg(leftUnchanged);
}

void UrlReplaceController::ReportDone(int leftUnchanged)
{
    m_prompts.showMessage(DoneMessage(leftUnchanged), MessageIcon::Information);
}
