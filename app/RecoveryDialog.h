#pragma once
// Lists the documents that can be recovered after the program ended
// without saving them, with the time of each, and lets the user choose.
#include "app/RecoveryStore.h"

#include <QList>
#include <optional>

class QWidget;

namespace RecoveryDialog {
// The indexes of the entries to restore ("&Recover"), an empty list to
// discard them all ("&Discard"), or nothing to decide at the next start.
std::optional<QList<int>> choose(QWidget* parent, const QList<RecoveryEntry>& entries);
}
