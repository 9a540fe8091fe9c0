#pragma once
// "URL Library": the user's collected anchors, inserted by double click or
// dragged onto a document or the table wizard's grid.
#include "app/TBag.h"

#include <QMainWindow>

class QAction;
class QListWidget;
class ListDragSource;
class TagEngine;

class TfURLLibrary : public QMainWindow {
    Q_OBJECT
public:
    explicit TfURLLibrary(TagEngine& engine, QWidget* parent = nullptr);

    TBag Prefs;
    QListWidget* lstURL = nullptr;
    QAction* Close1 = nullptr;
    QAction* KeeponTop1 = nullptr;
    ListDragSource* dragSource() const { return m_drag; }

    // Shows the window and brings it to the front.
    void showLibrary();
    // Replaces the entries by those of the library file, when there is one.
    void LoadLibrary();
    QStringList entries() const;
    // The entry with the focus; empty without one.
    QString currentEntry() const;

public slots:
    void lstURLSelect();
    void StartDrag(const QString& entry);
    void Close1Click();
    void KeeponTop1Click();

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    TagEngine& m_engine;
    ListDragSource* m_drag = nullptr;
    void followKeepOnTop();
    bool m_reflagging = false;
    bool m_placed = false;
};
