#pragma once
// "Velquist File Tools": a working list of files, and search or replace
// across all of them with a result per file.
#include "app/TBag.h"
#include "tools/FileSearch.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTableWidget;
class FrameServices;

// Asks for the text to look for (and its replacement), match case and whole word.
class FileSearchDialog : public QDialog {
    Q_OBJECT
public:
    FileSearchDialog(QWidget* parent, bool replacing);
    QLineEdit* edText = nullptr;
    QLineEdit* edReplacement = nullptr;
    QCheckBox* cbMatchCase = nullptr;
    QCheckBox* cbWholeWord = nullptr;
    FileSearchOptions options() const;
};

class TfrmFileTools : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFileTools(FrameServices& main);

    TBag Prefs;
    QPushButton* btnSelect = nullptr;
    QPushButton* btnRemove = nullptr;
    QTableWidget* grdFiles = nullptr;
    QPushButton* btnSearch = nullptr;
    QPushButton* btnReplace = nullptr;
    QPushButton* btnOK = nullptr;

    QStringList files() const;
    QString result(int row) const;
    void addFile(const QString& path);

    // The work of the two buttons once the texts are known.
    void SearchInFiles(const FileSearchOptions& options);
    void ReplaceInFiles(const FileSearchOptions& options, const QString& replacement);
    // Opens the row's file (or brings its window forward) at its first match.
    void OpenRow(int row);

public slots:
    void btnSelectClick();
    void btnRemoveClick();
    void btnSearchClick();
    void btnReplaceClick();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void setResult(int row, const QString& text);
    // Tells the user when there is no file to work on.
    bool listIsEmpty();
    // The document window holding path, or nullptr.
    class TfHTML* documentFor(const QString& path) const;
    FrameServices& m_main;
    FileSearchOptions m_last;
};
