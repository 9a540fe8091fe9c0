#pragma once
// Prints lines of plain text in one font, a page after the other, the way a
// printer's text driver does: lines longer than the page wraps onto the next
// printed line, and a full page starts a new one.
#include <QFont>
#include <QStringList>
#include <functional>

class EditorContract;
class QPrinter;
class QWidget;

namespace TextPrinter {

// The program's printer: its set-up (printer, paper, orientation) lasts for
// the run and is shared by every print command.
QPrinter& printer();

// The print dialog, replaceable for tests: answers whether to print and,
// when offerSelection is true, whether only the selection is to be printed.
using DialogFn = std::function<bool(QWidget* parent, QPrinter& printer, bool offerSelection,
                                    bool& selectionOnly)>;
bool runPrintDialog(QWidget* parent, QPrinter& printer, bool offerSelection, bool& selectionOnly);
void setDialogForTests(DialogFn fn);

// The printer set-up dialog ("Pr&int Setup...").
void runSetupDialog(QWidget* parent);

// "&Print": the print dialog (offering the selection when there is one, and
// a range of pages), then the document's lines in font, tabs expanded to
// stops every tabWidth columns. A job that cannot start is reported in a
// message box. Returns whether anything was printed.
bool printSource(QWidget* parent, const EditorContract& editor, const QFont& font, int tabWidth);

// Prints; false with the reason in *error when the job cannot be started.
// When the printer's range is a page range, only those pages are printed.
bool print(QPrinter& printer, const QStringList& lines, const QFont& font, QString* error);

}
