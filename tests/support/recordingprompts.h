#pragma once

#include "core/userprompts.h"

#include <QList>
#include <QString>

#include <deque>

// Records every prompt and answers from queues a test fills beforehand. An
// unexpected question (empty queue) answers No / cancel.
class RecordingPrompts final : public UserPrompts {
public:
    struct Shown {
        QString Kind; // "message", "yesno", "text", "save", "open", "folder"
        QString Text;
        MessageIcon Icon = MessageIcon::None;
    };

    void showMessage(const QString& text, MessageIcon icon, const QString& caption = {}) override;
    bool askYesNo(const QString& text, MessageIcon icon, const QString& caption = {}) override;
    std::optional<QString> askText(const QString& prompt, const QString& caption = {},
                                   const QString& initialText = {}) override;
    QString chooseSaveFile(const QString& caption, const QString& filter, const QString& startPath = {}) override;
    QString chooseOpenFile(const QString& caption, const QString& filter, const QString& startPath = {}) override;
    QString chooseFolder(const QString& caption, const QString& startFolder) override;

    QList<Shown> shown;
    std::deque<bool> yesNoAnswers;
    std::deque<QString> textAnswers;   // a null QString() answers cancel
    std::deque<QString> fileAnswers;   // save and open pickers
    std::deque<QString> folderAnswers;

    QStringList messages() const; // texts of the messages shown, in order
};
