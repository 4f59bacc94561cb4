#pragma once

#include <QString>

#include <optional>

enum class MessageIcon { None, Information, Error, Question, Warning };

// Everything the logic asks of the user goes through here, so that no logic
// opens a dialog itself: the windows answer with real dialogs, tests with a
// recording fake that answers as told.
class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    virtual void showMessage(const QString& text, MessageIcon icon, const QString& caption = {}) = 0;
    // true for Yes.
    virtual bool askYesNo(const QString& text, MessageIcon icon, const QString& caption = {}) = 0;
    // nullopt when the user cancels.
    virtual std::optional<QString> askText(const QString& prompt, const QString& caption = {},
                                           const QString& initialText = {}) = 0;
    // Filters use the "description|pattern" form, e.g. "*.txt|*.txt". Empty when cancelled.
    virtual QString chooseSaveFile(const QString& caption, const QString& filter,
                                   const QString& startPath = {}) = 0;
    virtual QString chooseOpenFile(const QString& caption, const QString& filter,
                                   const QString& startPath = {}) = 0;
    // Empty when cancelled.
    virtual QString chooseFolder(const QString& caption, const QString& startFolder) = 0;
};
