#pragma once
// The checks of one page that need no outside tool: links and images to
// local files that do not exist, #fragment links to a missing id, images
// without alt text, duplicated ids, headings that skip a level, a missing or
// empty title, elements left open or closed out of order, and HTML 4 markup
// (capital tag names, <CENTER>, <FONT>, BGCOLOR) reported as legacy notes.
// Plain functions over a text, safe to run on any thread.
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringView>

#include <functional>
#include <memory>
#include <mutex>

namespace PageChecks {

enum class Severity { Error, Warning, Legacy, Info };
constexpr int kSeverityCount = 4;

// The checks the user can turn on and off.
enum Check { Tidy, MissingFile, MissingFragment, ImageAlt, DuplicateId, HeadingLevels, Title, Nesting, Legacy };
constexpr int kCheckCount = 9;

QString severityName(Severity s);   // "Error", "Warning", "Legacy", "Info"
QString checkName(Check c);         // "Tidy", "Missing file", ...
QString checkKey(Check c);          // key in the settings file

struct Problem {
    Severity severity = Severity::Error;
    int line = 1;      // from 1
    int column = 1;    // from 1, characters of the line as stored
    int length = 0;    // characters to select from there
    QString message;
    Check check = Tidy;
    QString kind;      // Tidy's message key; empty for the program's own checks
    bool operator==(const Problem& o) const
    {
        return severity == o.severity && line == o.line && column == o.column && message == o.message
               && check == o.check;
    }
};

// What kind of message a problem is, for hiding all of that kind: Tidy's
// message key, or the check's settings key.
QString kindOf(const Problem& p);

// Which checks run and which messages are shown.
struct Options {
    quint32 checks = (1u << kCheckCount) - 1;
    quint32 hiddenSeverities = 0;
    QSet<QString> hiddenKinds;  // kindOf values the user hid
    bool shows(const Problem& p) const { return shows(p.severity) && !hiddenKinds.contains(kindOf(p)); }
    bool runs(Check c) const { return checks & (1u << c); }
    void setRuns(Check c, bool on) { checks = on ? (checks | (1u << c)) : (checks & ~(1u << c)); }
    bool shows(Severity s) const { return !(hiddenSeverities & (1u << int(s))); }
    void setShows(Severity s, bool on)
    {
        hiddenSeverities = on ? (hiddenSeverities & ~(1u << int(s))) : (hiddenSeverities | (1u << int(s)));
    }
};

// A reference to another file as written in the page.
struct Link {
    QString url;       // entities decoded, as the browser reads it
    qsizetype offset = 0;
    int length = 0;
};

// Where a link leads, for the checks.
struct LinkTarget {
    enum Kind { Ignored, SamePage, Local };
    Kind kind = Ignored;
    QString path;      // Local: the file, clean and absolute
    QString fragment;  // decoded, empty when none
};

// The offsets where the text's lines start, for (line, column) positions.
class LineIndex {
public:
    LineIndex() = default;
    explicit LineIndex(QStringView text);
    void position(qsizetype offset, int* line, int* column) const;

private:
    std::vector<qsizetype> m_starts;
};

// What one reading of the page found.
struct PageScan {
    QList<Problem> problems;   // the page's own checks, links not yet resolved
    QList<Link> links;
    QSet<QString> anchors;     // ids and <a name> values
    bool hasBase = false;      // <base href>: relative links are not the folder's
    LineIndex lines;
};

// Reads the page once: every check above except those that resolve links.
PageScan scanPage(QStringView text, const Options& options);

// Where url, found in a page in baseDir, leads. Links with a scheme
// (http:, mailto:, javascript:, data: ...), "//host" links and template
// placeholders are ignored; "/path" counts from siteRoot, and is ignored
// without one; a page without a folder (untitled) ignores file links.
LinkTarget resolveLink(const QString& url, const QString& baseDir, const QString& siteRoot = QString());

// The HTML 4 elements and attributes the legacy check notes (names in small letters).
bool isLegacyElement(const QString& element);
bool isLegacyAttribute(const QString& element, const QString& attribute);

// True for names a browser reads as a page (.htm, .html, .xhtml, .shtml).
bool isPagePath(const QString& path);

// The ids and names of a page file, read through the codec; false when the
// file cannot be read.
bool anchorsOfFile(const QString& path, QSet<QString>* anchors);

// Answers for the link checks: whether a file exists and what anchors a page
// holds. The default reads the disk, remembering each answer; a site check
// gives the pages it has read already. Thread-safe.
class FileFacts {
public:
    virtual ~FileFacts() = default;
    virtual bool exists(const QString& path);
    // nullptr when the file cannot be read as a page.
    virtual std::shared_ptr<const QSet<QString>> anchors(const QString& path);

private:
    std::mutex m_lock;
    QHash<QString, bool> m_exists;
    QHash<QString, std::shared_ptr<const QSet<QString>>> m_anchors;
};

// The link problems of a scanned page in baseDir (empty: untitled).
QList<Problem> checkLinks(const PageScan& scan, const QString& baseDir,
                          const QString& siteRoot, const Options& options, FileFacts& facts);

// scanPage and checkLinks together, problems in text order.
QList<Problem> checkPage(QStringView text, const QString& baseDir, const Options& options, FileFacts& facts,
                         const QString& siteRoot = QString());

// Sorts by line, then column.
void sortProblems(QList<Problem>& problems);

// At most this many problems are kept for one page.
constexpr int kMaxProblems = 5000;

} // namespace PageChecks
