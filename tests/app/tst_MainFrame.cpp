// The main frame driven offscreen: file commands, the close prompt, recent
// files, tabs, find and replace, status line and error handling.
#include "app/AppSettings.h"
#include "app/FindDialogs.h"
#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "docking/TDocPanel.h"
#include "editor/TOvcTextFileEditor.h"
#include "ScriptedPrompter.h"
#include "TestEnv.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMdiSubWindow>
#include <QTabBar>
#include <QToolBar>
#include <QtTest>
#include <memory>

namespace {

QString work(const QString& name)
{
    return TestEnv::workDir() + QLatin1Char('/') + name;
}

QStringList tabTexts(TmdiMain& m)
{
    QStringList out;
    for (int i = 0; i < m.tabSet()->count(); ++i)
        out << m.tabSet()->tabData(i).toString();
    return out;
}

} // namespace

class tst_MainFrame : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<ScriptedPrompter> prompter;
    std::unique_ptr<TmdiMain> main;

    // A fresh frame over the given settings file contents, shown (start-up runs).
    TmdiMain& start(const QByteArray& ini = "[System]\nOpen Template=0\n",
                    const QStringList& args = {})
    {
        main.reset();
        TestEnv::clearSettings();
        TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI", ini);
        TestEnv::writeAll(TestEnv::programDir() + "/standard.tpl", QByteArray("\r\n"));
        prompter = std::make_unique<ScriptedPrompter>();
        main = std::make_unique<TmdiMain>();
        main->setCommandLine(args);
        TestEnv::showFrame(*main);
        return *main;
    }

    QString makeFile(const QString& name, const QByteArray& bytes)
    {
        const QString p = work(name);
        QFile::remove(p);
        QFile::remove(p.left(p.lastIndexOf('.')) + ".BAK");
        TestEnv::writeAll(p, bytes);
        return p;
    }

private slots:
    void initTestCase() { QDir::setCurrent(TestEnv::workDir()); }
    void cleanup()
    {
        if (main)
            for (TfHTML* d : main->documents())
                d->approveClose();
        main.reset();
        prompter.reset();
    }

    void untitledNumbersNeverGoBack()
    {
        TmdiMain& m = start();
        m.FileNew();
        m.FileNew();
        QCOMPARE(m.activeDocument()->caption(), QString("New HTML Document 2"));
        m.CloseAll1Click();
        QCOMPARE(m.documents().size(), 0);
        m.FileNew();
        QCOMPARE(m.activeDocument()->caption(), QString("New HTML Document 3"));
        QCOMPARE(tabTexts(m), QStringList{"New HTML Document 3"});
        QCOMPARE(m.windowTitle(), QString("Velquist Pro HTML Editor - [New HTML Document 3]"));
    }

    void newDocumentTemplate()
    {
        TmdiMain& m = start();
        QFile::remove(TestEnv::programDir() + "/standard.tpl");
        m.FileNew();
        QCOMPARE(prompter->messages, QStringList{
            "Velquist was unable to find the default template (standard.tpl)  in the Velquist Directory.  "
            "You will need to create a new version."});
        QCOMPARE(m.activeDocument()->txtHTML->RawText(), QString());
        QVERIFY(TestEnv::installDataFile("standard.tpl"));
        m.FileNew();
        QCOMPARE(prompter->messages.size(), 1);
        const QByteArray tpl = TestEnv::readAll(TestEnv::programDir() + "/standard.tpl");
        QVERIFY(tpl.contains("<html"));
        QCOMPARE(m.activeDocument()->txtHTML->RawText() + "\n", QString::fromUtf8(tpl));
        QVERIFY(!m.activeDocument()->txtHTML->Modified());
        QCOMPARE(m.statusText(), QString("   Ready ..."));
    }

    // A template that cannot be read: a message naming it, no window, no number taken.
    void unreadableTemplateLeavesNoWindow()
    {
        TmdiMain& m = start();
        const QString tpl = TestEnv::programDir() + "/standard.tpl";
        {
            QFile f(tpl);  // sparse: beyond what the editor opens
            QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(TOvcTextFileEditor::MaxFileSize + 1));
        }
        QVERIFY(m.run("FileNew"));
        QFile::remove(tpl);
        QCOMPARE(prompter->messages.size(), 1);
        QVERIFY(prompter->messages.first().startsWith("Unable to open " + tpl + ": "));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(m.documents().size(), 0);
        QCOMPARE(tabTexts(m), QStringList());
        m.FileNew();
        QCOMPARE(m.activeDocument()->caption(), QString("New HTML Document 1"));
    }

    void openRefusals_data()
    {
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("message");
        const QString p = work("open.html");
        QTest::newRow("same path") << p << p + " is already open.";
        QTest::newRow("same file, other spelling") << TestEnv::workDir() + "/./open.html"
                                                   << TestEnv::workDir() + "/./open.html is already open.";
        QTest::newRow("other letter case is another file") << work("OPEN.html")
                                                           << "Unable to find " + work("OPEN.html") + ".";
        QTest::newRow("missing") << work("nothing.html") << "Unable to find " + work("nothing.html") + ".";
        QTest::newRow("folder") << TestEnv::workDir() << "Unable to find " + TestEnv::workDir() + ".";
    }

    void openRefusals()
    {
        QFETCH(QString, second);
        QFETCH(QString, message);
        TmdiMain& m = start();
        const QString p = makeFile("open.html", "<p>x</p>\n");
        m.OpenDocumentFile(p);
        QCOMPARE(m.documents().size(), 1);
        QCOMPARE(m.activeDocument()->caption(), p);
        m.OpenDocumentFile(second);
        QCOMPARE(m.documents().size(), 1);
        QCOMPARE(prompter->messages, QStringList{message});
    }

    void openKeepsLetterCaseEverywhere()
    {
        TmdiMain& m = start();
        const QString p = makeFile("Mixed.HTML", "x");
        prompter->openAnswers.enqueue({p});
        m.FileOpen();
        QCOMPARE(m.activeDocument()->caption(), p);
        QCOMPARE(tabTexts(m), QStringList{p});
        QCOMPARE(m.RecentFiles.entry(0), p);
        QCOMPARE(m.mruActions().at(0)->text(), "&1 " + p);
        QVERIFY(m.mruActions().at(0)->isVisible());
        QVERIFY(m.mruSeparator()->isVisible());
        QVERIFY(!m.mruActions().at(1)->isVisible());
        QCOMPARE(m.statusText(), QString("   Ready ..."));
    }

    // "other/link/../x" is "x" beside the link's target folder, as the file
    // system reads it: opening and saving both name that file, never "other/x".
    void pathsResolvedAsTheFileSystemDoes_data()
    {
        QTest::addColumn<bool>("saveAs");
        QTest::newRow("open other/link/../page.htm") << false;
        QTest::newRow("save as other/link/../page.htm") << true;
    }
    void pathsResolvedAsTheFileSystemDoes()
    {
        QFETCH(bool, saveAs);
        TmdiMain& m = start();
        const QString root = work("resolve");
        QDir(root).removeRecursively();
        QVERIFY(QDir().mkpath(root + "/real/sub") && QDir().mkpath(root + "/other"));
        QVERIFY(QFile::link("../real/sub", root + "/other/link"));
        TestEnv::writeAll(root + "/other/page.htm", "unrelated\n");
        const QString given = root + "/other/link/../page.htm", real = root + "/real/page.htm";
        if (saveAs) {
            m.FileNew();
            prompter->saveAnswers.enqueue(given);
            m.FileSaveAs();
        } else {
            TestEnv::writeAll(real, "page\n");
            m.OpenDocumentFile(given);
        }
        QCOMPARE(m.activeDocument()->caption(), real);
        m.activeDocument()->txtHTML->InsertAtCaret("edited ");
        m.FileSave();
        QVERIFY(TestEnv::readAll(real).startsWith("edited "));
        QCOMPARE(TestEnv::readAll(root + "/other/page.htm"), QByteArray("unrelated\n"));
        QCOMPARE(m.RecentFiles.entry(0), real);
    }

    // A copy of the old text left by an interrupted save in place: opening
    // the file says so, naming the file and the copy; a clean file opens silently.
    void interruptedSaveToldOnOpen()
    {
        TmdiMain& m = start();
        const QString clean = makeFile("clean.htm", "ok\n");
        m.OpenDocumentFile(clean);
        QCOMPARE(prompter->messages, QStringList());
        const QString p = makeFile("torn.htm", "half wri");
        TestEnv::writeAll(p + ".vq-old~", "whole old text\n");
        m.OpenDocumentFile(p);
        QCOMPARE(m.documents().size(), 2);
        QCOMPARE(prompter->messages.size(), 1);
        QVERIFY(prompter->messages.first().startsWith(p + "\n"));
        QVERIFY(prompter->messages.first().contains(p + ".vq-old~"));
        QFile::remove(p + ".vq-old~");
    }

    void unreadableOpenLeavesNoWindow()
    {
        TmdiMain& m = start();
        const QString p = makeFile("locked.html", "x");
        QFile::setPermissions(p, QFileDevice::Permissions());
        QFile probe(p);
        const bool rootCanRead = probe.open(QIODevice::ReadOnly);
        probe.close();
        if (rootCanRead) {
            QFile::setPermissions(p, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            QSKIP("running with rights that read any file");
        }
        QAction* open = m.action("FileOpen");
        prompter->openAnswers.enqueue({p});
        open->trigger();
        QCOMPARE(m.documents().size(), 0);
        // A message box names the file and the reason; no internal error.
        QCOMPARE(prompter->messages, QStringList{"Unable to open " + p + ": Permission denied."});
        QCOMPARE(prompter->beeps, 0);
        QFile::setPermissions(p, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void saveTitledKeepsBackupOfPreviousSave()
    {
        TmdiMain& m = start();
        const QString p = makeFile("b.htm", "one\r\n");
        m.OpenDocumentFile(p);
        TOvcTextFileEditor* ed = m.activeDocument()->txtHTML;
        ed->SetRawText("two");
        m.FileSave();
        QVERIFY(prompter->saveCaptions.isEmpty());
        QVERIFY(!ed->Modified());
        QCOMPARE(TestEnv::readAll(p), QByteArray("two\r\n"));
        QCOMPARE(TestEnv::readAll(work("b.BAK")), QByteArray("one\r\n"));
        ed->SetRawText("three");
        m.FileSave();
        QCOMPARE(TestEnv::readAll(p), QByteArray("three\r\n"));
        QCOMPARE(TestEnv::readAll(work("b.BAK")), QByteArray("two\r\n"));
    }

    void backupOffWhenOptionOff()
    {
        TmdiMain& m = start("[System]\nOpen Template=0\nCreate Backup=0\n");
        const QString p = makeFile("nb.htm", "one\n");
        m.OpenDocumentFile(p);
        m.activeDocument()->txtHTML->SetRawText("two");
        m.FileSave();
        QVERIFY(!QFile::exists(work("nb.BAK")));
        QCOMPARE(TestEnv::readAll(p), QByteArray("two\n"));
    }

    void saveUntitled()
    {
        TmdiMain& m = start();
        m.FileNew();
        TfHTML* doc = m.activeDocument();
        doc->txtHTML->SetRawText("<b>new</b>");
        const QString target = work("Saved.Name");
        QFile::remove(target);
        QFile::remove(work("Saved.BAK"));
        prompter->saveAnswers.enqueue(target);
        m.FileSave();
        QCOMPARE(prompter->saveCaptions.size(), 1);
        QCOMPARE(doc->caption(), target);  // used exactly, no extension added
        QCOMPARE(TestEnv::readAll(target), QByteArray("<b>new</b>\r\n"));
        QCOMPARE(tabTexts(m), QStringList{target});
        QCOMPARE(m.RecentFiles.entry(0), target);
        // Saving does not redraw the recent entries.
        QVERIFY(!m.mruActions().at(0)->isVisible());
        // A document that began untitled never makes a backup.
        doc->txtHTML->SetRawText("again");
        m.FileSave();
        QVERIFY(!QFile::exists(work("Saved.BAK")));
    }

    void saveUntitledCancelled()
    {
        TmdiMain& m = start();
        m.FileNew();
        m.activeDocument()->txtHTML->SetRawText("x");
        m.FileSave();
        QCOMPARE(m.activeDocument()->caption(), QString("New HTML Document 1"));
        QVERIFY(m.activeDocument()->txtHTML->Modified());
    }

    void saveAsRenamesAndRefreshesTabs()
    {
        TmdiMain& m = start();
        const QString p = makeFile("first.htm", "a\n");
        m.OpenDocumentFile(p);
        m.FileNew();
        m.showDocument(m.documents().last());
        const QString q = work("second.htm");
        QFile::remove(q);
        prompter->saveAnswers.enqueue(q);
        m.FileSaveAs();
        QCOMPARE(TestEnv::readAll(q), QByteArray("a\n"));
        QCOMPARE(m.activeDocument()->caption(), q);
        QCOMPARE(tabTexts(m), (QStringList{q, "New HTML Document 1"}));
        QCOMPARE(m.statusText(), QString("   Ready ..."));
    }

    // A character the page's encoding cannot hold: saving as UTF-8 changes
    // the declaration the browser would obey (the question says so), as one
    // undo step of its own; a comment or a page without one is left alone.
    void utf8SaveUpdatesDeclaration_data()
    {
        QTest::addColumn<QByteArray>("declaration");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<QString>("named");
        QTest::newRow("meta charset") << QByteArray("<meta charset=\"iso-8859-1\">")
                                      << QByteArray("<meta charset=\"UTF-8\">") << "iso-8859-1";
        QTest::newRow("http-equiv") << QByteArray("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=ISO-8859-1\">")
                                    << QByteArray("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">")
                                    << "ISO-8859-1";
        QTest::newRow("xml") << QByteArray("<?xml version=\"1.0\" encoding='windows-1252'?>")
                             << QByteArray("<?xml version=\"1.0\" encoding='UTF-8'?>") << "windows-1252";
        QTest::newRow("commented one skipped") << QByteArray("<!-- <meta charset=koi8-r> --><meta charset=latin1>")
                                               << QByteArray("<!-- <meta charset=koi8-r> --><meta charset=UTF-8>")
                                               << "latin1";
        QTest::newRow("no declaration") << QByteArray("<title>t</title>") << QByteArray("<title>t</title>") << QString();
    }
    void utf8SaveUpdatesDeclaration()
    {
        QFETCH(QByteArray, declaration);
        QFETCH(QByteArray, saved);
        QFETCH(QString, named);
        TmdiMain& m = start();
        const QString p = makeFile("declared.htm", declaration + "\n<p>Jos\xe9</p>\n");
        m.OpenDocumentFile(p);
        TOvcTextFileEditor* ed = m.activeDocument()->txtHTML;
        const QString before = ed->RawText();
        ed->MoveCaret(2, 1);
        ed->InsertAtCaret(QStringLiteral("\u2192"));
        m.FileSave();
        QCOMPARE(prompter->messages.size(), 1);
        QCOMPARE(prompter->messages.first().contains("declaration of \"" + named + "\" changed to \"UTF-8\""),
                 !named.isEmpty());
        QCOMPARE(TestEnv::readAll(p), saved + "\n\xe2\x86\x92<p>Jos\xc3\xa9</p>\n");
        if (!named.isEmpty()) {
            ed->UndoStep();
            QCOMPARE(ed->RawText(), QString(before).insert(before.indexOf('\n') + 1, QChar(0x2192)));
        }
    }

    void failedSaveKeepsDocument()
    {
        TmdiMain& m = start();
        m.FileNew();
        TfHTML* doc = m.activeDocument();
        doc->txtHTML->SetRawText("keep me");
        const QString target = TestEnv::workDir() + "/no/such/folder/x.htm";
        prompter->saveAnswers.enqueue(target);
        m.action("FileSave")->trigger();
        // A message box names the file and the reason; the internal-error
        // line is for internal errors.
        QCOMPARE(m.statusText(), QString("   Ready ..."));
        QCOMPARE(prompter->messages.size(), 1);
        QVERIFY2(prompter->messages.at(0).startsWith("Unable to save " + target + ": "), qPrintable(prompter->messages.at(0)));
        QCOMPARE(prompter->beeps, 0);
        QCOMPARE(doc->caption(), QString("New HTML Document 1"));
        QVERIFY(doc->txtHTML->Modified());
        QCOMPARE(doc->txtHTML->RawText(), QString("keep me"));
    }

    void closePrompt_data()
    {
        QTest::addColumn<bool>("titled");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("saveAs");  // answer of the save dialog; empty = cancel
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QByteArray>("onDisk");

        QTest::newRow("titled yes") << true << int(UiPrompter::Yes) << QString() << true << QByteArray("edited\n");
        QTest::newRow("titled no") << true << int(UiPrompter::No) << QString() << true << QByteArray("orig\n");
        QTest::newRow("titled cancel") << true << int(UiPrompter::Cancel) << QString() << false << QByteArray("orig\n");
        QTest::newRow("untitled yes, saved") << false << int(UiPrompter::Yes) << work("prompt-saved.htm") << true
                                             << QByteArray("edited\r\n");
        QTest::newRow("untitled yes, cancelled") << false << int(UiPrompter::Yes) << QString() << false << QByteArray();
        QTest::newRow("untitled no") << false << int(UiPrompter::No) << QString() << true << QByteArray();
    }

    void closePrompt()
    {
        QFETCH(bool, titled);
        QFETCH(int, answer);
        QFETCH(QString, saveAs);
        QFETCH(bool, closed);
        QFETCH(QByteArray, onDisk);
        TmdiMain& m = start();
        const QString p = makeFile("prompt.htm", "orig\n");
        QFile::remove(work("prompt-saved.htm"));
        if (titled)
            m.OpenDocumentFile(p);
        else
            m.FileNew();
        TfHTML* doc = m.activeDocument();
        const QString caption = doc->caption();
        doc->txtHTML->SetRawText("edited");
        prompter->answers.enqueue(answer);
        prompter->saveAnswers.enqueue(saveAs);
        m.FileCloseChild();
        QCOMPARE(prompter->messages, QStringList{"Save changes to : " + caption});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(m.documents().size(), closed ? 0 : 1);
        QCOMPARE(tabTexts(m).size(), closed ? 0 : 1);
        if (!closed)
            QVERIFY(m.activeDocument()->txtHTML->Modified());
        const QString file = titled ? p : saveAs;
        if (!file.isEmpty())
            QCOMPARE(TestEnv::readAll(file), onDisk);
        // A document saved from the prompt does not join the recent files.
        if (!titled)
            QCOMPARE(m.RecentFiles.entry(0), QString());
    }

    void closeAllAsksFromTheLeastRecentlyUsed()
    {
        TmdiMain& m = start();
        for (int i = 0; i < 3; ++i) {
            m.FileNew();
            m.activeDocument()->txtHTML->SetRawText("dirty");
        }
        m.showDocument(m.documents().last());  // document 1 active: child order 1, 3, 2
        for (int i = 0; i < 3; ++i)
            prompter->answers.enqueue(UiPrompter::No);
        m.CloseAll1Click();
        QCOMPARE(prompter->messages.size(), 3);
        QVERIFY(prompter->messages.at(0).endsWith("New HTML Document 2"));
        QVERIFY(prompter->messages.at(1).endsWith("New HTML Document 3"));
        QVERIFY(prompter->messages.at(2).endsWith("New HTML Document 1"));
    }

    void cascadeKeepsTheDesignedSize()
    {
        TmdiMain& m = start();
        m.resize(1200, 900);
        m.FileNew();
        m.FileNew();
        for (TfHTML* d : m.documents())
            d->parentWidget()->resize(300, 200);
        m.WindowCascade();
        const QSize room = m.mdiArea()->viewport()->size();
        const QSize designed(qMin(652, room.width()), qMin(492, room.height()));
        for (TfHTML* d : m.documents())
            QCOMPARE(d->parentWidget()->size(), designed);
        QVERIFY(m.documents().at(0)->parentWidget()->pos() != m.documents().at(1)->parentWidget()->pos());
    }

    void closeAllKeepsOnlyTheRefusingWindow()
    {
        TmdiMain& m = start();
        m.FileNew();
        m.FileNew();
        m.FileNew();
        m.documents().at(1)->txtHTML->SetRawText("dirty");  // "New HTML Document 2"
        prompter->answers.enqueue(UiPrompter::Cancel);
        m.CloseAll1Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(m.documents().size(), 1);
        QCOMPARE(m.documents().at(0)->caption(), QString("New HTML Document 2"));
        QCOMPARE(tabTexts(m), QStringList{"New HTML Document 2"});
    }

    void exitWithUnwritableSettingsTellsOnceAndCloses()
    {
        TmdiMain& m = start();
        const QString blocker = work("settings-blocker");
        TestEnv::writeAll(blocker, "a file, not a folder");
        qputenv("VELQUIST_CONFIG_DIR", (blocker + "/config").toLocal8Bit());
        m.FileExit();
        qputenv("VELQUIST_CONFIG_DIR", TestEnv::settingsDir().toLocal8Bit());
        QCOMPARE(prompter->messages.size(), 1);
        QVERIFY2(prompter->messages.at(0).startsWith("Unable to write to " + blocker + "/config/VELQUIST.INI."),
                 qPrintable(prompter->messages.at(0)));
        QVERIFY(!m.isVisible());
    }

    void exitWritesSettingsAndRefusalKeepsRunning()
    {
        TmdiMain& m = start();
        const QString p = makeFile("exit.htm", "x\n");
        m.OpenDocumentFile(p);
        m.activeDocument()->txtHTML->SetRawText("changed");
        m.run(QStringLiteral("FormattingToolbar1Click"));
        prompter->answers.enqueue(UiPrompter::Cancel);
        m.FileExit();
        QVERIFY(m.isVisible());
        QCOMPARE(m.documents().size(), 1);
        TMegaRegistry& ini = m.IniControl;
        QCOMPARE(ini.ReadString("MRU", "0", QString()), p);
        QCOMPARE(ini.ReadString("Application Header", "Version", QString()), QString("Version 32.2.4.2"));
        QCOMPARE(ini.ReadBool("Application Options", "Format ToolBar", true), false);
        QCOMPARE(ini.ReadBool("Application Options", "Edit ToolBar", false), true);
        prompter->answers.enqueue(UiPrompter::No);
        m.FileExit();
        QVERIFY(!m.isVisible());
        QCOMPARE(TestEnv::readAll(p), QByteArray("x\n"));
    }

    // The files open at exit come back at the next start with their carets
    // and the active one; a file gone since is named once in the status line.
    void sessionComesBack()
    {
        TmdiMain& m = start();
        const QString a = makeFile("session-a.htm", "one\ntwo\nthree\n");
        const QString b = makeFile("session-b.htm", "bee\n");
        const QString c = makeFile("session-c.htm", "sea\n");
        for (const QString& f : {a, b, c})
            m.OpenDocumentFile(f);
        m.activeDocument()->txtHTML->MoveCaret(1, 3);  // c
        m.FileNew();                                     // untitled: not kept
        for (TfHTML* d : m.documents())
            if (d->caption() == a)
                m.showDocument(d);
        m.activeDocument()->txtHTML->MoveCaret(3, 2);
        m.FileExit();
        QVERIFY(QFile::remove(b));
        const QByteArray ini = TestEnv::readAll(TestEnv::settingsDir() + "/VELQUIST.INI");
        main.reset();
        TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI", ini);
        prompter = std::make_unique<ScriptedPrompter>();
        main = std::make_unique<TmdiMain>();
        TestEnv::showFrame(*main);
        QStringList open;
        for (TfHTML* d : main->documents())
            open << QFileInfo(d->caption()).fileName();
        open.sort();
        QCOMPARE(open, QStringList({"session-a.htm", "session-c.htm"}));
        QCOMPARE(main->activeDocument()->caption(), a);
        int line = 0, column = 0;
        main->activeDocument()->txtHTML->CaretPosition(line, column);
        QCOMPARE(line, 3);
        QCOMPARE(column, 2);
        QCOMPARE(main->statusText(), "   A file of the last session is gone: " + b);
    }

    void closeByOtherMeansSkipsSettings()
    {
        TmdiMain& m = start();
        m.OpenDocumentFile(makeFile("other.htm", "x"));
        m.close();
        QCOMPARE(m.IniControl.ReadString("MRU", "0", "none"), QString("none"));
    }

    void toolBarsAndTabsRestoredAtNextStart()
    {
        TmdiMain& m = start();
        m.run(QStringLiteral("FileToolbar1Click"));
        m.DocumentTabs1Click();
        QVERIFY(!m.toolBar("SpeedBar")->isVisible());
        QVERIFY(!m.action("FileToolbar1Click")->isChecked());
        m.FileExit();
        const QByteArray ini = TestEnv::readAll(TestEnv::settingsDir() + "/VELQUIST.INI");
        main.reset();
        prompter = std::make_unique<ScriptedPrompter>();
        main = std::make_unique<TmdiMain>();
        TestEnv::showFrame(*main);
        QVERIFY(!main->toolBar("SpeedBar")->isVisible());
        QVERIFY(!main->action("FileToolbar1Click")->isChecked());
        QVERIFY(!main->tabSet()->isVisible());
        QVERIFY(main->toolBar("Tagsbar")->isVisible());
        QVERIFY(ini.contains("Edit ToolBar=0"));
        // The toggle button on the Edit bar and the View entry share the state.
        for (QAction* a : main->actions("TagsToolbar1Click"))
            QVERIFY(a->isChecked());
        main->action("TagsToolbar1Click")->trigger();
        for (QAction* a : main->actions("TagsToolbar1Click"))
            QVERIFY(!a->isChecked());
        QVERIFY(!main->toolBar("Tagsbar")->isVisible());
    }

    void windowGeometryRestored_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<bool>("maximized");
        QTest::newRow("state 1 (minimized at exit) starts maximized")
            << QByteArray("[Application Options]\nMDI State=1\n[System]\nOpen Template=0\n") << true;
        QTest::newRow("absent starts maximized") << QByteArray("[System]\nOpen Template=0\n") << true;
        QTest::newRow("normal with geometry")
            << QByteArray("[Application Options]\nMDI State=0\nMDI Left=20\nMDI Top=30\nMDI Width=700\nMDI Height=500\n"
                          "[System]\nOpen Template=0\n")
            << false;
    }

    void windowGeometryRestored()
    {
        QFETCH(QByteArray, ini);
        QFETCH(bool, maximized);
        TmdiMain& m = start(ini);
        QCOMPARE(bool(m.windowState() & Qt::WindowMaximized), maximized);
        if (!maximized)
            QCOMPARE(m.size(), QSize(700, 500));
    }

    void startUpWithArguments()
    {
        const QString a = makeFile("arg1.htm", "1");
        const QString b = makeFile("arg2.htm", "2");
        TmdiMain& m = start("", {a, b, a, work("missing.htm")});
        QCOMPARE(m.documents().size(), 3);
        QCOMPARE(m.activeDocument()->caption(), b);
        QCOMPARE(prompter->messages,
                 (QStringList{a + " is already open.", "Unable to find " + work("missing.htm") + "."}));
        // Over the frame once it is on screen, not before.
        QCOMPARE(prompter->parentExposed, (QList<bool>{true, true}));
        QCOMPARE(tabTexts(m), (QStringList{"New HTML Document 1", a, b}));
        QCOMPARE(m.RecentFiles.entries(), (QStringList{b, a, QString(), QString()}));
        QCOMPARE(m.statusText(), QString("   Ready ..."));
    }

    void startUpFolder_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        const QString w = TestEnv::workDir();
        QTest::newRow("plain") << w + "/sub" << w + "/sub";
        QTest::newRow("trailing separator") << w + "/sub/" << w + "/sub";
        QTest::newRow("missing is ignored") << w + "/absent" << w;
    }

    void startUpFolder()
    {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        QDir().mkpath(TestEnv::workDir() + "/sub");
        QDir::setCurrent(TestEnv::workDir());
        start("[System]\nOpen Template=0\n[Application Options]\nStartup Directory=" + stored.toUtf8() + "\n");
        QCOMPARE(QDir::currentPath(), expected);
        QDir::setCurrent(TestEnv::workDir());
    }

    void recentEntriesReopen()
    {
        const QString a = makeFile("r1.htm", "1");
        TmdiMain& m = start("[System]\nOpen Template=0\n[MRU]\n0=" + a.toUtf8() + "\n1=" + work("gone.htm").toUtf8() + "\n");
        QCOMPARE(m.mruActions().at(0)->text(), "&1 " + a);
        QVERIFY(m.mruActions().at(1)->isVisible());
        QVERIFY(!m.mruActions().at(2)->isVisible());
        m.mruActions().at(1)->trigger();
        QCOMPARE(prompter->messages, QStringList{"Unable to find " + work("gone.htm") + "."});
        QCOMPARE(m.RecentFiles.entry(1), work("gone.htm"));
        m.mruActions().at(0)->trigger();
        QCOMPARE(m.activeDocument()->caption(), a);
        m.mruActions().at(0)->trigger();
        QCOMPARE(prompter->messages.last(), a + " is already open.");
    }

    void noRecentEntriesNoSeparator()
    {
        TmdiMain& m = start();
        for (QAction* a : m.mruActions())
            QVERIFY(!a->isVisible());
        QVERIFY(!m.mruSeparator()->isVisible());
    }

    void tabsFollowWindows()
    {
        TmdiMain& m = start();
        m.FileNew();
        m.FileNew();
        QCOMPARE(m.tabSet()->currentIndex(), 1);
        m.tabSet()->setCurrentIndex(0);
        m.DisplayTabName();
        QCOMPARE(m.activeDocument()->caption(), QString("New HTML Document 1"));
        QCOMPARE(m.tabSet()->currentIndex(), 0);
        m.DocumentTabs1Click();
        QVERIFY(!m.tabSet()->isVisible());
        m.FileNew();
        QCOMPARE(m.tabSet()->count(), 3);  // kept up to date while hidden
    }

    void findAndFindAgainShareLastText()
    {
        TmdiMain& m = start();
        m.FileNew();
        TfHTML* first = m.activeDocument();
        first->txtHTML->SetRawText("alpha beta alpha");
        m.FileNew();
        TfHTML* second = m.activeDocument();
        second->txtHTML->SetRawText("one ALPHA two");
        QVERIFY(!second->findAgainAction()->isEnabled());
        m.showDocument(first);
        first->findDialog()->setFindText("alpha");
        first->doFind();
        QCOMPARE(m.LastSearchText, QString("alpha"));
        QVERIFY(first->findAgainAction()->isEnabled());
        int l1, c1, l2, c2;
        QVERIFY(first->txtHTML->SelectionRange(l1, c1, l2, c2));
        QCOMPARE(QList<int>({l1, c1, l2, c2}), QList<int>({1, 1, 1, 6}));
        first->FindAgain1Click();
        QVERIFY(first->txtHTML->SelectionRange(l1, c1, l2, c2));
        QCOMPARE(c1, 12);
        // Past the last match the search goes on from the start and says so.
        first->FindAgain1Click();
        QVERIFY(first->txtHTML->SelectionRange(l1, c1, l2, c2));
        QCOMPARE(c1, 1);
        QCOMPARE(m.statusText(), QString("   Reached the end of the page, continued from the start: 1 of 2"));
        QVERIFY(prompter->messages.isEmpty());
        // Another window searches for the text last searched anywhere.
        m.showDocument(second);
        second->FindAgain1Click();
        QVERIFY(second->txtHTML->SelectionRange(l1, c1, l2, c2));
        QCOMPARE(c1, 5);
        // A text found nowhere says so.
        m.showDocument(first);
        first->findDialog()->setFindText("gamma");
        first->doFind();
        QCOMPARE(prompter->messages, QStringList{"Search string not found !"});
        QVERIFY(!first->findAgainAction()->isEnabled());
    }

    void replaceReportsCount_data()
    {
        QTest::addColumn<QString>("find");
        QTest::addColumn<bool>("all");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("status");
        QTest::newRow("all") << "a" << true << false << "x A x A" << "   2 : occurences were replaced.";
        QTest::newRow("all, match case") << "a" << true << true << "x A x b" << "   1 : occurences were replaced.";
        QTest::newRow("one") << "a" << false << false << "x b x a" << "   1 : occurences were replaced.";
        QTest::newRow("none") << "zz" << true << false << "x a x a" << "   Ready ...";
    }

    void replaceReportsCount()
    {
        QFETCH(QString, find);
        QFETCH(bool, all);
        QFETCH(bool, matchCase);
        QFETCH(QString, text);
        QFETCH(QString, status);
        TmdiMain& m = start();
        m.FileNew();
        TfHTML* doc = m.activeDocument();
        doc->txtHTML->SetRawText("x a x a");
        doc->replaceDialog()->setTexts(find, matchCase ? "b" : (all ? "A" : "b"));
        doc->replaceDialog()->setMatchCase(matchCase);
        if (matchCase)
            doc->txtHTML->SetRawText("x A x a");
        doc->HandleReplace(all);
        QCOMPARE(m.statusText(), status);
        if (find != "zz")
            QCOMPARE(doc->txtHTML->RawText(), text);
    }

    void clearAsksFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("left");
        QTest::newRow("yes") << int(UiPrompter::Yes) << QString();
        QTest::newRow("no") << int(UiPrompter::No) << QString("keep");
    }

    void clearAsksFirst()
    {
        QFETCH(int, answer);
        QFETCH(QString, left);
        TmdiMain& m = start();
        m.FileNew();
        m.activeDocument()->txtHTML->SetRawText("keep");
        m.activeDocument()->txtHTML->SetModified(false);
        prompter->answers.enqueue(answer);
        m.EditClear();
        QCOMPARE(prompter->messages,
                 QStringList{"This action will remove all data from the document.\n\r\n\rAre You Sure ?"});
        QCOMPARE(m.activeDocument()->txtHTML->RawText(), left);
        QCOMPARE(m.activeDocument()->txtHTML->Modified(), left.isEmpty());
        QCOMPARE(m.statusText(), QString("   Ready ..."));
    }

    void commandsWithoutDocumentDoNothing()
    {
        TmdiMain& m = start();
        for (const char* name : {"EditUndo", "EditRedoClick", "EditCut", "EditCopy", "EditPaste", "EditDelete",
                                 "EditClear", "FileSave", "FileSaveAs", "FileCloseChild", "WordWrap1Click",
                                 "SmartTabs1Click", "WindowTile", "WindowCascade", "WindowArrange"})
            m.action(name)->trigger();
        QVERIFY(prompter->messages.isEmpty());
        QCOMPARE(prompter->beeps, 0);
        QCOMPARE(m.documents().size(), 0);
        QVERIFY(m.action("WordWrap1Click")->isChecked());
    }

    void undoMarksModified()
    {
        TmdiMain& m = start();
        m.FileNew();
        TOvcTextFileEditor* ed = m.activeDocument()->txtHTML;
        ed->InsertAtCaret("abc");
        ed->SetModified(false);
        m.EditUndo();
        QCOMPARE(ed->RawText(), QString());
        QVERIFY(ed->Modified());
        m.EditRedoClick();
        QCOMPARE(ed->RawText(), QString("abc"));
        m.EditRedoClick();  // nothing left to redo: a beep
        QCOMPARE(prompter->beeps, 1);
    }

    void statusLineRules()
    {
        TmdiMain& m = start();
        m.SetStatusText("Hello");
        QCOMPARE(m.statusText(), QString("   Hello"));
        m.ShowHint("Open an Existing Document");
        QCOMPARE(m.statusText(), QString("Open an Existing Document"));
        m.ShowHint(QString());
        QCOMPARE(m.statusText(), QString());
        m.SetStatusText("Hello");
        QCOMPARE(m.statusText(), QString("   Hello"));
        m.FileNew();
        TOvcTextFileEditor* ed = m.activeDocument()->txtHTML;
        ed->SetRawText("ab\ncd");
        ed->MoveCaret(2, 2);
        m.ShowStatus();
        QCOMPARE(m.panel("pnlPos")->text(), QString("2:2"));
        QCOMPARE(m.panel("pnlSize")->text(), QString("Bytes: 6"));
        QCOMPARE(m.panel("pnlMode")->text(), QString("Insert"));
        QCOMPARE(m.panel("pnlApp")->text(), QString("Your Name"));
        ed->SetInsertMode(false);
        m.ShowStatus();
        QCOMPARE(m.panel("pnlMode")->text(), QString("Overwrite"));
        QCOMPARE(m.panel("pnlFormat")->text(), QString("UTF-8  CR LF"));
        // The panel follows the active document.
        m.OpenDocumentFile(makeFile("w.htm", "caf\xE9\r\nb\nc\n"));
        m.ShowStatus();
        QCOMPARE(m.panel("pnlFormat")->text(), QString("Windows-1252  Mixed"));
    }

    void noticeFollowsTheOpenCommand()
    {
        TmdiMain& m = start();
        const QString p = makeFile("mixed.htm", "a\r\nb\nc\r\n");
        prompter->openAnswers.enqueue({p});
        m.FileOpen();
        QCOMPARE(m.statusText(), QString("   Ready ..."));
        QCoreApplication::processEvents();
        QVERIFY2(m.statusText().contains("mixes line ends"), qPrintable(m.statusText()));
        // Each line keeps its own end.
        m.activeDocument()->txtHTML->SetModified(true);
        m.FileSave();
        QCOMPARE(TestEnv::readAll(p), QByteArray("a\r\nb\nc\r\n"));
    }

    void searchMenuMergesWhileADocumentIsActive()
    {
        TmdiMain& m = start();
        auto titles = [&m] {
            QStringList t;
            for (QAction* a : m.menuBar()->actions())
                t << a->text();
            return t;
        };
        QVERIFY(!titles().contains("&Search"));
        m.FileNew();
        QCOMPARE(titles().mid(1, 3), (QStringList{"&Edit", "&Search", "&Insert"}));
        QStringList search;
        for (QAction* a : m.activeDocument()->searchMenu()->actions())
            search << (a->isSeparator() ? "-" : a->text() + "|" + a->shortcut().toString());
        QCOMPARE(search, (QStringList{"&Find|Ctrl+F", "Find &Again|", "-", "&Replace|Ctrl+R"}));
        QStringList context;
        for (QAction* a : m.activeDocument()->contextMenu()->actions())
            context << (a->isSeparator() ? "-" : a->text());
        QCOMPARE(context, (QStringList{"&Undo", "&ReDo", "-", "Repeat &Last Tag", "-", "Cu&t", "&Copy", "&Paste",
                                       "-", "Find ...", "Replace ..."}));
        m.FileNew();
        QCOMPARE(titles().count("&Search"), 1);
        m.CloseAll1Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        QVERIFY(!titles().contains("&Search"));
        QCOMPARE(m.windowTitle(), QString("Velquist Pro HTML Editor"));
    }

    void badStoredFontStillOpensTheDocument()
    {
        TmdiMain& m = start();
        TestEnv::writeAll(TestEnv::settingsDir() + "/velqopt.ini", "[Edit Window]\nEdit_Font=broken\n");
        const QString p = makeFile("font.htm", "text\n");
        m.OpenDocumentFile(p);
        QCOMPARE(m.documents().size(), 1);
        QVERIFY(m.activeDocument()->isVisible());
        QCOMPARE(m.activeDocument()->txtHTML->RawText(), QString("text"));
        QCOMPARE(m.statusText(), QString("   An Internal Error was detected and corrected."));
        QFile::remove(TestEnv::settingsDir() + "/velqopt.ini");
    }

    void wordWrapToggleWritesSetting()
    {
        TmdiMain& m = start();
        m.FileNew();
        m.WordWrap1Click();
        QVERIFY(!m.activeDocument()->txtHTML->WordWrap());
        QVERIFY(!m.action("WordWrap1Click")->isChecked());
        QCOMPARE(m.IniControl.ReadBool("Editor", "Word Wrap", true), false);
        m.FileNew();  // new windows take the stored value
        QVERIFY(!m.activeDocument()->txtHTML->WordWrap());
    }
};

VQ_TEST_MAIN(tst_MainFrame)
#include "tst_MainFrame.moc"
