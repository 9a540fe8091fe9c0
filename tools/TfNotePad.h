#pragma once
// "Velquist NotePad": free text kept from one run to the next in notes.txt.
#include "app/TBag.h"

#include <QMainWindow>

class QAction;
class QMenu;
class QPlainTextEdit;

class TfNotePad : public QMainWindow {
    Q_OBJECT
public:
    explicit TfNotePad(QWidget* parent);

    TBag Prefs;
    QPlainTextEdit* memNotes = nullptr;
    QAction* Close1 = nullptr;
    QAction* KeeponTop1 = nullptr;
    QAction* Cut1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Paste1 = nullptr;
    QMenu* popup() const { return m_popup; }

    // Shows the pad without waiting for it and brings it to the front.
    void showNotePad();
    // Writes the text to notes.txt now when the pad is open (shown and not
    // closed since); for the end of the program, however it ends. A failure
    // is reported in a message box. True when nothing was left unsaved.
    bool saveNow();

    static QString notesFile();

public slots:
    void LoadNotes();
    bool SaveNotes();
    void Close1Click() { close(); }
    void KeeponTop1Click();
    void doUndo();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    QMenu* m_popup = nullptr;
    bool m_open = false;
    bool m_reflagging = false;
};
