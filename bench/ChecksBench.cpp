// Timings of the page checks.
//   velquist_bench checks   problems of a 1 MB page (own checks, Tidy, both on
//                           two threads as the panel runs them); typing while
//                           a check runs; Check Site over 1 000 pages with
//                           20 000 links, every planted fault found
#include "bench/Bench.h"

#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "editor/TOvcTextFileEditor.h"
#include "tools/PageChecks.h"
#include "tools/ProblemsPanel.h"
#include "tools/SiteCheck.h"
#include "tools/TidyRunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// About 1 MB: a whole page of sections with headings, links, images and ids.
QByteArray bigPage()
{
    QByteArray html = "<!DOCTYPE html>\n<html>\n<head>\n<title>Big</title>\n</head>\n<body>\n";
    for (int i = 0; html.size() < 1024 * 1024; ++i) {
        const QByteArray n = QByteArray::number(i);
        html += "<div class=\"s\" id=\"s" + n + "\">\n<h2>Section " + n + "</h2>\n<p>Text of section " + n
                + " with <a href=\"#s" + n + "\">a link to itself</a>, <b>bold</b> and <i>italic</i> words.\n"
                  "<img src=\"pic.png\" alt=\"picture\"> and <a href=\"page.html?x=" + n + "\">a page</a>.</p>\n"
                  "<ul><li>one<li>two</ul>\n</div>\n";
    }
    html += "</body>\n</html>\n";
    return html;
}

int checksBench(const QStringList&)
{
    QTemporaryDir dir;
    const auto [home, config] = Bench::useFolders(dir.path());
    Bench::writeFile(config + QStringLiteral("/VELQUIST.INI"),
                     "[System]\nOpen Template=0\n[Start Options]\nTips=0\n");
    const QByteArray page = bigPage();
    const QString pageFile = dir.filePath(QStringLiteral("big.html"));
    Bench::writeFile(pageFile, page);
    // The same with an image without alt text and a missing file in every section.
    QByteArray faultyPage = page;
    faultyPage.replace("<img src=\"pic.png\" alt=\"picture\">", "<img src=\"gone.png\">");
    const QString faultyFile = dir.filePath(QStringLiteral("faulty.html"));
    Bench::writeFile(faultyFile, faultyPage);
    Bench::writeFile(dir.filePath(QStringLiteral("pic.png")), "png");
    Bench::writeFile(dir.filePath(QStringLiteral("page.html")), "<p>x</p>");
    const QString text = QString::fromUtf8(page);
    std::printf("  page: %.2f MB, %lld lines\n", double(page.size()) / (1024 * 1024), page.count('\n') + 0LL);

    PageChecks::Options options;
    {
        PageChecks::FileFacts facts;
        Bench::Stopwatch t;
        const QList<PageChecks::Problem> own = PageChecks::checkPage(text, dir.path(), options, facts);
        t.report(QStringLiteral("own checks, 1 MB page"), QStringLiteral("%1 problems").arg(own.size()));
        t.restart();
        const TidyRunner::Diagnostics d = TidyRunner::diagnose(text, options);
        t.report(QStringLiteral("Tidy's diagnostics, 1 MB page"), QStringLiteral("%1 problems").arg(d.problems.size()));
    }
    {
        const QString faultyText = QString::fromUtf8(faultyPage);
        PageChecks::FileFacts facts;
        Bench::Stopwatch t;
        const QList<PageChecks::Problem> own = PageChecks::checkPage(faultyText, dir.path(), options, facts);
        t.report(QStringLiteral("own checks, 1 MB page with many faults"), QStringLiteral("%1 problems").arg(own.size()));
        t.restart();
        const TidyRunner::Diagnostics d = TidyRunner::diagnose(faultyText, options);
        t.report(QStringLiteral("Tidy's diagnostics, 1 MB page with many faults"),
                 QStringLiteral("%1 problems").arg(d.problems.size()));
    }
    {
        // As the panel runs it: a snapshot, both halves at once.
        Bench::Stopwatch t;
        const ProblemsPanel::Outcome o = ProblemsPanel::runChecks(text, dir.path(), options, QString());
        t.report(QStringLiteral("problems for a 1 MB page after the pause"),
                 QStringLiteral("target <= 300; %1 problems").arg(o.problems.size()));
    }

    // Typing while a check runs on the open page.
    {
        TmdiMain main;
        main.resize(1024, 768);
        main.show();
        Bench::settle();
        main.OpenDocumentFile(pageFile);
        Bench::settle();
        main.run(QStringLiteral("ProblemsPanel1Click"));
        ProblemsPanel* panel = ProblemsPanel::findIn(main.frameWindow());
        if (panel->isVisible())
            main.run(QStringLiteral("ProblemsPanel1Click"));
        TOvcTextFileEditor* ed = main.activeDocument()->txtHTML;
        ed->MoveCaret(3000, 1);
        Bench::settle();
        // The same typing with the panel closed, for comparison.
        {
            std::vector<double> plain;
            double stall = 0;
            for (int i = 0; i < 300; ++i) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
                QElapsedTimer k;
                k.start();
                QCoreApplication::sendEvent(ed, &press);
                QCoreApplication::processEvents();
                plain.push_back(double(k.nsecsElapsed()) / 1e6);
                QElapsedTimer gap;
                gap.start();
                while (gap.elapsed() < 10) {
                    QElapsedTimer one;
                    one.start();
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
                    stall = std::max(stall, double(one.nsecsElapsed()) / 1e6);
                }
            }
            std::sort(plain.begin(), plain.end());
            Bench::report(QStringLiteral("typing without checks, worst key"), plain.back(), QStringLiteral("ms"),
                          QStringLiteral("median %1 ms, 99th percentile %2 ms; longest step between keys %3 ms")
                              .arg(plain[plain.size() / 2], 0, 'f', 3)
                              .arg(plain[plain.size() * 99 / 100], 0, 'f', 3)
                              .arg(stall, 0, 'f', 1));
            ed->MoveCaret(3001, 1);
        }
        if (!panel->isVisible())
            main.run(QStringLiteral("ProblemsPanel1Click"));
        Bench::settle();
        // A key every 10 ms while checks of the page run on another thread;
        // the keys handled during a check count, and the longest the
        // interface thread was busy between keys (showing a result).
        auto typeThroughChecks = [&](TOvcTextFileEditor* editor, const QString& what) {
            std::vector<double> keys;
            double stall = 0;
            QElapsedTimer clock;
            clock.start();
            panel->checkNow();
            int rounds = 0;
            while (rounds < 3 && clock.elapsed() < 30000) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
                QElapsedTimer k;
                k.start();
                QCoreApplication::sendEvent(editor, &press);
                QCoreApplication::processEvents();
                const double ms = double(k.nsecsElapsed()) / 1e6;
                if (panel->isChecking())
                    keys.push_back(ms);
                else
                    ++rounds, panel->checkNow();  // the next check, of the text typed so far
                QElapsedTimer gap;
                gap.start();
                while (gap.elapsed() < 10) {
                    QElapsedTimer one;
                    one.start();
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
                    stall = std::max(stall, double(one.nsecsElapsed()) / 1e6);
                }
            }
            std::sort(keys.begin(), keys.end());
            Bench::report(QStringLiteral("typing while a check runs, worst key, ") + what,
                          keys.empty() ? 0 : keys.back(), QStringLiteral("ms"),
                          QStringLiteral("target <= 2; median %1 ms, 99th percentile %2 ms; %3 keys during 3 checks; "
                                         "longest step between keys %4 ms")
                              .arg(keys.empty() ? 0 : keys[keys.size() / 2], 0, 'f', 3)
                              .arg(keys.empty() ? 0 : keys[keys.size() * 99 / 100], 0, 'f', 3)
                              .arg(keys.size())
                              .arg(stall, 0, 'f', 1));
            QElapsedTimer wait;
            wait.start();
            while (panel->isChecking() && wait.elapsed() < 10000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        };
        typeThroughChecks(ed, QStringLiteral("clean page"));

        // A page of 1 MB with thousands of problems: the check until its rows show.
        main.OpenDocumentFile(faultyFile);
        Bench::settle();
        TOvcTextFileEditor* faulty = main.activeDocument()->txtHTML;
        QElapsedTimer w;
        w.start();
        while (panel->document() != main.activeDocument() && w.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        while (panel->isChecking() && w.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        {
            // Waits without spinning, so the interface thread takes no processor time of its own.
            QEventLoop loop;
            QObject::connect(panel, &ProblemsPanel::checked, &loop, &QEventLoop::quit);
            QTimer::singleShot(10000, &loop, &QEventLoop::quit);
            Bench::Stopwatch t;
            panel->checkNow();
            loop.exec();
            t.report(QStringLiteral("problems for a 1 MB page with many faults, until shown"),
                     QStringLiteral("target <= 300; %1 rows").arg(panel->shown().size()));
        }
        faulty->MoveCaret(3000, 1);
        typeThroughChecks(faulty, QStringLiteral("page with many faults"));
        for (TfHTML* doc : main.documents())
            doc->approveClose();
    }

    // A site of 1 000 pages in 10 folders, 20 links each; every 50th page has
    // a broken file link and a broken fragment.
    const QString site = dir.filePath(QStringLiteral("site"));
    int planted = 0;
    for (int i = 0; i < 1000; ++i) {
        const QString folder = QStringLiteral("d%1").arg(i % 10);
        QByteArray html = "<!DOCTYPE html>\n<html><head><title>P" + QByteArray::number(i)
                          + "</title></head><body>\n<h1 id=\"top1\">Page</h1>\n";
        for (int l = 0; l < 20; ++l) {
            const int to = (i * 7 + l * 13) % 1000;
            const QByteArray target = "../d" + QByteArray::number(to % 10) + "/p" + QByteArray::number(to) + ".html";
            if (i % 50 == 0 && l == 0) {
                html += "<p><a href=\"../d0/none" + QByteArray::number(i) + ".html\">gone</a></p>\n";
                ++planted;
            } else if (i % 50 == 0 && l == 1) {
                html += "<p><a href=\"" + target + "#nothing\">no such part</a></p>\n";
                ++planted;
            } else if (l % 4 == 0) {
                html += "<p><img src=\"../pic%20one.png?v=1\" alt=\"x\" srcset=\"../pic%20one.png 2x\"></p>\n";
            } else {
                html += "<p><a href=\"" + target + "#top1\">page " + QByteArray::number(to) + "</a> text text "
                        "text text text text text text text text text text text.</p>\n";
            }
        }
        html += "</body></html>\n";
        QDir().mkpath(site + u'/' + folder);
        Bench::writeFile(site + u'/' + folder + QStringLiteral("/p%1.html").arg(i), html);
    }
    Bench::writeFile(site + QStringLiteral("/pic one.png"), "png");
    for (bool withTidy : {false, true}) {
        PageChecks::Options o;
        o.setRuns(PageChecks::Tidy, withTidy);
        Bench::Stopwatch t;
        const QStringList pages = SiteCheck::pagesUnder(site);
        SiteCheck::Progress progress;
        const SiteCheck::Result r = SiteCheck::run(pages, site, o, QString(), &progress);
        int broken = 0;
        for (const SiteCheck::FileResult& f : r.files)
            for (const PageChecks::Problem& p : f.problems)
                if (p.check == PageChecks::MissingFile || p.check == PageChecks::MissingFragment)
                    ++broken;
        t.report(withTidy ? QStringLiteral("Check Site, 1 000 pages, 20 000 links, with Tidy")
                          : QStringLiteral("Check Site, 1 000 pages, 20 000 links, own checks"),
                 QStringLiteral("target <= 10000; %1 pages, %2 links, %3 of %4 planted faults found, %5 other "
                                "problems, %6 threads")
                     .arg(r.files.size())
                     .arg(r.links)
                     .arg(broken)
                     .arg(planted)
                     .arg(r.problemCount() - broken)
                     .arg(QThread::idealThreadCount()));
        if (broken != planted)
            std::printf("  FAILED: %d broken links reported, %d planted\n", broken, planted);
    }
    return 0;
}

} // namespace

VQ_BENCHMARK("checks", "page checks: 1 MB page, typing while checking, Check Site over 1 000 pages", checksBench);
