// Timings of colours and tag pairs on the pages that used to be slow.
//   velquist_bench editing-lang   a script of 20 lines of 10 000 "<", 64 000
//                                 "<b>" then 64 000 "</i>", Ctrl+M across a
//                                 10 MB page, a one-line page of 400 000 characters
#include "bench/Bench.h"

#include "editor/CompletionPopup.h"
#include "editor/HtmlHighlighter.h"
#include "editor/TOvcTextFileEditor.h"
#include "editor/TagMatcher.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

double typeKey(TOvcTextFileEditor& ed, const QString& text)
{
    Bench::Stopwatch t;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, text);
    QApplication::sendEvent(&ed, &press);
    ed.viewport()->repaint();
    return t.wallMs();
}

// The slowest of a few keys typed at the caret.
double slowestKey(TOvcTextFileEditor& ed, const QString& keys)
{
    double worst = 0;
    for (QChar ch : keys)
        worst = std::max(worst, typeKey(ed, QString(ch)));
    return worst;
}

void load(TOvcTextFileEditor& ed, const QString& dir, const QString& name, const QString& text)
{
    const QString file = dir + QLatin1Char('/') + name;
    Bench::writeFile(file, text.toUtf8());
    ed.LoadFile(file);
}

int languageBench(const QStringList&)
{
    QTemporaryDir dir;
    Bench::useFolders(dir.path());
    TOvcTextFileEditor ed;
    ed.SetAutoCloseTags(true);
    ed.resize(1000, 700);
    ed.show();
    Bench::settle();

    // A script of 20 lines of 10 000 "<" (200 KB).
    {
        const QString text = QStringLiteral("<html><body><script>\n")
                             + (QStringLiteral("a<b;").repeated(2500) + QLatin1Char('\n')).repeated(20)
                             + QStringLiteral("</script>\n<p>end");
        Bench::Stopwatch t;
        load(ed, dir.path(), QStringLiteral("lt.htm"), text);
        ed.MoveCaret(ed.LineCount(), 1);
        ed.repaint();
        t.report(QStringLiteral("20 lines of 10 000 \"<\" in a script: open and go to the end"), QStringLiteral("was 18 600"));
        ed.MoveCaret(10, 5000);
        Bench::report(QStringLiteral("  key typed in the script, slowest of 8"), slowestKey(ed, QStringLiteral("x<y;\"<\";")),
                      QStringLiteral("ms"), QStringLiteral("was 900"));
    }

    // 64 000 "<b>" then 64 000 "</i>".
    {
        const QString text = QStringLiteral("<b>\n").repeated(64000) + QStringLiteral("</i>\n").repeated(64000);
        load(ed, dir.path(), QStringLiteral("deep.htm"), text);
        ed.MoveCaret(ed.LineCount(), 1);
        ed.repaint();
        Bench::Stopwatch t;
        typeKey(ed, QStringLiteral("<"));
        typeKey(ed, QStringLiteral("/"));
        t.report(QStringLiteral("64 000 <b> then 64 000 </i>: \"</\" typed at the end"), QStringLiteral("was 12 000"));
        t.restart();
        ed.MoveCaret(64000, 2);
        ed.refreshTagMatch();
        t.report(QStringLiteral("  caret into the last <b>, its pair looked for"), QStringLiteral("was 10 000"));
    }

    // Ctrl+M across 10 MB.
    {
        load(ed, dir.path(), QStringLiteral("big.htm"), QString::fromUtf8(Bench::makeHtml()));
        ed.repaint();
        // The first tag of the page and the last one.
        ed.MoveCaret(1, 2);
        Bench::Stopwatch t;
        const bool first = TagMatcher::gotoPartner(ed);
        int line = 0, col = 0;
        ed.CaretPosition(line, col);
        t.report(QStringLiteral("10 MB page: Ctrl+M from the first tag (pairs worked out to line %1, %2)")
                     .arg(line)
                     .arg(first ? QStringLiteral("found") : QStringLiteral("none")),
                 QStringLiteral("was 190-380"));
        t.restart();
        TagMatcher::gotoPartner(ed);
        t.report(QStringLiteral("  Ctrl+M back"));
        ed.MoveCaret(ed.LineCount() / 2, 1);
        typeKey(ed, QStringLiteral("x"));
        ed.MoveCaret(1, 2);
        t.restart();
        TagMatcher::gotoPartner(ed);
        t.report(QStringLiteral("  Ctrl+M again after a key typed halfway down"));
        ed.MoveCaret(ed.LineCount(), 1);
        t.restart();
        typeKey(ed, QStringLiteral("<"));
        typeKey(ed, QStringLiteral("/"));
        t.report(QStringLiteral("  \"</\" typed at the end"));
    }

    // A page on one line of 400 000 characters.
    {
        const QString text = QStringLiteral("<div id=top><script>") + QStringLiteral("var a=\"<p>\",b=/<\\/?p>/g;if(x>1){z='</b>'}").repeated(2000)
                             + QStringLiteral("</script>") + QStringLiteral("<li><a href=\"#\">item</a></li>").repeated(10000)
                             + QStringLiteral("<em>x</div>");
        Bench::Stopwatch t;
        load(ed, dir.path(), QStringLiteral("one.htm"), text);
        ed.repaint();
        t.report(QStringLiteral("one-line page of %1 characters: open").arg(text.size()));
        ed.MoveCaret(1, int(text.size()) - 4);
        t.restart();
        ed.repaint();
        t.report(QStringLiteral("  go to its end"));
        // A line this long gets its pairs from the worker: the marks follow.
        const auto waitFor = [](const std::function<bool()>& done) {
            QElapsedTimer clock;
            clock.start();
            while (!done() && clock.elapsed() < 5000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        };
        t.restart();
        ed.refreshTagMatch();
        t.report(QStringLiteral("  caret moved to </div>"));
        t.restart();
        waitFor([&] { return ed.matchedTags().size() == 2; });
        t.report(QStringLiteral("  pair marks come (%1 marks)").arg(ed.matchedTags().size()));
        t.restart();
        TagMatcher::gotoPartner(ed);
        t.report(QStringLiteral("  Ctrl+M"));
        ed.MoveCaret(1, int(text.size()) - 5);
        t.restart();
        typeKey(ed, QStringLiteral("<"));
        typeKey(ed, QStringLiteral("/"));
        t.report(QStringLiteral("  \"</\" typed before </div>"));
        t.restart();
        waitFor([&] { return ed.RawLineText(1).size() > text.size() + 2; });
        t.report(QStringLiteral("    completed when the pairs come (%1)").arg(ed.RawLineText(1).mid(int(text.size()) - 6, 12)));
    }

    // Completion on the 10 MB page, at its end: the list after each key.
    {
        load(ed, dir.path(), QStringLiteral("big2.htm"), QString::fromUtf8(Bench::makeHtml()));
        ed.MoveCaret(ed.LineCount(), 1);
        ed.repaint();
        Bench::settle();
        std::vector<double> times;
        for (const QString& keys : {QStringLiteral("<ta"), QStringLiteral(" st"), QStringLiteral("yle=\"col"),
                                    QStringLiteral(": r"), QStringLiteral(" &am")}) {
            for (QChar ch : keys)
                times.push_back(typeKey(ed, QString(ch)));
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&ed, &esc);
        }
        std::sort(times.begin(), times.end());
        Bench::report(QStringLiteral("completion list after a key at the end of 10 MB, slowest of %1").arg(times.size()),
                      times.back(), QStringLiteral("ms"),
                      QStringLiteral("target <= 20 (list shown: %1)")
                          .arg(ed.completionPopup() ? QStringLiteral("yes") : QStringLiteral("no")));
        Bench::report(QStringLiteral("  median"), times[times.size() / 2], QStringLiteral("ms"));
        // Toggle comment and an abbreviation there.
        ed.MoveCaret(ed.LineCount() / 2, 1);
        Bench::Stopwatch t;
        ed.ToggleComment();
        ed.viewport()->repaint();
        t.report(QStringLiteral("  toggle comment halfway down"));
        ed.MoveCaret(ed.LineCount(), 1);
        for (QChar ch : QStringLiteral("table>tr*20>td*5"))
            typeKey(ed, QString(ch));
        t.restart();
        ed.ExpandAbbreviation();
        ed.viewport()->repaint();
        t.report(QStringLiteral("  table>tr*20>td*5 expanded at the end"));
    }
    return 0;
}

} // namespace

VQ_BENCHMARK("editing-lang", "colours and tag pairs on pages that used to be slow", languageBench);
