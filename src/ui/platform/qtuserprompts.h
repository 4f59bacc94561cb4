#pragma once

#include "core/userprompts.h"

#include <QPointer>
#include <QWidget>

// The prompts as real dialogs, owned by a window so that they stay in front
// of it. Message boxes without a caption show the program title.
class QtUserPrompts final : public UserPrompts {
public:
    explicit QtUserPrompts(QWidget* owner = nullptr);

    void setOwner(QWidget* owner) { m_owner = owner; }

    void showMessage(const QString& text, MessageIcon icon, const QString& caption = {}) override;
    bool askYesNo(const QString& text, MessageIcon icon, const QString& caption = {}) override;
    std::optional<QString> askText(const QString& prompt, const QString& caption = {},
                                   const QString& initialText = {}) override;
    QString chooseSaveFile(const QString& caption, const QString& filter, const QString& startPath = {}) override;
    QString chooseOpenFile(const QString& caption, const QString& filter, const QString& startPath = {}) override;
    QString chooseFolder(const QString& caption, const QString& startFolder) override;

private:
    QWidget* owner() const;

    QPointer<QWidget> m_owner;
};
