#include "filedialogfilter.h"

#include <QStringList>

using namespace Qt::Literals::StringLiterals;

QString QtFileDialogFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QString pattern = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
        if (description.isEmpty() && pattern.isEmpty())
            continue;
        QStringList patterns;
        for (const QString& p : pattern.split(u';', Qt::SkipEmptyParts))
            patterns.append(p.trimmed());
        if (patterns.isEmpty())
            patterns.append(u"*"_s);
        // Qt reads the patterns from the last parentheses, so a description that
        // already shows them ("文本文件(*.txt)") still needs its own pair.
        entries.append((description.isEmpty() ? patterns.join(u' ') : description) + u" ("_s
                       + patterns.join(u' ') + u')');
    }
    return entries.join(u";;"_s);
}
