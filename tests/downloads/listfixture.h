#pragma once

#include "fakedownloadactivity.h"
#include "support/recordingprompts.h"
#include "support/recordingshell.h"
#include "support/tempfolder.h"

#include "downloads/list/downloadlist.h"
#include "downloads/list/downloadtablemodel.h"

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
            // The counts the engine would have written beside a numeric text.
            task.SizeBytes = byteCount(row.Size);
            task.ReceivedBytes = byteCount(row.Received);
            task.Progress = row.Progress;
            task.Selected = row.Selected;
            if (row.WithFile)
                temp.writeFile(QFileInfo(TaskFilePath(task)).fileName(), "content");
        }
    }

    static qint64 byteCount(const QString& text)
    {
        bool ok = false;
        const qint64 bytes = QString(text).remove(u',').toLongLong(&ok);
        return ok ? bytes : -1;
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
