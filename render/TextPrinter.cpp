#include "render/TextPrinter.h"

#include "app/UiPrompter.h"
#include "editor/EditorContract.h"
#include "render/SourcePrint.h"

#include <QFontMetricsF>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <climits>
#include <memory>

namespace {
std::unique_ptr<QPrinter> g_printer;
TextPrinter::DialogFn g_dialog;

// Splits a line into pieces that fit width; a line that fits stays whole.
QStringList fitted(const QString& line, const QFontMetricsF& fm, qreal width)
{
    if (line.isEmpty() || fm.horizontalAdvance(line) <= width)
        return {line};
    QStringList parts;
    qsizetype start = 0;
    qreal used = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const qreal w = fm.horizontalAdvance(line.at(i));
        if (used + w > width && i > start) {
            parts << line.mid(start, i - start);
            start = i;
            used = 0;
        }
        used += w;
    }
    parts << line.mid(start);
    return parts;
}
}

QPrinter& TextPrinter::printer()
{
    if (!g_printer)
        g_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *g_printer;
}

void TextPrinter::setDialogForTests(DialogFn fn)
{
    g_dialog = std::move(fn);
}

bool TextPrinter::runPrintDialog(QWidget* parent, QPrinter& printer, bool offerSelection, bool& selectionOnly)
{
    selectionOnly = false;
    if (g_dialog)
        return g_dialog(parent, printer, offerSelection, selectionOnly);
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, offerSelection);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(1, 9999);
    printer.setPrintRange(QPrinter::AllPages);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    selectionOnly = offerSelection && dialog.printRange() == QAbstractPrintDialog::Selection;
    return true;
}

void TextPrinter::runSetupDialog(QWidget* parent)
{
    QPageSetupDialog dialog(&printer(), parent);
    dialog.exec();
}

bool TextPrinter::print(QPrinter& printer, const QStringList& lines, const QFont& font, QString* error)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (error) {
            *error = printer.outputFileName().isEmpty()
                ? QStringLiteral("Unable to print on %1.").arg(printer.printerName())
                : QStringLiteral("Unable to print to %1.").arg(printer.outputFileName());
        }
        return false;
    }
    QFont f(font);
    painter.setFont(QFont(f, painter.device()));
    const QFontMetricsF fm(painter.font(), painter.device());
    const QRectF page = painter.viewport();
    const qreal lineHeight = fm.lineSpacing();
    // Pages are counted from 1; with a range, the pages outside it are laid
    // out but not printed.
    int first = 1, last = INT_MAX;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = printer.fromPage();
        last = qMax(first, printer.toPage());
    }
    int pageNo = 1;
    qreal y = 0;
    bool pageHasText = false;
    for (const QString& line : lines) {
        for (const QString& part : fitted(line, fm, page.width())) {
            if (pageHasText && y + lineHeight > page.height()) {
                ++pageNo;
                y = 0;
                if (pageNo > last)
                    break;
                if (pageNo > first)
                    printer.newPage();
            }
            if (pageNo >= first)
                painter.drawText(QPointF(0, y + fm.ascent()), part);
            y += lineHeight;
            pageHasText = true;
        }
        if (pageNo > last)
            break;
    }
    painter.end();
    return true;
}

bool TextPrinter::printSource(QWidget* parent, const EditorContract& editor, const QFont& font, int tabWidth)
{
    int l1, c1, l2, c2;
    const bool hasSelection = editor.SelectionRange(l1, c1, l2, c2);
    bool selectionOnly = false;
    if (!runPrintDialog(parent, printer(), hasSelection, selectionOnly))
        return false;
    QString error;
    if (!print(printer(), SourcePrint::lines(editor, selectionOnly, tabWidth), font, &error)) {
        UiPrompter::instance().message(parent, error, UiPrompter::Ok, UiPrompter::Warning);
        return false;
    }
    return true;
}
