#pragma once

#include "search/analysistablemodel.h"
#include "search/handoff.h"
#include "search/htmlsnapshot.h"
#include "search/searchbrowser.h"

#include "core/programvalues.h"
#include "downloads/list/downloadlist.h"
#include "downloads/list/downloadtablemodel.h"
#include "support/recordingprompts.h"

#include <QTimer>

#include <deque>

using namespace Qt::Literals::StringLiterals;

// A browser that serves a sequence of pages: a click on the next link loads
// the following page after loadMs (or never, when the page is marked slow).
class FakeBrowser final : public SearchBrowser {
public:
    struct Page {
        QByteArray Html;
        bool NeverFinishes = false;
    };

    std::vector<Page> pages;
    int current = 0;
    int loadMs = 5;
    bool refuseClicks = false;
    bool busy = false;
    int reads = 0;
    int clicks = 0;

    void readPage(std::function<void(const DomSnapshot&)> onRead) override
    {
        ++reads;
        const QString url = u"https://pubs.example.org/results?page="_s + QString::number(current + 1);
        onRead(current < static_cast<int>(pages.size()) ? SnapshotFromHtml(pages[size_t(current)].Html, url)
                                                        : DomSnapshot());
    }

    void clickElement(int, const QString& tag, std::function<void(bool)> onDone) override
    {
        ++clicks;
        if (refuseClicks || tag != u"A"_s) {
            onDone(false);
            return;
        }
        onDone(true);
        busy = true;
        const int target = current + 1;
        if (target < static_cast<int>(pages.size()) && pages[size_t(target)].NeverFinishes)
            return; // stays busy
        QTimer::singleShot(loadMs, this, [this, target] {
            current = target;
            busy = false;
            emit documentComplete();
        });
    }

    bool isBusy() const override { return busy; }
};

// The save folder dialog: answers with a folder, or as cancelled.
struct FakeSaveFolder final : SaveFolderPrompt {
    explicit FakeSaveFolder(ProgramValues& v) : values(v) {}
    void showSaveFolderDialog() override
    {
        ++shown;
        values.SaveFolder = folder;
        values.SaveFolderCancelled = cancel;
    }
    ProgramValues& values;
    QString folder = u"/chosen/"_s;
    bool cancel = false;
    int shown = 0;
};

struct FakeDownloadWindow final : DownloadWindowHost {
    DownloadList list;
    DownloadTableModel model{list};
    int shown = 0;
    void ShowDownloadWindow() override { ++shown; }
};

// A result page of the current layout with the given article numbers, and a
// next link when asked.
inline QByteArray resultPage(std::initializer_list<int> articles, bool withNext)
{
    QByteArray html = "<html><body>";
    for (const int n : articles) {
        html += "<div class='issue-item'><h3 class='issue-item_title'><a href='/doi/abs/10.1021/a" + QByteArray::number(n)
            + "'>Article " + QByteArray::number(n) + "</a></h3></div>";
    }
    if (withNext)
        html += "<a href='?page=next'>Next</a>";
    return html + "</body></html>";
}
