#include "wizards/extensions/THTMLWriter.h"

#include <QtGlobal>

namespace {
const char* const kBehaviour[] = {"scroll", "slide", "alternate"};
const char* const kDirection[] = {"left", "right"};
const char* const kAlignment[] = {"", "top", "middle", "bottom"};

QString loop(int count)
{
    count = qBound(0, count, 255);
    return count == 0 ? QStringLiteral(" loop=infinite") : QStringLiteral(" loop=") + QString::number(count);
}

QString size(const char* name, int value)
{
    if (value == 0)
        return QString();
    QString n = value < 0 ? QString::number(-qint64(value)) + QLatin1Char('%') : QString::number(value);
    return QLatin1Char(' ') + QLatin1String(name) + QLatin1Char('=') + n;
}

QString number(const char* name, int value)
{
    return value == 0 ? QString() : QLatin1Char(' ') + QLatin1String(name) + QLatin1Char('=') + QString::number(value);
}

template <int N>
QString word(const char* const (&table)[N], int index)
{
    return QString::fromLatin1(table[qBound(0, index, N - 1)]);
}
} // namespace

QString THTMLWriter::BGSound(const QString& url, int count)
{
    return QStringLiteral("<bgsound src=\"") + url + QLatin1Char('"') + loop(count) + QLatin1Char('>');
}

QString THTMLWriter::MarqueeOpen(int alignment, int height, int width, int hspace, int vspace, int scrollAmount,
                                 int scrollDelay, int count, int behaviour, int direction, int bgColor)
{
    QString s = QStringLiteral("<marquee behavior=") + word(kBehaviour, behaviour) + QStringLiteral(" direction=")
        + word(kDirection, direction);
    if (alignment > 0 && alignment <= Bottom)
        s += QStringLiteral(" align=") + word(kAlignment, alignment);
    s += size("height", height) + size("width", width) + number("hspace", hspace) + number("vspace", vspace)
        + number("scrollamount", scrollAmount) + number("scrolldelay", scrollDelay) + loop(count);
    if (bgColor >= 0)
        s += QStringLiteral(" bgcolor=#") + QStringLiteral("%1").arg(bgColor & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper();
    return s + QLatin1Char('>');
}

QString THTMLWriter::MarqueeClose()
{
    return QStringLiteral("</marquee>");
}

QString THTMLWriter::Marquee(const QString& text, int alignment, int height, int width, int hspace, int vspace,
                             int scrollAmount, int scrollDelay, int count, int behaviour, int direction, int bgColor)
{
    return MarqueeOpen(alignment, height, width, hspace, vspace, scrollAmount, scrollDelay, count, behaviour,
                       direction, bgColor)
        + text + MarqueeClose();
}
