#pragma once
// The image browser's IMG tag and the preview's size.
#include "tags/TagEngine.h"

#include <QSize>
#include <QString>

struct ImageTagOptions {
    QString name = QStringLiteral("Image Name");
    bool slashes = true;  // backslashes become slashes
    int border = 1;
    qint64 width = 0;     // 0 leaves WIDTH out
    qint64 height = 0;    // 0 leaves HEIGHT out
};

namespace ImageTag {
// The opening text, ending in ALT=", and the closing text "\">": the caret
// or the selected text lands in the ALT text.
TagPair tags(const ImageTagOptions& o);
// The preview of a width x height picture in a square box: the longer side
// fills the box, the other keeps the picture's proportions, rounded to the
// nearest pixel with halves to even. An empty picture fills the box.
QSize previewSize(qint64 width, qint64 height, int box);
}
