// Projects: the tree's moves, the ".vpr" reader and writer, and the project
// window's commands with their save prompt.
#include "ScriptedPrompter.h"
#include "FrameTest.h"
#include "TestEnv.h"

#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "reuse/ReuseModule.h"
#include "reuse/ProjectFile.h"
#include "reuse/TfProj.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTreeWidget>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {
// Trees written as words, each with one dot per level below the top:
// "a .b ..c d" is a holding b holding c, then d.
ProjectTree tree(const QString& words)
{
    ProjectTree t;
    for (const QString& w : words.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        int level = 1;
        while (w.at(level - 1) == QLatin1Char('.'))
            ++level;
        t.append(w.mid(level - 1), level);
    }
    return t;
}
QString words(const ProjectTree& t)
{
    QStringList out;
    for (const ProjectTree::Item& i : t.items())
        out << QString(i.level - 1, QLatin1Char('.')) + i.text;
    return out.join(QLatin1Char(' '));
}
QString work(const QString& name) { return TestEnv::workDir() + QLatin1Char('/') + name; }
} // namespace

class tst_Projects : public QObject {
    Q_OBJECT
    std::unique_ptr<ScriptedPrompter> prompter;
    std::unique_ptr<TmdiMain> main;
    TfProj* proj() { return main->module<ReuseModule>().projectWindow(); }

    // A fresh untitled project in the window, not modified.
    void freshProject()
    {
        prompter->inputAnswers.enqueue("P");
        prompter->answers.enqueue(UiPrompter::No);  // whatever was there is not saved
        proj()->btnNewProjClick();
        QVERIFY(TestEnv::writeAll(work("empty.vpr"), "P\r\n"));
        prompter->answers.enqueue(UiPrompter::No);
        prompter->openAnswers.enqueue({work("empty.vpr")});
        proj()->btnOpenProjClick();
        QVERIFY(!proj()->modified());
        prompter->messages.clear();
        prompter->answers.clear();
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

    void moves_data()
    {
        QTest::addColumn<QString>("move");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("moved");
        QTest::newRow("up past a sibling") << "up" << "a b c" << 2 << "a c b" << 1;
        QTest::newRow("up at the top") << "up" << "a b" << 0 << "a b" << -1;
        QTest::newRow("up out of its parent") << "up" << "a .b c" << 1 << "b a c" << 0;
        QTest::newRow("up into the item above's level") << "up" << "a .b c .d" << 2 << "a .c ..d .b" << 1;
        QTest::newRow("down: first of three to the end") << "down" << "a b c" << 0 << "b c a" << 2;
        QTest::newRow("down with sub items") << "down" << "a b .c d" << 0 << "b .c d a" << 3;
        QTest::newRow("down onto own sub item") << "down" << "a .b c" << 0 << "a .b c" << -1;
        QTest::newRow("down at the end") << "down" << "a b" << 1 << "a b" << -1;
        QTest::newRow("down out to the level below") << "down" << "a .b c .d" << 1 << "a c .d b" << 3;
        QTest::newRow("left before its parent") << "left" << "a .b .c" << 2 << "c a .b" << 0;
        QTest::newRow("left with sub items") << "left" << "a .b ..c d" << 1 << "b .c a d" << 0;
        QTest::newRow("left at the top") << "left" << "a b" << 1 << "a b" << -1;
        QTest::newRow("right under the sibling before") << "right" << "a .x b .c" << 2 << "a .x .b ..c" << 2;
        QTest::newRow("right without a sibling before") << "right" << "a .b" << 1 << "a .b" << -1;
    }
    void moves()
    {
        QFETCH(QString, move);
        QFETCH(QString, before);
        QFETCH(int, selected);
        QFETCH(QString, after);
        QFETCH(int, moved);
        ProjectTree t = tree(before);
        const int got = move == "up" ? t.moveUp(selected)
            : move == "down"         ? t.moveDown(selected)
            : move == "left"         ? t.moveLeft(selected)
                                     : t.moveRight(selected);
        QCOMPARE(words(t), after);
        QCOMPARE(got, moved);
    }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("items");  // empty: a level error
        QTest::newRow("title and a sub item") << QByteArray("Site\r\nc:\\web\\index.htm\r\n\tc:\\web\\a.htm\r\n")
                                              << "Site" << "c:\\web\\index.htm .c:\\web\\a.htm";
        QTest::newRow("blanks count as tabs") << QByteArray("T\na\n b\n  c\nd\n") << "T" << "a .b ..c d";
        QTest::newRow("two tabs after the top: one level down") << QByteArray("T\na\n\t\tb\n") << "T" << "a .b";
        QTest::newRow("four blanks after the top") << QByteArray("T\na\n    b\n") << "" << "";
        QTest::newRow("title's leading blanks lost") << QByteArray("\t  T\na\n\tb\n") << "T" << "a .b";
        QTest::newRow("title alone") << QByteArray("T\r\n") << "T" << "";
        QTest::newRow("sub items of the title go with it") << QByteArray("T\n\tx\na\n") << "T" << "a";
    }
    void reading()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, title);
        QFETCH(QString, items);
        QVERIFY(TestEnv::writeAll(work("r.vpr"), file));
        Project p;
        QString error;
        const bool ok = ProjectFile::read(work("r.vpr"), &p, &error);
        QCOMPARE(ok, !title.isEmpty());
        if (!ok) {
            QCOMPARE(error, "Unable to read " + work("r.vpr")
                                + ": line 3 is indented more than one level below the line before it.");
            return;
        }
        QCOMPARE(p.title, title);
        QCOMPARE(words(p.tree), items);
    }

    void writingRoundTrip()
    {
        const Project p{"Site", tree("c:\\web\\index.htm .c:\\web\\a.htm ..deep top")};
        ProjectFile::write(work("w.vpr"), p);
        QCOMPARE(TestEnv::readAll(work("w.vpr")),
                 QByteArray("Site\r\nc:\\web\\index.htm\r\n\tc:\\web\\a.htm\r\n\t\tdeep\r\ntop\r\n"));
        Project back;
        QVERIFY(ProjectFile::read(work("w.vpr"), &back, nullptr));
        QCOMPARE(back.title, p.title);
        QCOMPARE(back.tree.items(), p.tree.items());
        ProjectFile::write(work("w.vpr"), Project{"Empty", {}});
        QCOMPARE(TestEnv::readAll(work("w.vpr")), QByteArray("Empty\r\n"));
    }

    void addThreeToEmptyProject()
    {
        freshProject();
        prompter->openAnswers.enqueue({work("x.htm"), work("y.htm"), work("z.htm")});
        proj()->btnAddFileClick();
        QCOMPARE(words(proj()->tree()), QString("%1 %2 %3").arg(work("y.htm"), work("z.htm"), work("x.htm")));
        QVERIFY(proj()->modified());
        // Added before the selected item, at its level.
        proj()->selectIndex(2);
        QVERIFY(proj()->tree().at(2).text == work("x.htm"));
        proj()->DownBtnClick();  // x under z
        prompter->openAnswers.enqueue({work("w.htm")});
        proj()->btnAddFileClick();
        QCOMPARE(words(proj()->tree()), QString("%1 %2 .%3 .%4").arg(work("y.htm"), work("z.htm"), work("w.htm"),
                                                                         work("x.htm")));
        QCOMPARE(proj()->selectedIndex(), 3);
    }

    // A double click on an item with sub items opens its file and leaves the
    // sub items shown or hidden as they were.
    void doubleClickOnlyOpens_data()
    {
        QTest::addColumn<bool>("expanded");
        QTest::newRow("expanded") << true;
        QTest::newRow("collapsed") << false;
    }
    void doubleClickOnlyOpens()
    {
        QFETCH(bool, expanded);
        freshProject();
        QVERIFY(TestEnv::writeAll(work("top.htm"), "<p>top</p>"));
        prompter->openAnswers.enqueue({work("sub.htm"), work("top.htm")});
        proj()->btnAddFileClick();  // top sub
        proj()->selectIndex(1);
        proj()->DownBtnClick();  // sub under top
        QTreeWidget* t = proj()->outProj;
        QTreeWidgetItem* top = t->topLevelItem(0);
        QVERIFY(top && top->childCount() == 1 && top->text(0) == work("top.htm"));
        top->setExpanded(expanded);
        t->resize(400, 300);
        t->doItemsLayout();  // the window stays hidden: lay the items out now
        const QRect r = t->visualItemRect(top);
        // As the window system sends a double click: a click, then the second press.
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(top->isExpanded(), expanded);
        QVERIFY(main->activeDocument() && main->activeDocument()->caption() == work("top.htm"));
        main->activeDocument()->approveClose();
        main->CloseAll1Click();
    }

    void removeAsksForSubItems()
    {
        freshProject();
        prompter->openAnswers.enqueue({work("a.htm"), work("b.htm")});
        proj()->btnAddFileClick();  // b a
        proj()->selectIndex(1);
        proj()->DownBtnClick();  // a under b
        proj()->selectIndex(0);
        prompter->answers.enqueue(UiPrompter::No);
        proj()->btnRemoveFileClick();
        QCOMPARE(proj()->tree().size(), 2);
        QCOMPARE(prompter->messages, QStringList{"This will remove all sub files as well \n\nContinue ?"});
        proj()->btnRemoveFileClick();  // Yes
        QVERIFY(proj()->tree().isEmpty());
    }

    void savePrompt()
    {
        freshProject();
        prompter->openAnswers.enqueue({work("a.htm")});
        proj()->btnAddFileClick();
        // No keeps the changes and the flag; nothing is written.
        prompter->answers.enqueue(UiPrompter::No);
        QCOMPARE(proj()->SaveQuery(), TfProj::Proceed);
        QVERIFY(proj()->modified());
        QCOMPARE(prompter->messages.last(), QString("Save changes to " + work("empty.vpr") + " ?"));
        // A project whose file exists is written there without asking a name.
        QCOMPARE(proj()->SaveQuery(), TfProj::Proceed);
        QVERIFY(prompter->saveCaptions.isEmpty());
        QCOMPARE(TestEnv::readAll(work("empty.vpr")), QByteArray("P\r\n" + work("a.htm").toUtf8() + "\r\n"));
        QVERIFY(!proj()->modified());
        // An untitled project asks for a file; cancelling that cancels.
        prompter->inputAnswers.enqueue("Q");
        proj()->btnNewProjClick();
        QCOMPARE(proj()->SaveQuery(), TfProj::Cancelled);
        QCOMPARE(prompter->messages.last(), QString("Save changes to Untitled Project ?"));
        QVERIFY(!QFile::exists(work("Untitled Project")));
        prompter->saveAnswers.enqueue(work("q.vpr"));
        QCOMPARE(proj()->SaveQuery(), TfProj::Proceed);
        QCOMPARE(proj()->fileName(), work("q.vpr"));
        QCOMPARE(TestEnv::readAll(work("q.vpr")), QByteArray("Q\r\n"));
    }

    void openRefusesLevelErrorKeepingProject()
    {
        freshProject();
        prompter->openAnswers.enqueue({work("a.htm")});
        proj()->btnAddFileClick();
        prompter->answers.enqueue(UiPrompter::No);
        QVERIFY(TestEnv::writeAll(work("bad.vpr"), "T\na\n\t\t\tb\n"));
        prompter->openAnswers.enqueue({work("bad.vpr")});
        proj()->btnOpenProjClick();
        QCOMPARE(words(proj()->tree()), work("a.htm"));
        QCOMPARE(proj()->fileName(), work("empty.vpr"));
        QVERIFY(proj()->modified());
        QVERIFY(prompter->messages.last().startsWith("Unable to read " + work("bad.vpr")));
    }

    void f2ShowsProjectWindowModally()
    {
        freshProject();
        bool shown = false;
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, this, [&] {
            if (QApplication::activeModalWidget() == proj()) {
                shown = true;
                proj()->btnCloseClick();
            }
        });
        poll.start();
        QTest::keyClick(main->windowHandle(), Qt::Key_F2);
        QTRY_VERIFY(shown);
        QVERIFY(!proj()->isVisible());
        QVERIFY(prompter->messages.isEmpty());  // nothing changed, nothing asked
    }

    void saveOpenAsNewProject()
    {
        freshProject();
        prompter->messages.clear();
        main->action("SaveOpenasNewProject1Click")->trigger();
        QCOMPARE(prompter->messages, QStringList{"No current document."});
        QVERIFY(TestEnv::writeAll(work("page.htm"), "x"));
        main->OpenDocumentFile(work("page.htm"));
        main->FileNew();
        const QString untitled = main->activeDocument()->caption();
        prompter->inputAnswers.enqueue("");  // an empty name ends the command
        main->action("SaveOpenasNewProject1Click")->trigger();
        QCOMPARE(proj()->tree().size(), 0);
        prompter->inputAnswers.enqueue("Site");
        prompter->saveAnswers.enqueue(work("site.vpr"));
        main->action("SaveOpenasNewProject1Click")->trigger();
        QVERIFY(proj()->isVisible());
        QCOMPARE(prompter->messages.last(), QString("Save changes to Untitled Project ?"));
        QCOMPARE(TestEnv::readAll(work("site.vpr")),
                 QByteArray("Site\r\n" + untitled.toUtf8() + "\r\n" + work("page.htm").toUtf8() + "\r\n"));
        QCOMPARE(proj()->title(), QString("Site"));
        proj()->hide();
    }
};

VQ_TEST_MAIN(tst_Projects)
#include "tst_Projects.moc"
