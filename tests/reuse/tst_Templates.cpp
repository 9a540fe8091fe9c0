// New documents from the templates dialog: the built-in texts, the user's
// template files, and the untitled numbers shared with "&New Document".
#include "ScriptedPrompter.h"
#include "FrameTest.h"
#include "TestEnv.h"

#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "reuse/ReuseModule.h"
#include "editor/TOvcTextFileEditor.h"
#include "reuse/TfTemplate.h"

#include <QAction>
#include <QFileSystemModel>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <memory>
#include <sys/stat.h>

namespace {
const char* const kSimple =
    "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN//2.0\"> \n<HTML>\n"
    "<!-- Sample Template for a HTML Document created by Velquist Pro Version 2 -->\n\n<HEAD>\n"
    "<TITLE>Document Title</TITLE>\n</HEAD>\n\n<BODY>\n<H1>Main Page Heading</H1>\n<H2>Heading Level 2</H2>\n"
    "<P>Body Text.</P>\n</BODY>\n\n</HTML>\n\n";
const char* const kColoured =
    "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN//2.0\">\n<HTML>\n"
    "<!-- Sample Coloured Template for a HTML Document created by Velquist for Windows Version 2 -->\n\n"
    "<HEAD>\n<TITLE>Document Title</TITLE>\n</HEAD>\n\n<BODY>\n"
    "<body bgcolor=\"#0F0F8F\" text=\"#FFE27F\" LINK=\"#FFFFFF\" VLINK=\"#FF0000\" ALINK=\"#FFFFFF\">\n"
    "<A Name=Home></a>\n<H1>Main Page Heading</H1>\n<H2>Heading Level 2</H2>\n<P>Body Text.</P>\n\n</BODY>\n"
    "</HTML>\n\n";
const char* const kGraphical =
    "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN//3.0\">\n<HTML>\n"
    "<!-- Sample Template for a HTML Document created by Velquist Pro Version 2 -->\n\n<HEAD>\n"
    "<TITLE>Document Title</TITLE>\n</HEAD>\n\n<BODY>\n<CENTER>\n<H1>Velquist Pro HTML Editor</H1>\n"
    "<IMG SRC=\"YourImageHere\" ALT=\" \" BORDER=1 ALIGN=LEFT>\n</CENTER>\n<HR SIZE=6>\n"
    "<H1>About Velquist Pro HTML Editor for Windows</H1>\n\n</BODY>\n</HTML>\n";
const char* const kFrames =
    "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN//3.0\">\n<HTML>\n"
    "<!-- Sample Frames Template for a HTML Document created by Velquist Pro Version 2 -->\n\n<HEAD>\n"
    "<TITLE>Document Title</TITLE>\n</HEAD>\n\n<FRAMESET ROWS=\"\" COLS=\"\">\n      <FRAME SRC=\"\" NAME=\"\">\n"
    "</FRAMESET>\n\n</HTML>\n";
}

class tst_Templates : public QObject {
    Q_OBJECT
    std::unique_ptr<ScriptedPrompter> prompter;
    std::unique_ptr<TmdiMain> main;

    TfTemplate* dialog() { return main->module<ReuseModule>().templatesDialog(); }
    QString activeText() { return main->activeDocument()->txtHTML->RawText(); }
    // Chooses a page and confirms, as OK does.
    void make(int page)
    {
        dialog()->Notebook1->setCurrentIndex(page);
        dialog()->OKBtnClick();
    }

private slots:
    void initTestCase()
    {
        QDir::setCurrent(TestEnv::workDir());
        TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI", "[System]\nOpen Template=0\n");
        QVERIFY(TestEnv::installDataFile("standard.tpl"));
        prompter = std::make_unique<ScriptedPrompter>();
        main = std::make_unique<TmdiMain>();
        TestEnv::showFrame(*main);
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    void cleanupTestCase()
    {
        FrameTest::stop(main);
    }

    // The first time the page is shown, its start folder is in view.
    void startFolderInViewAtFirstShowing()
    {
        TfTemplate* d = dialog();
        auto* dirs = qobject_cast<QFileSystemModel*>(d->DirectoryListBox1->model());
        QSignalSpy read(dirs, &QFileSystemModel::directoryLoaded);
        QTRY_VERIFY(dirs->index(d->folder()).isValid());
        // The folders above it are read while the dialog is hidden, as at start-up.
        for (qsizetype seen = -1; seen != read.count();) {
            seen = read.count();
            QTest::qWait(500);
        }
        d->Notebook1->setCurrentIndex(4);
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d));
        QTest::qWait(200);
        const QModelIndex dir = dirs->index(d->folder());
        QVERIFY(d->DirectoryListBox1->viewport()->rect().contains(d->DirectoryListBox1->visualRect(dir)));
        QCOMPARE(d->DirectoryListBox1->currentIndex(), dir);
        d->hide();
    }

    void builtInPages_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("text");
        QTest::newRow("simple") << 0 << kSimple;
        QTest::newRow("coloured") << 1 << kColoured;
        QTest::newRow("graphical") << 2 << kGraphical;
        QTest::newRow("frame sets") << 3 << kFrames;
        QTest::newRow("user page before any file") << 4 << "\n";
    }
    void builtInPages()
    {
        QFETCH(int, page);
        QFETCH(QString, text);
        const int before = main->NewDocumentCount;
        make(page);
        TfHTML* doc = main->activeDocument();
        QCOMPARE(doc->txtHTML->RawText(), text);
        QVERIFY(!doc->txtHTML->Modified());
        QCOMPARE(doc->caption(), QString("New HTML Document %1").arg(before + 1));
        QCOMPARE(main->tabSet()->tabData(main->tabSet()->currentIndex()).toString(), doc->caption());
        // Nothing to undo in a new document.
        doc->txtHTML->UndoStep();
        QCOMPARE(doc->txtHTML->RawText(), text);
        QVERIFY(!doc->txtHTML->Modified());
        // Saved, its lines end as this system's do.
        const QString saved = TestEnv::workDir() + "/from-template.htm";
        doc->txtHTML->SaveFile(saved);
        QVERIFY(!TestEnv::readAll(saved).contains('\r'));
    }

    void counterSharedWithNewDocument()
    {
        main->action("FileNew")->trigger();
        const int n = main->NewDocumentCount;
        QCOMPARE(main->activeDocument()->caption(), QString("New HTML Document %1").arg(n));
        QTimer::singleShot(0, dialog(), [this] { make(0); });
        main->action("NewfromTemplate1Click")->trigger();
        QCOMPARE(main->activeDocument()->caption(), QString("New HTML Document %1").arg(n + 1));
        // Cancel makes nothing and uses no number.
        QTimer::singleShot(0, dialog(), &QDialog::reject);
        main->action("NewfromTemplate1Click")->trigger();
        main->FileNew();
        QCOMPARE(main->activeDocument()->caption(), QString("New HTML Document %1").arg(n + 2));
        QCOMPARE(dialog()->Notebook1->currentIndex(), 0);  // the page stays as last used
    }

    void userTemplateFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("CR LF") << QByteArray("<P>\r\n\r\nx\r\n") << "<P>\n\nx\n";
        QTest::newRow("LF, no last line end") << QByteArray("a\nb") << "a\nb\n";
        QTest::newRow("Latin-1") << QByteArray("caf\xe9\r\n") << QString::fromUtf8("caf\xc3\xa9\n");
        QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9\n") << QString::fromUtf8("caf\xc3\xa9\n");
        QTest::newRow("empty file") << QByteArray() << "";
        // A template is a page: its declaration names its encoding.
        QTest::newRow("declared KOI8-R") << QByteArray("<meta charset=\"koi8-r\">\r\n\xF0\xD2\xC9\r\n")
                                         << QString::fromUtf8("<meta charset=\"koi8-r\">\n\u041F\u0440\u0438\n");
    }
    void userTemplateFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        const QString path = TestEnv::workDir() + "/mine.tpl";
        QVERIFY(TestEnv::writeAll(path, bytes));
        dialog()->UpdateMemo(path);
        make(4);
        QCOMPARE(activeText(), text);
    }

    void unreadableFileKeepsTextArea()
    {
        const QString good = TestEnv::workDir() + "/good.tpl";
        QVERIFY(TestEnv::writeAll(good, "kept\n"));
        dialog()->UpdateMemo(good);
        prompter->messages.clear();
        const QString missing = TestEnv::workDir() + "/gone.tpl";
        dialog()->UpdateMemo(missing);
        QCOMPARE(prompter->messages.size(), 1);
        QVERIFY(prompter->messages.first().contains(missing));
        QCOMPARE(dialog()->Memo1->toPlainText(), QString("kept"));
        make(4);
        QCOMPARE(activeText(), QString("kept\n"));
    }

    // The preview reads a bounded start of the file; a file File Open would
    // refuse is refused here too, and nothing but a regular file is opened.
    void previewBounded_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");  // empty: shown
        QTest::newRow("large file") << "large" << "";
        QTest::newRow("over the open limit") << "huge" << "the file is too large (256 MB).";
        QTest::newRow("named pipe") << "fifo" << "it is not a regular file.";
    }
    void previewBounded()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        const QString good = TestEnv::workDir() + "/small.tpl";
        QVERIFY(TestEnv::writeAll(good, "small\n"));
        dialog()->UpdateMemo(good);
        const QString path = TestEnv::workDir() + "/" + kind + ".tpl";
        QFile::remove(path);
        const auto cleanup = qScopeGuard([&] { QFile::remove(path); });
        const QByteArray line(99, 'x');
        QByteArray whole;
        if (kind == "large") {
            for (int i = 0; i < 20000; ++i)
                whole += line + "\n";
            QVERIFY(TestEnv::writeAll(path, whole));
        } else if (kind == "huge") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(TOvcTextFileEditor::MaxFileSize + 1));
        } else {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        }
        prompter->messages.clear();
        dialog()->UpdateMemo(path);
        if (message.isEmpty()) {
            QVERIFY(prompter->messages.isEmpty());
            const QString shown = dialog()->Memo1->toPlainText();
            QVERIFY(shown.size() <= TfTemplate::PreviewBytes);
            QVERIFY(QString::fromLatin1(whole).startsWith(shown + "\n"));
            make(4);
            QCOMPARE(activeText(), QString::fromLatin1(whole));
        } else {
            QCOMPARE(prompter->messages.size(), 1);
            QVERIFY(prompter->messages.first().endsWith(message));
            QCOMPARE(dialog()->Memo1->toPlainText(), QString("small"));
            QCOMPARE(dialog()->userFile(), good);
        }
    }

    void fileListStartsAtCurrentFolderWithTemplates()
    {
        QCOMPARE(dialog()->folder(), TestEnv::workDir());
    }
};

VQ_TEST_MAIN(tst_Templates)
#include "tst_Templates.moc"
