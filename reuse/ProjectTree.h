#pragma once
// A project's files as an ordered tree, held in outline form: every item in
// display order (each followed by its sub items) with its level, 1 at the
// top. Items move together with their sub items.
#include <QList>
#include <QString>
#include <QStringList>

class ProjectTree {
public:
    struct Item {
        QString text;
        int level = 1;
        bool expanded = false;  // shown with its sub items open
        bool operator==(const Item& o) const { return text == o.text && level == o.level; }
    };

    ProjectTree() = default;
    explicit ProjectTree(QList<Item> items) : m_items(std::move(items)) {}

    const QList<Item>& items() const { return m_items; }
    int size() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.isEmpty(); }
    const Item& at(int i) const { return m_items.at(i); }
    void setExpanded(int i, bool on) { m_items[i].expanded = on; }
    void clear() { m_items.clear(); }

    // One past the last sub item of i.
    int subtreeEnd(int i) const;
    bool hasChildren(int i) const { return i + 1 < size() && m_items[i + 1].level > m_items[i].level; }
    // The item i is a sub item of; -1 at the top level.
    int parentOf(int i) const;
    // Appends an item at the end, as reading a file does.
    void append(const QString& text, int level);

    // Each operation returns the new position of the item it moved or
    // made, or -1 when it changed nothing.
    // A new item just before `before`, at its level; before == size() (or
    // an empty tree) adds it at the end of the top level.
    int insertBefore(int before, const QString& text);
    // Removes i and its sub items.
    void remove(int i);
    // Before the item above, as its sibling.
    int moveUp(int i);
    // To the end of the sibling group of the item below; nothing when the
    // item below is its own sub item.
    int moveDown(int i);
    // Out of its parent, just before it.
    int moveLeft(int i);
    // The last sub item of the sibling before it.
    int moveRight(int i);

    // The tree as lines: (level - 1) tabs and the item text.
    QStringList lines() const;

private:
    // Takes i with its sub items out and puts them at `to` (a position in
    // the list without them) with i at `level`.
    int moveBlock(int i, int to, int level);
    QList<Item> m_items;
};
