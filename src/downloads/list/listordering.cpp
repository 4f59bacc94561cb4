#include "listordering.h"

#include "downloadactivity.h"
#include "downloadtablemodel.h"
#include "listmessages.h"

#include "core/userprompts.h"

#include <QCollator>

#include <cmath>
#include <numeric>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kMaxShuffleDraws = 10000;

// A number as the list shows it: optional sign, digits with grouping commas,
// an optional fraction, spaces around.
std::optional<double> parseNumber(const QString& value)
{
    const QString plain = QString(value).remove(u',').trimmed();
    if (plain.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double number = plain.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

QString columnText(const DownloadTask& task, int column)
{
    switch (column) {
    case DownloadTableModel::Name: return task.Name;
    case DownloadTableModel::Type: return task.Type;
    case DownloadTableModel::Size: return task.Size;
    case DownloadTableModel::Received: return task.Received;
    case DownloadTableModel::Progress: return task.Progress;
    case DownloadTableModel::Folder: return task.Folder;
    default: return task.ColumnB;
    }
}

} // namespace

DownloadListOrdering::DownloadListOrdering(DownloadTableModel& model, const DownloadActivity& activity,
                                           UserPrompts& prompts, quint32 seed)
    : m_model(model)
    , m_activity(activity)
    , m_prompts(prompts)
    , m_random(seed)
{
}

void DownloadListOrdering::ShuffleTasks()
{
    if (m_activity.DownloadsActive()) {
        m_prompts.showMessage(QString::fromUtf16(listmessages::kStopDownloadsFirst), MessageIcon::Information);
        return;
    }
    m_model.changeAll([this](DownloadList& list) {
        const int count = list.count();
        // Each draw takes one of the tasks not yet moved, uniformly, and moves
        // it to the end: a partial Fisher-Yates over the not-yet-moved places.
        std::vector<int> remaining(static_cast<size_t>(count));
        std::iota(remaining.begin(), remaining.end(), 0);
        const int draws = std::min(count, kMaxShuffleDraws);
        std::vector<int> drawn;
        drawn.reserve(static_cast<size_t>(draws));
        std::vector<bool> moved(static_cast<size_t>(count), false);
        for (int d = 0; d < draws; ++d) {
            const int left = count - d;
            const auto pick = static_cast<size_t>(d) + m_random.bounded(static_cast<quint32>(left));
            std::swap(remaining[static_cast<size_t>(d)], remaining[pick]);
            const int task = remaining[static_cast<size_t>(d)];
            drawn.push_back(task);
            moved[static_cast<size_t>(task)] = true;
        }
        std::vector<int> order;
        order.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            if (!moved[static_cast<size_t>(i)])
                order.push_back(i);
        }
        order.insert(order.end(), drawn.begin(), drawn.end());
        list.applyOrder(order);
        // A moved row comes back unselected; the moved rows are the last ones.
        for (int p = count - draws + 1; p <= count; ++p)
            list.TaskAt(p)->Selected = false;
    });
    m_prompts.showMessage(QString::fromUtf16(listmessages::kShuffled), MessageIcon::Information);
}

QString DownloadListOrdering::numericSortKey(const QString& value)
{
    const std::optional<double> number = parseNumber(value);
    if (!number)
        return value;
    const auto rounded = static_cast<long long>(std::llround(*number));
    const QString digits = QString::number(std::llabs(rounded)).rightJustified(12, u'0');
    return rounded < 0 ? u'-' + digits : digits;
}

void DownloadListOrdering::SortTasksByColumn(int column)
{
    if (m_activity.SchedulerEnabled() || m_activity.TransferBusy()) {
        m_prompts.showMessage(QString::fromUtf16(listmessages::kStopBeforeSorting), MessageIcon::Information);
        return;
    }
    m_sortColumn = column;
    m_descending = !m_descending;
    const int field = column - 1;

    m_model.changeAll([&](DownloadList& list) {
        const std::vector<DownloadTask>& tasks = list.tasks();
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::vector<QCollatorSortKey> keys;
        keys.reserve(tasks.size());
        for (const DownloadTask& task : tasks) {
            QString text = columnText(task, field);
            if (field == DownloadTableModel::Size || field == DownloadTableModel::Received) {
                // By the byte count; a text without one ("未知") sorts as text.
                const qint64 bytes = field == DownloadTableModel::Size ? task.SizeBytes : task.ReceivedBytes;
                if (bytes >= 0)
                    text = numericSortKey(QString::number(bytes));
            }
            else if (field == DownloadTableModel::Progress)
                text = numericSortKey(QString(text).remove(u'%'));
            keys.push_back(collator.sortKey(text));
        }
        std::vector<int> order(tasks.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const int c = keys[static_cast<size_t>(a)].compare(keys[static_cast<size_t>(b)]);
            return m_descending ? c > 0 : c < 0;
        });
        list.applyOrder(order);
    });
}
