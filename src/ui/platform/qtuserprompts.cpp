#include "qtuserprompts.h"

#include "filedialogfilter.h"
#include "toolkittranslation.h"

#include "core/programnames.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString captionOr(const QString& caption)
{
    return caption.isEmpty() ? programnames::kApplication : caption;
}

} // namespace

QtUserPrompts::QtUserPrompts(QWidget* owner)
    : m_owner(owner)
{
}

void QtUserPrompts::showMessage(const QString& text, MessageIcon icon, const QString& caption)
{
    QMessageBox box(boxIcon(icon), captionOr(caption), text, QMessageBox::Ok, owner());
    GiveButtonsOwnTexts(&box);
    box.exec();
}

bool QtUserPrompts::askYesNo(const QString& text, MessageIcon icon, const QString& caption)
{
    QMessageBox box(boxIcon(icon), captionOr(caption), text, QMessageBox::Yes | QMessageBox::No, owner());
    box.setDefaultButton(QMessageBox::Yes);
    GiveButtonsOwnTexts(&box);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtUserPrompts::askText(const QString& prompt, const QString& caption,
                                              const QString& initialText)
{
    QInputDialog dialog(owner());
    dialog.setWindowTitle(captionOr(caption));
    dialog.setLabelText(prompt);
    dialog.setTextValue(initialText);
    GiveButtonsOwnTexts(&dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

QString QtUserPrompts::chooseSaveFile(const QString& caption, const QString& filter, const QString& startPath)
{
    return QFileDialog::getSaveFileName(owner(), captionOr(caption), startPath, QtFileDialogFilter(filter));
}

QString QtUserPrompts::chooseOpenFile(const QString& caption, const QString& filter, const QString& startPath)
{
    return QFileDialog::getOpenFileName(owner(), captionOr(caption), startPath, QtFileDialogFilter(filter));
}

QString QtUserPrompts::chooseFolder(const QString& caption, const QString& startFolder)
{
    return QFileDialog::getExistingDirectory(owner(), captionOr(caption), startFolder, QFileDialog::ShowDirsOnly);
}

QWidget* QtUserPrompts::owner() const
{
    // Without a fixed owner a box belongs to the window the user is working in.
    return m_owner != nullptr ? m_owner.data() : QApplication::activeWindow();
}
