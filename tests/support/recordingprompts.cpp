#include "support/recordingprompts.h"

using namespace Qt::Literals::StringLiterals;

namespace {

template <typename T>
T takeFront(std::deque<T>& queue, T fallback)
{
    if (queue.empty())
        return fallback;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

} // namespace

void RecordingPrompts::showMessage(const QString& text, MessageIcon icon, const QString&)
{
    shown.append({u"message"_s, text, icon});
}

bool RecordingPrompts::askYesNo(const QString& text, MessageIcon icon, const QString&)
{
    shown.append({u"yesno"_s, text, icon});
    return takeFront(yesNoAnswers, false);
}

std::optional<QString> RecordingPrompts::askText(const QString& prompt, const QString&, const QString&)
{
    shown.append({u"text"_s, prompt, MessageIcon::None});
    const QString answer = takeFront(textAnswers, QString());
    if (answer.isNull())
        return std::nullopt;
    return answer;
}

QString RecordingPrompts::chooseSaveFile(const QString& caption, const QString& filter, const QString&)
{
    shown.append({u"save"_s, caption + u'|' + filter, MessageIcon::None});
    return takeFront(fileAnswers, QString());
}

QString RecordingPrompts::chooseOpenFile(const QString& caption, const QString& filter, const QString&)
{
    shown.append({u"open"_s, caption + u'|' + filter, MessageIcon::None});
    return takeFront(fileAnswers, QString());
}

QString RecordingPrompts::chooseFolder(const QString& caption, const QString&)
{
    shown.append({u"folder"_s, caption, MessageIcon::None});
    return takeFront(folderAnswers, QString());
}

QStringList RecordingPrompts::messages() const
{
    QStringList texts;
    for (const Shown& s : shown) {
        if (s.Kind == u"message"_s)
            texts.append(s.Text);
    }
    return texts;
}
