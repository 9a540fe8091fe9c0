// Timings of what the editing view does beyond showing text, on a 10 MB page.
//   velquist_bench view         every match of a search marked and counted
//                               (plain and regular expression), typing with
//                               the marks kept up to date, Replace All with
//                               groups; folding the <body> and unfolding it,
//                               the regions worked out, Fold All; 1 000
//                               carets typing, Backspace and moving
#include "bench/Bench.h"

#include "editor/CaretSet.h"
#include "editor/FoldModel.h"
#include "editor/SearchMarks.h"
#include "editor/TOvcTextFileEditor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <algorithm>

namespace {

double typeKey(TOvcTextFileEditor* ed, Qt::Key key, const QString& text)
{
    Bench::Stopwatch t;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(ed, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(ed, &release);
    ed->viewport()->repaint();
    return t.wallMs();
}

int viewBench(const QStringList&)
{
    QTemporaryDir dir;
    Bench::useFolders(dir.path());
    const QString file = dir.filePath(QStringLiteral("big.htm"));
    Bench::writeFile(file, Bench::makeHtml());

    TOvcTextFileEditor ed;
    ed.resize(1024, 768);
    ed.show();
    ed.LoadFile(file);
    Bench::settle();

    // Marking every match: the search over the whole text, counted.
    const QString needle = QStringLiteral("<font color=\"red\">");
    double best = 1e9;
    int count = 0;
    for (int round = 0; round < 3; ++round) {
        ed.ClearSearchMarks();
        Bench::Stopwatch t;
        ed.MarkSearchMatches(needle, SearchFlags::Plain);
        count = ed.searchMatchCount();
        ed.viewport()->repaint();
        best = std::min(best, t.wallMs());
    }
    Bench::report(QStringLiteral("mark and count all matches, plain (best of 3)"), best, QStringLiteral("ms"),
                  QStringLiteral("%1 matches; target <= 100").arg(count));

    best = 1e9;
    const QString pattern = QStringLiteral("<font color=\"(\\w+)\">");
    for (int round = 0; round < 3; ++round) {
        ed.ClearSearchMarks();
        Bench::Stopwatch t;
        ed.MarkSearchMatches(pattern, SearchFlags::Plain | SearchFlags::RegExp);
        count = ed.searchMatchCount();
        ed.viewport()->repaint();
        best = std::min(best, t.wallMs());
    }
    Bench::report(QStringLiteral("mark and count all matches, regular expression (best of 3)"), best,
                  QStringLiteral("ms"), QStringLiteral("%1 matches").arg(count));

    // Find Next with its "n of m" from the middle of the text.
    ed.setSelection(ed.buffer().Length() / 2, ed.buffer().Length() / 2);
    Bench::Stopwatch find;
    ed.FindNext(needle, SearchFlags::Plain);
    const QString status = ed.searchStatus();
    find.report(QStringLiteral("find next and its number"), status);

    // Typing with every match marked: the changed line searched again only.
    ed.MarkSearchMatches(needle, SearchFlags::Plain);
    ed.setSelection(ed.buffer().Length() / 2, ed.buffer().Length() / 2);
    Bench::settle();
    std::vector<double> keys;
    for (int i = 0; i < 40; ++i)
        keys.push_back(typeKey(&ed, Qt::Key_A, QStringLiteral("a")));
    std::sort(keys.begin(), keys.end());
    Bench::report(QStringLiteral("a key typed with the marks up to date (median of 40)"), keys[keys.size() / 2],
                  QStringLiteral("ms"), QStringLiteral("%1 matches").arg(ed.searchMatchCount()));

    // Replace All with a group in the replacement, one undo step.
    Bench::Stopwatch replace;
    const int n = ed.ReplaceText(pattern, QStringLiteral("<span class=\"$1\">"),
                                 SearchFlags::Global | SearchFlags::ReplaceAll | SearchFlags::RegExp);
    replace.report(QStringLiteral("replace all with a group"), QStringLiteral("%1 replaced").arg(n));
    Bench::Stopwatch undo;
    ed.UndoStep();
    undo.report(QStringLiteral("  and undo it"));

    // Folding: the regions of the page, then the <body> (line 3) folded and
    // unfolded with the view drawn, wrapped and not.
    ed.ClearSearchMarks();
    Bench::Stopwatch scan;
    const int regions = int(ed.folds().regions().size());
    scan.report(QStringLiteral("fold regions of 10 MB worked out"), QStringLiteral("%1 regions").arg(regions));
    for (bool wrap : {true, false}) {
        ed.SetWordWrap(wrap);
        ed.setSelection(0, 0);
        Bench::settle();
        double fold = 1e9, unfold = 1e9;
        for (int round = 0; round < 3; ++round) {
            Bench::Stopwatch t;
            ed.ToggleFold(2);
            ed.viewport()->repaint();
            fold = std::min(fold, t.wallMs());
            t.restart();
            ed.ToggleFold(2);
            ed.viewport()->repaint();
            unfold = std::min(unfold, t.wallMs());
        }
        const QString how = wrap ? QStringLiteral("wrapped") : QStringLiteral("not wrapped");
        Bench::report(QStringLiteral("fold the <body>, %1 (best of 3)").arg(how), fold, QStringLiteral("ms"),
                      QStringLiteral("target <= 20 with unfolding"));
        Bench::report(QStringLiteral("unfold it, %1 (best of 3)").arg(how), unfold, QStringLiteral("ms"));
    }
    Bench::Stopwatch all;
    ed.FoldAll();
    ed.viewport()->repaint();
    all.report(QStringLiteral("Fold All"), QStringLiteral("%1 folds").arg(ed.folds().foldCount()));
    Bench::Stopwatch none;
    ed.UnfoldAll();
    ed.viewport()->repaint();
    none.report(QStringLiteral("Unfold All"));

    // 1 000 carets, one a line in the middle of the page.
    ed.SetWordWrap(true);
    {
        const TextSnapshot& t = ed.buffer().Text();
        std::vector<CaretSel> carets;
        for (int l = 80000; l < 81000; ++l)
            carets.push_back({t.LineStart(l) + 2, t.LineStart(l) + 2, l == 80000});
        ed.SetCarets(carets);
    }
    Bench::settle();
    std::vector<double> typed, erased, moved;
    for (int i = 0; i < 20; ++i)
        typed.push_back(typeKey(&ed, Qt::Key_A, QStringLiteral("a")));
    for (int i = 0; i < 20; ++i)
        erased.push_back(typeKey(&ed, Qt::Key_Backspace, QString()));
    for (int i = 0; i < 20; ++i)
        moved.push_back(typeKey(&ed, i % 2 ? Qt::Key_Left : Qt::Key_Right, QString()));
    for (auto* v : {&typed, &erased, &moved})
        std::sort(v->begin(), v->end());
    Bench::report(QStringLiteral("a key typed at %1 carets (median of 20)").arg(ed.caretCount()), typed[10],
                  QStringLiteral("ms"), QStringLiteral("target <= 5"));
    Bench::report(QStringLiteral("Backspace at the carets (median of 20)"), erased[10], QStringLiteral("ms"));
    Bench::report(QStringLiteral("an arrow key at the carets (median of 20)"), moved[10], QStringLiteral("ms"));
    return 0;
}

} // namespace

VQ_BENCHMARK("view", "editing view extras on 10 MB: search marks, typing with marks, regex replace all, folding, 1000 carets",
             viewBench);
