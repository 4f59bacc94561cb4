#pragma once

// Readers of the citation files as a reference manager reads them, kept apart
// from the writers: a test that reads back with the writer's own rules would
// pass whatever the writers did.

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// One record: each tag's values in file order.
using RisRecord = QMap<QString, QStringList>;

// Strict: every line is "XX  - value" (two upper-case letters or a letter and
// a digit, two spaces, a hyphen, a space) or blank; TY opens, ER closes.
// Nothing for a file that breaks the form.
inline std::optional<std::vector<RisRecord>> ReadRis(const QString& text)
{
    std::vector<RisRecord> records;
    bool open = false;
    for (QString line : text.split(QStringLiteral("\r\n"))) {
        if (line.isEmpty())
            continue;
        if (line.size() < 6 || !line[0].isUpper() || !(line[1].isUpper() || line[1].isDigit())
            || line.mid(2, 4) != QStringLiteral("  - "))
            return std::nullopt;
        const QString tag = line.left(2);
        const QString value = line.mid(6);
        if (value.contains(u'\n') || value.contains(u'\r'))
            return std::nullopt;
        if (tag == QStringLiteral("TY")) {
            if (open)
                return std::nullopt;
            open = true;
            records.emplace_back();
        } else if (!open) {
            return std::nullopt;
        }
        if (tag == QStringLiteral("ER")) {
            if (!value.isEmpty())
                return std::nullopt;
            open = false;
            continue;
        }
        records.back()[tag].append(value);
    }
    if (open)
        return std::nullopt;
    return records;
}

struct BibEntry {
    QString Type;
    QString Key;
    QMap<QString, QString> Fields; // values with the TeX escapes undone
};

// Strict: "@type{key," then "name = {value}," lines, "}" to close; braces in a
// value must balance and every escape must be one the writer may use.
inline std::optional<std::vector<BibEntry>> ReadBibTex(const QString& text)
{
    std::vector<BibEntry> entries;
    qsizetype i = 0;
    const auto skipBlank = [&] {
        while (i < text.size() && text[i].isSpace())
            ++i;
    };
    const auto word = [&] {
        const qsizetype from = i;
        while (i < text.size() && (text[i].isLetterOrNumber() || text[i] == u'_' || text[i] == u'-' || text[i] == u':'))
            ++i;
        return text.mid(from, i - from);
    };
    static const QMap<QString, QString> commands{{QStringLiteral("textbackslash"), QStringLiteral("\\")},
                                                 {QStringLiteral("textasciitilde"), QStringLiteral("~")},
                                                 {QStringLiteral("textasciicircum"), QStringLiteral("^")}};
    // Addresses and DOIs are verbatim: read as they stand, braces balanced.
    const auto value = [&](bool verbatim) -> std::optional<QString> {
        if (i >= text.size() || text[i] != u'{')
            return std::nullopt;
        ++i;
        int depth = 1;
        QString out;
        while (i < text.size()) {
            const QChar c = text[i++];
            if (verbatim && c != u'{' && c != u'}') {
                out += c;
                continue;
            }
            if (c == u'\\') {
                if (i >= text.size())
                    return std::nullopt;
                const QChar next = text[i];
                if (QStringLiteral("{}%&#$_").contains(next)) {
                    out += next;
                    ++i;
                    continue;
                }
                const QString name = word();
                if (!commands.contains(name) || text.mid(i, 2) != QStringLiteral("{}"))
                    return std::nullopt;
                i += 2;
                out += commands[name];
                continue;
            }
            if (c == u'{') {
                ++depth;
                continue; // a group only protects; it adds nothing to the text
            }
            if (c == u'}') {
                if (--depth == 0)
                    return out;
                continue;
            }
            if (QStringLiteral("%&#$_~^").contains(c) )
                return std::nullopt; // TeX would read these as commands
            out += c;
        }
        return std::nullopt;
    };
    skipBlank();
    while (i < text.size()) {
        if (text[i] != u'@')
            return std::nullopt;
        ++i;
        BibEntry entry;
        entry.Type = word();
        if (i >= text.size() || text[i] != u'{')
            return std::nullopt;
        ++i;
        entry.Key = word();
        if (entry.Key.isEmpty() || i >= text.size() || text[i] != u',')
            return std::nullopt;
        ++i;
        for (;;) {
            skipBlank();
            if (i < text.size() && text[i] == u'}') {
                ++i;
                break;
            }
            const QString name = word();
            skipBlank();
            if (name.isEmpty() || i >= text.size() || text[i] != u'=')
                return std::nullopt;
            ++i;
            skipBlank();
            const std::optional<QString> v = value(name == QStringLiteral("url") || name == QStringLiteral("doi"));
            if (!v || entry.Fields.contains(name))
                return std::nullopt;
            entry.Fields[name] = *v;
            skipBlank();
            if (i < text.size() && text[i] == u',')
                ++i;
        }
        entries.push_back(entry);
        skipBlank();
    }
    return entries;
}
