#include "queuedprompts.h"

#include <QTimer>

QueuedPrompts::QueuedPrompts(UserPrompts& target, QObject* parent)
    : QObject(parent)
    , m_target(target)
{
}

void QueuedPrompts::showMessage(const QString& text, MessageIcon icon, const QString& caption)
{
    m_pending.push_back({text, icon, caption});
    // While a message is up, the loop below shows the next one after it.
    if (m_scheduled || m_showing)
        return;
    m_scheduled = true;
    QTimer::singleShot(0, this, &QueuedPrompts::showPending);
}

void QueuedPrompts::showPending()
{
    m_scheduled = false;
    m_showing = true;
    while (!m_pending.empty()) {
        const Message message = m_pending.front();
        m_pending.pop_front();
        m_target.showMessage(message.Text, message.Icon, message.Caption);
    }
    m_showing = false;
}

bool QueuedPrompts::askYesNo(const QString& text, MessageIcon icon, const QString& caption)
{
    return m_target.askYesNo(text, icon, caption);
}

std::optional<QString> QueuedPrompts::askText(const QString& prompt, const QString& caption,
                                              const QString& initialText)
{
    return m_target.askText(prompt, caption, initialText);
}

QString QueuedPrompts::chooseSaveFile(const QString& caption, const QString& filter, const QString& startPath)
{
    return m_target.chooseSaveFile(caption, filter, startPath);
}

QString QueuedPrompts::chooseOpenFile(const QString& caption, const QString& filter, const QString& startPath)
{
    return m_target.chooseOpenFile(caption, filter, startPath);
}

QString QueuedPrompts::chooseFolder(const QString& caption, const QString& startFolder)
{
    return m_target.chooseFolder(caption, startFolder);
}
