// Timings of the editing control on large documents.
//   velquist_bench editor [nowrap]      10 MB HTML file, 170 000 lines
//   velquist_bench editor-longline      5 MB file on one line
#include "bench/Bench.h"
#include "editor/TOvcTextFileEditor.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kLines = 170000;
constexpr int kMarkedEvery = 17;  // 10 000 lines hold the text that Replace All changes
constexpr int kMarkedLines = 10000;
const char kMarked[] = "<font color=\"red\">";
const char kReplacement[] = "<span class=\"red\">";

} // namespace

QByteArray Bench::makeHtml()
{
    QByteArray html;
    html.reserve(10 * 1024 * 1024 + 4096);
    html += "<HTML>\r\n<HEAD><TITLE>Benchmark page</TITLE></HEAD>\r\n<BODY BGCOLOR=\"#FFFFFF\">\r\n";
    for (int i = 3; i < kLines - 2; ++i) {
        if ((i - 3) % kMarkedEvery == 0) {
            html += "  <p>";
            html += kMarked;
            html += "Item ";
            html += QByteArray::number(i);
            html += "</font> costs less today.</p>\r\n";
            continue;
        }
        switch (i % 6) {
        case 0:
            html += "<TABLE BORDER=\"1\" CELLPADDING=\"2\" CELLSPACING=\"0\" WIDTH=\"100%\">\r\n";
            break;
        case 1:
            html += "  <TR><TD CLASS=\"name\">Item " + QByteArray::number(i) + "</TD><TD>value</TD></TR>\r\n";
            break;
        case 2:
            html += "  <P>Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do.</P>\r\n";
            break;
        case 3:
            html += "\t<A HREF=\"http://www.example.com/page" + QByteArray::number(i) + ".html\">link</A>\r\n";
            break;
        case 4:
            html += "  <IMG SRC=\"images/picture.gif\" ALT=\"A picture\" WIDTH=\"20\" HEIGHT=\"20\">\r\n";
            break;
        default:
            html += "</TABLE><!-- end of table " + QByteArray::number(i) + " -->\r\n";
            break;
        }
    }
    html += "</BODY>\r\n</HTML>\r\n";
    return html;
}

Bench::Folders Bench::useFolders(const QString& dir)
{
    Folders f{dir + QStringLiteral("/home"), dir + QStringLiteral("/config")};
    QDir().mkpath(f.home);
    QDir().mkpath(f.config);
    qputenv("VELQUIST_HOME", f.home.toLocal8Bit());
    qputenv("VELQUIST_CONFIG_DIR", f.config.toLocal8Bit());
    return f;
}

bool Bench::writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

namespace {
using Bench::makeHtml;
using Bench::writeFile;

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray textHash(const TOvcTextFileEditor& ed)
{
    return QCryptographicHash::hash(ed.RawText().toUtf8(), QCryptographicHash::Sha1);
}

void typeKey(QWidget* w, QChar c)
{
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(w, &press);
    QCoreApplication::sendEvent(w, &release);
}

// Shows a fresh editor the size of a new document window.
void prepare(TOvcTextFileEditor& ed, bool wrap)
{
    ed.resize(652, 492);
    ed.SetWordWrap(wrap);
    ed.show();
    Bench::settle();
}

int failed(const char* what)
{
    std::printf("  FAILED: %s\n", what);
    return 1;
}

int editorBench(const QStringList& args)
{
    const bool wrap = !args.contains(QStringLiteral("nowrap"));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("page.htm"));
    qint64 fileSize = 0;
    {
        const QByteArray html = makeHtml();
        fileSize = html.size();
        if (!writeFile(file, html))
            return failed("cannot write the test file");
    }
    std::printf("  file: %.1f MB, %d lines, word wrap %s\n", double(fileSize) / (1024 * 1024), kLines,
                wrap ? "on" : "off");
    Bench::report(QStringLiteral("memory before opening"), Bench::rssMb(), QStringLiteral("MB"));

    Bench::Stopwatch t;
    {
        // As a document window does it: the file goes into the new control
        // before the window is shown.
        TOvcTextFileEditor hidden;
        hidden.resize(652, 492);
        hidden.SetWordWrap(wrap);
        t.restart();
        hidden.LoadFile(file);
        hidden.show();
        hidden.repaint();
        Bench::settle();
        t.report(QStringLiteral("open, then show, until painted and idle"), QStringLiteral("target < 700"));
        Bench::report(QStringLiteral("peak memory after opening"), Bench::peakRssMb(), QStringLiteral("MB"),
                      QStringLiteral("target < 170"));
    }
    Bench::settle();

    TOvcTextFileEditor ed;
    prepare(ed, wrap);
    t.restart();
    ed.LoadFile(file);
    ed.repaint();
    Bench::settle();
    t.report(QStringLiteral("open into a shown control until painted"));
    if (ed.LineCount() != kLines)
        return failed("wrong line count");

    // Every change of width lays the whole document out afresh.
    t.restart();
    ed.resize(ed.width() + 100, ed.height());
    ed.repaint();
    Bench::settle();
    t.report(QStringLiteral("widen the window"));
    Bench::report(QStringLiteral("peak memory after widening"), Bench::peakRssMb(), QStringLiteral("MB"));

    t.restart();
    ed.SaveFile(dir.filePath(QStringLiteral("copy.htm")));
    t.report(QStringLiteral("save 10 MB"));
    if (readFile(dir.filePath(QStringLiteral("copy.htm"))) != readFile(file))
        return failed("the saved file differs from the opened one");
    ed.SetMakeBackup(true);
    t.restart();
    ed.SaveFile(file);
    t.report(QStringLiteral("save 10 MB with backup copy"));
    if (readFile(dir.filePath(QStringLiteral("page.BAK"))) != readFile(file))
        return failed("the backup differs from the file");

    // A tag inserted at the end, drawn.
    double worst = 0, total = 0;
    const int inserts = 20;
    for (int i = 0; i < inserts; ++i) {
        ed.MoveCaret(ed.LineCount(), 1 << 30);
        ed.repaint();
        Bench::settle();
        t.restart();
        ed.InsertAtCaret(QStringLiteral("<B></B>"));
        ed.repaint();
        Bench::settle();
        worst = std::max(worst, t.wallMs());
        total += t.wallMs();
    }
    Bench::report(QStringLiteral("insert a tag at the end (mean)"), total / inserts, QStringLiteral("ms"),
                  QStringLiteral("target < 5"));
    Bench::report(QStringLiteral("insert a tag at the end (worst)"), worst, QStringLiteral("ms"));

    // Typing in the middle, drawn.
    ed.MoveCaret(kLines / 2, 5);
    ed.setFocus();
    ed.repaint();
    Bench::settle();
    worst = total = 0;
    for (int i = 0; i < inserts; ++i) {
        t.restart();
        typeKey(&ed, QLatin1Char('x'));
        ed.repaint();
        Bench::settle();
        worst = std::max(worst, t.wallMs());
        total += t.wallMs();
    }
    Bench::report(QStringLiteral("type a key in the middle (mean)"), total / inserts, QStringLiteral("ms"));
    Bench::report(QStringLiteral("type a key in the middle (worst)"), worst, QStringLiteral("ms"));

    ed.MoveCaret(1, 1);
    t.restart();
    const bool found = ed.SearchText(QStringLiteral("</body>"), 1);
    t.report(QStringLiteral("search forward to the end"));
    t.restart();
    const bool missing = ed.SearchText(QStringLiteral("no such text"), 9);
    t.report(QStringLiteral("search whole text, not found"));
    if (!found || missing)
        return failed("search");

    const QByteArray before = textHash(ed);
    t.restart();
    const int replaced = ed.ReplaceText(QString::fromLatin1(kMarked), QString::fromLatin1(kReplacement), 40);
    t.report(QStringLiteral("Replace All"), QStringLiteral("%1 replaced; target < 300").arg(replaced));
    ed.repaint();
    Bench::settle();
    t.report(QStringLiteral("Replace All until painted"));
    if (replaced != kMarkedLines)
        return failed("replace count");
    t.restart();
    ed.UndoStep();
    ed.repaint();
    Bench::settle();
    t.report(QStringLiteral("undo Replace All until painted"));
    if (textHash(ed) != before)
        return failed("undo did not restore the text");

    t.restart();
    ed.SaveFile(file);
    t.report(QStringLiteral("save after editing"));
    Bench::report(QStringLiteral("peak memory"), Bench::peakRssMb(), QStringLiteral("MB"));
    return 0;
}

int longLineBench(const QStringList& args)
{
    const bool wrap = !args.contains(QStringLiteral("nowrap"));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("line.htm"));
    {
        QByteArray line;
        line.reserve(5 * 1024 * 1024 + 64);
        while (line.size() < 5 * 1024 * 1024)
            line += "<TD CLASS=\"x\">cell</TD> ";
        if (!writeFile(file, line))
            return failed("cannot write the test file");
    }
    TOvcTextFileEditor ed;
    prepare(ed, wrap);
    QString note;
    QObject::connect(&ed, &TOvcTextFileEditor::notice, [&note](const QString& text) { note = text; });
    Bench::Stopwatch t;
    ed.LoadFile(file);
    ed.repaint();
    Bench::settle();
    t.report(QStringLiteral("open 5 MB single line until painted"),
             wrap ? QStringLiteral("word wrap on") : QStringLiteral("word wrap off"));
    std::printf("  notice: %s\n", qPrintable(note));
    ed.MoveCaret(1, 1);
    ed.setFocus();
    t.restart();
    typeKey(&ed, QLatin1Char('x'));
    ed.repaint();
    Bench::settle();
    t.report(QStringLiteral("type a key in the long line"));
    t.restart();
    ed.SaveFile(file);
    t.report(QStringLiteral("save"));
    Bench::report(QStringLiteral("peak memory"), Bench::peakRssMb(), QStringLiteral("MB"));
    return note.isEmpty() ? failed("no notice about the long line") : 0;
}

} // namespace

VQ_BENCHMARK("editor", "10 MB HTML document: open, save, insert, type, search, Replace All, undo [nowrap]",
             editorBench);
VQ_BENCHMARK("editor-longline", "5 MB file on a single line: open, type, save [nowrap]", longLineBench);
