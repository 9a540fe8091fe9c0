#include "editor/CompletionModel.h"

#include "editor/CompletionData.h"
#include "editor/HtmlTokenizer.h"

#include <QRegularExpression>

namespace Completion {

namespace {

using Html::HtmlTokenizer;

// The CSS of a declaration list typed so far (a style="" value, or the
// line in a stylesheet): its property or value context.
Context cssContext(const QString& text, qsizetype offset, bool value)
{
    Context c;
    static const QRegularExpression valueRe(QStringLiteral("([-A-Za-z]+)\\s*:\\s*[^;:{}]*?([-A-Za-z0-9]*)$"));
    static const QRegularExpression propertyRe(QStringLiteral("(?:^|[;{\\s])([-A-Za-z]*)$"));
    if (value) {
        const QRegularExpressionMatch m = valueRe.match(text);
        if (!m.hasMatch())
            return c;
        c.kind = Kind::CssValue;
        c.property = m.captured(1);
        c.prefix = m.captured(2);
        c.from = offset + m.capturedStart(2);
        return c;
    }
    const QRegularExpressionMatch m = propertyRe.match(text);
    if (!m.hasMatch())
        return c;
    c.kind = Kind::CssProperty;
    c.prefix = m.captured(1);
    c.from = offset + m.capturedStart(1);
    return c;
}

QString applyCase(const QString& text, const QString& caseSetting)
{
    if (caseSetting == QLatin1String("U"))
        return text.toUpper();
    if (caseSetting == QLatin1String("L"))
        return text.toLower();
    return text;
}

} // namespace

Context contextAt(const QString& before, int state, const QString& element)
{
    Context c;
    static const QRegularExpression tagNameRe(QStringLiteral("<([A-Za-z][-A-Za-z0-9]*)?$"));
    if (HtmlTokenizer::isTextState(state) || HtmlTokenizer::isTagState(state)) {
        const QRegularExpressionMatch m = tagNameRe.match(before);
        if (m.hasMatch()) {
            c.kind = Kind::Element;
            c.prefix = m.captured(1);
            c.from = m.capturedStart(0) + 1;
            return c;
        }
    }
    if (HtmlTokenizer::isTextState(state)) {
        static const QRegularExpression entityRe(QStringLiteral("&([A-Za-z0-9]*)$"));
        const QRegularExpressionMatch m = entityRe.match(before);
        if (m.hasMatch()) {
            c.kind = Kind::Entity;
            c.prefix = m.captured(1);
            c.from = m.capturedStart(1);
        }
        return c;
    }
    if (HtmlTokenizer::isTagState(state)) {
        static const QRegularExpression valueRe(QStringLiteral("([A-Za-z_:][-A-Za-z0-9_:.]*)\\s*=\\s*([\"'])([^\"']*)$"));
        if (const QRegularExpressionMatch m = valueRe.match(before); m.hasMatch()) {
            if (m.captured(1).compare(QLatin1String("style"), Qt::CaseInsensitive) == 0) {
                const QString css = m.captured(3);
                const qsizetype semi = css.lastIndexOf(QLatin1Char(';'));
                const bool value = css.mid(semi + 1).contains(QLatin1Char(':'));
                return cssContext(css, m.capturedStart(3), value);
            }
            static const QRegularExpression lastWord(QStringLiteral("([^\\s]*)$"));
            const QRegularExpressionMatch w = lastWord.match(m.captured(3));
            c.kind = Kind::AttributeValue;
            c.element = element;
            c.attribute = m.captured(1);
            c.prefix = w.captured(1);
            c.from = m.capturedStart(3) + w.capturedStart(1);
            return c;
        }
        static const QRegularExpression attrRe(QStringLiteral("\\s([-A-Za-z0-9_:]*)$"));
        if (const QRegularExpressionMatch m = attrRe.match(before); m.hasMatch() && !element.isEmpty()) {
            // Not after "=" (a value without quotes goes there).
            const QString head = before.left(m.capturedStart(0)).trimmed();
            if (head.endsWith(QLatin1Char('=')))
                return c;
            c.kind = Kind::Attribute;
            c.element = element;
            c.prefix = m.captured(1);
            c.from = m.capturedStart(1);
        }
        return c;
    }
    if (HtmlTokenizer::isCssPropertyState(state))
        return cssContext(before, 0, false);
    if (HtmlTokenizer::isCssValueState(state))
        return cssContext(before, 0, true);
    return c;
}

QStringList items(const Context& context, const QStringList& entityNames)
{
    QStringList all;
    switch (context.kind) {
    case Kind::Element: all = CompletionData::elements(); break;
    case Kind::Attribute: all = CompletionData::attributes(context.element); break;
    case Kind::AttributeValue: all = CompletionData::attributeValues(context.element, context.attribute); break;
    case Kind::Entity: all = entityNames; break;
    case Kind::CssProperty: all = CompletionData::cssProperties(); break;
    case Kind::CssValue: all = CompletionData::cssValues(context.property); break;
    case Kind::None: break;
    }
    QStringList out;
    for (const QString& item : std::as_const(all)) {
        if (item.startsWith(context.prefix, Qt::CaseInsensitive))
            out << item;
    }
    // Nothing to offer when the word is complete already.
    if (out.size() == 1 && out.first().compare(context.prefix, Qt::CaseInsensitive) == 0
        && context.kind != Kind::Attribute && context.kind != Kind::CssProperty)
        out.clear();
    return out;
}

Insertion insertion(const Context& context, const QString& item, const QString& caseSetting)
{
    switch (context.kind) {
    case Kind::Element: {
        const QString name = applyCase(item, caseSetting);
        return Insertion{name, name.size()};
    }
    case Kind::Attribute: {
        const QString text = applyCase(item, caseSetting) + QStringLiteral("=\"\"");
        return Insertion{text, text.size() - 1};
    }
    case Kind::Entity: return Insertion{item + QLatin1Char(';'), item.size() + 1};
    case Kind::CssProperty: return Insertion{item + QStringLiteral(": "), item.size() + 2};
    default: return Insertion{item, item.size()};
    }
}

} // namespace Completion
