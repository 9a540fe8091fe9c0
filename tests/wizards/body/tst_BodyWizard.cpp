// The body wizard: the BODY tag, putting it in place of the document's own,
// and the window's fields, spinners and preview.
#include "ScriptedPrompter.h"
#include "TestEnv.h"
#include "tags/TagTestSupport.h"

#include "wizards/body/BodyTag.h"
#include "wizards/body/TfWizBody.h"
#include "wizards/body/WebBodyPreview.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

namespace {
const QString kDefault = "<BODY BACKGROUND=\"\" BGCOLOR=\"#000000\" TEXT=\"#FFFFFF\" LINK=\"#00FFFF\" "
                         "VLINK=\"#00FF00\" ALINK=\"#0000FF\" >";
}

class tst_BodyWizard : public QObject {
    Q_OBJECT
private slots:
    void tag_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<quint32>("link");
        QTest::addColumn<quint32>("background");
        QTest::addColumn<QString>("tag");
        QTest::newRow("defaults") << "" << 0x00FFFFu << 0u << kDefault;
        QTest::newRow("link only") << "" << 0x123456u << 0u << QString(kDefault).replace("LINK=\"#00FFFF\"", "LINK=\"#123456\"");
        QTest::newRow("leading zeros, image") << "bg.gif" << 0x00FFFFu << 255u
            << "<BODY BACKGROUND=\"bg.gif\" BGCOLOR=\"#0000FF\" TEXT=\"#FFFFFF\" LINK=\"#00FFFF\" VLINK=\"#00FF00\" "
               "ALINK=\"#0000FF\" >";
    }
    void tag()
    {
        QFETCH(QString, image);
        QFETCH(quint32, link);
        QFETCH(quint32, background);
        QFETCH(QString, tag);
        BodyColors c;
        c.image = image;
        c.link = link;
        c.background = background;
        QCOMPARE(BodyTag::tag(c), tag);
    }

    void insert_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("asked");
        const QString doc = "<HTML>\n|text\n<BODY BGCOLOR=red>\n</HTML>";
        QTest::newRow("yes replaces") << doc << int(UiPrompter::Yes) << int(BodyTag::Replaced)
                                      << "<HTML>\ntext\nT|\n</HTML>" << true;
        QTest::newRow("no goes before") << doc << int(UiPrompter::No) << int(BodyTag::Before)
                                        << "<HTML>\ntext\nT|<BODY BGCOLOR=red>\n</HTML>" << true;
        QTest::newRow("small letters found") << "x|<body>" << int(UiPrompter::Yes) << int(BodyTag::Replaced) << "xT|" << true;
        QTest::newRow("no closing bracket") << "a|b <BODY x" << int(UiPrompter::Yes) << int(BodyTag::AtCaret)
                                            << "aT|b <BODY x" << false;
        QTest::newRow("no body, selection kept") << "a[sel]b" << int(UiPrompter::Yes) << int(BodyTag::AtCaret)
                                                 << "aT|selb" << false;
    }
    void insert()
    {
        QFETCH(QString, before);
        QFETCH(int, answer);
        QFETCH(int, outcome);
        QFETCH(QString, after);
        QFETCH(bool, asked);
        TestHost host;
        host.setTags("W", "N");
        TagEngine engine(host);
        QCOMPARE(BodyTag::insert(engine, "T", [] { return true; }), BodyTag::NoDocument);
        TestEditor ed;
        host.editor = &ed;
        Marked::set(ed, before);
        bool wasAsked = false;
        QCOMPARE(int(BodyTag::insert(engine, "T", [&] { wasAsked = true; return answer == UiPrompter::Yes; })), outcome);
        QCOMPARE(wasAsked, asked);
        QCOMPARE(Marked::get(ed), after);
    }

    void step_data()
    {
        QTest::addColumn<quint32>("value");
        QTest::addColumn<int>("delta");
        QTest::addColumn<QString>("shown");
        QTest::newRow("up") << 0u << 64 << "000040";
        QTest::newRow("down") << 0x100u << -64 << "0000C0";
        QTest::newRow("top") << 0xFFFFF0u << 64 << "FFFFFF";
        QTest::newRow("bottom") << 0x10u << -64 << "000000";
    }
    void step()
    {
        QFETCH(quint32, value);
        QFETCH(int, delta);
        QFETCH(QString, shown);
        QCOMPARE(BodyTag::hex(BodyTag::step(value, delta)), shown);
    }

    // A colour field shows six upper-case digits while the user types.
    void typing_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("cursor");  // -1: everything selected
        QTest::addColumn<QString>("keys");  // "<" is Backspace, "^" and "v" the Up and Down arrows
        QTest::addColumn<QString>("shown");
        QTest::newRow("over a selection") << "00FF00" << -1 << "abc" << "000ABC";
        QTest::newRow("at the end") << "00FF00" << 6 << "1" << "0FF001";
        QTest::newRow("not a digit") << "00FF00" << 6 << "g" << "00FF00";
        QTest::newRow("seventh digit") << "ABCDEF" << 6 << "1" << "ABCDEF";
        QTest::newRow("backspace") << "00ABCD" << 6 << "<" << "000ABC";
        QTest::newRow("emptied") << "00FF00" << -1 << "<" << "000000";
        QTest::newRow("Up steps like the spinner") << "00FF00" << 6 << "^" << "00FF40";
        QTest::newRow("Down steps like the spinner") << "00FF00" << 6 << "v" << "00FEC0";
    }
    void typing()
    {
        QFETCH(QString, start);
        QFETCH(int, cursor);
        QFETCH(QString, keys);
        QFETCH(QString, shown);
        TestHost host;
        TagEngine engine(host);
        TfWizBody w(engine, nullptr);
        QLineEdit* f = w.tLink;
        f->setText(start);
        if (cursor < 0)
            f->selectAll();
        else
            f->setCursorPosition(cursor);
        for (QChar c : keys) {
            if (c == '<' || c == '^' || c == 'v')
                QTest::keyClick(f, c == '<' ? Qt::Key_Backspace : c == '^' ? Qt::Key_Up : Qt::Key_Down);
            else
                QTest::keyClicks(f, QString(c));
        }
        QCOMPARE(f->text(), shown);
    }

    // The window: slashes, a spinner and a typed colour reach the memo; the
    // question is asked and Insert leaves the window open.
    void window()
    {
        ScriptedPrompter prompter;
        TestHost host;
        host.setTags("W", "N");
        TagEngine engine(host);
        TestEditor ed;
        host.editor = &ed;
        TfWizBody w(engine, nullptr);
        // The rendering control starts with the first showing, not with the window.
        auto* pane = qobject_cast<WebBodyPreview*>(w.Preview->widget());
        QVERIFY(pane && !pane->viewer());
        w.showWizard();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(pane->viewer());
        QCOMPARE(w.Memo->toPlainText(), kDefault + "\n<H2>This is a heading</H2>\nThis is some text\n"
                                                   "<A HREF=\"Link.htm\">This is a link.</a>");
        w.tImage->setText("C:\\img\\bg.gif");
        w.btnSlash->click();
        QCOMPARE(w.tImage->text(), QString("C:/img/bg.gif"));
        w.spinButton(TfWizBody::Active, true)->click();
        w.tLink->setText("12ab");
        QMetaObject::invokeMethod(w.tLink, "editingFinished");
        QCOMPARE(w.tLink->text(), QString("0012AB"));
        const QString tag = "<BODY BACKGROUND=\"C:/img/bg.gif\" BGCOLOR=\"#000000\" TEXT=\"#FFFFFF\" LINK=\"#0012AB\" "
                            "VLINK=\"#00FF00\" ALINK=\"#00013F\" >";
        QCOMPARE(w.Memo->toPlainText().section('\n', 0, 0), tag);
        Marked::set(ed, "<BODY>|");
        prompter.answers.enqueue(UiPrompter::No);
        w.OKBtn->click();
        QCOMPARE(prompter.messages, QStringList{"Replace existing Body Definition ?"});
        QCOMPARE(Marked::get(ed), tag + "|<BODY>");
        QVERIFY(w.isVisible());
    }
};

VQ_TEST_MAIN(tst_BodyWizard)
#include "tst_BodyWizard.moc"
