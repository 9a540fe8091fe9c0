// The page checks in the frame: the problems panel following the active
// document (results after typing dropped, gutter marks, status count, going
// to a problem, choices kept), Tidy Up Page with its Apply and Cancel, and
// Check Site with its report.
#include "FrameTest.h"

#include "app/TMegaRegistry.h"
#include "editor/LineNumberGutter.h"
#include "editor/TOvcTextFileEditor.h"
#include "tools/ProblemsPanel.h"
#include "tools/TfCheckSite.h"
#include "tools/TfTidyUp.h"
#include "tools/ToolsModule.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest>

namespace {
QString write(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

QStringList lines(const QList<PageChecks::Problem>& problems)
{
    QStringList out;
    for (const PageChecks::Problem& p : problems)
        out << PageChecks::checkKey(p.check) + u' ' + QString::number(p.line);
    return out;
}
} // namespace

class tst_ChecksWindows : public QObject {
    Q_OBJECT
    std::unique_ptr<ScriptedPrompter> m_prompter;
    std::unique_ptr<TmdiMain> m_main;

    TfHTML* open(const QString& path)
    {
        m_main->OpenDocumentFile(path);
        return m_main->activeDocument();
    }

private slots:
    void init() { QVERIFY(FrameTest::start(m_prompter, m_main)); }
    void cleanup()
    {
        TfTidyUp::setDecider({});
        FrameTest::stop(m_main);
        m_prompter.reset();  // the next test's prompter takes over
    }

    void problemsPanel()
    {
        const QString dir = TestEnv::workDir() + QStringLiteral("/panel");
        write(dir + "/pic.png", "png");
        const QString page = write(dir + "/page.html",
                                   "<!DOCTYPE html>\n<html><head><title>T</title></head><body>\n"
                                   "<img src=\"pic.png\">\n<a href=\"gone.html\">x</a>\n</body></html>\n");
        TfHTML* doc = open(page);
        QVERIFY(doc);
        m_main->run(QStringLiteral("ProblemsPanel1Click"));
        ProblemsPanel* panel = ProblemsPanel::findIn(m_main.get());
        QVERIFY(panel && panel->isVisible());
        QVERIFY(m_main->actions(QStringLiteral("ProblemsPanel1Click")).first()->isChecked());
        QSignalSpy checked(panel, &ProblemsPanel::checked);
        QVERIFY(checked.wait(5000));
        QCOMPARE(panel->document(), doc);
        QCOMPARE(lines(panel->shown()), QStringList({"Image Alt 3", "Missing Files 4"}));
        auto* status = m_main->statusBar()->findChild<QLabel*>(QStringLiteral("pnlProblems"));
        QVERIFY(status && status->isVisible());
        QCOMPARE(status->text(), QStringLiteral("1 error, 1 warning"));
        TOvcTextFileEditor* ed = doc->txtHTML;
        QCOMPARE(int(ed->lineMarks().size()), 2);
        QCOMPARE(ed->lineMarks()[1].line, 3);
        QCOMPARE(ed->lineMarks()[1].severity, 0);
        bool tipShown = false;
        for (const auto& [line, y] : ed->visibleLineTops())
            if (line == 3) {
                const int top = ed->viewport()->y() - ed->contentsRect().y();
                const QString tip = ed->gutter()->markTipAt(QPoint(2, y + top + 1));
                QCOMPARE(tip, QStringLiteral("Error: Link to a missing file: \"gone.html\""));
                tipShown = true;
            }
        QVERIFY(tipShown);

        // Enter on a row goes to its problem and selects its text.
        ed->MoveCaret(1, 1);
        panel->list()->setCurrentIndex(panel->list()->model()->index(1, 0));
        QTest::keyClick(panel->list(), Qt::Key_Return);
        QCOMPARE(ed->selectedText(), QStringLiteral("gone.html"));
        panel->goToRow(0);  // Tidy-style positions select the tag
        QCOMPARE(ed->selectedText(), QStringLiteral("<img src=\"pic.png\">"));

        // A result computed before more typing is dropped; the typed text gets its own.
        panel->checkNow();
        ed->MoveCaret(3, 1);
        ed->InsertAtCaret(QStringLiteral("<p>"));
        const int before = int(checked.count());
        QTRY_VERIFY_WITH_TIMEOUT(!panel->isChecking(), 5000);
        QCOMPARE(int(checked.count()), before);
        QVERIFY(checked.wait(5000));
        QCOMPARE(lines(panel->shown()), QStringList({"Image Alt 3", "Missing Files 4"}));

        // A check turned off in the panel's menu stays off in the settings file.
        QAction* alt = nullptr;
        for (QAction* a : panel->checksMenu()->actions())
            if (a->text() == PageChecks::checkName(PageChecks::ImageAlt))
                alt = a;
        QVERIFY(alt && alt->isChecked());
        alt->trigger();
        QVERIFY(checked.wait(5000));
        QCOMPARE(lines(panel->shown()), QStringList({"Missing Files 4"}));
        QCOMPARE(m_main->settings().ReadBool(QStringLiteral("Page Checks"), QStringLiteral("Image Alt"), true), false);
        QVERIFY(!ProblemsPanel::choicesFrom(m_main->settings()).runs(PageChecks::ImageAlt));

        // Hiding a kind of message, and showing the hidden ones again.
        panel->hideKindOf(0);
        QVERIFY(panel->shown().isEmpty());
        QCOMPARE(m_main->settings().ReadString(QStringLiteral("Page Checks"), QStringLiteral("Hidden Messages"), {}),
                 QStringLiteral("Missing Files"));
        QAction* again = nullptr;
        for (QAction* a : panel->checksMenu()->actions())
            if (a->text().startsWith(QStringLiteral("Show &Hidden Messages")))
                again = a;
        QVERIFY(again && again->isEnabled());
        again->trigger();
        QCOMPARE(lines(panel->shown()), QStringList({"Missing Files 4"}));
        QVERIFY(ProblemsPanel::choicesFrom(m_main->settings()).hiddenKinds.isEmpty());

        // An untitled document: the panel follows it, its file links are not judged.
        m_main->run(QStringLiteral("FileNew"));
        TfHTML* untitled = m_main->activeDocument();
        QVERIFY(untitled != doc);
        untitled->txtHTML->InsertAtCaret(QStringLiteral("<a href=\"gone.html\">x</a><div>"));
        QTRY_COMPARE_WITH_TIMEOUT(panel->document(), untitled, 3000);
        QTRY_VERIFY_WITH_TIMEOUT(lines(panel->shown()).contains(QStringLiteral("Open Elements 1")), 5000);
        QVERIFY(!lines(panel->shown()).contains(QStringLiteral("Missing Files 1")));

        // Hiding the panel takes its marks away.
        m_main->run(QStringLiteral("ProblemsPanel1Click"));
        QVERIFY(!panel->isVisible());
        QVERIFY(untitled->txtHTML->lineMarks().empty());
        QVERIFY(!status->isVisible());
    }

    void tidyUp_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tagCase");
        QTest::addColumn<bool>("selectLine2");
        QTest::addColumn<bool>("apply");
        QTest::addColumn<QString>("expected");
        QTest::newRow("selection, capitals") << "keep <b>\n<p>a<b>b</p>\nkeep </i>" << "U" << true << true
                                             << "keep <b>\n<P>a<B>b</B></P>\nkeep </i>";
        QTest::newRow("selection, small letters") << "x\n<P>a<B>b</P>\ny" << "L" << true << true
                                                  << "x\n<p>a<b>b</b></p>\ny";
        QTest::newRow("cancelled") << "x\n<p>a<b>b</p>\ny" << "L" << true << false << "x\n<p>a<b>b</p>\ny";
    }

    void tidyUp()
    {
        QFETCH(QString, text);
        QFETCH(QString, tagCase);
        QFETCH(bool, selectLine2);
        QFETCH(bool, apply);
        QFETCH(QString, expected);
        m_main->settings().WriteString(QStringLiteral("Tags"), QStringLiteral("Case"), tagCase);
        m_main->run(QStringLiteral("FileNew"));
        TOvcTextFileEditor* ed = m_main->activeDocument()->txtHTML;
        ed->InsertAtCaret(text);
        if (selectLine2)
            ed->SelectRange(2, 1, 2, ed->LineLength(2) + 1, true);
        int shownChanges = -1;
        TfTidyUp::setDecider([&](TfTidyUp& d) {
            shownChanges = d.changedLines();
            return apply;
        });
        m_main->run(QStringLiteral("TidyUpPage1Click"));
        QVERIFY(shownChanges > 0);
        QCOMPARE(ed->RawText(), expected);
        if (apply) {
            ed->UndoStep();  // one step
            QCOMPARE(ed->RawText(), text);
        }
        QVERIFY(QFile::exists(TestEnv::settingsDir() + QStringLiteral("/tidy.cfg")));
    }

    void tidyUpWholePage()
    {
        m_main->settings().WriteString(QStringLiteral("Tags"), QStringLiteral("Case"), QStringLiteral("L"));
        m_main->run(QStringLiteral("FileNew"));
        TOvcTextFileEditor* ed = m_main->activeDocument()->txtHTML;
        ed->InsertAtCaret(QStringLiteral("<title>t</title><p>a<b>b"));
        TfTidyUp::setDecider([](TfTidyUp&) { return true; });
        m_main->run(QStringLiteral("TidyUpPage1Click"));
        const QString tidied = ed->RawText();
        QVERIFY(tidied.startsWith(QStringLiteral("<!DOCTYPE html>\n")));
        QVERIFY(tidied.contains(QStringLiteral("<b>b</b></p>")));
        QVERIFY(!tidied.endsWith(u'\n'));  // the page's own ending kept
        // Tidy's output again: nothing to change, nothing asked.
        int asked = 0;
        TfTidyUp::setDecider([&](TfTidyUp&) { return ++asked, true; });
        m_main->run(QStringLiteral("TidyUpPage1Click"));
        QCOMPARE(asked, 0);
        QCOMPARE(ed->RawText(), tidied);
    }

    void checkSite()
    {
        const QString site = TestEnv::workDir() + QStringLiteral("/site");
        write(site + "/index.html", "<!DOCTYPE html><html><head><title>H</title></head><body>\n"
                                    "<a href=\"a%252b.html#part\">a</a>\n<a href=\"a%252b.html#none\">b</a>\n</body></html>");
        write(site + "/a%2b.html", "<!DOCTYPE html><html><head><title>A</title></head><body>\n"
                                   "<h1 id=\"part\">A</h1><a href=\"missing.html\">m</a>\n</body></html>");
        ToolsModule& tools = m_main->module<ToolsModule>();
        m_main->run(QStringLiteral("CheckSite1Click"));
        TfCheckSite* w = tools.checkSite();
        QVERIFY(w->isVisible());
        QSignalSpy finished(w, &TfCheckSite::finished);
        w->checkFolder(site);
        QVERIFY(finished.wait(10000));
        QVERIFY(!w->isRunning());
        QCOMPARE(w->result().files.size(), 2);
        QCOMPARE(lines(w->result().files[0].problems), QStringList({"Missing Files 2"}));
        QCOMPARE(lines(w->result().files[1].problems), QStringList({"Missing Fragments 3"}));
        QCOMPARE(w->lstResults->topLevelItemCount(), 2);
        // A "%2" in a file name stays as it is.
        QCOMPARE(w->lstResults->topLevelItem(0)->text(0), QStringLiteral("a%2b.html (1 errors, 0 warnings, 0 notes)"));

        // A row opens its file at the line.
        QTreeWidgetItem* row = w->lstResults->topLevelItem(1)->child(0);
        w->openItem(row);
        TfHTML* doc = m_main->activeDocument();
        QVERIFY(doc && doc->caption().endsWith(QStringLiteral("index.html")));
        int l1, c1, l2, c2;
        QVERIFY(doc->txtHTML->SelectionRange(l1, c1, l2, c2));
        QCOMPARE(l1, 3);
        QCOMPARE(doc->txtHTML->selectedText(), QStringLiteral("a%252b.html#none"));

        // Reports: written, or a message box naming the file and the reason.
        const QString csv = TestEnv::workDir() + QStringLiteral("/report.csv");
        QVERIFY(w->saveReport(csv));
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().startsWith("File,Line,Column,Severity,Check,Message\r\n"));
        const QString bad = TestEnv::workDir() + QStringLiteral("/no/such/folder/report.html");
        QVERIFY(!w->saveReport(bad));
        QVERIFY(m_prompter->messages.last().contains(QStringLiteral("report.html")));
        // Nothing was written to the site.
        QCOMPARE(QDir(site).entryList(QDir::Files).size(), 2);

        // Cancel: the check ends early and says so.
        for (int i = 0; i < 300; ++i)
            write(site + QStringLiteral("/more/p%1.html").arg(i), QByteArray("<p>x</p>\n").repeated(200));
        w->checkFolder(site);
        w->cancel();
        QVERIFY(finished.wait(10000));
        QVERIFY(w->result().cancelled);
        QVERIFY(w->lblSummary->text().contains(QStringLiteral("cancelled")));
    }
};

int main(int argc, char** argv)
{
    TestEnv::init();
    QApplication app(argc, argv);
    tst_ChecksWindows t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_ChecksWindows.moc"
