#include "editor/CommentToggle.h"

#include "editor/HtmlTokenizer.h"

#include <QStringList>
#include <climits>

namespace CommentToggle {

Style styleFor(int tokenizerState)
{
    if (Html::HtmlTokenizer::isCssState(tokenizerState))
        return Style::Css;
    if (Html::HtmlTokenizer::isScriptState(tokenizerState))
        return Style::Script;
    return Style::Html;
}

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

QString toggleBlock(const QString& text, QLatin1StringView open, QLatin1StringView close)
{
    qsizetype a = 0, b = text.size();
    while (a < b && isBlank(text[a]))
        ++a;
    while (b > a && isBlank(text[b - 1]))
        --b;
    const QString lead = text.left(a), trail = text.mid(b);
    QStringView body = QStringView(text).mid(a, b - a);
    if (body.size() >= open.size() + close.size() && body.startsWith(open) && body.endsWith(close)) {
        body = body.mid(open.size(), body.size() - open.size() - close.size());
        if (body.startsWith(QLatin1Char(' ')))
            body = body.mid(1);
        if (body.endsWith(QLatin1Char(' ')))
            body.chop(1);
        return lead + body.toString() + trail;
    }
    if (body.isEmpty())
        return lead + open + QStringLiteral("  ") + close + trail;
    return lead + open + QLatin1Char(' ') + body.toString() + QLatin1Char(' ') + close + trail;
}

qsizetype indentOf(const QString& line)
{
    qsizetype i = 0;
    while (i < line.size() && (line[i] == QLatin1Char(' ') || line[i] == QLatin1Char('\t')))
        ++i;
    return i;
}

QString toggleLines(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    bool allCommented = true, anyText = false;
    qsizetype indent = LLONG_MAX;
    for (const QString& line : std::as_const(lines)) {
        const qsizetype i = indentOf(line);
        if (i == line.size())
            continue;
        anyText = true;
        indent = std::min(indent, i);
        if (!QStringView(line).mid(i).startsWith(QLatin1String("//")))
            allCommented = false;
    }
    if (!anyText)
        return text;
    for (QString& line : lines) {
        const qsizetype i = indentOf(line);
        if (i == line.size())
            continue;
        if (allCommented)
            line.remove(i, line.mid(i + 2).startsWith(QLatin1Char(' ')) ? 3 : 2);
        else
            line.insert(indent, QLatin1String("// "));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

qsizetype positionAfter(const QString& text, qsizetype position, Style style)
{
    const QString after = toggle(text, style);
    // Line by line (a script's lines each gain or lose their marker); a
    // block comment: the text between the markers moves by the opening one.
    const qsizetype lineStart = text.lastIndexOf(QLatin1Char('\n'), position - 1) + 1;
    const int line = int(text.left(lineStart).count(QLatin1Char('\n')));
    if (style == Style::Script) {
        const QStringList a = text.split(QLatin1Char('\n')), b = after.split(QLatin1Char('\n'));
        qsizetype newStart = 0;
        for (int k = 0; k < line; ++k)
            newStart += b[k].size() + 1;
        const qsizetype column = position - lineStart;
        const qsizetype indent = indentOf(a[line]);
        if (column <= indent || a[line].size() == indent)
            return newStart + std::min(column, b[line].size());
        return newStart + std::max(indentOf(b[line]), column + b[line].size() - a[line].size());
    }
    qsizetype lead = 0, end = text.size();
    while (lead < end && isBlank(text[lead]))
        ++lead;
    while (end > lead && isBlank(text[end - 1]))
        --end;
    if (position <= lead)
        return position;
    if (position >= end)
        return position + after.size() - text.size();
    // Inside: the opening marker and its blank came or went before it.
    const qsizetype afterEnd = after.size() - (text.size() - end);
    qsizetype shift = 0;
    if (after.size() > text.size())
        shift = after.indexOf(QStringView(text).mid(lead, end - lead), lead) - lead;
    else
        shift = lead - text.indexOf(QStringView(after).mid(lead, afterEnd - lead), lead);
    return std::clamp<qsizetype>(position + shift, lead, afterEnd);
}

QString toggle(const QString& text, Style style)
{
    switch (style) {
    case Style::Css: return toggleBlock(text, QLatin1StringView("/*"), QLatin1StringView("*/"));
    case Style::Script: return toggleLines(text);
    default: return toggleBlock(text, QLatin1StringView("<!--"), QLatin1StringView("-->"));
    }
}

} // namespace CommentToggle
