#pragma once
// The macro window "Macros": every macro key, to put into the active
// document by double click or by dragging it there.
#include "app/TBag.h"

#include <QMainWindow>
#include <functional>

class ListDragSource;
class MacroListView;
class QAction;
class TagEngine;

class TfAddMac : public QMainWindow {
    Q_OBJECT
public:
    // systemMacros: the macros dialog's system list as it stands.
    TfAddMac(TagEngine& engine, std::function<QStringList()> systemMacros, QWidget* parent = nullptr);

    TBag Prefs;
    MacroListView* lMac = nullptr;
    QAction* Close1 = nullptr;
    QAction* KeeponTop1 = nullptr;
    ListDragSource* dragSource() const { return m_drag; }

    // Shows the window without waiting for it and brings it to the front.
    void showWindow();

public slots:
    // The user's macros followed by the system ones. An unreadable user.mcr
    // throws and leaves the list as it was.
    void LoadMacs();
    // Inserts the selected key at the caret of the active document.
    void AddMac();
    // Mouse button down on an entry: its key becomes the last-tag pair.
    void StartDrag(const QString& entry);
    void Close1Click();
    void KeeponTop1Click();

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    TagEngine& m_engine;
    std::function<QStringList()> m_systemMacros;
    ListDragSource* m_drag = nullptr;
    bool m_reflagging = false;
};
