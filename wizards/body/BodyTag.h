#pragma once
// The body wizard's BODY tag, its sample page, and putting the tag into the
// active document in place of the one it has.
#include <QString>
#include <QStringList>
#include <functional>

class TagEngine;

struct BodyColors {
    QString image;                 // background image, as typed
    quint32 background = 0x000000;
    quint32 text = 0xFFFFFF;
    quint32 link = 0x00FFFF;
    quint32 visited = 0x00FF00;
    quint32 active = 0x0000FF;
};

namespace BodyTag {
constexpr quint32 kMaxColor = 0xFFFFFF;
// Six upper-case hexadecimal digits with leading zeros.
QString hex(quint32 value);
// A colour field's text as a number; letters in either case, empty is 0.
quint32 fromHex(const QString& text);
// A spinner step: the value moved by delta, kept within 0..FFFFFF.
quint32 step(quint32 value, int delta);
// <BODY BACKGROUND="..." BGCOLOR="#..." TEXT="#..." LINK="#..." VLINK="#..." ALINK="#..." >
QString tag(const BodyColors& c);
// The tag followed by the sample heading, text and link.
QStringList sampleLines(const BodyColors& c);

enum Outcome { NoDocument, AtCaret, Replaced, Before };
// Looks for "<BODY" followed by ">" from the top of the active document;
// when there is one, askReplace decides: true deletes it and the new tag
// takes its place, false puts the new tag directly before it. Without one
// the tag goes to the caret (or before the selection) the user had.
Outcome insert(TagEngine& engine, const QString& tag, const std::function<bool()>& askReplace);
}
