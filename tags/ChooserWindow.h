#pragma once
// What the symbol and tag chooser windows share: a two-column list whose
// items are "text<TAB>second column" lines kept sorted, a "&File" menu with
// "&Close" and "&Keep on Top", and a preference bag keeping the window's
// placement under FORM_PLACE.
#include "app/TBag.h"
#include "tags/TagEngine.h"

#include <QMainWindow>
#include <QTreeWidget>

class QAction;
class ListDragSource;

// A list of one-line items shown as two columns split at the first tab.
class ChooserList : public QTreeWidget {
    Q_OBJECT
public:
    // columnShare: the first column's part of the list width (0..1).
    ChooserList(double columnShare, QWidget* parent = nullptr);
    // Replaces the items, sorted; the current item is kept when it is still there.
    void setItems(QStringList items);
    QStringList items() const;
    // The whole line of the current item; empty without one.
    QString currentItemText() const;
    static QString itemText(const QTreeWidgetItem* item);
    QTreeWidgetItem* findItem(const QString& text) const;
    double columnShare() const { return m_share; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void fitColumns();
    double m_share;
};

class ChooserWindow : public QMainWindow {
    Q_OBJECT
public:
    // section: the preference bag section, also the window's place in the file.
    ChooserWindow(TagEngine& engine, const QString& caption, const QString& section,
                  double columnShare, QWidget* parent);

    // Shows the window (without waiting for it) and brings it to the front.
    void showChooser();

    TBag Prefs;
    ChooserList* list() const { return m_list; }
    ListDragSource* dragSource() const { return m_drag; }
    QAction* Close1 = nullptr;
    QAction* KeeponTop1 = nullptr;

    // Mouse button down on an item: its pair becomes the last-tag pair
    // before any drag begins.
    void StartDrag(const QString& item);

public slots:
    void Close1Click();
    void KeeponTop1Click();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    // The pair an item stands for, stored when a drag starts from it.
    virtual TagPair dragPair(const QString& item) const = 0;

    TagEngine& m_engine;
    ChooserList* m_list = nullptr;
    ListDragSource* m_drag = nullptr;

private:
    bool m_reflagging = false;
};
