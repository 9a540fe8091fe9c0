#pragma once
// Tag texts of the browser extensions: background sounds and scrolling
// marquees. Values go in as given, nothing is quoted or escaped.
#include <QString>

class THTMLWriter {
public:
    enum Behaviour { Scroll, Slide, Alternate };
    enum Direction { Left, Right };
    enum Alignment { NoAlignment, Top, Middle, Bottom };
    // No background colour.
    static constexpr int NoColor = -1;

    // count: repetitions 0..255 (values outside are brought into that
    // range), 0 meaning infinite.
    static QString BGSound(const QString& url, int count);
    // height and width: pixels; a negative value means that many per cent;
    // 0 leaves the attribute out. bgColor: 0xRRGGBB or NoColor.
    static QString MarqueeOpen(int alignment, int height, int width, int hspace, int vspace, int scrollAmount,
                               int scrollDelay, int count, int behaviour, int direction, int bgColor = NoColor);
    static QString MarqueeClose();
    static QString Marquee(const QString& text, int alignment, int height, int width, int hspace, int vspace,
                           int scrollAmount, int scrollDelay, int count, int behaviour, int direction,
                           int bgColor = NoColor);
};
