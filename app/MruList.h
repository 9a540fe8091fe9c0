#pragma once
// The four most recently opened or saved files, most recent first.
#include <QStringList>

class MruList {
public:
    static constexpr int kSize = 4;
    MruList();
    explicit MruList(const QStringList& entries);
    // Moves or inserts path at the front; the list keeps four entries.
    void update(const QString& path);
    const QStringList& entries() const { return m_entries; }
    QString entry(int index) const { return m_entries.value(index); }

private:
    QStringList m_entries;
};
