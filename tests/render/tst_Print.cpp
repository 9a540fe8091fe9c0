// "&Print" of a document's source, to a PDF file whose text is read back
// with pdftotext: all lines, a selection over several lines (first line
// blanked before the selection, last line cut after it), a one-line
// selection, and a job that cannot start.
#include "ScriptedPrompter.h"
#include "TestEnv.h"

#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "editor/TOvcTextFileEditor.h"
#include "render/TextPrinter.h"

#include <QAction>
#include <QApplication>
#include <QPrinter>
#include <QProcess>
#include <QtTest>

namespace {
const QString kText = QStringLiteral("<HTML>\n<BODY>first line\nsecond line here\n</BODY>\n</HTML>");

QStringList pdfLines(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished();
    QStringList lines;
    for (QString l : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        l.remove(QLatin1Char('\f'));
        while (l.endsWith(QLatin1Char(' ')))
            l.chop(1);
        lines << l;
    }
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
}

class tst_Print : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::writeAll(TestEnv::programDir() + "/standard.tpl", QByteArray()); }

    void print_data()
    {
        QTest::addColumn<QList<int>>("selection");  // empty: no selection
        QTest::addColumn<bool>("selectionOnly");
        QTest::addColumn<bool>("offered");
        QTest::addColumn<QStringList>("printed");
        QTest::newRow("all") << QList<int>() << false << false
                             << kText.split(QLatin1Char('\n'));
        QTest::newRow("all, selection not chosen") << QList<int>{2, 7, 3, 7} << false << true
                                                   << kText.split(QLatin1Char('\n'));
        QTest::newRow("selection over lines") << QList<int>{2, 7, 3, 7} << true << true
                                              << QStringList{QStringLiteral("      first line"),
                                                             QStringLiteral("second")};
        // pdftotext drops the margin every printed line shares: here the blanks.
        QTest::newRow("one-line selection") << QList<int>{3, 8, 3, 12} << true << true
                                            << QStringList{QStringLiteral("line")};
    }
    void print()
    {
        QFETCH(QList<int>, selection);
        QFETCH(bool, selectionOnly);
        QFETCH(bool, offered);
        QFETCH(QStringList, printed);
        ScriptedPrompter prompter;
        TmdiMain main;
        main.FileNew();
        TfHTML* doc = main.activeDocument();
        doc->txtHTML->SetRawText(kText);
        doc->txtHTML->SetModified(false);
        if (!selection.isEmpty())
            doc->txtHTML->SelectRange(selection[0], selection[1], selection[2], selection[3], true);
        const QString pdf = TestEnv::workDir() + QStringLiteral("/print.pdf");
        QFile::remove(pdf);
        bool wasOffered = false;
        TextPrinter::setDialogForTests([&](QWidget*, QPrinter& printer, bool offer, bool& only) {
            wasOffered = offer;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            only = selectionOnly;
            return true;
        });
        main.action(QStringLiteral("FilePrint"))->trigger();
        TextPrinter::setDialogForTests(nullptr);
        QCOMPARE(wasOffered, offered);
        QCOMPARE(pdfLines(pdf), printed);
        QCOMPARE(main.statusText(), QStringLiteral("   Ready ..."));
    }

    void jobThatCannotStart()
    {
        ScriptedPrompter prompter;
        TmdiMain main;
        main.FileNew();
        const QString pdf = TestEnv::workDir() + QStringLiteral("/no/such/folder/print.pdf");
        TextPrinter::setDialogForTests([&](QWidget*, QPrinter& printer, bool, bool&) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        main.run(QStringLiteral("FilePrint"));
        TextPrinter::setDialogForTests(nullptr);
        QCOMPARE(prompter.messages, QStringList{QStringLiteral("Unable to print to ") + pdf + QLatin1Char('.')});
    }
};

VQ_TEST_MAIN(tst_Print)
#include "tst_Print.moc"
