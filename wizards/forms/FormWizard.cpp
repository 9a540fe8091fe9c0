#include "wizards/forms/FormWizard.h"

#include "editor/EditorContract.h"
#include "tags/TagEngine.h"

namespace FormWizard {

namespace {
QString quoted(const QString& attribute, const QString& value)
{
    return QLatin1Char(' ') + attribute + QStringLiteral("=\"") + value + QLatin1Char('"');
}
}

Element generate(Page page, const FormFields& f)
{
    Element e;
    switch (page) {
    case Form:
        e.open = QStringLiteral("<FORM METHOD=") + f.method + quoted(QStringLiteral("ACTION"), f.action)
            + quoted(QStringLiteral("ENCTYPE"), f.mime) + QLatin1Char('>');
        e.close = QStringLiteral("</FORM>");
        break;
    case Submit:
        e.open = QStringLiteral("<INPUT TYPE=SUBMIT") + quoted(QStringLiteral("VALUE"), f.subValue);
        if (!f.subName.isEmpty())
            e.open += quoted(QStringLiteral("NAME"), f.subName);
        e.open += QLatin1Char('>');
        break;
    case Reset:
        e.open = QStringLiteral("<INPUT TYPE=\"RESET\"") + quoted(QStringLiteral("VALUE"), f.resetValue)
            + QLatin1Char('>');
        break;
    case TextLine:
        e.open = QStringLiteral("<INPUT TYPE=TEXT") + quoted(QStringLiteral("NAME"), f.textName)
            + quoted(QStringLiteral("VALUE"), f.textDefault)
            + quoted(QStringLiteral("SIZE"), QString::number(f.textSize))
            + quoted(QStringLiteral("MAXLENGTH"), QString::number(f.textMax)) + QLatin1Char('>');
        break;
    case MultiLine:
        e.kind = Element::Wrapped;
        e.open = QStringLiteral("<TEXTAREA") + quoted(QStringLiteral("NAME"), f.multiName)
            + QStringLiteral(" ROWS=") + QString::number(f.multiLines) + QStringLiteral(" COLS=")
            + QString::number(f.multiSize) + QLatin1Char('>');
        e.body = f.multiText;
        e.close = QStringLiteral("</TEXTAREA>");
        break;
    case Option: {
        static const char* const kAlign[] = {"left", "center", "right"};
        e.open = QStringLiteral("<INPUT TYPE=\"") + (f.optCheckBox ? QStringLiteral("CHECKBOX") : QStringLiteral("RADIO"))
            + QLatin1Char('"') + quoted(QStringLiteral("NAME"), f.optName) + quoted(QStringLiteral("VALUE"), f.optValue)
            + QStringLiteral(" ALIGN=") + QLatin1String(kAlign[f.optAlign]) + QLatin1Char('>');
        break;
    }
    case Select:
        e.kind = Element::Wrapped;
        e.open = QStringLiteral("<SELECT") + quoted(QStringLiteral("NAME"), f.selName) + QStringLiteral(" SIZE=")
            + QString::number(f.selLines) + QLatin1Char(' ');
        if (f.selMulti)
            e.open += QStringLiteral("MULTIPLE ");
        e.open += QLatin1Char('>');
        for (const QString& option : f.selOptions)
            e.body << QStringLiteral("<OPTION>") + option;
        e.close = QStringLiteral("</SELECT>");
        break;
    case Predefined:
    case PageCount:
        e.kind = Element::Lines;
        e.body = f.sample;
        break;
    }
    return e;
}

QString clipboardText(const Element& e)
{
    switch (e.kind) {
    case Element::Pair:
        return e.close.isEmpty() ? e.open : e.open + QStringLiteral("\r\n") + e.close;
    case Element::Wrapped:
        return e.open + e.body.join(QString()) + e.close;
    case Element::Lines:
        break;
    }
    QString text;
    for (const QString& line : e.body)
        text += line + QStringLiteral("\r\n");
    return text;
}

void deliver(TagEngine& engine, const Element& e)
{
    if (e.kind == Element::Pair) {
        engine.InsertTagPair(e.open, e.close);
        return;
    }
    EditorContract* ed = engine.host().activeEditor();
    if (!ed)
        return;
    EditGroup group(*ed);
    if (e.kind == Element::Lines) {
        QString text;
        for (const QString& line : e.body)
            text += line + QLatin1Char('\n');
        if (!text.isEmpty()) {
            ed->InsertAtCaret(text);
            ed->SetModified(true);
        }
        ed->FocusEditor();
        return;
    }
    // A selection ends up inside the element, before the body, whatever the
    // "Stay Selected" setting: the body must never type over it.
    int l1 = 0, c1 = 0, l2 = 0, c2 = 0;
    const bool selected = ed->SelectionRange(l1, c1, l2, c2);
    if (selected)
        ed->MoveCaret(l1, c1);
    engine.InsertTagPair(e.open, QString());
    if (selected) {
        int line = 0, column = 0;
        ed->CaretPosition(line, column);
        ed->MoveCaret(l2, l1 == l2 ? c2 + (column - c1) : c2);
    }
    for (const QString& piece : e.body)
        ed->InsertAtCaret(piece);
    engine.InsertTagPair(QString(), e.close);
}

QStringList sampleQuestionnaire()
{
    return {
        QStringLiteral("<H1>My Questionnaire</H1>"),
        QStringLiteral("<FORM METHOD=\"POST\" ACTION=\"http://www.example.com/cgi-bin/questionnaire\">"),
        QStringLiteral("  Your Name:<BR><INPUT TYPE=TEXT NAME=\"name\" size=\"50\"><P><BR>"),
        QStringLiteral("  Your Address:<BR><TEXTAREA NAME=\"addr\" cols=50 rows=5></TEXTAREA><P><BR>"),
        QStringLiteral("  Your E-Mail Address:<BR><INPUT TYPE=TEXT NAME=\"email\" SIZE=\"50\"><P><BR>"),
        QStringLiteral("  <INPUT VALUE=\"SUBMIT\" TYPE=SUBMIT> <INPUT VALUE=\"RESET\" TYPE=RESET>"),
        QStringLiteral("</FORM><P>"),
    };
}

}  // namespace FormWizard
