#include "wizards/body/BodyTag.h"

#include "editor/EditorContract.h"
#include "tags/Navigator.h"
#include "tags/TagEngine.h"

#include <QtGlobal>

QString BodyTag::hex(quint32 value)
{
    return QStringLiteral("%1").arg(value & kMaxColor, 6, 16, QLatin1Char('0')).toUpper();
}

quint32 BodyTag::fromHex(const QString& text)
{
    bool ok = false;
    const quint32 v = text.left(6).toUInt(&ok, 16);
    return ok ? v : 0;
}

quint32 BodyTag::step(quint32 value, int delta)
{
    return quint32(qBound<qint64>(0, qint64(value) + delta, kMaxColor));
}

QString BodyTag::tag(const BodyColors& c)
{
    return QStringLiteral("<BODY BACKGROUND=\"") + c.image + QStringLiteral("\" BGCOLOR=\"#") + hex(c.background)
        + QStringLiteral("\" TEXT=\"#") + hex(c.text) + QStringLiteral("\" LINK=\"#") + hex(c.link)
        + QStringLiteral("\" VLINK=\"#") + hex(c.visited) + QStringLiteral("\" ALINK=\"#") + hex(c.active)
        + QStringLiteral("\" >");
}

QStringList BodyTag::sampleLines(const BodyColors& c)
{
    return {tag(c), QStringLiteral("<H2>This is a heading</H2>"), QStringLiteral("This is some text"),
            QStringLiteral("<A HREF=\"Link.htm\">This is a link.</a>")};
}

BodyTag::Outcome BodyTag::insert(TagEngine& engine, const QString& tag, const std::function<bool()>& askReplace)
{
    EditorContract* ed = engine.host().activeEditor();
    if (!ed)
        return NoDocument;
    // Replacing the old tag undoes as one step.
    EditGroup group(*ed);
    // Where the user was, for when the document has no whole BODY tag.
    int l1 = 0, c1 = 0, l2 = 0, c2 = 0;
    const bool hadSelection = ed->SelectionRange(l1, c1, l2, c2);
    if (!hadSelection)
        ed->CaretPosition(l1, c1);
    Outcome outcome = AtCaret;
    if (Navigator::SelectNextElement(engine.host(), QStringLiteral("<BODY"), QStringLiteral(">"), true)) {
        if (askReplace()) {
            ed->DeleteSelection();
            outcome = Replaced;
        } else {
            outcome = Before;
        }
    } else if (hadSelection) {
        ed->SelectRange(l1, c1, l2, c2, true);
    } else {
        ed->MoveCaret(l1, c1);
    }
    engine.InsertTagPair(tag, QString());
    return outcome;
}
