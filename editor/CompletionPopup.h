#pragma once
// The completion list shown under the caret. It never takes the focus: the
// editor hands it the keys it uses (Up, Down, Page Up, Page Down, Return,
// Tab, Escape) and keeps every other key.
#include "editor/CompletionModel.h"

#include <QListWidget>

class CompletionPopup : public QListWidget {
    Q_OBJECT
public:
    explicit CompletionPopup(QWidget* editor);

    // Shows items for a context at a point (global), first item current.
    void offer(const Completion::Context& context, const QStringList& items, const QPoint& at);
    const Completion::Context& context() const { return m_context; }
    QString chosen() const;
    // True when it used the key; chosen() then tells what Return or Tab took.
    enum class KeyUse { None, Moved, Accept, Close };
    KeyUse useKey(int key);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    Completion::Context m_context;
};
