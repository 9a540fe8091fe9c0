// The key map driven by key events, as the windowing system delivers them to
// the active main window: modifier keys first, then the key, through the
// shortcut override of the focused editor and the frame's shortcuts. Each key
// is judged by what its command does.
#include "app/FindDialogs.h"
#include "app/TAboutBox.h"
#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "tags/TagsModule.h"
#include "tools/ToolsModule.h"
#include "tools/TfNotePad.h"
#include "tools/TfPlugIn.h"
#include "editor/TOvcTextFileEditor.h"
#include "tags/TfColorChooser.h"
#include "tags/TfHTMLTags.h"
#include "tags/TfSymbol.h"
#include "ScriptedPrompter.h"
#include "TestEnv.h"
#include "../tags/TagTestSupport.h"

#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <memory>

namespace {

const QString kReady = QStringLiteral("   Ready ...");

QString work(const QString& name)
{
    return TestEnv::workDir() + QLatin1Char('/') + name;
}


QString selectedText(const TOvcTextFileEditor* ed)
{
    int l1 = 0, c1 = 0, l2 = 0, c2 = 0;
    if (!ed->SelectionRange(l1, c1, l2, c2))
        return QString();
    QString out;
    for (int line = l1; line <= l2; ++line) {
        const QString t = ed->LineText(line);
        const int from = line == l1 ? c1 - 1 : 0;
        const int to = line == l2 ? c2 - 1 : int(t.size());
        out += t.mid(from, to - from);
        if (line < l2)
            out += QLatin1Char('\n');
    }
    return out;
}

QPoint caretOf(const TOvcTextFileEditor* ed)
{
    int line = 0, col = 0;
    ed->CaretPosition(line, col);
    return QPoint(col, line);
}

} // namespace

class tst_KeyEvents : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<ScriptedPrompter> prompter;
    std::unique_ptr<TmdiMain> main;
    TfHTML* doc = nullptr;
    QHash<QString, int> hiddenRuns;

    TOvcTextFileEditor* ed() const { return doc->txtHTML; }
    QString text() const { return Marked::get(*doc->txtHTML); }

    // Every key of a sequence, pressed and released on the main window.
    void press(const QKeySequence& keys)
    {
        for (int i = 0; i < keys.count(); ++i)
            QTest::keyClick(main->windowHandle(), keys[i].key(), keys[i].keyboardModifiers());
        QCoreApplication::processEvents();
    }

    void closeDocuments()
    {
        for (TfHTML* d : main->documents())
            d->approveClose();
        main->CloseAll1Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    // The main window active, the active document's editor with the focus.
    void activateMain()
    {
        main->activateWindow();
        // A chooser window counts as part of the main window for
        // qWaitForWindowActive; the keys need the main window itself.
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(main.get()));
        if (TfHTML* active = main->activeDocument())
            active->txtHTML->setFocus();
    }

    TfHTML* openDocument(const QString& name, const QByteArray& bytes)
    {
        const QString path = work(name);
        QFile::remove(path);
        TestEnv::writeAll(path, bytes);
        main->OpenDocumentFile(path);
        return main->activeDocument();
    }

    QList<QWidget*> visibleWindows() const
    {
        QList<QWidget*> out;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                out << w;
        return out;
    }

private slots:
    void initTestCase()
    {
        QDir::setCurrent(TestEnv::workDir());
        TestEnv::writeAll(TestEnv::programDir() + "/standard.tpl", QByteArray());
        TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI",
                          "[System]\nOpen Template=0\n[Tags]\nCase=W\nStay Selected=Y\n");
        prompter = std::make_unique<ScriptedPrompter>();
        main = std::make_unique<TmdiMain>();
        TestEnv::showFrame(*main);
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        for (const char* name : {"PrintPreview", "NetscapeExtensions1", "HTML3Extensions1",
                                 "ClientSideImageMapWizard1"}) {
            QAction* a = main->action(name);
            QVERIFY2(a, name);
            hiddenRuns.insert(name, 0);
            connect(a, &QAction::triggered, this, [this, name] { ++hiddenRuns[name]; });
        }
    }

    void cleanupTestCase()
    {
        doc = nullptr;
        closeDocuments();
        main.reset();
        prompter.reset();
    }

    void init()
    {
        doc = nullptr;
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        closeDocuments();
        main->module<TagsModule>().symbolChooser()->hide();
        main->module<TagsModule>().htmlTagsChooser()->hide();
        main->module<TagsModule>().colorChooser()->hide();
        prompter->messages.clear();
        prompter->answers.clear();
        prompter->openAnswers.clear();
        prompter->saveAnswers.clear();
        prompter->beeps = 0;
        main->tagEngine().setLastPair(QString(), QString());
        doc = openDocument("keys.html", "x\n");
        QVERIFY(doc);
        activateMain();
    }

    // The keys that insert markup, including the events X11 delivers for
    // Shift+Ctrl and a digit: the shifted symbol with both modifiers.
    void tagKeys_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Ctrl+B") << QKeySequence("Ctrl+B") << "a|b" << "a<B>|</B>b";
        QTest::newRow("Ctrl+B on selection") << QKeySequence("Ctrl+B") << "Say [Hello]!" << "Say <B>[Hello]</B>!";
        QTest::newRow("Ctrl+I") << QKeySequence("Ctrl+I") << "|" << "<I>|</I>";
        QTest::newRow("Shift+Ctrl+U") << QKeySequence("Shift+Ctrl+U") << "|" << "<U>|</U>";
        for (int n = 1; n <= 6; ++n) {
            const QString heading = QString("<H%1>|</H%1>").arg(n);
            QTest::addRow("Shift+Ctrl+%d", n) << QKeySequence(QString("Shift+Ctrl+%1").arg(n)) << "|" << heading;
            QTest::addRow("Ctrl+Alt+%d", n) << QKeySequence(QString("Ctrl+Alt+%1").arg(n)) << "|"
                                            << QString("<H%1 ALIGN=LEFT>|</H%1>").arg(n);
        }
        QTest::newRow("Ctrl+H") << QKeySequence("Ctrl+H") << "a|b" << "a<HR>|b";
        QTest::newRow("Shift+Ctrl+H") << QKeySequence("Shift+Ctrl+H") << "a|b" << "a<HR SIZE=n>|b";
        QTest::newRow("F4 repeats") << QKeySequence("Ctrl+I, F4") << "|" << "<I><I>|</I></I>";
        QTest::newRow("F4 repeats a heading") << QKeySequence("Shift+Ctrl+2, F4") << "[x]" << "<H2><H2>[x]</H2></H2>";
    }

    void tagKeys()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, document);
        QFETCH(QString, expected);
        Marked::set(*ed(), document);
        press(keys);
        QCOMPARE(text(), expected);
        QVERIFY(ed()->Modified());
        QCOMPARE(main->statusText(), kReady);
    }

    // The digit keys by their place on the keyboard, whatever the layout puts
    // there: a key press that no shortcut took, with its X11 key code.
    void digitKeysByPosition_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("scanCode");
        QTest::addColumn<QString>("expected");
        const int shiftCtrl = int(Qt::ShiftModifier | Qt::ControlModifier);
        const int ctrlAlt = int(Qt::ControlModifier | Qt::AltModifier);
        QTest::newRow("US Shift+Ctrl+1 gives !") << int(Qt::Key_Exclam) << shiftCtrl << 10 << "<H1>|</H1>";
        QTest::newRow("US Shift+Ctrl+6 gives ^") << int(Qt::Key_AsciiCircum) << shiftCtrl << 15 << "<H6>|</H6>";
        QTest::newRow("AZERTY Ctrl+Alt+1 gives &") << int(Qt::Key_Ampersand) << ctrlAlt << 10 << "<H1 ALIGN=LEFT>|</H1>";
        QTest::newRow("AZERTY Ctrl+Alt+2 gives e acute") << int(Qt::Key_Eacute) << ctrlAlt << 11 << "<H2 ALIGN=LEFT>|</H2>";
        QTest::newRow("AZERTY Shift+Ctrl+$ is no heading") << int(Qt::Key_Dollar) << shiftCtrl << 35 << "|";
        QTest::newRow("AltGr on the 4 key is no heading")
            << int(Qt::Key_BraceLeft) << int(Qt::ShiftModifier | Qt::ControlModifier | Qt::GroupSwitchModifier) << 13 << "|";
        QTest::newRow("digit 7 has no command") << int(Qt::Key_Ampersand) << shiftCtrl << 16 << "|";
    }

    void digitKeysByPosition()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, scanCode);
        QFETCH(QString, expected);
        Marked::set(*ed(), "|");
        QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), quint32(scanCode), 0, 0);
        QApplication::sendEvent(ed(), &press);
        QCOMPARE(text(), expected);
    }

    // Undo, the clipboard keys and delete.
    void editKeys_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("clipboardBefore");
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("clipboardAfter");
        QTest::addColumn<bool>("modified");
        QTest::newRow("Ctrl+U takes back a rule") << QKeySequence("Ctrl+H, Ctrl+U") << "" << "ab|" << "ab|" << "" << true;
        QTest::newRow("Ctrl+X") << QKeySequence("Ctrl+X") << "" << "a[bc]d" << "a|d" << "bc" << true;
        QTest::newRow("Ctrl+C, Ctrl+V") << QKeySequence("Ctrl+C, End, Ctrl+V") << "" << "a[bc]d" << "abcdbc|"
                                        << "bc" << true;
        QTest::newRow("Ctrl+V") << QKeySequence("Ctrl+V") << "XY" << "a|b" << "aXY|b" << "XY" << true;
        // The frame's commands mark the document changed even when nothing was there to cut or paste.
        QTest::newRow("Ctrl+X without selection") << QKeySequence("Ctrl+X") << "keep" << "a|b" << "a|b" << "keep" << true;
        QTest::newRow("Ctrl+V with empty clipboard") << QKeySequence("Ctrl+V") << "" << "a|b" << "a|b" << "" << true;
        QTest::newRow("Ctrl+Del on selection") << QKeySequence("Ctrl+Del") << "" << "a[bc]d" << "a|d" << "" << true;
        // The frame's Delete, not the editor's own word deletion.
        QTest::newRow("Ctrl+Del without selection") << QKeySequence("Ctrl+Del") << "" << "a|bcd e" << "a|bcd e"
                                                    << "" << true;
    }

    void editKeys()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, clipboardBefore);
        QFETCH(QString, document);
        QFETCH(QString, expected);
        QFETCH(QString, clipboardAfter);
        QGuiApplication::clipboard()->setText(clipboardBefore);
        Marked::set(*ed(), document);
        press(keys);
        QCOMPARE(text(), expected);
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboardAfter);
        QTEST(ed()->Modified(), "modified");
    }

    // Ctrl+F1..F9 set a bookmark in the active window, Shift+Ctrl+F1..F9 go
    // to it; each window has its own. Ctrl+F3 and Ctrl+F7 set bookmarks only.
    void bookmarkKeys_data()
    {
        QTest::addColumn<int>("number");
        for (int n = 1; n <= 9; ++n)
            QTest::addRow("F%d", n) << n;
    }

    void bookmarkKeys()
    {
        QFETCH(int, number);
        const QKeySequence set(QString("Ctrl+F%1").arg(number));
        const QKeySequence go(QString("Shift+Ctrl+F%1").arg(number));
        QString lines;
        for (int i = 1; i <= 12; ++i)
            lines += QString("line %1 find me\n").arg(i);
        Marked::set(*ed(), lines);
        main->LastSearchText = "find me";
        const QPoint mark(number + 1, 10);
        ed()->MoveCaret(mark.y(), mark.x());
        press(set);
        QCOMPARE(caretOf(ed()), mark);
        QVERIFY(selectedText(ed()).isEmpty());  // no search ran
        ed()->MoveCaret(1, 1);
        press(go);
        QCOMPARE(caretOf(ed()), mark);

        TfHTML* first = doc;
        ed()->MoveCaret(1, 1);
        TfHTML* second = openDocument("keys2.html", "one\ntwo\nthree\n");
        QVERIFY(second && second != first);
        activateMain();
        second->txtHTML->MoveCaret(2, 2);
        press(go);  // not set in this window
        QCOMPARE(caretOf(second->txtHTML), QPoint(2, 2));
        second->txtHTML->MoveCaret(3, 1);
        press(set);
        second->txtHTML->MoveCaret(1, 1);
        press(go);
        QCOMPARE(caretOf(second->txtHTML), QPoint(1, 3));
        QCOMPARE(caretOf(first->txtHTML), QPoint(1, 1));

        main->showDocument(first);
        press(go);
        QCOMPARE(caretOf(first->txtHTML), mark);
        QVERIFY(!first->txtHTML->Modified());
    }

    // Ctrl+G opens the Goto submenu; its access keys run its entries.
    void gotoMenuKeys_data()
    {
        QTest::addColumn<Qt::Key>("accessKey");
        QTest::addColumn<QString>("selected");
        QTest::newRow("head") << Qt::Key_H << "<head>";
        QTest::newRow("title") << Qt::Key_T << "<title>";
        QTest::newRow("body") << Qt::Key_B << "<body bgcolor=x>";
        QTest::newRow("url") << Qt::Key_U << "<a href=\"x.htm\">x</a>";
        QTest::newRow("mail url") << Qt::Key_M << "<a href=\"mailto:k@x\">k</a>";
        QTest::newRow("table") << Qt::Key_A << "<table><tr></tr></table>";
        QTest::newRow("form") << Qt::Key_F << "<form></form>";
        QTest::newRow("image") << Qt::Key_I << "<img src=a.gif>";
        QTest::newRow("applet") << Qt::Key_J << "<applet code=a></applet>";
        QTest::newRow("list item") << Qt::Key_L << "<li>";
        QTest::newRow("last updated") << Qt::Key_P << "Last Updated by Kim.</i>";
    }

    void gotoMenuKeys()
    {
        QFETCH(Qt::Key, accessKey);
        QFETCH(QString, selected);
        Marked::set(*ed(), "|<html><head><title>T</title></head>\n<body bgcolor=x>\n"
                           "<a href=\"x.htm\">x</a> <a href=\"mailto:k@x\">k</a>\n"
                           "<table><tr></tr></table><form></form><img src=a.gif><applet code=a></applet>\n"
                           "<ul><li>item</ul>\n<i>Last Updated by Kim.</i>\n</body></html>");
        press(QKeySequence("Ctrl+G"));
        QMenu* gotoMenu = main->menu("&Goto");
        QVERIFY(gotoMenu);
        QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget*>(gotoMenu));
        // Under the caret, not wherever the pointer happens to be.
        const QPoint caret = ed()->viewport()->mapToGlobal(ed()->cursorRect().bottomLeft());
        QVERIFY((gotoMenu->pos() - caret).manhattanLength() < 40);
        QTest::keyClick(main->windowHandle(), accessKey);
        QTRY_VERIFY(!gotoMenu->isVisible());
        QCOMPARE(selectedText(ed()), selected);
        QVERIFY(prompter->messages.isEmpty());
    }

    // Ctrl+W is the document window's own Close key, which the key map lacks.
    void documentWindowKeepsNoKeys()
    {
        Marked::set(*ed(), "a|b");
        const int before = main->documents().size();
        press(QKeySequence("Ctrl+W"));
        QCOMPARE(main->documents().size(), before);
        QCOMPARE(main->activeDocument(), doc);
    }

    // Keys that show a window.
    void windowKeys_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("window");
        QTest::newRow("F3 tag chooser") << QKeySequence("F3") << "tags";
        QTest::newRow("F7 colour chooser") << QKeySequence("F7") << "colours";
        QTest::newRow("Ctrl+F find") << QKeySequence("Ctrl+F") << "find";
        QTest::newRow("Ctrl+R replace") << QKeySequence("Ctrl+R") << "replace";
        QTest::newRow("F5 note pad") << QKeySequence("F5") << "notepad";
        QTest::newRow("F10 plug-ins") << QKeySequence("F10") << "plugins";
    }

    void windowKeys()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, window);
        QWidget* w = window == "tags"    ? static_cast<QWidget*>(main->module<TagsModule>().htmlTagsChooser())
            : window == "colours"        ? static_cast<QWidget*>(main->module<TagsModule>().colorChooser())
            : window == "find"           ? static_cast<QWidget*>(doc->findDialog())
            : window == "notepad"        ? static_cast<QWidget*>(main->module<ToolsModule>().notePad())
            : window == "plugins"        ? static_cast<QWidget*>(main->module<ToolsModule>().plugInWindow())
                                         : static_cast<QWidget*>(doc->replaceDialog());
        QVERIFY(!w->isVisible());
        Marked::set(*ed(), "a|b");
        press(keys);
        QTRY_VERIFY(w->isVisible());
        QCOMPARE(text(), QString("a|b"));
        w->close();
    }

    // Ctrl+M goes to the partner tag, Ctrl+L to a line by number.
    void editingViewKeys()
    {
        Marked::set(*ed(), "<b|>x</b>\nline two");
        press(QKeySequence("Ctrl+M"));
        int line = 0, col = 0;
        ed()->CaretPosition(line, col);
        QCOMPARE(col, 6);
        prompter->inputAnswers.enqueue("2");
        press(QKeySequence("Ctrl+L"));
        ed()->CaretPosition(line, col);
        QCOMPARE(line, 2);
        QVERIFY(prompter->inputAnswers.isEmpty());
    }

    // F3, a mouse-down on a tag of the chooser, back to the document, F4.
    void chooserThenRepeatKey()
    {
        Marked::set(*ed(), "a|b");
        press(QKeySequence("F3"));
        TfHTMLTags* tags = main->module<TagsModule>().htmlTagsChooser();
        QVERIFY(QTest::qWaitForWindowExposed(tags));
        QTreeWidgetItem* item = nullptr;
        for (int i = 0; i < tags->lstHTML->topLevelItemCount(); ++i)
            if (tags->lstHTML->topLevelItem(i)->text(0) == "<TABLE>")
                item = tags->lstHTML->topLevelItem(i);
        QVERIFY(item);
        tags->lstHTML->scrollToItem(item);
        const QPoint at = tags->lstHTML->visualItemRect(item).center();
        QTest::mousePress(tags->lstHTML->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(tags->lstHTML->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(text(), QString("a|b"));
        activateMain();
        press(QKeySequence("F4"));
        QCOMPARE(text(), QString("a<TABLE>|</TABLE>b"));
    }

    void openKeyAsksForFiles()
    {
        const QString other = work("opened-by-key.html");
        TestEnv::writeAll(other, "<p>\n");
        prompter->openAnswers.enqueue({other});
        press(QKeySequence("Ctrl+O"));
        QVERIFY(prompter->openAnswers.isEmpty());
        QCOMPARE(main->documents().size(), 2);
        QCOMPARE(main->activeDocument()->caption(), other);
    }

    void saveKeyWritesFile()
    {
        Marked::set(*ed(), "x|");
        press(QKeySequence("Ctrl+B, Ctrl+S"));
        QCOMPARE(TestEnv::readAll(work("keys.html")), QByteArray("x<B></B>\n"));
        QVERIFY(!ed()->Modified());
        QVERIFY(prompter->saveCaptions.isEmpty());
    }

    void aboutKeyShowsAboutBox()
    {
        bool shown = false;
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, this, [&] {
            if (QApplication::activeModalWidget() == main->aboutBox()) {
                shown = true;
                main->aboutBox()->reject();
            }
        });
        poll.start();
        press(QKeySequence("Shift+F1"));
        QTRY_VERIFY(shown);
        poll.stop();
        QVERIFY(!main->aboutBox()->isVisible());
    }

    // The hidden entries have no key, and their menus' access keys pass them
    // by; none of the keys pressed above reached them either (this runs last).
    void hiddenEntriesUnreachable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QKeySequence>("menuKey");
        QTest::addColumn<Qt::Key>("accessKey");
        QTest::newRow("print preview") << "PrintPreview" << QKeySequence("Alt+F") << Qt::Key_V;
        QTest::newRow("image map wizard") << "ClientSideImageMapWizard1" << QKeySequence("Alt+Z") << Qt::Key_M;
        QTest::newRow("netscape") << "NetscapeExtensions1" << QKeySequence("Alt+Z") << Qt::Key_N;
        QTest::newRow("html 3") << "HTML3Extensions1" << QKeySequence("Alt+Z") << Qt::Key_3;
    }

    void hiddenEntriesUnreachable()
    {
        QFETCH(QString, name);
        QFETCH(QKeySequence, menuKey);
        QFETCH(Qt::Key, accessKey);
        QAction* a = main->action(name);
        QVERIFY(a);
        QVERIFY(a->shortcuts().isEmpty());
        QVERIFY(!a->isVisible());
        QVERIFY(!a->isEnabled());
        QCOMPARE(hiddenRuns.value(name), 0);
        Marked::set(*ed(), "a|b");
        press(menuKey);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QVERIFY(QApplication::activePopupWidget()->actions().contains(a));
        QTest::keyClick(main->windowHandle(), accessKey);
        while (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        QCOMPARE(hiddenRuns.value(name), 0);
        QCOMPARE(text(), QString("a|b"));
    }
};

VQ_TEST_MAIN(tst_KeyEvents)
#include "tst_KeyEvents.moc"
