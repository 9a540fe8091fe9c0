// Macro keys: the expansion scan over a document, the macros dialog, the
// macro window and the frame's "&Expand Macros Now !".
#include "ScriptedPrompter.h"
#include "FrameTest.h"
#include "TestEnv.h"

#include "app/AppPaths.h"
#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "reuse/ReuseModule.h"
#include "editor/TOvcTextFileEditor.h"
#include "reuse/MacroExpander.h"
#include "reuse/MacroListView.h"
#include "reuse/TfAddMac.h"
#include "reuse/TfMacros.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {
class Clipboard : public MacroClipboard {
public:
    QString text() const override { return QGuiApplication::clipboard()->text(); }
    void setText(const QString& t) override { QGuiApplication::clipboard()->setText(t); }
};

QString userFile() { return AppPaths::dataFile("user.mcr"); }
} // namespace

class tst_Macros : public QObject {
    Q_OBJECT
    std::unique_ptr<ScriptedPrompter> prompter;
    std::unique_ptr<TmdiMain> main;

    TfHTML* document(const QString& text)
    {
        main->FileNew();
        TfHTML* d = main->activeDocument();
        d->txtHTML->SetRawText(text);
        d->txtHTML->SetModified(false);
        return d;
    }
    void setCase(const char* c)
    {
        main->IniControl.WriteString("Tags", "Case", QString::fromLatin1(c));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(FrameTest::start(prompter, main));
    }
    void cleanupTestCase()
    {
        FrameTest::stop(main);
    }
    void init()
    {
        prompter->messages.clear();
        prompter->beeps = 0;
        QVERIFY(TestEnv::installDataFile("user.mcr"));
        QVERIFY(TestEnv::installDataFile("system.mcr"));
        setCase("W");
    }

    void expansion_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("expanded");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("clipboard");
        const QStringList org{"[ORG]\tOrchard Row"};
        QTest::newRow("any letter case") << "[org] and [Org]" << org << "Orchard Row and Orchard Row" << 2
                                         << "Orchard Row";
        QTest::newRow("unknown key counted, kept") << "a[1]b" << org << "a[1]b" << 1 << "[1]";
        QTest::newRow("no closing bracket") << "a [ b\nc" << org << "a [ b\nc" << 0 << "";
        QTest::newRow("spans lines") << "x[ORG\n]y" << org << "x[ORG\n]y" << 1 << "[ORG\n]";
        QTest::newRow("double opening") << "[[ORG] [ORG]" << org << "[[ORG] Orchard Row" << 2 << "Orchard Row";
        QTest::newRow("inner key stays") << "[A]" << QStringList{"[A]\tsee [ORG]", org[0]} << "see [ORG]" << 1
                                         << "see [ORG]";
        QTest::newRow("first entry wins") << "[ORG]" << QStringList{"[ORG]\tmine", "[ORG]\ttheirs"} << "mine" << 1
                                          << "mine";
        QTest::newRow("closing bracket compared")
            << "[IM] [IMW]" << QStringList{"[IMW]\tMapper for Windows", "[IM]\tMapper"}
            << "Mapper Mapper for Windows" << 2 << "Mapper for Windows";
        QTest::newRow("empty expansion removes the key") << "a[X]b" << QStringList{"[X]\t"} << "ab" << 1 << "";
        QTest::newRow("non-ASCII letters keep their case")
            << QString::fromUtf8("[\xc3\xa9]") << QStringList{QString::fromUtf8("[\xc3\x89]\tE")}
            << QString::fromUtf8("[\xc3\xa9]") << 1 << QString::fromUtf8("[\xc3\xa9]");
    }
    void expansion()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, entries);
        QFETCH(QString, expanded);
        QFETCH(int, count);
        QFETCH(QString, clipboard);
        QGuiApplication::clipboard()->setText("before");
        TOvcTextFileEditor ed;
        ed.SetRawText(text);
        Clipboard clip;
        QStringList status;
        QCOMPARE(MacroExpander::expand(ed, entries, clip, [&](const QString& s) { status << s; }), count);
        QCOMPARE(ed.RawText(), expanded);
        if (count)
            QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
        QCOMPARE(status.size(), count + 1);
        QCOMPARE(status.first(), QString("Searching for Macros ..."));
    }

    // Each replacement undoes alone; a last key that matched nothing is left
    // selected where the expansions before it on its line moved it.
    void eachReplacementUndoesAlone()
    {
        TOvcTextFileEditor ed;
        ed.SetRawText("[A] [A] [B]");
        Clipboard clip;
        MacroExpander::expand(ed, {"[A]\tone"}, clip, [](const QString&) {});
        int l1, c1, l2, c2;
        QVERIFY(ed.SelectionRange(l1, c1, l2, c2));
        QCOMPARE(QList<int>({l1, c1, l2, c2}), QList<int>({1, 9, 1, 12}));
        ed.UndoStep();
        QCOMPARE(ed.RawText(), QString("one [A] [B]"));
    }

    void expandCommand_data()
    {
        QTest::addColumn<bool>("userFile");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expanded");
        QTest::addColumn<QString>("message");
        QTest::newRow("user and system") << true << "[org] [VELQ]" << "Orchard Row Software Velquist Pro for Windows"
                                         << "2 Macros found !";
        QTest::newRow("none") << true << "plain" << "plain" << "No Macros found !";
        QTest::newRow("user.mcr missing") << false << "[org]" << "[org]" << "";
    }
    void expandCommand()
    {
        QFETCH(bool, userFile);
        QFETCH(QString, text);
        QFETCH(QString, expanded);
        QFETCH(QString, message);
        if (!userFile)
            QFile::remove(::userFile());
        TfHTML* d = document(text);
        main->action("ExpandMacrosNow1Click")->trigger();
        QCOMPARE(d->txtHTML->RawText(), expanded);
        QCOMPARE(prompter->messages, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(main->statusText(), userFile ? QString("   Ready ...")
                                              : QString("   An Internal Error was detected and corrected."));
        QCOMPARE(prompter->beeps, userFile ? 0 : 1);
        QVERIFY(!QApplication::overrideCursor());
    }

    void dialogAddSaveAndReload()
    {
        TfMacros* dlg = main->module<ReuseModule>().macrosDialog();
        QTimer::singleShot(0, dlg, [dlg] {
            QTest::keyClicks(dlg->txtMacro, "ab");
            dlg->cmdAddClick();  // "[AB]": the name field writes capitals
            dlg->txtMacro->clear();
            dlg->cmdAddClick();  // an empty name gives "[]"
            dlg->SaveUser();
        });
        main->action("Macros1Click")->trigger();
        QCOMPARE(TestEnv::readAll(userFile()),
                 QByteArray("[COUNT]\thttp://counter.example.com/\r\n[IM]\tOnvex Image Mapper\r\n"
                            "[ORG]\tOrchard Row Software\r\n[AB]\t\r\n[]\t\r\n"));
        // Unsaved additions are not expanded and are gone at the next showing.
        QTimer::singleShot(0, dlg, [dlg] {
            dlg->txtMacro->setText("NEW");
            dlg->cmdAddClick();
            dlg->cmdCloseClick();
        });
        main->action("Macros1Click")->trigger();
        TfHTML* d = document("[NEW]");
        main->run(QStringLiteral("ExpandMacrosNow1Click"));
        QCOMPARE(d->txtHTML->RawText(), QString("[NEW]"));
        QTimer::singleShot(0, dlg, [dlg] { dlg->cmdCloseClick(); });
        main->action("Macros1Click")->trigger();
        QCOMPARE(dlg->lstUserMacros->lines().size(), 5);
    }

    void macroWindow()
    {
        TfAddMac* w = main->module<ReuseModule>().macroWindow();
        QFile::remove(userFile());
        QStringList before = w->lMac->lines();
        QVERIFY_THROWS_EXCEPTION(std::exception, w->LoadMacs());
        QCOMPARE(w->lMac->lines(), before);
        QVERIFY(TestEnv::installDataFile("user.mcr"));
        w->LoadMacs();
        QCOMPARE(w->lMac->lines().size(), 6);
        QCOMPARE(w->lMac->lines().at(3), QString("[HURL]\t<A HREF=\"index.html\"></A>"));
        // A double click inserts the key in the tag case; a drag stores it.
        setCase("L");
        TfHTML* d = document("");
        w->lMac->setCurrentItem(w->lMac->topLevelItem(2));
        w->AddMac();
        QCOMPARE(d->txtHTML->RawText(), QString("[org]"));
        w->StartDrag(w->lMac->lines().at(1));
        QCOMPARE(main->tagEngine().LastOpenTag(), QString("[IM]"));
        QCOMPARE(main->tagEngine().LastCloseTag(), QString());
    }
};

VQ_TEST_MAIN(tst_Macros)
#include "tst_Macros.moc"
