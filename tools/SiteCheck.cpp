#include "tools/SiteCheck.h"

#include "editor/TextFileCodec.h"
#include "reuse/ProjectFile.h"
#include "tools/TidyRunner.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <thread>
#include <vector>

namespace SiteCheck {

int FileResult::count(PageChecks::Severity s) const
{
    return int(std::count_if(problems.cbegin(), problems.cend(),
                             [s](const PageChecks::Problem& p) { return p.severity == s; }));
}

int Result::problemCount() const
{
    int n = 0;
    for (const FileResult& f : files)
        n += int(f.problems.size()) + (f.error.isEmpty() ? 0 : 1);
    return n;
}

QStringList pagesUnder(const QString& folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    const QString base = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    while (it.hasNext()) {
        const QString path = QDir::cleanPath(it.next());
        if (!PageChecks::isPagePath(path))
            continue;
        // Leave out hidden folders (".git", ".cache") below the site's folder.
        const QString rel = path.mid(base.size());
        if (rel.contains(QLatin1String("/.")))
            continue;
        out << path;
    }
    std::sort(out.begin(), out.end());
    return out;
}

QStringList pagesOfProject(const QString& projectFile, QString* error)
{
    Project project;
    if (!ProjectFile::read(projectFile, &project, error))
        return {};
    const QDir dir = QFileInfo(projectFile).absoluteDir();
    QStringList out;
    for (const ProjectTree::Item& item : project.tree.items()) {
        const QString path = QDir::cleanPath(dir.absoluteFilePath(item.text.trimmed()));
        if (PageChecks::isPagePath(path) && QFileInfo(path).isFile() && !out.contains(path))
            out << path;
    }
    return out;
}

namespace {

struct Page {
    QString path;
    QString error;
    PageChecks::PageScan scan;
    QList<PageChecks::Problem> problems;
};

// The site's pages answer for themselves; other files are asked of the disk.
class SiteFacts : public PageChecks::FileFacts {
public:
    explicit SiteFacts(const std::vector<Page>& pages)
    {
        for (const Page& p : pages)
            if (p.error.isEmpty())
                m_pages.insert(p.path, &p);
    }
    bool exists(const QString& path) override
    {
        return m_pages.contains(path) || FileFacts::exists(path);
    }
    std::shared_ptr<const QSet<QString>> anchors(const QString& path) override
    {
        auto it = m_pages.constFind(path);
        if (it == m_pages.cend())
            return FileFacts::anchors(path);
        // The page outlives the check: an owner-less pointer to its anchors.
        return std::shared_ptr<const QSet<QString>>(std::shared_ptr<void>(), &it.value()->scan.anchors);
    }

private:
    QHash<QString, const Page*> m_pages;
};

template <class F>
void parallel(int count, int threads, Progress* progress, F work)
{
    std::atomic<int> next{0};
    auto loop = [&] {
        for (;;) {
            if (progress && progress->cancel.load())
                return;
            const int i = next.fetch_add(1);
            if (i >= count)
                return;
            work(i);
            if (progress)
                progress->done.fetch_add(1);
        }
    };
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(loop);
    loop();
    for (std::thread& t : pool)
        t.join();
}

} // namespace

Result run(const QStringList& paths, const QString& root, const PageChecks::Options& options,
           const QString& tidyConfig, Progress* progress, int threads)
{
    Result result;
    result.root = QDir::cleanPath(root);
    if (threads <= 0)
        threads = std::max(1, QThread::idealThreadCount());
    const int n = int(paths.size());
    if (progress) {
        progress->done = 0;
        progress->total = 2 * n;
    }
    std::vector<Page> pages(static_cast<size_t>(n));
    std::atomic<bool> tidyMissing{false};
    // First every page by itself: its own checks, its links and its ids.
    parallel(n, threads, progress, [&](int i) {
        Page& page = pages[size_t(i)];
        page.path = QDir::cleanPath(QFileInfo(paths[i]).absoluteFilePath());
        QFile f(page.path);
        if (!f.open(QIODevice::ReadOnly)) {
            page.error = QStringLiteral("Unable to read %1: %2").arg(page.path, f.errorString());
            return;
        }
        const QString text = TextFileCodec::decode(f.readAll()).text;
        page.scan = PageChecks::scanPage(text, options);
        page.problems = std::move(page.scan.problems);
        page.scan.problems.clear();
        if (options.runs(PageChecks::Tidy)) {
            TidyRunner::Diagnostics d = TidyRunner::diagnose(text, options, tidyConfig);
            if (d.ok)
                page.problems += d.problems;
            else
                tidyMissing = true;
        }
    });
    // Then the links, against the pages read.
    SiteFacts facts(pages);
    std::atomic<qint64> links{0};
    if (!(progress && progress->cancel.load()))
        parallel(n, threads, progress, [&](int i) {
            Page& page = pages[size_t(i)];
            if (!page.error.isEmpty())
                return;
            links += page.scan.links.size();
            page.problems += PageChecks::checkLinks(page.scan, QFileInfo(page.path).path(), result.root, options,
                                                    facts);
            PageChecks::sortProblems(page.problems);
        });
    result.cancelled = progress && progress->cancel.load();
    result.links = links;
    result.tidyMissing = tidyMissing;
    for (Page& p : pages) {
        if (p.path.isEmpty())
            continue;  // not reached before the cancel
        FileResult f;
        f.path = p.path;
        f.error = p.error;
        for (const PageChecks::Problem& problem : std::as_const(p.problems))
            if (options.shows(problem))
                f.problems.append(problem);
        result.files.append(std::move(f));
    }
    return result;
}

namespace {
QString csvField(const QString& s)
{
    if (!s.contains(u',') && !s.contains(u'"') && !s.contains(u'\n'))
        return s;
    QString q = s;
    q.replace(u'"', QLatin1String("\"\""));
    return u'"' + q + u'"';
}
} // namespace

QString reportCsv(const Result& result)
{
    QString out = QStringLiteral("File,Line,Column,Severity,Check,Message\r\n");
    for (const FileResult& f : result.files) {
        if (!f.error.isEmpty())
            out += csvField(f.path) + QStringLiteral(",,,Error,Read,") + csvField(f.error) + QStringLiteral("\r\n");
        for (const PageChecks::Problem& p : f.problems)
            out += QStringList{csvField(f.path), QString::number(p.line), QString::number(p.column),
                               PageChecks::severityName(p.severity), csvField(PageChecks::checkName(p.check)),
                               csvField(p.message)}
                       .join(u',')
                   + QStringLiteral("\r\n");
    }
    return out;
}

QString reportHtml(const Result& result)
{
    QString out;
    out += QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>Site check of ")
           + result.root.toHtmlEscaped() + QStringLiteral("</title>\n")
           + QStringLiteral("<style>table{border-collapse:collapse}td,th{border:1px solid #bbb;padding:2px 6px;"
                            "text-align:left}.Error{color:#b00}.Warning{color:#a60}.Legacy,.Info{color:#555}"
                            "</style>\n</head>\n<body>\n<h1>Site check of ")
           + result.root.toHtmlEscaped() + QStringLiteral("</h1>\n");
    out += QStringLiteral("<p>%1 pages, %2 links, %3 problems%4.</p>\n")
               .arg(result.files.size())
               .arg(result.links)
               .arg(result.problemCount())
               .arg(result.cancelled ? QStringLiteral(" (cancelled before the end)") : QString());
    for (const FileResult& f : result.files) {
        if (f.problems.isEmpty() && f.error.isEmpty())
            continue;
        out += QStringLiteral("<h2>") + f.path.toHtmlEscaped()
               + QStringLiteral(" <small>(%1 errors, %2 warnings, %3 notes)</small></h2>\n")
                     .arg(f.count(PageChecks::Severity::Error))
                     .arg(f.count(PageChecks::Severity::Warning))
                     .arg(f.count(PageChecks::Severity::Legacy) + f.count(PageChecks::Severity::Info));
        if (!f.error.isEmpty())
            out += QStringLiteral("<p class=\"Error\">") + f.error.toHtmlEscaped() + QStringLiteral("</p>\n");
        if (f.problems.isEmpty())
            continue;
        out += QStringLiteral("<table>\n<tr><th>Line</th><th>Column</th><th>Severity</th><th>Check</th>"
                              "<th>Message</th></tr>\n");
        for (const PageChecks::Problem& p : f.problems) {
            const QString sev = PageChecks::severityName(p.severity);
            out += QStringLiteral("<tr class=\"") + sev + QStringLiteral("\"><td>") + QString::number(p.line)
                   + QStringLiteral("</td><td>") + QString::number(p.column) + QStringLiteral("</td><td>") + sev
                   + QStringLiteral("</td><td>") + PageChecks::checkName(p.check).toHtmlEscaped()
                   + QStringLiteral("</td><td>") + p.message.toHtmlEscaped() + QStringLiteral("</td></tr>\n");
        }
        out += QStringLiteral("</table>\n");
    }
    out += QStringLiteral("</body>\n</html>\n");
    return out;
}

} // namespace SiteCheck
