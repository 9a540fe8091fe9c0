// "&Print" of a document's source, to a PDF file whose text is read back
// with pdftotext: all lines, a selection over several lines (first line
// blanked before the selection, last line cut after it), a one-line
// selection, selections on tab-indented lines, a range of pages, and a job
// that cannot start.
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

QStringList pdfLines(const QString& pdf, int page = 0)
{
    QProcess p;
    QStringList args{QStringLiteral("-layout")};
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    p.start(QStringLiteral("pdftotext"), args << pdf << QStringLiteral("-"));
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

int pdfPages(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished();
    const QString info = QString::fromUtf8(p.readAllStandardOutput());
    const qsizetype at = info.indexOf(QLatin1String("Pages:"));
    return at < 0 ? -1 : info.mid(at + 6).section(QLatin1Char('\n'), 0, 0).trimmed().toInt();
}
}

class tst_Print : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::writeAll(TestEnv::programDir() + "/standard.tpl", QByteArray()); }

    void print_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("selection");  // empty: no selection
        QTest::addColumn<bool>("selectionOnly");
        QTest::addColumn<bool>("offered");
        QTest::addColumn<QStringList>("printed");
        QTest::newRow("all") << kText << QList<int>() << false << false
                             << kText.split(QLatin1Char('\n'));
        QTest::newRow("all, selection not chosen") << kText << QList<int>{2, 7, 3, 7} << false << true
                                                   << kText.split(QLatin1Char('\n'));
        QTest::newRow("selection over lines") << kText << QList<int>{2, 7, 3, 7} << true << true
                                              << QStringList{QStringLiteral("      first line"),
                                                             QStringLiteral("second")};
        // pdftotext drops the margin every printed line shares: here the blanks.
        QTest::newRow("one-line selection") << kText << QList<int>{3, 8, 3, 12} << true << true
                                            << QStringList{QStringLiteral("line")};
        // Columns of the stored line: after "\tab" on the first line, up to
        // after "\tx" on the second; tabs stop every 8 columns. pdftotext
        // places "cd" (column 10) to the right of "x" (column 8) on its own grid.
        QTest::newRow("selection after tabs") << QStringLiteral("\tabcd\n\tx\ty") << QList<int>{1, 4, 2, 3} << true
                                              << true << QStringList{QStringLiteral("    cd"), QStringLiteral("x")};
    }
    void print()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, selection);
        QFETCH(bool, selectionOnly);
        QFETCH(bool, offered);
        QFETCH(QStringList, printed);
        ScriptedPrompter prompter;
        TmdiMain main;
        main.FileNew();
        TfHTML* doc = main.activeDocument();
        doc->txtHTML->SetRawText(text);
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

    // Pages from … to: only those pages, as they are in the whole print.
    void pageRange()
    {
        ScriptedPrompter prompter;
        TmdiMain main;
        main.FileNew();
        QStringList many;
        for (int i = 1; i <= 300; ++i)
            many << QStringLiteral("line %1").arg(i);
        main.activeDocument()->txtHTML->SetRawText(many.join(QLatin1Char('\n')));
        const QString all = TestEnv::workDir() + QStringLiteral("/all.pdf");
        const QString part = TestEnv::workDir() + QStringLiteral("/part.pdf");
        auto printTo = [&](const QString& pdf, int from, int to) {
            QFile::remove(pdf);
            TextPrinter::setDialogForTests([&](QWidget*, QPrinter& printer, bool, bool&) {
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(pdf);
                printer.setPrintRange(from ? QPrinter::PageRange : QPrinter::AllPages);
                printer.setFromTo(from, to);
                return true;
            });
            main.run(QStringLiteral("FilePrint"));
            TextPrinter::setDialogForTests(nullptr);
        };
        printTo(all, 0, 0);
        const int pages = pdfPages(all);
        QVERIFY(pages >= 3);
        printTo(part, 2, 3);
        QCOMPARE(pdfPages(part), 2);
        QCOMPARE(pdfLines(part, 1), pdfLines(all, 2));
        QCOMPARE(pdfLines(part, 2), pdfLines(all, 3));
        printTo(part, pages, pages + 5);
        QCOMPARE(pdfPages(part), 1);
        QCOMPARE(pdfLines(part, 1), pdfLines(all, pages));
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
