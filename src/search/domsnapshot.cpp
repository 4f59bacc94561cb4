#include "domsnapshot.h"

#include <algorithm>

DomSnapshot::DomSnapshot(QString url, std::vector<DomElement> elements)
    : m_url(std::move(url))
    , m_elements(std::move(elements))
{
    for (int i = 0; i < size(); ++i)
        m_byTag[m_elements[static_cast<size_t>(i)].Tag].push_back(i);
}

const DomElement* DomSnapshot::element(int index) const
{
    if (index < 0 || index >= size())
        return nullptr;
    return &m_elements[static_cast<size_t>(index)];
}

std::vector<int> DomSnapshot::getElementsByTagName(const QString& tag) const
{
    const auto found = m_byTag.constFind(tag.toUpper());
    return found == m_byTag.cend() ? std::vector<int>() : *found;
}

std::vector<int> DomSnapshot::getElementsByTagName(int elementIndex, const QString& tag) const
{
    const DomElement* root = element(elementIndex);
    if (root == nullptr)
        return {};
    const auto found = m_byTag.constFind(tag.toUpper());
    if (found == m_byTag.cend())
        return {};
    // The descendants are a contiguous range after the element.
    const std::vector<int>& all = *found;
    const auto first = std::upper_bound(all.begin(), all.end(), elementIndex);
    const auto last = std::lower_bound(first, all.end(), std::min(root->End, size()));
    return {first, last};
}

int DomSnapshot::getElementById(const QString& id) const
{
    if (id.isEmpty())
        return -1;
    const auto found = std::find_if(m_elements.begin(), m_elements.end(),
                                    [&](const DomElement& e) { return e.Id == id; });
    return found == m_elements.end() ? -1 : static_cast<int>(found - m_elements.begin());
}
