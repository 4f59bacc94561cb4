#pragma once

#include <QHash>
#include <QString>

#include <vector>

// One element of a page, as the extraction and login logic see it.
struct DomElement {
    QString Tag;        // upper case: "DIV", "A", "INPUT"
    QString Id;
    QString ClassName;
    QString Title;      // the title attribute
    QString Href;       // A only: the absolute address, "" without one
    QString InnerText;  // A only: the text a reader sees
    QString Name;       // INPUT and BUTTON only
    QString Type;       // INPUT and BUTTON only: lower case, as the browser reports it
    QString Value;      // INPUT and BUTTON only
    bool Checked = false; // INPUT only: ticked on the page
    // The element's own text nodes (not its children's), joined, runs of
    // blanks made one space, trimmed; "" for scripts, styles and the like.
    // Read in document order over a range, they give the text of any part
    // of the page without every element carrying all the text below it.
    QString OwnText;
    int Parent = -1;
    int End = 0;        // one past the index of the last descendant
    // Not shown to a reader: not rendered, hidden by style or attribute (on
    // itself or an ancestor), or lying wholly outside the page.
    bool Hidden = false;
    bool ZeroSize = false; // rendered, but without width or height (the browser alone knows)
};

// A page's elements in document order: an element's index is its place in
// document.getElementsByTagName('*'), and its descendants follow it directly
// (indexes Index+1 .. End-1). Read-only once built; every query answers empty
// or -1 when there is nothing to find.
class DomSnapshot final {
public:
    DomSnapshot() = default;
    DomSnapshot(QString url, std::vector<DomElement> elements);

    const QString& url() const { return m_url; }
    int size() const { return static_cast<int>(m_elements.size()); }
    bool isEmpty() const { return m_elements.empty(); }

    // nullptr for an index out of range.
    const DomElement* element(int index) const;

    // Indexes of the elements with that tag (any letter case), in document order.
    std::vector<int> getElementsByTagName(const QString& tag) const;
    // The same among the descendants of one element.
    std::vector<int> getElementsByTagName(int elementIndex, const QString& tag) const;
    // The first element with that id, or -1.
    int getElementById(const QString& id) const;

    const std::vector<DomElement>& elements() const { return m_elements; }

private:
    QString m_url;
    std::vector<DomElement> m_elements;
    QHash<QString, std::vector<int>> m_byTag; // upper-case tag -> indexes
};
