#pragma once

#include <QString>

#include <optional>

class DownloadActivity;
class DownloadTableModel;
class UserPrompts;

// Replaces one text by another in the address and referring page of every
// task. Addresses are the list's keys and stay unique: a task whose new
// address would equal another task's keeps both its addresses.
class UrlReplaceController final {
public:
    UrlReplaceController(DownloadTableModel& model, const DownloadActivity& activity, UserPrompts& prompts);

    // "替换": the number of tasks left unchanged because of a clash, or nullopt
    // when refused (downloads running, nothing to find) with a message; the
    // dialog then stays open. The whole change reaches views as one reset.
    std::optional<int> ReplaceAll(const QString& find, const QString& replacement);

    // The message after the dialog closed.
    void ReportDone(int leftUnchanged);

    static QString DoneMessage(int leftUnchanged);

private:
    DownloadTableModel& m_model;
    const DownloadActivity& m_activity;
    UserPrompts& m_prompts;
};
