#pragma once

#include "fakedownloadactivity.h"
#include "support/recordingprompts.h"
#include "support/recordingshell.h"
#include "support/tempfolder.h"

#include "downloads/downloadlist.h"
#include "downloads/downloadtablemodel.h"

#include <QStringList>

#include <vector>

// A download list in a scratch folder, its model and the fakes the commands
// talk to. Rows are described compactly; a row may also create its file.
class ListFixture {
public:
    struct Row {
        TaskState State = TaskState::Waiting;
        QString Type = QStringLiteral("pdf");
        QString Size{};
        QString Received{};
        QString Progress{};
        bool WithFile = false;
        bool Selected = false;
    };

    ListFixture() : model(list) {}

    void add(const std::vector<Row>& rows)
    {
        for (const Row& row : rows) {
            const int n = list.count();
            const QString name = QStringLiteral("t") + QString::number(n);
            list.AddTask(QStringLiteral("https://host/doi/pdf/") + QString::number(n), name, row.Type,
                         temp.path() + u'/', {});
            DownloadTask& task = *list.TaskAt(n + 1);
            task.State = row.State;
            task.Size = row.Size;
            task.Received = row.Received;
            task.Progress = row.Progress;
            task.Selected = row.Selected;
            if (row.WithFile)
                temp.writeFile(QFileInfo(TaskFilePath(task)).fileName(), "content");
        }
    }

    QStringList names() const
    {
        QStringList out;
        for (const DownloadTask& t : list.tasks())
            out.append(t.Name);
        return out;
    }

    bool fileOf(int position) const { return QFile::exists(TaskFilePath(*list.TaskAt(position))); }

    TempFolder temp;
    DownloadList list;
    DownloadTableModel model;
    FakeDownloadActivity activity;
    RecordingPrompts prompts;
    RecordingShell shell;
};

constexpr auto Waiting = TaskState::Waiting;
constexpr auto Downloading = TaskState::Downloading;
constexpr auto Completed = TaskState::Completed;
constexpr auto Failed = TaskState::Failed;
