#pragma once
// "Check Site": the problems of every page of a folder or a project, and the
// links between the pages, listed by file with counts; a row opens its file
// at the line. The check runs on worker threads with progress and Cancel;
// the result can be saved as an HTML or CSV report.
#include "app/TBag.h"
#include "tools/SiteCheck.h"

#include <QDialog>

#include <memory>

class FrameServices;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QThread;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

class TfCheckSite : public QDialog {
    Q_OBJECT
public:
    explicit TfCheckSite(FrameServices& main);
    ~TfCheckSite() override;

    TBag Prefs;
    QLineEdit* edFolder = nullptr;
    QPushButton* btnBrowse = nullptr;
    QPushButton* btnProject = nullptr;
    QPushButton* btnCheck = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnSave = nullptr;
    QProgressBar* barProgress = nullptr;
    QLabel* lblSummary = nullptr;
    QTreeWidget* lstResults = nullptr;

    // Starts checking the pages below the folder in edFolder, or the pages
    // of a project file (its folder the site's root).
    void checkFolder(const QString& folder);
    void checkProject(const QString& projectFile);
    bool isRunning() const { return m_worker != nullptr; }
    void cancel();
    const SiteCheck::Result& result() const { return m_result; }
    // Writes the report; the format follows the name (".csv", else HTML).
    // False after a message box naming the file and the reason.
    bool saveReport(const QString& path);
    // Opens the row's file at its line.
    void openItem(QTreeWidgetItem* item);

signals:
    void finished();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void start(const QStringList& pages, const QString& root);
    void done();
    void showResult();
    void btnBrowseClick();
    void btnProjectClick();
    void btnSaveClick();

    FrameServices& m_main;
    SiteCheck::Progress m_progress;
    SiteCheck::Result m_result;
    std::unique_ptr<SiteCheck::Result> m_pending;
    QThread* m_worker = nullptr;
    QTimer* m_poll = nullptr;
};
