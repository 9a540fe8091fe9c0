#pragma once
// "Check Site": the checks of every page of a folder (or a project's pages)
// and the links between them, a page linking to a missing page or to a
// missing #fragment of another page. Files are read through the codec and
// never written. Runs on worker threads; cancel and progress through Progress.
#include "tools/PageChecks.h"

#include <QString>
#include <QStringList>

#include <atomic>

namespace SiteCheck {

struct FileResult {
    QString path;
    QString error;  // the file could not be read
    QList<PageChecks::Problem> problems;
    int count(PageChecks::Severity s) const;
};

struct Result {
    QString root;
    QList<FileResult> files;  // in the order of the pages given
    qint64 links = 0;         // links looked at
    bool cancelled = false;
    bool tidyMissing = false; // Tidy was asked for and could not run
    int problemCount() const;
};

// Shared with the window that shows the progress.
struct Progress {
    std::atomic<int> done{0};
    std::atomic<int> total{0};
    std::atomic<bool> cancel{false};
};

// The pages (.htm, .html, .xhtml, .shtml) below folder, in every sub folder
// except hidden ones, sorted by path.
QStringList pagesUnder(const QString& folder);

// The pages a project file lists (its items that name existing page files,
// relative ones counted from the project's folder).
QStringList pagesOfProject(const QString& projectFile, QString* error);

// Checks the pages; root is the site's folder, from which "/path" links count.
// threads <= 0: as many as the machine has cores.
Result run(const QStringList& pages, const QString& root, const PageChecks::Options& options,
           const QString& tidyConfig, Progress* progress = nullptr, int threads = 0);

// Reports as files: CSV (one row per problem) and an HTML page.
QString reportCsv(const Result& result);
QString reportHtml(const Result& result);

} // namespace SiteCheck
