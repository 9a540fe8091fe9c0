#pragma once
// The templates dialog "Velquist Templates": four built-in templates and a
// file browser for the user's own, each making a new document on OK.
#include <QDialog>
#include <QStringList>

class QComboBox;
class QFileSystemModel;
class QListView;
class QModelIndex;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTreeView;
class FrameServices;

class TfTemplate : public QDialog {
    Q_OBJECT
public:
    // startFolder: where the user-defined page's folder list starts (the
    // current folder when the program started).
    TfTemplate(FrameServices& main, const QString& startFolder);

    QTabWidget* Notebook1 = nullptr;  // its tab row is the dialog's tab set
    QComboBox* DriveComboBox1 = nullptr;
    QTreeView* DirectoryListBox1 = nullptr;
    QComboBox* FilterComboBox1 = nullptr;
    QListView* FileListBox1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

    // The folder the file list shows.
    QString folder() const;
    void setFolder(const QString& path);
    // The file the "&User Defined" page makes a new document from; empty
    // before one is chosen.
    QString userFile() const { return m_userFile; }
    // How much of a chosen file the preview shows.
    static constexpr qint64 PreviewBytes = 64 * 1024;

public slots:
    // Shows the start of the file in the text area; a file that cannot be
    // read is reported and leaves the text area as it was.
    void UpdateMemo(const QString& path);
    // Makes the new document from the chosen page and closes the dialog.
    void OKBtnClick();

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildUserPage(QWidget* page);
    void applyFilter(int index);
    void revealFolder();
    FrameServices& m_main;
    QFileSystemModel* m_dirs = nullptr;
    QFileSystemModel* m_files = nullptr;
    QString m_userFile;
};
