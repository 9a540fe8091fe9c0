// The table wizard: the table's HTML, table files both ways and damaged
// ones, the grid's keys and drops, and delivery into a document.
#include "ScriptedPrompter.h"
#include "TestEnv.h"
#include "tags/TagTestSupport.h"

#include "app/ListFile.h"
#include "tags/ListDragSource.h"
#include "wizards/table/TfTableWiz.h"
#include "wizards/table/tHTMLStringGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

namespace {
QString work(const QString& name)
{
    return TestEnv::workDir() + QLatin1Char('/') + name;
}

// A table from a short description: "rows x cols", then "c,r=text" cells.
TableData table(int rows, int cols, const QStringList& cells = {})
{
    TableData t;
    t.resize(rows, cols);
    for (const QString& c : cells) {
        const int eq = c.indexOf('=');
        const QStringList at = c.left(eq).split(',');
        t.setCell(at[0].toInt(), at[1].toInt(), c.mid(eq + 1));
    }
    return t;
}
}

class tst_TableWizard : public QObject {
    Q_OBJECT
    TestHost host;
    TestEditor editor;
    TagEngine engine{host};
    ScriptedPrompter prompter;

private slots:
    void init()
    {
        host.editor = &editor;
        prompter.messages.clear();
        prompter.answers.clear();
    }

    void html_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("defaults") << "defaults"
            << QStringList{"<table border=1>", "<tr><th nowrap colspan=2>My Title</th></tr>", "<tr>",
                           "<TH nowrap><br></TH>", "<TH nowrap><br></TH>", "</tr>", "<tr>", "<td nowrap><br></td>",
                           "<td nowrap><br></td>", "</tr>", "</table><p>"};
        QTest::newRow("footer, no header") << "footer"
            << QStringList{"<table border=3>", "<tr>", "<TD nowrap>a&b</TD>", "</tr>", "<tr>", "<td nowrap><i>x</i></td>",
                           "</tr>", "<tr><th nowrap colspan=1>Foot</th></tr>", "</table><p>"};
        QTest::newRow("title 2 on top, one row") << "top"
            << QStringList{"<table border=1>", "<tr><th nowrap colspan=1>T1</th></tr>",
                           "<tr><th nowrap colspan=1>T2</th></tr>", "<tr>", "<TH nowrap>h</TH>", "</tr>", "</table><p>"};
    }

    void html()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, lines);
        TableData t = table(2, 2);
        t.Caption1 = "My Title";
        if (setup == "footer") {
            t = table(2, 1, {"0,0=a&b", "0,1=<i>x</i>"});
            t.HeaderOn = false;
            t.border = 3;
            t.Caption2 = "Foot";
            t.Caption2Placement = TableData::cpBottom;
        } else if (setup == "top") {
            t = table(1, 1, {"0,0=h"});
            t.Caption1 = "T1";
            t.Caption2 = "T2";
        }
        QCOMPARE(TableHtml::generate(t), lines);
    }

    // The file as written, and read back into a grid full of other text.
    void fileRoundTrip()
    {
        TableData t = table(3, 2, {"0,1=Apples", "1,2=a|b", "0,0=caf\u00e9"});
        t.Caption1 = "My Title";
        t.Caption2Placement = TableData::cpBottom;
        t.setRowHeight(0, 24);
        t.setColWidth(1, 159);
        const QByteArray bytes = TableFile::format(t);
        QCOMPARE(bytes, QByteArray("|\r\n3|2\r\n16\r\nMy Title\r\n\r\nBottom\r\nRow 0 Height: 24\r\n"
                                   "Column 1 Width: 159\r\n0|0|caf\xc3\xa9\r\n0|1|Apples\r\n1|2|a|b\r\n\r\n"));
        TableData back = table(4, 4, {"3,3=old", "1,1=old"});
        QString error;
        QVERIFY(TableFile::parse(ListFile::splitLines(QString::fromUtf8(bytes)) << QString(), back, &error));
        QCOMPARE(TableFile::format(back), bytes);
    }

    // A bad line stops the reading there; what came before stays.
    void damaged_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("badLine");
        QTest::addColumn<QString>("kept");
        QTest::newRow("bad count") << "|\n2|x\n16" << 2 << "";
        QTest::newRow("no separator in count") << "|\n22\n16" << 2 << "";
        QTest::newRow("bad height") << "|\n2|2\n16\n\n\nTop\n0|0|a\nRow 1 Height: tall\n1|1|b" << 8 << "a";
        QTest::newRow("bad cell row") << "|\n2|2\n16\n\n\nTop\n0|0|a\n1|x|b\n1|1|c" << 8 << "a";
        QTest::newRow("missing second separator") << "|\n2|2\n16\n\n\nTop\n0|0|a\n1|b" << 8 << "a";
        QTest::newRow("cell outside") << "|\n2|2\n16\n\n\nTop\n0|0|a\n5|0|b" << 8 << "a";
        QTest::newRow("more rows than the fields allow") << "|\n10000|10000\n16" << 2 << "";
        QTest::newRow("501 columns") << "|\n2|501\n16" << 2 << "";
    }

    void damaged()
    {
        QFETCH(QString, file);
        QFETCH(int, badLine);
        QFETCH(QString, kept);
        TableData t = table(2, 2, {"1,1=old"});
        QString error;
        QVERIFY(!TableFile::parse(file.split('\n'), t, &error));
        QVERIFY2(error.startsWith(QString("Line %1 ").arg(badLine)), qPrintable(error));
        QCOMPARE(t.cell(0, 0), kept);
        QCOMPARE(t.cell(1, 1), QString());
    }

    // The first save keeps the old file as the backup; later saves keep that backup.
    void backup()
    {
        const QString path = work("prices.vtb");
        QFile::remove(path);
        QFile::remove(path + "BAK");
        TestEnv::writeAll(path, "first");
        TableFile::save(path, table(1, 1, {"0,0=second"}), true);
        TableFile::save(path, table(1, 1, {"0,0=third"}), true);
        QCOMPARE(TestEnv::readAll(path + "BAK"), QByteArray("first"));
        QVERIFY(TestEnv::readAll(path).contains("0|0|third"));
    }

    // OK pastes the HTML at the caret (no tag case), or leaves it on the clipboard.
    void deliver_data()
    {
        QTest::addColumn<bool>("document");
        QTest::newRow("into document") << true;
        QTest::newRow("no document") << false;
    }

    void deliver()
    {
        QFETCH(bool, document);
        host.editor = document ? &editor : nullptr;
        host.setTags("L", "Y");
        Marked::set(editor, "a[sel]b");
        TfTableWiz w(engine);
        w.spnRows->setValue(1);
        w.spnCols->setValue(1);
        w.txtHead->setText("Name");
        w.btnSet->click();
        w.optUseTitle1->setChecked(false);
        w.OKBtn->click();
        const QString html = "<table border=1>\r\n<tr>\r\n<TH nowrap>Name</TH>\r\n</tr>\r\n</table><p>\r\n";
        QCOMPARE(QGuiApplication::clipboard()->text(), html);
        QCOMPARE(Marked::get(editor), document ? QString(html).replace("\r\n", "\n").prepend("a") + "|b" : "a[sel]b");
        QCOMPARE(prompter.messages, document ? QStringList()
                                             : QStringList{"No current document : Table definition copied to Clipboard instead"});
    }

    // Down in the last row adds one; Insert adds one at the current row;
    // Ctrl+Delete asks first and never goes below 2 rows.
    void keys_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("after");
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("at");  // the cursor's row; -1: the last
        QTest::newRow("down in last row") << 2 << int(Qt::Key_Down) << 0 << 3 << 0 << 1;
        QTest::newRow("down above last") << 3 << int(Qt::Key_Down) << 0 << 3 << 0 << 1;
        QTest::newRow("insert") << 2 << int(Qt::Key_Insert) << 0 << 3 << 0 << 1;
        QTest::newRow("delete, OK") << 3 << int(Qt::Key_Delete) << int(UiPrompter::Ok) << 2 << 1 << 1;
        QTest::newRow("delete, Cancel") << 3 << int(Qt::Key_Delete) << int(UiPrompter::Cancel) << 3 << 1 << 1;
        QTest::newRow("delete at 2 rows") << 2 << int(Qt::Key_Delete) << 0 << 2 << 0 << 1;
        // Rows the fields cannot show, or the user did not point at, stay as they are.
        QTest::newRow("delete on the header row") << 3 << int(Qt::Key_Delete) << int(UiPrompter::Ok) << 3 << 0 << 0;
        QTest::newRow("down in the last of 500 rows") << 500 << int(Qt::Key_Down) << 0 << 500 << 0 << -1;
        QTest::newRow("insert into 500 rows") << 500 << int(Qt::Key_Insert) << 0 << 500 << 0 << 1;
    }

    void keys()
    {
        QFETCH(int, rows);
        QFETCH(int, key);
        QFETCH(int, answer);
        QFETCH(int, after);
        QFETCH(int, asked);
        QFETCH(int, at);
        TfTableWiz w(engine);
        w.spnRows->setValue(rows);
        w.grdTable->setCellText(0, 1, "first body row");
        w.grdTable->setCurrentCell(at < 0 ? rows - 1 : at, 0);
        if (answer)
            prompter.answers.enqueue(answer);
        QTest::keyClick(w.grdTable, Qt::Key(key), key == Qt::Key_Delete ? Qt::ControlModifier : Qt::NoModifier);
        QCOMPARE(w.grdTable->rowCount(), after);
        QCOMPARE(w.spnRows->value(), after);
        QCOMPARE(prompter.messages.size(), asked);
        const bool moved = key == Qt::Key_Insert && after > rows;
        const bool gone = after < rows;
        QCOMPARE(w.grdTable->cellText(0, moved ? 2 : 1), gone ? QString() : QString("first body row"));
    }

    // The grid's keys work in a cell being edited too; moving to a cell
    // opens no editor.
    void keysWhileEditing_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("kept");  // text of the edited cell, or of the row below it
        QTest::newRow("Ctrl+Delete removes the row") << int(Qt::Key_Delete) << int(Qt::ControlModifier) << 1 << 2 << "below";
        QTest::newRow("Insert adds a row") << int(Qt::Key_Insert) << int(Qt::NoModifier) << 1 << 4 << "typed";
        QTest::newRow("Down in the last row adds one") << int(Qt::Key_Down) << int(Qt::NoModifier) << 2 << 4 << "typed";
    }

    void keysWhileEditing()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, at);
        QFETCH(int, after);
        QFETCH(QString, kept);
        TfTableWiz w(engine);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.spnRows->setValue(3);
        w.grdTable->setCellText(0, 2, "below");
        w.grdTable->setCurrentCell(at, 0);
        const auto editors = [&w] {
            int n = 0;
            for (QLineEdit* e : w.grdTable->viewport()->findChildren<QLineEdit*>())
                n += e->isVisible();
            return n;
        };
        QCOMPARE(editors(), 0);
        w.grdTable->edit(w.grdTable->model()->index(at, 0));
        QCOMPARE(editors(), 1);
        QLineEdit* editor = w.grdTable->viewport()->findChild<QLineEdit*>();
        editor->setText("typed");
        prompter.answers.enqueue(UiPrompter::Ok);
        QTest::keyClick(editor, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(w.grdTable->rowCount(), after);
        QCOMPARE(w.spnRows->value(), after);
        QCOMPARE(prompter.messages.size(), key == Qt::Key_Delete ? 1 : 0);
        const int row = key == Qt::Key_Insert ? at + 1 : at;
        QCOMPARE(w.grdTable->cellText(0, row), kept);
    }

    // Enter in a field confirms that field; only OK pastes the table.
    void enterInField_data()
    {
        QTest::addColumn<QString>("field");
        for (const char* f : {"spnRows", "spnCols", "spnBorder", "txtHead", "txtTitle1", "txtTitle2"})
            QTest::newRow(f) << QString(f);
    }

    void enterInField()
    {
        QFETCH(QString, field);
        Marked::set(editor, "a|b");
        TfTableWiz w(engine);
        QWidget* fields[] = {w.spnRows, w.spnCols, w.spnBorder, w.txtHead, w.txtTitle1, w.txtTitle2};
        const QStringList names{"spnRows", "spnCols", "spnBorder", "txtHead", "txtTitle1", "txtTitle2"};
        QWidget* f = fields[names.indexOf(field)];
        w.showWizard();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        f->setFocus();
        QTest::keyClick(f, Qt::Key_Return);
        QVERIFY(w.isVisible());
        QCOMPARE(Marked::get(editor), QString("a|b"));
    }

    // Leaving the Heading field sets the current column's heading, changed or not.
    void headingOnLeave()
    {
        TfTableWiz w(engine);
        w.showWizard();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.txtHead->setFocus();
        w.txtHead->setText("Name");
        for (int col : {0, 1}) {
            w.grdTable->setCurrentCell(1, col);
            w.txtHead->setFocus();
            w.txtTitle1->setFocus();
            QCOMPARE(w.grdTable->cellText(col, 0), QString("Name"));
        }
    }

    // A library entry dropped on the grid fills the current cell, not the one under the mouse.
    void dropFromList()
    {
        TfTableWiz w(engine);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.grdTable->setCurrentCell(1, 1);
        engine.setLastPair("<A HREF=\"x\">X</A>", "");
        std::unique_ptr<QMimeData> data(ListDragSource::makeMimeData("<A HREF=\"x\">X</A>"));
        const QPoint at = w.grdTable->visualItemRect(w.grdTable->item(0, 0)).center();
        QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.grdTable->viewport(), &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.grdTable->viewport(), &drop);
        QCOMPARE(w.grdTable->cellText(1, 1), QString("<A HREF=\"x\">X</A>"));
        QCOMPARE(w.grdTable->cellText(0, 0), QString());
    }

    // Load sets the count fields; a damaged file is reported, its first
    // cells kept and its name dropped, so nothing saves over it; Save As
    // cancelled still saves under the current name; the grid saves itself
    // once more when it goes.
    void files()
    {
        const QString path = work("t.vtb");
        TestEnv::writeAll(path, "|\r\n3|4\r\n16\r\nT\r\n\r\nTop\r\n2|2|x\r\nRow 1 Height: ?\r\n");
        {
            TfTableWiz w(engine);
            prompter.openAnswers.enqueue({path});
            w.btnLoadTableClick();
            QCOMPARE(w.spnRows->value(), 3);
            QCOMPARE(w.spnCols->value(), 4);
            QCOMPARE(w.grdTable->cellText(2, 2), QString("x"));
            QCOMPARE(prompter.messages.size(), 1);
            QVERIFY(prompter.messages.first().contains(path));
            QVERIFY(w.grdTable->FileName.isEmpty());
            prompter.saveAnswers.enqueue(path);
            w.btnSaveTableClick();
            w.grdTable->setCellText(0, 1, "saved");
            w.btnSaveTableAsClick();
            QVERIFY(TestEnv::readAll(path).contains("0|1|saved"));
            w.grdTable->setCellText(0, 1, "at exit");
        }
        QVERIFY(TestEnv::readAll(path).contains("0|1|at exit"));
    }

    // Loading sets the title fields from the file, so OK and the save at
    // exit keep the file's titles.
    void loadSetsTitles_data()
    {
        QTest::addColumn<QByteArray>("titles");  // lines 4 to 6 of the file
        QTest::addColumn<bool>("useTitle1");
        QTest::addColumn<bool>("useTitle2");
        QTest::newRow("both titles, footer") << QByteArray("One\r\nTwo\r\nBottom\r\n") << true << true;
        QTest::newRow("title 2 only, on top") << QByteArray("\r\nTwo\r\nTop\r\n") << false << true;
        QTest::newRow("no titles") << QByteArray("\r\n\r\nTop\r\n") << false << false;
    }

    void loadSetsTitles()
    {
        QFETCH(QByteArray, titles);
        QFETCH(bool, useTitle1);
        QFETCH(bool, useTitle2);
        const QString path = work("titles.vtb");
        const QByteArray file = "|\r\n2|2\r\n16\r\n" + titles + "0|1|x\r\n\r\n";
        QVERIFY(TestEnv::writeAll(path, file));
        QFile::remove(path + "BAK");
        {
            TfTableWiz w(engine);
            prompter.openAnswers.enqueue({path});
            w.btnLoadTableClick();
            QCOMPARE(w.optUseTitle1->isChecked(), useTitle1);
            QCOMPARE(w.optUseTitle2->isChecked(), useTitle2);
            QCOMPARE(w.opt2asfooter->isChecked(), titles.contains("Bottom"));
            w.OKBtn->click();
        }
        QCOMPARE(TestEnv::readAll(path), file);  // saved again at exit, titles and all
    }
};

VQ_TEST_MAIN(tst_TableWizard)
#include "tst_TableWizard.moc"
