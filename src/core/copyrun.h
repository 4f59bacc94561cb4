#pragma once

#include "copysource.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

// What to do when the destination already holds a file of the same name.
enum class ExistingFilePolicy {
    Skip = 1,            // "跳过"
    Overwrite = 2,       // "覆盖"
    Rename = 3,          // "自动重命名"
    SameSizeAndTime = 4, // overwrite when size and modification time match, else rename
    SameSize = 5,        // overwrite when the sizes match, else rename
};

// One copy run: a file a turn of the event loop, so the dialog's "停止" is
// handled between files. Stopping ends the run at its next turn.
class CopyRun final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CopyRun)

public:
    explicit CopyRun(QObject* parent = nullptr);

    // destination ends with a separator.
    void start(QList<CopySource> sources, QString destination, ExistingFilePolicy policy);
    void stop();
    bool running() const { return m_running; }

    // Copies one source by the policy; false when nothing was copied.
    static bool CopyOne(const CopySource& source, const QString& destination, ExistingFilePolicy policy);

signals:
    void progressChanged(int value, int maximum);
    void currentFileChanged(const QString& name);
    void finished();

private:
    void step();
    void finish();

    QList<CopySource> m_sources;
    QString m_destination;
    ExistingFilePolicy m_policy = ExistingFilePolicy::SameSizeAndTime;
    qsizetype m_next = 0;
    bool m_running = false;
    bool m_active = false;
    QTimer m_turn;
};
