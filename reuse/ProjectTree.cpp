#include "reuse/ProjectTree.h"

int ProjectTree::subtreeEnd(int i) const
{
    const int level = m_items[i].level;
    int end = i + 1;
    while (end < size() && m_items[end].level > level)
        ++end;
    return end;
}

int ProjectTree::parentOf(int i) const
{
    const int level = m_items[i].level;
    for (int k = i - 1; k >= 0; --k) {
        if (m_items[k].level < level)
            return k;
    }
    return -1;
}

void ProjectTree::append(const QString& text, int level)
{
    m_items.append(Item{text, level, false});
}

int ProjectTree::insertBefore(int before, const QString& text)
{
    if (before < 0 || before >= size()) {
        m_items.append(Item{text, 1, false});
        return size() - 1;
    }
    m_items.insert(before, Item{text, m_items[before].level, false});
    return before;
}

void ProjectTree::remove(int i)
{
    if (i >= 0 && i < size())
        m_items.erase(m_items.begin() + i, m_items.begin() + subtreeEnd(i));
}

int ProjectTree::moveBlock(int i, int to, int level)
{
    const int end = subtreeEnd(i);
    const int shift = level - m_items[i].level;
    QList<Item> block = m_items.mid(i, end - i);
    m_items.erase(m_items.begin() + i, m_items.begin() + end);
    for (Item& item : block)
        item.level += shift;
    for (int k = 0; k < block.size(); ++k)
        m_items.insert(to + k, block[k]);
    return to;
}

int ProjectTree::moveUp(int i)
{
    if (i <= 0 || i >= size())
        return -1;
    const int above = i - 1;  // before i, so its place is the same without i's block
    return moveBlock(i, above, m_items[above].level);
}

int ProjectTree::moveDown(int i)
{
    if (i < 0 || i + 1 >= size())
        return -1;
    const int below = i + 1;
    const int end = subtreeEnd(i);
    if (below < end)
        return -1;  // the item below is its own first sub item
    const int parent = parentOf(below);
    const int groupEnd = parent < 0 ? size() : subtreeEnd(parent);
    return moveBlock(i, groupEnd - (end - i), m_items[below].level);
}

int ProjectTree::moveLeft(int i)
{
    if (i < 0 || i >= size() || m_items[i].level < 2)
        return -1;
    const int parent = parentOf(i);
    return moveBlock(i, parent, m_items[parent].level);
}

int ProjectTree::moveRight(int i)
{
    if (i < 0 || i >= size())
        return -1;
    const int level = m_items[i].level;
    int k = i - 1;
    while (k >= 0 && m_items[k].level > level)
        --k;
    if (k < 0 || m_items[k].level != level)
        return -1;  // no sibling before it
    // The sibling's sub items end just where i begins.
    m_items[k].expanded = true;
    const int end = subtreeEnd(i);
    for (int j = i; j < end; ++j)
        ++m_items[j].level;
    return i;
}

QStringList ProjectTree::lines() const
{
    QStringList out;
    out.reserve(size());
    for (const Item& item : m_items)
        out << QString(item.level - 1, QLatin1Char('\t')) + item.text;
    return out;
}
