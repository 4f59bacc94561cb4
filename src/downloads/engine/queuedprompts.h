#pragma once

#include "core/userprompts.h"

#include <QObject>

#include <deque>

// The prompts of code that runs from timers and transfer events. A message is
// shown after the handler that raised it has returned, one at a time: a modal
// box runs an event loop of its own, and a scheduler tick raised inside it
// would otherwise run inside the tick that showed the message. Questions and
// pickers need their answer at once and go straight through; nothing driven
// by a timer asks them.
class QueuedPrompts final : public QObject, public UserPrompts {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QueuedPrompts)

public:
    explicit QueuedPrompts(UserPrompts& target, QObject* parent = nullptr);

    void showMessage(const QString& text, MessageIcon icon, const QString& caption = {}) override;
    bool askYesNo(const QString& text, MessageIcon icon, const QString& caption = {}) override;
    std::optional<QString> askText(const QString& prompt, const QString& caption = {},
                                   const QString& initialText = {}) override;
    QString chooseSaveFile(const QString& caption, const QString& filter, const QString& startPath = {}) override;
    QString chooseOpenFile(const QString& caption, const QString& filter, const QString& startPath = {}) override;
    QString chooseFolder(const QString& caption, const QString& startFolder) override;

private:
    struct Message {
        QString Text;
        MessageIcon Icon;
        QString Caption;
    };

    void showPending();

    UserPrompts& m_target;
    std::deque<Message> m_pending;
    bool m_scheduled = false;
    bool m_showing = false;
};
