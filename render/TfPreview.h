#pragma once
// The preview window: the active document rendered as a browser shows it,
// from the file "temp.vlq" written beside it, with the window's own
// history, open, find, print and default font and colours.
#include "app/TBag.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSoundEffect;
class QTimer;
class QPrinter;
class TFontForm;
class THTMLViewer;
class TfHTML;
class FrameServices;

class TfPreview : public QMainWindow {
    Q_OBJECT
public:
    // fontForm: the font dialog of "Default Font/Colors", made when first asked for.
    explicit TfPreview(FrameServices& main, std::function<TFontForm*()> fontForm = {}, QWidget* parent = nullptr);
    ~TfPreview() override;

    // "&Web Preview ...": writes the document's text to its preview file
    // (the document keeps its file, stamp and modified flag), shows this
    // window and loads the file. The file goes when the window closes.
    void PrintPreview1Click(TfHTML* doc);
    // The preview file of a document: "temp.vlq" in the folder of a titled
    // document, in the program's data folder for an untitled one.
    static QString previewFileFor(const QString& caption, bool untitled);

    // The rendering control, made when the window is first shown.
    THTMLViewer* viewer();
    bool hasViewer() const { return bool(m_viewer); }

    QLineEdit* edtLink = nullptr;
    QPushButton* btnReload = nullptr;
    QPushButton* btnBack = nullptr;
    QPushButton* btnForward = nullptr;
    QPushButton* btnClose = nullptr;
    QLabel* pnlLink = nullptr;
    QAction* Open1 = nullptr;
    QAction* Print1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* Find1 = nullptr;
    QAction* ShowImages1 = nullptr;
    QAction* DefaultFontColors1 = nullptr;
    QAction* LiveUpdate1 = nullptr;
    QMenu* History1 = nullptr;
    QAction* HistoryItems[6] = {};
    QAction* About1 = nullptr;
    TBag Prefs;

    // Milliseconds after the last keystroke before the page follows the text.
    static constexpr int LiveUpdateDelay = 500;
    QTimer* liveTimer() const { return m_liveTimer; }

public slots:
    void Open1Click();
    void Reload1Click();
    void BackClick();
    void ForwardClick();
    void HistoryClick(int index);
    void Print1Click();
    void Find1Click();
    // One search of the find dialog; a miss shows `Unable to find "text"`.
    void doFind(const QString& text, bool matchCase);
    void ShowImages1Click();
    void DefaultFontColors1Click();
    void HistoryChange();
    bool HotSpotClick(const QString& link);
    void HotSpotCovered(const QString& link);

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    enum class Caption { None, Prefixed, Plain };
    void buildMenus();
    void pageLoaded();
    void updateCaption();
    void loadFile(const QString& path, Caption caption);
    void liveUpdate();
    void watch(TfHTML* doc);
    void writePreviewFile(TfHTML* doc, const QString& path);
    // Removes the preview files this window wrote (when closed, and at the end).
    void removePreviewFiles();

    FrameServices& m_main;
    std::function<TFontForm*()> m_fontForm;
    std::unique_ptr<THTMLViewer> m_viewer;
    QString m_fontChoice;  // the pages' default font as the user named it
    QWidget* m_pageArea = nullptr;
    QStringList m_queue;  // pages to load once the current one has loaded
    Caption m_caption = Caption::None;
    bool m_firstShow = true;
    QPointer<TfHTML> m_liveDoc;
    quint64 m_writtenRevision = 0;  // the document's text as last written for the preview
    QString m_pageCharset;          // and its encoding
    QString m_livePath;
    QHash<QString, QPair<quint64, quint64>> m_written;  // preview file -> device, inode
    QMetaObject::Connection m_liveConnection;
    QTimer* m_liveTimer = nullptr;
    QDialog* m_findDialog = nullptr;
    QLineEdit* m_findText = nullptr;
    QCheckBox* m_findCase = nullptr;
    QSoundEffect* m_sound = nullptr;
};
