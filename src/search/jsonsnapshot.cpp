#include "jsonsnapshot.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::Literals::StringLiterals;

std::optional<DomSnapshot> SnapshotFromJson(const QByteArray& json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject root = document.object();
    if (!root.value(u"url"_s).isString() || !root.value(u"elements"_s).isArray())
        return std::nullopt;

    const QJsonArray items = root.value(u"elements"_s).toArray();
    std::vector<DomElement> elements;
    elements.reserve(static_cast<size_t>(items.size()));
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (!items[i].isObject())
            return std::nullopt;
        const QJsonObject item = items[i].toObject();
        const QJsonValue tag = item.value(u"tag"_s);
        const QJsonValue parent = item.value(u"parent"_s);
        if (!tag.isString() || tag.toString().isEmpty() || !parent.isDouble())
            return std::nullopt;
        const int parentIndex = parent.toInt(-2);
        if (parentIndex < -1 || parentIndex >= i)
            return std::nullopt;
        DomElement e;
        e.Tag = tag.toString().toUpper();
        e.Parent = parentIndex;
        e.Id = item.value(u"id"_s).toString();
        e.ClassName = item.value(u"className"_s).toString();
        e.Title = item.value(u"title"_s).toString();
        e.Href = item.value(u"href"_s).toString();
        e.InnerText = item.value(u"innerText"_s).toString();
        e.Name = item.value(u"name"_s).toString();
        e.Type = item.value(u"type"_s).toString();
        e.Value = item.value(u"value"_s).toString();
        e.Checked = item.value(u"checked"_s).toBool();
        e.Hidden = item.value(u"hidden"_s).toBool();
        e.ZeroSize = item.value(u"zeroSize"_s).toBool();
        e.OwnText = item.value(u"ownText"_s).toString();
        elements.push_back(std::move(e));
    }

    // Descendants follow their element directly, so an element's range ends
    // where the next element that is not below it starts.
    std::vector<int> open;
    for (int i = 0; i < static_cast<int>(elements.size()); ++i) {
        const int parent = elements[static_cast<size_t>(i)].Parent;
        while (!open.empty() && open.back() != parent) {
            elements[static_cast<size_t>(open.back())].End = i;
            open.pop_back();
        }
        if (parent != -1 && open.empty())
            return std::nullopt; // its parent's range has already closed: not document order
        open.push_back(i);
    }
    for (const int index : open)
        elements[static_cast<size_t>(index)].End = static_cast<int>(elements.size());

    return DomSnapshot(root.value(u"url"_s).toString(), std::move(elements));
}

static void initSearchResources()
{
    // The resources live in a static library: nothing pulls them in unless asked.
    Q_INIT_RESOURCE(search);
}

QByteArray SnapshotJsonSchema()
{
    initSearchResources();
    QFile file(u":/search/domsnapshot.schema.json"_s);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
