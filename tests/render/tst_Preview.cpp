// The web preview: what a clicked link does (a table of links), the preview
// file (private; the document keeps its own file), the document's modified
// flag, the caption, history buttons, find, and the page following the text
// as it is typed.
#include "ScriptedPrompter.h"
#include "TestEnv.h"

#include "app/FileGuard.h"
#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "render/RenderModule.h"
#include "editor/TOvcTextFileEditor.h"
#include "render/PreviewLinks.h"
#include "render/THTMLViewer.h"
#include "render/TfPreview.h"
#include "render/TextPrinter.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <sys/stat.h>

using PreviewLinks::Action;
Q_DECLARE_METATYPE(PreviewLinks::Action)

namespace {
QString work(const QString& name) { return TestEnv::workDir() + QLatin1Char('/') + name; }

QString page(const QString& title, const QString& body = QString())
{
    return QStringLiteral("<html><head><title>") + title + QStringLiteral("</title></head><body>") + body
        + QStringLiteral("</body></html>");
}

bool waitLoaded(TfPreview& p, const QString& caption)
{
    const bool ok = QTest::qWaitFor([&] { return !p.viewer()->IsLoading() && p.windowTitle() == caption; }, 20000);
    if (!ok)
        qWarning() << "caption" << p.windowTitle() << "loading" << p.viewer()->IsLoading() << "file"
                   << p.viewer()->CurrentFile() << "title" << p.viewer()->DocumentTitle() << p.viewer()->History();
    return ok;
}
}

class tst_Preview : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::writeAll(TestEnv::programDir() + "/standard.tpl", QByteArray()); }

    void linkRules_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("name");        // as handed to the expansion
        QTest::addColumn<QString>("parameters");
        QTest::newRow("web address") << "http://www.example.com/a.wav" << Action::Remote << "" << "";
        QTest::newRow("mail link") << "MailTo:me@example.com" << Action::Remote << "" << "";
        QTest::newRow("relative page") << "other.htm" << Action::Follow << "other.htm" << "";
        QTest::newRow("sound, any case") << "music/Tune.Wav" << Action::PlaySound << "music/Tune.Wav" << "";
        QTest::newRow("drive letter") << "c:\\tools\\run.exe" << Action::StartProgram << "c:\\tools\\run.exe" << "";
        QTest::newRow("colon first") << ":odd.wav" << Action::PlaySound << ":odd.wav" << "";
        QTest::newRow("file scheme") << "FILE:///tmp/x.exe" << Action::StartProgram << "FILE:///tmp/x.exe" << "";
        QTest::newRow("program with parameter") << "run.exe -a b" << Action::StartProgram << "run.exe" << " -a b";
        QTest::newRow("first 80 characters only")
            << QString(76, QLatin1Char('a')) + ".exe param" << Action::StartProgram
            << QString(76, QLatin1Char('a')) + ".exe" << "";
    }
    void linkRules()
    {
        QFETCH(QString, link);
        QFETCH(Action, action);
        QFETCH(QString, name);
        QFETCH(QString, parameters);
        QString expanded;
        const auto d = PreviewLinks::decide(link, [&](const QString& n) { expanded = n; return n; });
        QCOMPARE(d.action, action);
        QCOMPARE(expanded, name);
        QCOMPARE(d.parameters, parameters);
    }

    void noDocument()
    {
        ScriptedPrompter prompter;
        TmdiMain main;
        main.action(QStringLiteral("PrintPreview1Click"))->trigger();
        QCOMPARE(prompter.messages, QStringList{QStringLiteral("No current document.")});
        QVERIFY(!main.module<RenderModule>().preview()->isVisible());
        QVERIFY(!main.module<RenderModule>().preview()->hasViewer());
    }

    // The preview's about box stands over the preview, not the frame.
    void aboutBelongsToPreview()
    {
        ScriptedPrompter prompter;
        TmdiMain main;
        main.show();
        TfPreview& p = *main.module<RenderModule>().preview();
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        QWidget* owner = nullptr;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                owner = box->parentWidget();
                box->close();
            }
        });
        poll.start(20);
        p.About1->trigger();
        poll.stop();
        QCOMPARE(owner, static_cast<QWidget*>(&p));
        p.close();
    }

    // The preview file beside the document (no backup of it on the second
    // preview), the modified flag either way, the caption, Reload disabled.
    void previewFileAndFlag_data()
    {
        QTest::addColumn<bool>("modified");
        QTest::newRow("modified stays modified") << true;
        QTest::newRow("unmodified stays unmodified") << false;
    }
    void previewFileAndFlag()
    {
        QFETCH(bool, modified);
        ScriptedPrompter prompter;
        TmdiMain main;
        TestEnv::writeAll(work("doc.htm"), page("Saved").toUtf8());
        QFile::remove(work("temp.vlq"));
        QFile::remove(work("temp.BAK"));
        main.OpenDocumentFile(work("doc.htm"));
        TfHTML* doc = main.activeDocument();
        doc->txtHTML->SetMakeBackup(true);
        doc->txtHTML->SetRawText(page("First"));
        doc->txtHTML->SetModified(modified);
        main.run(QStringLiteral("PrintPreview1Click"));
        TfPreview& p = *main.module<RenderModule>().preview();
        QVERIFY(p.isVisible());
        QVERIFY(waitLoaded(p, QStringLiteral("Velquist Preview : First")));
        QCOMPARE(doc->txtHTML->Modified(), modified);
        QCOMPARE(TestEnv::readAll(work("temp.vlq")), page("First").toUtf8());
        QCOMPARE(TestEnv::readAll(work("doc.htm")), page("Saved").toUtf8());
        QVERIFY(!p.btnReload->isEnabled());
        p.LiveUpdate1->setChecked(false);
        doc->txtHTML->SetRawText(page("Second"));
        doc->txtHTML->SetModified(modified);
        main.run(QStringLiteral("PrintPreview1Click"));
        QVERIFY(waitLoaded(p, QStringLiteral("Velquist Preview : Second")));
        QVERIFY(!QFileInfo::exists(work("temp.BAK")));  // a scratch file has no backup
        QCOMPARE(doc->txtHTML->Modified(), modified);
        QCOMPARE(main.statusText(), QStringLiteral("   Ready ..."));
    }

    // The preview file is the program's own: the document keeps its file
    // (another program's change is still noticed after F9), a link planted
    // at the name is refused and its target left alone, the file takes the
    // document's permission bits and goes when the window closes.
    void previewFileIsPrivate_data()
    {
        QTest::addColumn<int>("docMode");
        QTest::addColumn<bool>("plantLink");
        QTest::newRow("0600 document") << 0600 << false;
        QTest::newRow("0644 document") << 0644 << false;
        QTest::newRow("link planted at temp.vlq") << 0644 << true;
    }
    void previewFileIsPrivate()
    {
        QFETCH(int, docMode);
        QFETCH(bool, plantLink);
        ScriptedPrompter prompter;
        TmdiMain main;
        QDir(work("private")).removeRecursively();
        QDir().mkpath(work("private"));
        const QString docFile = work("private/doc.htm"), preview = work("private/temp.vlq");
        TestEnv::writeAll(docFile, page("Saved").toUtf8());
        QFile::setPermissions(docFile, QFileDevice::Permissions());
        QVERIFY(::chmod(QFile::encodeName(docFile).constData(), mode_t(docMode)) == 0);
        TestEnv::writeAll(work("victim.txt"), "mine");
        if (plantLink)
            QVERIFY(QFile::link(work("victim.txt"), preview));
        main.OpenDocumentFile(docFile);
        TfHTML* doc = main.activeDocument();
        doc->txtHTML->SetRawText(page("Edited"));
        main.run(QStringLiteral("PrintPreview1Click"));
        TfPreview& p = *main.module<RenderModule>().preview();
        QCOMPARE(TestEnv::readAll(work("victim.txt")), QByteArray("mine"));
        if (plantLink) {
            QCOMPARE(prompter.messages.size(), 1);
            QVERIFY(prompter.messages.first().contains(QStringLiteral("symbolic link")));
            QVERIFY(!p.isVisible());
            QVERIFY(QFileInfo(preview).isSymLink());
        } else {
            QVERIFY(waitLoaded(p, QStringLiteral("Velquist Preview : Edited")));
            struct ::stat st;
            QVERIFY(::lstat(QFile::encodeName(preview).constData(), &st) == 0);
            QCOMPARE(int(st.st_mode & 0777), docMode);
        }
        QCOMPARE(doc->txtHTML->fileName(), docFile);
        // Another program's change is noticed, and a save asks before overwriting it.
        prompter.messages.clear();
        TestEnv::writeAll(docFile, page("Changed by another program").toUtf8());
        prompter.answers.enqueue(UiPrompter::Yes);
        main.fileGuard()->checkAll();
        QCOMPARE(prompter.messages.size(), 1);
        QVERIFY(prompter.messages.first().contains(QStringLiteral("changed by another program")));
        TestEnv::writeAll(docFile, page("Changed again, longer than before").toUtf8());
        prompter.answers.enqueue(UiPrompter::Cancel);
        QVERIFY(!doc->saveTo(docFile));
        QCOMPARE(prompter.messages.size(), 2);
        QCOMPARE(TestEnv::readAll(docFile), page("Changed again, longer than before").toUtf8());
        p.close();
        QCOMPARE(QFileInfo(preview).isSymLink(), plantLink);
        QCOMPARE(QFileInfo::exists(preview), plantLink);
    }

    void untitledGoesToDataFolder()
    {
        ScriptedPrompter prompter;
        TmdiMain main;
        main.FileNew();
        main.activeDocument()->txtHTML->SetRawText(page("Untitled"));
        main.run(QStringLiteral("PrintPreview1Click"));
        QCOMPARE(TestEnv::readAll(TestEnv::programDir() + "/temp.vlq"), page("Untitled").toUtf8());
        QVERIFY(waitLoaded(*main.module<RenderModule>().preview(), QStringLiteral("Velquist Preview : Untitled")));
    }

    // A folder that cannot take the preview file: a message naming it, no window.
    void unwritablePreviewFile()
    {
        ScriptedPrompter prompter;
        TmdiMain main;
        QDir().mkpath(work("gone"));
        TestEnv::writeAll(work("gone/doc.htm"), page("Gone").toUtf8());
        main.OpenDocumentFile(work("gone/doc.htm"));
        main.activeDocument()->txtHTML->SetModified(true);
        QDir(work("gone")).removeRecursively();
        main.run(QStringLiteral("PrintPreview1Click"));
        QCOMPARE(prompter.messages.size(), 1);
        QVERIFY(prompter.messages.first().contains(work("gone/temp.vlq")));
        QVERIFY(!main.module<RenderModule>().preview()->isVisible());
        QVERIFY(main.activeDocument()->txtHTML->Modified());
    }

    // A program link starts nothing without the user's yes; the box names it.
    void programLinkAsks()
    {
        ScriptedPrompter prompter;
        prompter.answers.enqueue(UiPrompter::No);
        TmdiMain main;
        TfPreview& p = *main.module<RenderModule>().preview();
        QVERIFY(p.HotSpotClick(QStringLiteral("/no/such/run.exe -x")));
        QCOMPARE(prompter.messages.size(), 1);
        QVERIFY(prompter.messages.first().contains(QStringLiteral("/no/such/run.exe -x")));
        QCOMPARE(p.edtLink->text(), QStringLiteral("/no/such/run.exe -x"));
        QVERIFY(!p.HotSpotClick(QStringLiteral("http://www.example.com/run.exe")));
        QCOMPARE(prompter.messages.size(), 1);
    }

    // A followed link shows the new page's title alone.
    void followedLinkCaption()
    {
        ScriptedPrompter prompter;
        TmdiMain main;
        TestEnv::writeAll(work("from.htm"), page("From", "<a href=\"to.htm\">to</a>").toUtf8());
        TestEnv::writeAll(work("to.htm"), page("To").toUtf8());
        main.OpenDocumentFile(work("from.htm"));
        main.run(QStringLiteral("PrintPreview1Click"));
        TfPreview& p = *main.module<RenderModule>().preview();
        QVERIFY(waitLoaded(p, QStringLiteral("Velquist Preview : From")));
        QVERIFY(!p.HotSpotClick(QStringLiteral("to.htm")));  // left to the control, which follows it
        p.viewer()->LoadFromFile(work("to.htm"));
        QVERIFY(waitLoaded(p, QStringLiteral("To")));
        main.activeDocument()->approveClose();
    }

    // Three pages through "&Open": Back, Forward and the History menu follow.
    void historyButtons()
    {
        ScriptedPrompter prompter;
        TmdiMain main;
        TfPreview& p = *main.module<RenderModule>().preview();
        p.show();
        QVERIFY(p.History1->menuAction()->isVisible() == false);
        for (const char* t : {"One", "Two", "Three"}) {
            TestEnv::writeAll(work(QString::fromLatin1(t) + ".htm"), page(QString::fromLatin1(t)).toUtf8());
            prompter.openAnswers.enqueue({work(QString::fromLatin1(t) + ".htm")});
            p.Open1->trigger();
            QVERIFY(waitLoaded(p, QString::fromLatin1(t)));
        }
        QVERIFY(p.btnReload->isEnabled());
        QVERIFY(p.btnBack->isEnabled());
        QVERIFY(!p.btnForward->isEnabled());
        QVERIFY(p.History1->menuAction()->isVisible());
        QVERIFY(p.HistoryItems[2]->isVisible() && !p.HistoryItems[3]->isVisible());
        QVERIFY(p.HistoryItems[0]->isChecked());
        p.btnBack->click();
        p.btnBack->click();
        QVERIFY(waitLoaded(p, QStringLiteral("One")));
        QVERIFY(!p.btnBack->isEnabled());
        QVERIFY(p.btnForward->isEnabled());
        QVERIFY(p.HistoryItems[2]->isChecked());
        p.HistoryItems[1]->trigger();
        QVERIFY(waitLoaded(p, QStringLiteral("Two")));
        QVERIFY(p.btnBack->isEnabled() && p.btnForward->isEnabled());
        p.doFind(QStringLiteral("nowhere on the page"), false);
        QTRY_COMPARE(prompter.messages, QStringList{QStringLiteral("Unable to find \"nowhere on the page\"")});
    }

    // Typing changes the page after a pause, with the flag kept.
    void liveUpdate()
    {
        ScriptedPrompter prompter;
        TmdiMain main;
        TestEnv::writeAll(work("live.htm"), page("Live").toUtf8());
        main.OpenDocumentFile(work("live.htm"));
        TfHTML* doc = main.activeDocument();
        main.run(QStringLiteral("PrintPreview1Click"));
        TfPreview& p = *main.module<RenderModule>().preview();
        QVERIFY(waitLoaded(p, QStringLiteral("Velquist Preview : Live")));
        doc->txtHTML->MoveCaret(1, 24);
        doc->txtHTML->InsertAtCaret(QStringLiteral(" typed"));
        QVERIFY(p.liveTimer()->isActive());
        QTRY_COMPARE_WITH_TIMEOUT(p.viewer()->DocumentTitle(), QStringLiteral("Live typed"), 20000);
        QVERIFY(doc->txtHTML->Modified());
        QCOMPARE(TestEnv::readAll(work("live.htm")), page("Live").toUtf8());
        p.LiveUpdate1->trigger();
        doc->txtHTML->InsertAtCaret(QStringLiteral(" more"));
        QVERIFY(!p.liveTimer()->isActive());
    }

    // A UTF-8 page that declares no encoding shows its characters; after Save
    // As to another folder the live preview follows the document there; a
    // pause with nothing new writes nothing.
    void previewFollowsDocument()
    {
        ScriptedPrompter prompter;
        TmdiMain main;
        QDir().mkpath(work("moved"));
        TestEnv::writeAll(work("enc.htm"), page(QStringLiteral("Caf\u00E9")).toUtf8());
        main.OpenDocumentFile(work("enc.htm"));
        TfHTML* doc = main.activeDocument();
        main.run(QStringLiteral("PrintPreview1Click"));
        TfPreview& p = *main.module<RenderModule>().preview();
        QVERIFY(waitLoaded(p, QStringLiteral("Velquist Preview : Caf\u00E9")));
        p.LiveUpdate1->setChecked(true);
        QVERIFY(doc->saveTo(work("moved/enc.htm")));
        doc->setCaption(work("moved/enc.htm"));
        doc->txtHTML->MoveCaret(1, 24);
        doc->txtHTML->InsertAtCaret(QStringLiteral(" au lait"));
        QTRY_COMPARE_WITH_TIMEOUT(p.viewer()->DocumentTitle(), QStringLiteral("Caf\u00E9 au lait"), 20000);
        // The title shows while the page loads; the page is current once loaded.
        QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(p.viewer()->CurrentFile()).absolutePath(),
                                  QFileInfo(work("moved/enc.htm")).absolutePath(), 20000);
        QVERIFY(QFileInfo::exists(work("moved/temp.vlq")));
        // A pause without a change leaves the file alone.
        const QDateTime written = QFileInfo(work("moved/temp.vlq")).lastModified();
        QTest::qWait(20);
        p.liveTimer()->start();
        QTest::qWait(800);
        QCOMPARE(QFileInfo(work("moved/temp.vlq")).lastModified(), written);
    }

    // "&Print..." prints the page as the engine lays it out, its text kept:
    // every page, or the range asked for.
    void printPage()
    {
        ScriptedPrompter prompter;
        TmdiMain main;
        main.FileNew();
        QString body;
        for (int i = 1; i <= 150; ++i)
            body += QStringLiteral("<p>paragraph %1</p>").arg(i);
        main.activeDocument()->txtHTML->SetRawText(page("Printed", body));
        main.run(QStringLiteral("PrintPreview1Click"));
        TfPreview& p = *main.module<RenderModule>().preview();
        QVERIFY(waitLoaded(p, QStringLiteral("Velquist Preview : Printed")));
        auto run = [](const QString& program, const QStringList& args) {
            QProcess proc;
            proc.start(program, args);
            proc.waitForFinished();
            return QString::fromUtf8(proc.readAllStandardOutput());
        };
        for (int from : {0, 2}) {
            const QString pdf = work(QStringLiteral("page%1.pdf").arg(from));
            QFile::remove(pdf);
            TextPrinter::setDialogForTests([&](QWidget*, QPrinter& printer, bool, bool&) {
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(pdf);
                printer.setPrintRange(from ? QPrinter::PageRange : QPrinter::AllPages);
                printer.setFromTo(from, from);
                return true;
            });
            p.Print1->trigger();
            TextPrinter::setDialogForTests(nullptr);
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(pdf).size() > 0, 20000);
            const QString text = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
            const int pages = run(QStringLiteral("pdfinfo"), {pdf}).section(QLatin1String("Pages:"), 1).section(
                QLatin1Char('\n'), 0, 0).trimmed().toInt();
            QCOMPARE(text.contains(QLatin1String("paragraph 1\n")), from == 0);
            QVERIFY(text.contains(QLatin1String("paragraph ")));
            QVERIFY(from ? pages == 1 : pages >= 2);
        }
        QVERIFY(prompter.messages.isEmpty());
    }
};

VQ_TEST_MAIN(tst_Preview)
#include "tst_Preview.moc"
