#pragma once
// Lookup of a command by its handler name in a constant table whose rows
// carry a `handler` field.
#include <QLatin1String>
#include <QStringView>
#include <cstddef>

template <typename Row, std::size_t N>
const Row* findByHandler(const Row (&table)[N], QStringView handler)
{
    for (const Row& row : table) {
        if (handler == QLatin1String(row.handler))
            return &row;
    }
    return nullptr;
}
