#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

class QAbstractItemModel;
class UserPrompts;

// Keeps a list's file up to date with its table: every change the model
// announces (rows added, removed, moved or changed, a reset) marks the list
// changed, and it is saved when the interval since the first unsaved change
// has passed, so a burst of changes (a running download's progress, an
// extraction adding rows) costs one save a second at most. flush() saves at
// once what is not saved yet, for a window that closes.
class ListSaver final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListSaver)

public:
    static constexpr int kIntervalMs = 1000;

    // save writes the list and returns false with the reason in error when it
    // could not. A failure is told once, until a save succeeds again.
    using SaveFunction = std::function<bool(QString* error)>;
    ListSaver(QAbstractItemModel& model, SaveFunction save, UserPrompts& prompts, QString listName,
              int intervalMs = kIntervalMs, QObject* parent = nullptr);
    // Saves what is not saved: a window may be deleted without closing (the end of the program).
    ~ListSaver() override;

    void flush();
    bool hasUnsavedChanges() const { return m_unsaved; }
    bool isSaveScheduled() const { return m_timer.isActive(); }

private:
    void changed();
    void save(bool fromTimer);
    void report(const QString& error, bool deferred);

    SaveFunction m_save;
    UserPrompts& m_prompts;
    QString m_listName;
    QTimer m_timer;
    bool m_unsaved = false;
    bool m_failureTold = false;
};
