#pragma once
// "URL Library" manager: the links of the last grab on the left, the URL
// library on the right, four buttons to move entries between them, and
// "&Save" writing the library to library.fil.
#include "app/TBag.h"

#include <QDialog>
#include <QTreeWidget>

class QPushButton;

// A sorted list of entries (letter case ignored), several selectable, with
// a second column at 75 % of its width for text after a tab.
class UrlList : public QTreeWidget {
    Q_OBJECT
public:
    explicit UrlList(QWidget* parent);
    void setEntries(QStringList entries);
    QStringList entries() const;
    // Puts the entry at its place in the sorted order.
    void addEntry(const QString& entry);

protected:
    void resizeEvent(QResizeEvent* e) override;
};

class TfURLGrab : public QDialog {
    Q_OBJECT
public:
    explicit TfURLGrab(QWidget* parent);

    TBag Prefs;
    UrlList* srcList = nullptr;
    UrlList* dstList = nullptr;
    QPushButton* IncludeBtn = nullptr;
    QPushButton* IncAllBtn = nullptr;
    QPushButton* ExcludeBtn = nullptr;
    QPushButton* ExcAllBtn = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

    static QString libraryFile();
    // Replaces the new list by the entries of a grab.
    void setNewUrls(const QStringList& urls);
    // Shows the manager without waiting for it; a hidden one reloads the library first.
    void showManager();

public slots:
    void LoadList();
    void SetButtons();
    void IncludeBtnClick();
    void IncAllBtnClick();
    void ExcludeBtnClick();
    void ExcAllBtnClick();
    void OKBtnClick();
    void CancelBtnClick() { close(); }

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void MoveSelected(UrlList* from, UrlList* to);
    void moveAll(UrlList* from, UrlList* to);
};

// "Bookmark File": why the bookmark import found nothing to grab.
class TfNetscapeError : public QDialog {
    Q_OBJECT
public:
    explicit TfNetscapeError(QWidget* parent);
    static QString message();
};
