#pragma once
// What completion offers where the caret stands: element names after "<",
// an element's attributes after a blank in its tag, an attribute's values
// inside its quotes when they are a fixed list, entity names after "&", and
// CSS property names and keyword values in stylesheets and style="".
#include <QString>
#include <QStringList>

namespace Completion {

enum class Kind { None, Element, Attribute, AttributeValue, Entity, CssProperty, CssValue };

struct Context {
    Kind kind = Kind::None;
    qsizetype from = 0;  // where the word being completed starts in the line
    QString prefix;      // the part of it typed so far
    QString element;     // the tag's element (attributes, values)
    QString attribute;   // the attribute (values)
    QString property;    // the CSS property (values)
};

// The context at the end of before (the line up to the caret), where the
// tokenizer is in state; element: the element of the tag the caret is in.
Context contextAt(const QString& before, int state, const QString& element);

// The items for a context that start with its prefix, in any case; entity
// names come from the caller (without "&" and ";").
QStringList items(const Context& context, const QStringList& entityNames);

struct Insertion {
    QString text;      // replaces the prefix
    qsizetype caret;   // in text
};
// What choosing item inserts; caseSetting as the "Case" setting ("U", "L",
// anything else: as listed).
Insertion insertion(const Context& context, const QString& item, const QString& caseSetting);

} // namespace Completion
