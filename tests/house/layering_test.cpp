// The layers of the house, as each library links the ones below it:
//
//   core ← transfers ← downloads/list ← downloads/engine ← ui/platform ← ui ← app
//              ↑              ↑                ↑
//              │              └──── search ────┴──── ui/browser (← ui)
//              └───────────────────────────────────── ui/browser
//
// A source may include a header of its own folder and of the folders its
// library links; nothing else. The linker catches only calls to code defined
// out of line; this catches every include, inline code and types among them.

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QString>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// What each folder may include besides itself, after src/*/CMakeLists.txt.
const QHash<QString, QSet<QString>>& allowedLayers()
{
    static const QHash<QString, QSet<QString>> layers = [] {
        QHash<QString, QSet<QString>> l;
        l[u"core"_s] = {};
        l[u"transfers"_s] = {u"core"_s};
        l[u"downloads/list"_s] = {u"core"_s};
        l[u"downloads/engine"_s] = {u"core"_s, u"transfers"_s, u"downloads/list"_s};
        l[u"search"_s] = {u"core"_s, u"downloads/list"_s};
        l[u"ui/platform"_s] = l[u"downloads/engine"_s] + QSet<QString>{u"downloads/engine"_s};
        l[u"ui/browser"_s] = l[u"downloads/engine"_s] + QSet<QString>{u"downloads/engine"_s, u"search"_s};
        l[u"ui"_s] = l[u"ui/browser"_s] + QSet<QString>{u"ui/browser"_s, u"ui/platform"_s};
        l[u"app"_s] = l[u"ui"_s] + QSet<QString>{u"ui"_s};
        return l;
    }();
    return layers;
}

// The folder a path below src/ belongs to: the longest one named above.
QString layerOf(const QString& relativePath)
{
    QString best;
    for (auto it = allowedLayers().cbegin(); it != allowedLayers().cend(); ++it) {
        if (relativePath.startsWith(it.key() + u'/') && it.key().size() > best.size())
            best = it.key();
    }
    return best;
}

struct Breach {
    QString File;
    QString Include;
};

QList<Breach> breachesIn(const QString& sourceRoot)
{
    static const QRegularExpression quoted(uR"re(^\s*#\s*include\s*"([^"]+)")re"_s);
    static const QRegularExpression angled(uR"re(^\s*#\s*include\s*<([^>]+)>)re"_s);
    QList<Breach> found;
    QDirIterator it(sourceRoot, {u"*.h"_s, u"*.cpp"_s}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = path.mid(sourceRoot.size() + 1);
        const QString layer = layerOf(relative);
        if (layer.isEmpty()) {
            found.append({relative, u"(a folder of no layer)"_s});
            continue;
        }
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            found.append({relative, u"(unreadable)"_s});
            continue;
        }
        const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
        for (const QString& line : lines) {
            if (const QRegularExpressionMatch m = quoted.match(line); m.hasMatch()) {
                const QString include = m.captured(1);
                if (!include.contains(u'/'))
                    continue; // beside the including file
                const QString target = layerOf(include);
                if (target != layer && !allowedLayers().value(layer).contains(target))
                    found.append({relative, include});
            } else if (const QRegularExpressionMatch a = angled.match(line); a.hasMatch()) {
                // The browser engine belongs to the windows alone.
                const QString include = a.captured(1);
                const bool browser = include.startsWith(u"QWebEngine"_s) || include.startsWith(u"QtWebEngine"_s);
                if (browser && !layer.startsWith(u"ui"_s) && layer != u"app"_s)
                    found.append({relative, include});
            }
        }
    }
    return found;
}

QString describe(const QList<Breach>& breaches)
{
    QString text;
    for (const Breach& b : breaches)
        text += b.File + u" includes "_s + b.Include + u'\n';
    return text;
}

TEST(LayeringTest, NoSourceIncludesAHeaderOfAHigherLayer)
{
    const QList<Breach> breaches = breachesIn(QStringLiteral(PAPERPULL_SOURCE_DIR) + u"/src"_s);
    EXPECT_TRUE(breaches.isEmpty()) << qPrintable(describe(breaches));
}

TEST(LayeringTest, TheRuleSeesAnIncludeThatPointsUp)
{
    // A house of two files, one of which reaches up: the scan must say so.
    QTemporaryDir house;
    ASSERT_TRUE(house.isValid());
    QDir(house.path()).mkpath(u"src/transfers"_s);
    QDir(house.path()).mkpath(u"src/search"_s);
    QFile up(house.path() + u"/src/transfers/bad.h"_s);
    ASSERT_TRUE(up.open(QIODevice::WriteOnly));
    up.write("#pragma once\n#include \"downloads/engine/downloadscheduler.h\"\n#include \"core/textfunctions.h\"\n");
    up.close();
    QFile side(house.path() + u"/src/search/sideways.cpp"_s);
    ASSERT_TRUE(side.open(QIODevice::WriteOnly));
    side.write("#include \"downloads/engine/soundclips.h\"\n#include <QWebEngineView>\n#include \"extraction.h\"\n");
    side.close();
    QStringList seen = describe(breachesIn(house.path() + u"/src"_s)).split(u'\n', Qt::SkipEmptyParts);
    seen.sort();
    EXPECT_EQ(seen, (QStringList{u"search/sideways.cpp includes QWebEngineView"_s,
                                 u"search/sideways.cpp includes downloads/engine/soundclips.h"_s,
                                 u"transfers/bad.h includes downloads/engine/downloadscheduler.h"_s}));
}

} // namespace
