#pragma once
// The forms wizard's fields and the HTML of each of its pages. Values are
// emitted exactly as typed: they are the user's own markup.
#include <QString>
#include <QStringList>

class TagEngine;

struct FormFields {
    enum Align { Left, Centre, Right };

    // Form
    QString method = QStringLiteral("\"POST\"");  // the list item, quotes included
    QString action = QStringLiteral("http://");
    QString mime = QStringLiteral("application/x-www-form-urlencoded");
    // Submit and Reset
    QString subValue = QStringLiteral("SUBMIT");
    QString subName;
    QString resetValue = QStringLiteral("RESET");
    // TextLine
    QString textName = QStringLiteral("NAME");
    QString textDefault;
    int textMax = 50;
    int textSize = 50;
    // MultiLine
    QString multiName = QStringLiteral("NAME");
    QStringList multiText;
    int multiLines = 3;
    int multiSize = 50;
    // Option
    QString optName = QStringLiteral("NAME");
    QString optValue;
    bool optCheckBox = false;
    Align optAlign = Left;
    // Select
    QString selName = QStringLiteral("NAME");
    bool selMulti = false;
    int selLines = 1;
    QStringList selOptions{QStringLiteral("Option 1")};
    // Predefined
    QStringList sample;
};

namespace FormWizard {

// The pages in tab order.
enum Page { Form, Submit, Reset, TextLine, MultiLine, Option, Select, Predefined, PageCount };

// What one page produces.
struct Element {
    enum Kind {
        Pair,     // open and close go through the tag engine together
        Wrapped,  // open through the engine, the body pieces straight in, then close
        Lines,    // every body line straight in, each followed by a line break
    };
    Kind kind = Pair;
    QString open;
    QString close;
    QStringList body;
};

Element generate(Page page, const FormFields& f);

// The text the clipboard receives: a pair as its opening text, then CR LF and
// the closing text when there is one; a wrapped element whole, as a document
// would get it; lines each followed by CR LF.
QString clipboardText(const Element& e);

// Puts the element into the active document (nothing without one). The body
// of a wrapped element goes in after any text the opening tag was wrapped
// around, so a selection is kept, not typed over.
void deliver(TagEngine& engine, const Element& e);

// The ready-made questionnaire of the Predefined page.
QStringList sampleQuestionnaire();

}  // namespace FormWizard
