#include "editorcommand.h"

namespace {

// Splits a setting into words the way a POSIX shell would for plain words and
// quoting: blanks separate, '...' is literal, "..." keeps blanks and lets a
// backslash escape " \ $ `, a backslash outside quotes escapes the next
// character. Variables and globs are not expanded.
QStringList shellWords(const QString& text)
{
    QStringList words;
    QString word;
    bool inWord = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\'') {
            inWord = true;
            for (++i; i < text.size() && text[i] != u'\''; ++i)
                word += text[i];
        } else if (c == u'"') {
            inWord = true;
            for (++i; i < text.size() && text[i] != u'"'; ++i) {
                if (text[i] == u'\\' && i + 1 < text.size() && QStringView(u"\"\\$`").contains(text[i + 1]))
                    ++i;
                word += text[i];
            }
        } else if (c == u'\\' && i + 1 < text.size()) {
            inWord = true;
            word += text[++i];
        } else if (c.isSpace()) {
            if (inWord)
                words.append(word);
            word.clear();
            inWord = false;
        } else {
            inWord = true;
            word += c;
        }
    }
    if (inWord)
        words.append(word);
    return words;
}

} // namespace

QStringList EditorCommandLine(const QString& visual, const QString& editor, const QString& filePath)
{
    for (const QString& setting : {visual, editor}) {
        QStringList command = shellWords(setting);
        if (command.isEmpty() || command.front().isEmpty()) // VISUAL="" names no program
            continue;
        command.append(filePath);
        return command;
    }
    return {};
}
