#pragma once
// A list of macro entries in their own order, shown in two columns split at
// the first tab: the key, and the expansion from 30 % of the width.
#include <QStringList>
#include <QTreeWidget>

class MacroListView : public QTreeWidget {
    Q_OBJECT
public:
    explicit MacroListView(QWidget* parent = nullptr);
    void setLines(const QStringList& lines);
    QStringList lines() const;
    void appendLine(const QString& line);
    // The whole line of the current item; empty without one.
    QString currentLine() const;
    // Removes the current item; false when there is none.
    bool removeCurrent();

protected:
    void resizeEvent(QResizeEvent* e) override;
};
