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
    // The lines the "&User Defined" page would give a new document.
    QStringList userLines() const { return m_userLines; }

public slots:
    // Reads the file into the text area; a file that cannot be read is
    // reported and leaves the text area as it was.
    void UpdateMemo(const QString& path);
    // Makes the new document from the chosen page and closes the dialog.
    void OKBtnClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void buildUserPage(QWidget* page);
    void applyFilter(int index);
    void revealFolder();
    FrameServices& m_main;
    QFileSystemModel* m_dirs = nullptr;
    QFileSystemModel* m_files = nullptr;
    QStringList m_userLines{QString()};
};
