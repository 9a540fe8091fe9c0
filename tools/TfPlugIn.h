#pragma once
// "Velquist Plug Ins": the insertions of one plug-in file in three columns,
// inserted by "&Insert", a double click, or a drag onto a document.
#include "app/TBag.h"

#include <QMainWindow>

class QAction;
class QComboBox;
class QPushButton;
class QTreeWidget;
class ListDragSource;
class TagEngine;

class TfPlugIn : public QMainWindow {
    Q_OBJECT
public:
    TfPlugIn(TagEngine& engine, QWidget* parent);

    TBag Prefs;
    QTreeWidget* lPlug = nullptr;
    QComboBox* lstPFiles = nullptr;
    QPushButton* btnRefresh = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* HelpBtn = nullptr;
    QAction* Close1 = nullptr;
    QAction* KeeponTop1 = nullptr;
    QAction* Rescan1 = nullptr;
    ListDragSource* dragSource() const { return m_drag; }

    // The lines the list holds, in its order.
    QStringList lines() const;
    // Shows the window without waiting for it and brings it to the front.
    void showPlugIns();

public slots:
    void SetListBox();
    void GetCommands();
    void OKBtnClick();
    void CancelBtnClick() { close(); }
    void Close1Click() { close(); }
    void KeeponTop1Click();
    // Mouse button down on a line: its pair becomes the last-tag pair.
    void StartDrag(int row);

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void setLines(QStringList lines);
    void fitColumns();
    TagEngine& m_engine;
    ListDragSource* m_drag = nullptr;
    bool m_reflagging = false;
};
