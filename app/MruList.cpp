#include "app/MruList.h"

MruList::MruList()
{
    for (int i = 0; i < kSize; ++i)
        m_entries << QString();
}

MruList::MruList(const QStringList& entries) : m_entries(entries) {}

void MruList::update(const QString& path)
{
    // Entries equal to the path go, except the last entry, which is not examined.
    for (int i = m_entries.size() - 2; i >= 0; --i)
        if (m_entries[i] == path)
            m_entries.removeAt(i);
    while (m_entries.size() > kSize - 1)
        m_entries.removeLast();
    while (m_entries.size() <= kSize - 2)
        m_entries.append(QString());
    m_entries.prepend(path);
}
