#include "pagescripts.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::Literals::StringLiterals;

static void initBrowserResources()
{
    // The scripts live in a static library: nothing pulls them in unless asked.
    Q_INIT_RESOURCE(browser);
}

namespace {

QString resourceText(const QString& path)
{
    initBrowserResources();
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

QString SnapshotScript()
{
    static const QString script = resourceText(u":/browser/domsnapshot.js"_s);
    return script;
}

QString ElementActionScript(int index, const QString& expectedTag, ElementAction action, const QString& value)
{
    static const QString function = resourceText(u":/browser/elementaction.js"_s);
    // The script is a function expression; its argument is passed as JSON,
    // which is data to the script and never code.
    const QJsonObject request{
        {u"index"_s, index},
        {u"tag"_s, expectedTag},
        {u"action"_s, action == ElementAction::Click ? u"click"_s : u"setValue"_s},
        {u"value"_s, value},
    };
    return function + u'(' + QString::fromUtf8(QJsonDocument(request).toJson(QJsonDocument::Compact)) + u");"_s;
}

QString FollowAddressScript(const QUrl& address)
{
    static const QString function = resourceText(u":/browser/followaddress.js"_s);
    const QJsonObject request{{u"address"_s, address.toString(QUrl::FullyEncoded)}};
    return function + u'(' + QString::fromUtf8(QJsonDocument(request).toJson(QJsonDocument::Compact)) + u");"_s;
}
