#include "tools/TidyRunner.h"

#include "app/AppPaths.h"
#include "app/SafeFile.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <tidy/tidy.h>
#include <tidy/tidybuffio.h>

#include <algorithm>
#include <mutex>
#include <unordered_map>

namespace TidyRunner {

namespace {

// One Tidy document for the length of a call, with its messages collected.
class Doc {
public:
    Doc()
    {
        // The language is Tidy's one piece of shared state: chosen once,
        // before any document, so documents made on several threads at once
        // leave it alone (and the messages read the same everywhere).
        static std::once_flag language;
        std::call_once(language, [] { tidySetLanguage("en"); });
        m_doc = tidyCreate();
        if (!m_doc)
            return;
        tidySetAppData(m_doc, this);
        tidySetMessageCallback(m_doc, &Doc::message);
    }
    ~Doc()
    {
        if (m_doc)
            tidyRelease(m_doc);
    }
    Doc(const Doc&) = delete;
    Doc& operator=(const Doc&) = delete;

    bool ok() const { return m_doc != nullptr; }
    TidyDoc get() const { return m_doc; }

    struct Message {
        int line, column;
        TidyReportLevel level;
        QByteArray key;
        QString text;
    };
    std::vector<Message> messages;

    // Tidy's remarks on the options file.
    QStringList configNotes() const
    {
        QStringList out;
        for (const Message& m : messages)
            if (m.level == TidyConfig && !out.contains(m.text))
                out << m.text;
        return out;
    }

    // The user's file first, then what the program needs whatever it says.
    void configure(const QString& configFile)
    {
        tidyOptSetInt(m_doc, TidyShowErrors, 100000);
        tidyOptSetBool(m_doc, TidyShowWarnings, yes);
        tidyOptSetBool(m_doc, TidyShowInfo, yes);
        if (!configFile.isEmpty() && QFileInfo::exists(configFile))
            tidyLoadConfig(m_doc, QFile::encodeName(configFile).constData());
        tidySetCharEncoding(m_doc, "utf8");
        tidyOptSetInt(m_doc, TidyTabSize, 1);  // columns count characters
        tidyOptSetInt(m_doc, TidyWrapLen, 0);
        tidyOptSetInt(m_doc, TidyNewline, TidyLF);
        tidyOptSetBool(m_doc, TidyMark, no);
        tidyOptSetBool(m_doc, TidyForceOutput, yes);
        tidyOptSetBool(m_doc, TidyQuiet, yes);
        tidyOptSetInt(m_doc, TidyShowErrors, 100000);
    }

private:
    static Bool TIDY_CALL message(TidyMessage m)
    {
        auto* self = static_cast<Doc*>(tidyGetAppData(tidyGetMessageDoc(m)));
        if (self && self->messages.size() < size_t(PageChecks::kMaxProblems))
            self->messages.push_back({tidyGetMessageLine(m), tidyGetMessageColumn(m), tidyGetMessageLevel(m),
                                      QByteArray(tidyGetMessageKey(m)), QString::fromUtf8(tidyGetMessage(m))});
        return no;  // nothing to Tidy's own error output
    }

    TidyDoc m_doc = nullptr;
};

// Messages that the program's own checks give in their own words: left out
// whether that check runs or the user turned it off.
bool repeatsOurs(const QByteArray& key, const QString& text)
{
    static const QByteArrayList keys{"ANCHOR_NOT_UNIQUE",     "ANCHOR_DUPLICATED",     "MISSING_TITLE_ELEMENT",
                                     "NON_MATCHING_ENDTAG",   "MISSING_ENDTAG_FOR",    "MISSING_ENDTAG_BEFORE",
                                     "DISCARDING_UNEXPECTED", "MISSING_ENDTAG_OPTIONAL"};
    if (key == "MISSING_ATTRIBUTE" && text.contains(QLatin1String("\"alt\"")))
        return true;
    if (keys.contains(key))
        return true;
    // HTML 4 elements and attributes the legacy check names itself.
    static const QRegularExpression element(QStringLiteral("<([A-Za-z0-9]+)>"));
    static const QRegularExpression attribute(QStringLiteral("attribute \"([A-Za-z0-9-]+)\""));
    const QString name = element.match(text).captured(1).toLower();
    if (key == "REMOVED_HTML5" || key == "PROPRIETARY_ELEMENT")
        return PageChecks::isLegacyElement(name);
    if (key.startsWith("MISMATCHED_ATTRIBUTE"))
        return PageChecks::isLegacyAttribute(name, attribute.match(text).captured(1).toLower());
    return false;
}

// HTML 4 style that Tidy remarks on: legacy notes. Pages made by the
// program's wizards are HTML 4, without a document type and with unquoted
// attribute values.
bool isLegacyKey(const QByteArray& key)
{
    return key.contains("HTML5") || key == "MISSING_DOCTYPE" || key == "MISSING_QUOTEMARK_OPEN"
           || key.startsWith("MISMATCHED_ATTRIBUTE") || key == "PROPRIETARY_ELEMENT" || key == "PROPRIETARY_ATTRIBUTE"
           || key == "OBSOLETE_ELEMENT";
}

} // namespace

QString version()
{
    const char* v = tidyLibraryVersion();
    return v ? QString::fromLatin1(v) : QString();
}

Diagnostics diagnose(const QString& text, const PageChecks::Options& ours, const QString& configFile)
{
    Diagnostics out;
    Doc doc;
    if (!doc.ok()) {
        out.error = QStringLiteral("HTML Tidy could not start");
        return out;
    }
    doc.configure(configFile);
    const QByteArray bytes = text.toUtf8();
    // Some notes (HTML 4 elements) come only while Tidy repairs the tree.
    const int rc = tidyParseString(doc.get(), bytes.constData());
    if (rc >= 0 && tidyCleanAndRepair(doc.get()) >= 0)
        tidyRunDiagnostics(doc.get());
    if (rc < 0) {
        out.error = QStringLiteral("HTML Tidy could not read the page");
        return out;
    }
    out.ok = true;
    out.configNotes = doc.configNotes();
    // A piece of a page (an include, a new document) is no whole page: what
    // Tidy adds around it is not the author's fault.
    const bool piece = !text.contains(QLatin1String("<html"), Qt::CaseInsensitive)
                       && !text.contains(QLatin1String("<body"), Qt::CaseInsensitive)
                       && !text.contains(QLatin1String("<!doctype"), Qt::CaseInsensitive);
    for (const Doc::Message& m : doc.messages) {
        if (piece && (m.key == "MISSING_DOCTYPE" || m.key == "INSERTING_TAG" || m.key == "MISSING_TITLE_ELEMENT"))
            continue;
        PageChecks::Problem p;
        p.check = PageChecks::Tidy;
        switch (m.level) {
        case TidyInfo: p.severity = PageChecks::Severity::Info; break;
        case TidyWarning:
        case TidyAccess: p.severity = PageChecks::Severity::Warning; break;
        case TidyError:
        case TidyBadDocument:
        case TidyFatal: p.severity = PageChecks::Severity::Error; break;
        default: continue;  // configuration notes and the summary
        }
        if (m.line <= 0 && p.severity == PageChecks::Severity::Info)
            continue;
        if (repeatsOurs(m.key, m.text))
            continue;
        // Notes on HTML 4 markup go with the legacy check.
        if (isLegacyKey(m.key) && p.severity != PageChecks::Severity::Error) {
            if (!ours.runs(PageChecks::Legacy))
                continue;
            p.severity = PageChecks::Severity::Legacy;
        }
        p.line = std::max(1, m.line);
        p.column = std::max(1, m.column);
        p.message = m.text;
        p.kind = QString::fromLatin1(m.key);
        out.problems.append(p);
    }
    return out;
}

Cleaned cleanUp(const QString& text, bool fragment, bool upperCase, const QString& configFile)
{
    Cleaned out;
    Doc doc;
    if (!doc.ok()) {
        out.error = QStringLiteral("HTML Tidy could not start");
        return out;
    }
    doc.configure(configFile);
    tidyOptSetBool(doc.get(), TidyUpperCaseTags, upperCase ? yes : no);
    tidyOptSetInt(doc.get(), TidyUpperCaseAttrs, upperCase ? TidyUppercaseYes : TidyUppercaseNo);
    if (fragment)
        tidyOptSetInt(doc.get(), TidyBodyOnly, TidyYesState);
    const QByteArray bytes = text.toUtf8();
    int rc = tidyParseString(doc.get(), bytes.constData());
    if (rc >= 0)
        rc = tidyCleanAndRepair(doc.get());
    TidyBuffer buffer;
    tidyBufInit(&buffer);
    if (rc >= 0)
        rc = tidySaveBuffer(doc.get(), &buffer);
    if (rc < 0 || !buffer.bp) {
        out.error = QStringLiteral("HTML Tidy could not repair this text");
        for (const Doc::Message& m : doc.messages)
            if (m.level == TidyError || m.level == TidyBadDocument || m.level == TidyFatal) {
                out.error += QStringLiteral(": line %1: %2").arg(QString::number(m.line), m.text);
                break;
            }
        tidyBufFree(&buffer);
        return out;
    }
    out.text = QString::fromUtf8(reinterpret_cast<const char*>(buffer.bp), int(buffer.size));
    tidyBufFree(&buffer);
    out.ok = true;
    out.configNotes = doc.configNotes();
    return out;
}

QString optionsPath()
{
    return AppPaths::settingsFile(QStringLiteral("tidy.cfg"));
}

QString defaultOptions()
{
    return QStringLiteral(
        "// HTML Tidy options for \"Tidy Up Page\" and the page checks.\n"
        "// One option a line, \"name: value\"; lines starting with // or # are notes.\n"
        "// Every option of HTML Tidy 5 may be given (see \"tidy -help-config\").\n"
        "// The program always sets these itself: the character encoding (UTF-8),\n"
        "// line ends (the page's own are kept), wrap (no wrapping), tidy-mark (none),\n"
        "// and the letter case of tags, which follows the program's tag case setting.\n"
        "\n"
        "// Indent the contents of block elements: no, yes or auto.\n"
        "indent: auto\n"
        "indent-spaces: 2\n"
        "\n"
        "// Keep entities such as &eacute; as they are written.\n"
        "preserve-entities: yes\n"
        "\n"
        "// Leave empty paragraphs and elements in place.\n"
        "drop-empty-paras: no\n"
        "drop-empty-elements: no\n"
        "\n"
        "// Keep the page's <font> and <center> tags rather than turning them into styles.\n"
        "clean: no\n"
        "\n"
        "// Keep attribute values quoted as HTML prefers.\n"
        "quote-ampersand: yes\n"
        "quote-nbsp: yes\n"
        "\n"
        "// Do not join or hide anything the author wrote.\n"
        "join-styles: no\n"
        "merge-divs: no\n"
        "merge-spans: no\n");
}

bool ensureOptionsFile(QString* error)
{
    const QString path = optionsPath();
    if (QFileInfo::exists(path))
        return true;
    if (!AppPaths::ensureSettingsDir()) {
        if (error)
            *error = QStringLiteral("Unable to save %1: the settings folder cannot be made.").arg(SafeFile::shown(path));
        return false;
    }
    return SafeFile::tryWrite(path, defaultOptions().toUtf8(), error);
}

QList<DiffLine> diffLines(const QStringList& a, const QStringList& b)
{
    QList<DiffLine> out;
    const int n = int(a.size()), m = int(b.size());
    int pre = 0;
    while (pre < n && pre < m && a[pre] == b[pre])
        ++pre;
    int suf = 0;
    while (suf < n - pre && suf < m - pre && a[n - 1 - suf] == b[m - 1 - suf])
        ++suf;
    for (int i = 0; i < pre; ++i)
        out.append({DiffLine::Same, a[i], i + 1, i + 1});

    // Myers' shortest edit script over the middle parts, remembering each
    // round's frontier to walk back; beyond kMaxRounds the middle is shown
    // as removed, then added.
    const int an = n - pre - suf, bn = m - pre - suf;
    auto A = [&](int i) -> const QString& { return a[pre + i]; };
    auto B = [&](int j) -> const QString& { return b[pre + j]; };
    constexpr int kMaxRounds = 2000;
    const int max = an + bn;
    std::vector<std::vector<int>> trace;
    std::vector<int> v(size_t(2 * max + 3), 0);
    const int off = max + 1;
    int found = -1;
    for (int d = 0; d <= max && d <= kMaxRounds; ++d) {
        for (int k = -d; k <= d; k += 2) {
            int x;
            if (k == -d || (k != d && v[size_t(off + k - 1)] < v[size_t(off + k + 1)]))
                x = v[size_t(off + k + 1)];
            else
                x = v[size_t(off + k - 1)] + 1;
            int y = x - k;
            while (x < an && y < bn && A(x) == B(y)) {
                ++x;
                ++y;
            }
            v[size_t(off + k)] = x;
            if (x >= an && y >= bn) {
                found = d;
                break;
            }
        }
        trace.emplace_back(v.begin() + (off - d), v.begin() + (off + d + 1));
        if (found >= 0)
            break;
    }
    QList<DiffLine> middle;
    if (found < 0) {
        for (int i = 0; i < an; ++i)
            middle.append({DiffLine::Removed, A(i), pre + i + 1, 0});
        for (int j = 0; j < bn; ++j)
            middle.append({DiffLine::Added, B(j), 0, pre + j + 1});
    } else {
        int x = an, y = bn;
        for (int d = found; d > 0; --d) {
            const std::vector<int>& pv = trace[size_t(d - 1)];
            const int k = x - y;
            int pk;
            // pv holds the diagonals -(d-1)..d-1 of the round before.
            auto at = [&pv, d](int diag) { return pv[size_t(diag + d - 1)]; };
            if (k == -d || (k != d && at(k - 1) < at(k + 1)))
                pk = k + 1;
            else
                pk = k - 1;
            const int px = at(pk);
            const int py = px - pk;
            while (x > px && y > py) {
                --x;
                --y;
                middle.append({DiffLine::Same, A(x), pre + x + 1, pre + y + 1});
            }
            if (x == px)
                middle.append({DiffLine::Added, B(--y), 0, pre + y + 1});
            else
                middle.append({DiffLine::Removed, A(--x), pre + x + 1, 0});
        }
        while (x > 0 && y > 0) {
            --x;
            --y;
            middle.append({DiffLine::Same, A(x), pre + x + 1, pre + y + 1});
        }
        std::reverse(middle.begin(), middle.end());
    }
    out += middle;
    for (int i = 0; i < suf; ++i)
        out.append({DiffLine::Same, a[n - suf + i], n - suf + i + 1, m - suf + i + 1});
    return out;
}

} // namespace TidyRunner
