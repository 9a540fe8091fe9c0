#pragma once
// What completion offers: the elements of HTML5 with their attributes, the
// attributes' values where HTML fixes them, and the CSS properties with
// their keyword values. Written from the element, attribute and property
// lists of the HTML and CSS standards.
#include <QString>
#include <QStringList>

namespace CompletionData {

// Element names, sorted.
const QStringList& elements();
bool isElement(const QString& name);  // any case
// The attributes of an element (its own and the global ones), sorted.
QStringList attributes(const QString& element);
// The values of an attribute when they are a fixed list; empty otherwise.
QStringList attributeValues(const QString& element, const QString& attribute);
// CSS property names, sorted.
const QStringList& cssProperties();
// Keyword values of a property, with the keywords every property takes.
QStringList cssValues(const QString& property);

} // namespace CompletionData
