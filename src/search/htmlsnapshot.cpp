#include "htmlsnapshot.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QUrl>

#include <gumbo.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Labels pages use for encodings that have a larger, compatible form.
QByteArray canonicalCharset(QByteArray label)
{
    label = label.trimmed().toLower();
    if (label == "gb2312" || label == "gbk" || label == "x-gbk" || label == "gb_2312-80" || label == "chinese")
        return "GB18030";
    if (label == "iso-8859-1" || label == "latin1" || label == "us-ascii" || label == "ascii")
        return "windows-1252";
    return label;
}

QByteArray declaredCharset(const QByteArray& head)
{
    static const QRegularExpression meta(
        u"<meta[^>]*?charset\\s*=\\s*[\"']?\\s*([A-Za-z0-9_.:\\-]+)"_s, QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = meta.match(QString::fromLatin1(head));
    return match.hasMatch() ? match.captured(1).toLatin1() : QByteArray();
}

std::optional<QString> decodeAs(const QByteArray& charset, QByteArrayView bytes)
{
    QStringDecoder decoder(charset.constData());
    if (!decoder.isValid())
        return std::nullopt;
    return decoder.decode(bytes);
}

QString gumboText(const GumboStringPiece& piece)
{
    return QString::fromUtf8(piece.data, static_cast<qsizetype>(piece.length));
}

QString attribute(const GumboElement& element, const char* name)
{
    const GumboAttribute* found = gumbo_get_attribute(&element.attributes, name);
    return found != nullptr ? QString::fromUtf8(found->value) : QString();
}

bool hasAttribute(const GumboElement& element, const char* name)
{
    return gumbo_get_attribute(&element.attributes, name) != nullptr;
}

// The hidden attribute, aria-hidden="true", or an inline style with
// display:none or visibility:hidden.
bool hiddenByMarkup(const GumboElement& element)
{
    if (hasAttribute(element, "hidden"))
        return true;
    if (attribute(element, "aria-hidden").trimmed().compare(u"true"_s, Qt::CaseInsensitive) == 0)
        return true;
    const QString style = attribute(element, "style").toLower().remove(u' ').remove(u'\t');
    for (const QString& declaration : style.split(u';')) {
        const QString rule = declaration.section(u'!', 0, 0); // "display:none!important" too
        if (rule == u"display:none"_s || rule == u"visibility:hidden"_s)
            return true;
    }
    return false;
}

QString tagName(const GumboElement& element)
{
    if (element.tag != GUMBO_TAG_UNKNOWN)
        return QString::fromLatin1(gumbo_normalized_tagname(element.tag)).toUpper();
    GumboStringPiece original = element.original_tag;
    gumbo_tag_from_original_text(&original);
    return gumboText(original).toUpper();
}

bool isBlock(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_DIV: case GUMBO_TAG_P: case GUMBO_TAG_LI: case GUMBO_TAG_UL: case GUMBO_TAG_OL:
    case GUMBO_TAG_H1: case GUMBO_TAG_H2: case GUMBO_TAG_H3: case GUMBO_TAG_H4: case GUMBO_TAG_H5:
    case GUMBO_TAG_H6: case GUMBO_TAG_TR: case GUMBO_TAG_TABLE: case GUMBO_TAG_SECTION:
    case GUMBO_TAG_ARTICLE: case GUMBO_TAG_HEADER: case GUMBO_TAG_FOOTER: case GUMBO_TAG_BLOCKQUOTE:
    case GUMBO_TAG_DL: case GUMBO_TAG_DT: case GUMBO_TAG_DD: case GUMBO_TAG_PRE: case GUMBO_TAG_NAV:
        return true;
    default:
        return false;
    }
}

bool isHidden(const GumboElement& element)
{
    switch (element.tag) {
    case GUMBO_TAG_SCRIPT: case GUMBO_TAG_STYLE: case GUMBO_TAG_NOSCRIPT: case GUMBO_TAG_TEMPLATE:
    case GUMBO_TAG_HEAD: case GUMBO_TAG_TITLE:
        return true;
    default:
        return hasAttribute(element, "hidden");
    }
}

// input.type as the browser reports it: lower case, and "text" for a missing
// or unknown type (the attribute is not trimmed: " password " is unknown).
QString inputType(const QString& attributeValue)
{
    static const QStringList known{
        u"button"_s, u"checkbox"_s, u"color"_s, u"date"_s, u"datetime-local"_s, u"email"_s, u"file"_s,
        u"hidden"_s, u"image"_s, u"month"_s, u"number"_s, u"password"_s, u"radio"_s, u"range"_s,
        u"reset"_s, u"search"_s, u"submit"_s, u"tel"_s, u"text"_s, u"time"_s, u"url"_s, u"week"_s};
    const QString type = attributeValue.toLower();
    return known.contains(type) ? type : u"text"_s;
}

// button.type as the browser reports it: a missing or unknown type submits.
QString buttonType(const QString& attributeValue)
{
    const QString type = attributeValue.toLower();
    return type == u"button"_s || type == u"reset"_s ? type : u"submit"_s;
}

// The text a reader sees in an element, as a browser's innerText gives it for
// inline content: runs of white space become one space, <br> and block
// boundaries become line breaks, hidden content is left out.
class InnerText {
public:
    // Text nested deeper than this inside one link is not read: no reader
    // sees it, and the walk must not exhaust the stack.
    static constexpr int kMaxDepth = 256;

    void collect(const GumboNode& node, int depth = 0)
    {
        if (depth > kMaxDepth)
            return;
        switch (node.type) {
        case GUMBO_NODE_TEXT: case GUMBO_NODE_WHITESPACE: case GUMBO_NODE_CDATA:
            appendText(QString::fromUtf8(node.v.text.text));
            break;
        case GUMBO_NODE_ELEMENT: {
            const GumboElement& element = node.v.element;
            if (isHidden(element))
                return;
            if (element.tag == GUMBO_TAG_BR) {
                m_text += u'\n';
                m_pendingSpace = false;
                return;
            }
            const bool block = isBlock(element.tag);
            if (block)
                breakLine();
            for (unsigned i = 0; i < element.children.length; ++i)
                collect(*static_cast<const GumboNode*>(element.children.data[i]), depth + 1);
            if (block)
                breakLine();
            break;
        }
        default:
            break;
        }
    }

    QString result() const
    {
        QString text = m_text;
        while (text.startsWith(u'\n'))
            text.remove(0, 1);
        while (text.endsWith(u'\n') || text.endsWith(u' '))
            text.chop(1);
        return text;
    }

private:
    void appendText(const QString& raw)
    {
        for (const QChar c : raw) {
            if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f') {
                m_pendingSpace = true;
                continue;
            }
            if (m_pendingSpace && !m_text.isEmpty() && !m_text.endsWith(u'\n'))
                m_text += u' ';
            m_pendingSpace = false;
            m_text += c;
        }
    }

    void breakLine()
    {
        if (!m_text.isEmpty() && !m_text.endsWith(u'\n'))
            m_text += u'\n';
        m_pendingSpace = false;
    }

    QString m_text;
    bool m_pendingSpace = false;
};

bool hasNoOwnText(GumboTag tag)
{
    switch (tag) {
    case GUMBO_TAG_SCRIPT: case GUMBO_TAG_STYLE: case GUMBO_TAG_NOSCRIPT: case GUMBO_TAG_TEMPLATE:
    case GUMBO_TAG_TITLE: case GUMBO_TAG_TEXTAREA:
        return true;
    default:
        return false;
    }
}

// The ASCII blanks of HTML only: a no-break space is part of the text.
QString collapseBlanks(const QString& text)
{
    QString out;
    bool blank = false;
    for (const QChar c : text) {
        if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f') {
            blank = true;
            continue;
        }
        if (blank && !out.isEmpty())
            out += u' ';
        blank = false;
        out += c;
    }
    return out;
}

QString ownText(const GumboElement& element)
{
    if (hasNoOwnText(element.tag))
        return {};
    QString text;
    for (unsigned i = 0; i < element.children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(element.children.data[i]);
        if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE || child->type == GUMBO_NODE_CDATA)
            text += QString::fromUtf8(child->v.text.text);
    }
    return collapseBlanks(text);
}

QString resolvedHref(const QUrl& base, const QString& href)
{
    const QUrl url(href.trimmed());
    if (!url.isValid())
        return href;
    return base.resolved(url).toString(QUrl::FullyEncoded);
}

class Builder {
public:
    explicit Builder(QUrl base) : m_base(std::move(base)) {}

    // Depth-first in document order, with its own stack: a page of thousands
    // of unclosed tags nests that deep.
    void walk(const GumboNode& root)
    {
        struct Open {
            int Index;
            unsigned NextChild;
        };
        std::vector<Open> open;
        add(root, -1, open);
        while (!open.empty()) {
            Open& top = open.back();
            const GumboNode& node = *nodes[static_cast<size_t>(top.Index)];
            const GumboVector& children = node.v.element.children;
            // A template's content is not part of the document; nor is a
            // noscript's, which a browser running scripts reads as text.
            const bool opaque = node.type == GUMBO_NODE_TEMPLATE || node.v.element.tag == GUMBO_TAG_NOSCRIPT;
            if (opaque || top.NextChild >= children.length) {
                m_elements[static_cast<size_t>(top.Index)].End = static_cast<int>(m_elements.size());
                open.pop_back();
                continue;
            }
            const int parent = top.Index;
            const auto* child = static_cast<const GumboNode*>(children.data[top.NextChild++]);
            add(*child, parent, open);
        }
    }

    std::vector<DomElement> take() { return std::move(m_elements); }

private:
    template <typename OpenStack>
    void add(const GumboNode& node, int parent, OpenStack& open)
    {
        if (node.type != GUMBO_NODE_ELEMENT && node.type != GUMBO_NODE_TEMPLATE)
            return;
        const GumboElement& element = node.v.element;
        DomElement e;
        e.Tag = tagName(element);
        e.Id = attribute(element, "id");
        e.ClassName = attribute(element, "class");
        e.Title = attribute(element, "title");
        e.Parent = parent;
        // Without a layout only what the markup says can count: hidden with
        // its ancestor, or by its own attributes and inline style.
        e.Hidden = (parent >= 0 && m_elements[static_cast<size_t>(parent)].Hidden) || hiddenByMarkup(element);
        if (node.type == GUMBO_NODE_ELEMENT)
            e.OwnText = ownText(element);
        if (element.tag == GUMBO_TAG_A) {
            if (hasAttribute(element, "href"))
                e.Href = resolvedHref(m_base, attribute(element, "href"));
            InnerText text;
            for (unsigned i = 0; i < element.children.length; ++i)
                text.collect(*static_cast<const GumboNode*>(element.children.data[i]));
            e.InnerText = text.result();
        } else if (element.tag == GUMBO_TAG_INPUT) {
            e.Name = attribute(element, "name");
            e.Type = inputType(attribute(element, "type"));
            e.Value = attribute(element, "value");
            // A box without a value attribute submits, and reads as, "on".
            if ((e.Type == u"checkbox"_s || e.Type == u"radio"_s) && !hasAttribute(element, "value"))
                e.Value = u"on"_s;
            e.Checked = hasAttribute(element, "checked");
        } else if (element.tag == GUMBO_TAG_BUTTON) {
            e.Name = attribute(element, "name");
            e.Type = buttonType(attribute(element, "type"));
            e.Value = attribute(element, "value");
        }
        const int index = static_cast<int>(m_elements.size());
        m_elements.push_back(std::move(e));
        nodes.push_back(&node);
        open.push_back({index, 0});
    }

    QUrl m_base;
    std::vector<DomElement> m_elements;
    std::vector<const GumboNode*> nodes; // the gumbo node of each element
};

// The first <base href> of the document, resolved against its own address.
QUrl baseUrl(const GumboNode& node, const QUrl& documentUrl)
{
    if (node.type != GUMBO_NODE_ELEMENT)
        return {};
    const GumboElement& element = node.v.element;
    if (element.tag == GUMBO_TAG_BASE && hasAttribute(element, "href"))
        return documentUrl.resolved(QUrl(attribute(element, "href").trimmed()));
    for (unsigned i = 0; i < element.children.length; ++i) {
        const QUrl found = baseUrl(*static_cast<const GumboNode*>(element.children.data[i]), documentUrl);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

} // namespace

QString DecodeHtml(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.sliced(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return decodeAs(bytes.startsWith("\xFF\xFE") ? "UTF-16LE" : "UTF-16BE", QByteArrayView(bytes).sliced(2))
            .value_or(QString());

    const QByteArray declared = canonicalCharset(declaredCharset(bytes.left(1024)));
    if (!declared.isEmpty() && declared != "utf-16" && declared != "utf-16le" && declared != "utf-16be") {
        if (std::optional<QString> text = decodeAs(declared, bytes))
            return *text;
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeAs("windows-1252", bytes).value_or(QString::fromLatin1(bytes));
}

DomSnapshot SnapshotFromHtml(const QByteArray& html, const QString& documentUrl)
{
    const QByteArray utf8 = DecodeHtml(html).toUtf8();
    GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, utf8.constData(), static_cast<size_t>(utf8.size()));
    if (output == nullptr)
        return DomSnapshot(documentUrl, {});
    const QUrl documentAddress(documentUrl);
    const QUrl base = baseUrl(*output->root, documentAddress);
    Builder builder(base.isEmpty() ? documentAddress : base);
    builder.walk(*output->root);
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    return DomSnapshot(documentUrl, builder.take());
}
