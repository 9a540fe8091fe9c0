// The URL wizard and the URL library through the main frame: remembered
// lists and their files, library entries by double click and by drag.
#include "ScriptedPrompter.h"
#include "FrameTest.h"
#include "TestEnv.h"
#include "tags/TagTestSupport.h"

#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "wizards/WizardsModule.h"
#include "tags/ListDragSource.h"
#include "wizards/url/TfURLLibrary.h"
#include "wizards/url/TfrmURLWizard.h"
#include "wizards/url/UrlLists.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {
QString prog(const QString& name)
{
    return TestEnv::programDir() + QLatin1Char('/') + name;
}
}

class tst_UrlWizard : public QObject {
    Q_OBJECT
    std::unique_ptr<ScriptedPrompter> prompter;
    std::unique_ptr<TmdiMain> main;

    TfHTML* newDocument(const QString& marked)
    {
        main->FileNew();
        TfHTML* d = main->activeDocument();
        Marked::set(*d->txtHTML, marked);
        return d;
    }

private slots:
    void initTestCase()
    {
        TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI", "[System]\nOpen Template=0\n");
        TestEnv::writeAll(prog("standard.tpl"), QByteArray());
        // A saved location list in Latin-1 with CR line ends replaces the built-in one.
        TestEnv::writeAll(prog(UrlLists::kLocationFile), "zeta.htm\rcaf\xe9.htm\rAlpha.htm\r");
        prompter = std::make_unique<ScriptedPrompter>();
        main = std::make_unique<TmdiMain>();
        TestEnv::showFrame(*main);
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }

    // The library stays above the frame as the frame's own window, not above
    // every program; its first showing sits over the frame, clear of the menu
    // bar. "Keep on Top" unticked makes it an ordinary window.
    void libraryOnTop()
    {
        TfURLLibrary* lib = main->module<WizardsModule>().urlLibrary();
        main->action("Pick1Click")->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(lib));
        QVERIFY(!(lib->windowFlags() & Qt::WindowStaysOnTopHint));
        QCOMPARE(lib->windowHandle()->transientParent(), main->windowHandle());
        const QRect frame = main->geometry();
        QCOMPARE(lib->geometry().center(), frame.center());
        QWidget* menu = main->menuWidget();
        QVERIFY(!lib->frameGeometry().intersects(QRect(menu->mapToGlobal(QPoint()), menu->size())));
        for (bool on : {false, true}) {
            lib->KeeponTop1->trigger();
            QCOMPARE(lib->KeeponTop1->isChecked(), on);
            QVERIFY(lib->isVisible());
            QVERIFY(!(lib->windowFlags() & Qt::WindowStaysOnTopHint));
            QCOMPARE(lib->windowHandle()->transientParent(), on ? main->windowHandle() : nullptr);
        }
    }

    void cleanupTestCase()
    {
        FrameTest::stop(main);
    }

    // Sorted with case ignored; only an exact match is not added again.
    void addItem_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("sorted place") << QStringList{"a", "C"} << "b" << QStringList{"a", "b", "C"};
        QTest::newRow("exact match") << QStringList{"a", "b"} << "b" << QStringList{"a", "b"};
        QTest::newRow("other case") << QStringList{"Index.htm"} << "index.htm"
                                    << QStringList{"Index.htm", "index.htm"};
        QTest::newRow("empty") << QStringList{"a"} << "" << QStringList{"", "a"};
    }

    void addItem()
    {
        QFETCH(QStringList, items);
        QFETCH(QString, text);
        QFETCH(QStringList, after);
        UrlLists::addItem(items, text);
        QCOMPARE(items, after);
    }

    // "To Document" inserts the link, remembers new texts and writes both lists.
    void toDocument()
    {
        TfrmURLWizard* w = main->module<WizardsModule>().urlWizard();
        QCOMPARE(w->locations(), (QStringList{"Alpha.htm", QString::fromUtf8("café.htm"), "zeta.htm"}));
        QCOMPARE(w->descriptions(), QStringList{"Send Mail to Me"});
        TfHTML* doc = newDocument("x[sel]y");
        main->action("URLWizardShow")->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCOMPARE(w->cmbURL->currentText(), QString("http://"));
        w->OKBtn->click();
        QCOMPARE(Marked::get(*doc->txtHTML), QString("x<A HREF=\"http://\">Description[sel]</A>y"));
        QVERIFY(!w->isVisible());
        w->cmbURL->setEditText("alpha.htm");
        w->OKBtn->click();
        w->OKBtn->click();
        QCOMPARE(TestEnv::readAll(prog(UrlLists::kLocationFile)),
                 QByteArray("Alpha.htm\r\nalpha.htm\r\ncaf\xc3\xa9.htm\r\nhttp://\r\nzeta.htm\r\n"));
        QCOMPARE(TestEnv::readAll(prog(UrlLists::kDescriptionFile)), QByteArray("Description\r\nSend Mail to Me\r\n"));
        QVERIFY(prompter->messages.isEmpty());
    }

    // A list file that cannot be written is reported by name; the link is in.
    void unwritableList()
    {
        QFile::remove(prog(UrlLists::kDescriptionFile));
        QVERIFY(QDir().mkdir(prog(UrlLists::kDescriptionFile)));
        TfHTML* doc = newDocument("|");
        main->module<WizardsModule>().urlWizard()->cmbDesc->setEditText("New");
        main->module<WizardsModule>().urlWizard()->OKBtn->click();
        QCOMPARE(Marked::get(*doc->txtHTML), QString("<A HREF=\"alpha.htm\">New|</A>"));
        QCOMPARE(prompter->messages.size(), 1);
        QVERIFY(prompter->messages.first().contains(prog(UrlLists::kDescriptionFile)));
        QDir().rmdir(prog(UrlLists::kDescriptionFile));
        prompter->messages.clear();
    }

    // Every showing reads the library afresh; a missing file keeps the list.
    void libraryLoad_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("sorted, case ignored") << QByteArray("<A HREF=\"b\">b</A>\r\n<a href=\"a\">a</a>\r\n")
                                              << QStringList{"<a href=\"a\">a</a>", "<A HREF=\"b\">b</A>"};
        QTest::newRow("missing keeps") << QByteArray("-") << QStringList{"<a href=\"a\">a</a>", "<A HREF=\"b\">b</A>"};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
    }

    void libraryLoad()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, entries);
        QFile::remove(prog(UrlLists::kLibraryFile));
        if (file != "-")
            TestEnv::writeAll(prog(UrlLists::kLibraryFile), file);
        TfURLLibrary* lib = main->module<WizardsModule>().urlLibrary();
        lib->close();
        main->action("Pick1Click")->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(lib));
        QCOMPARE(lib->entries(), entries);
    }

    // Enter inserts the entry with the focus, as a double click does.
    void libraryEnter_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
    }

    void libraryEnter()
    {
        QFETCH(int, key);
        TestEnv::writeAll(prog(UrlLists::kLibraryFile), "<A HREF=\"a\">A</A>\r\n<A HREF=\"b\">B</A>\r\n");
        TfURLLibrary* lib = main->module<WizardsModule>().urlLibrary();
        lib->close();
        main->action("Pick1Click")->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(lib));
        TfHTML* doc = newDocument("x|y");
        lib->lstURL->setCurrentRow(1);
        QTest::keyClick(lib->lstURL, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(Marked::get(*doc->txtHTML), QString("x<A HREF=\"b\">B</A>|y"));
    }

    // Double click inserts the focused entry; pressing on one and dropping it
    // on a document inserts it at the caret, and Repeat Last Tag again.
    void libraryInsert()
    {
        TestEnv::writeAll(prog(UrlLists::kLibraryFile), "<A HREF=\"index.htm\">Home</A>\r\n<A HREF=\"x\">X</A>\r\n");
        TfURLLibrary* lib = main->module<WizardsModule>().urlLibrary();
        lib->close();
        main->action("Pick1Click")->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(lib));
        TfHTML* doc = newDocument("a|b\nline two");
        QListWidgetItem* home = lib->lstURL->item(0);
        const QPoint at = lib->lstURL->visualItemRect(home).center();
        QTest::mouseClick(lib->lstURL->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(lib->lstURL->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(Marked::get(*doc->txtHTML), QString("a<A HREF=\"index.htm\">Home</A>|b\nline two"));

        QTest::mousePress(lib->lstURL->viewport(), Qt::LeftButton, {}, lib->lstURL->visualItemRect(lib->lstURL->item(1)).center());
        QTest::mouseRelease(lib->lstURL->viewport(), Qt::LeftButton, {}, lib->lstURL->visualItemRect(lib->lstURL->item(1)).center());
        std::unique_ptr<QMimeData> data(ListDragSource::makeMimeData("<A HREF=\"x\">X</A>"));
        QWidget* viewport = doc->txtHTML->viewport();
        const QPoint point(30, viewport->height() - 5);
        QDragEnterEvent enter(point, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDropEvent drop(QPointF(point), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        QVERIFY(drop.isAccepted());
        main->action("RepeatLastTag1Click")->trigger();
        QCOMPARE(Marked::get(*doc->txtHTML),
                 QString("a<A HREF=\"index.htm\">Home</A><A HREF=\"x\">X</A><A HREF=\"x\">X</A>|b\nline two"));
    }
};

VQ_TEST_MAIN(tst_UrlWizard)
#include "tst_UrlWizard.moc"
