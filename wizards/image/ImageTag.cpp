#include "wizards/image/ImageTag.h"

#include <cmath>

TagPair ImageTag::tags(const ImageTagOptions& o)
{
    QString name = o.name;
    if (o.slashes)
        name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString w = o.width > 0 ? QStringLiteral(" WIDTH=") + QString::number(o.width) + QLatin1Char(' ') : QString();
    const QString h = o.height > 0 ? QStringLiteral(" HEIGHT=") + QString::number(o.height) + QLatin1Char(' ') : QString();
    return {QStringLiteral("<IMG SRC=\"") + name + QStringLiteral("\" BORDER=") + QString::number(o.border) + w + h
                + QStringLiteral(" ALT=\""),
            QStringLiteral("\">")};
}

QSize ImageTag::previewSize(qint64 width, qint64 height, int box)
{
    if (width <= 0 || height <= 0)
        return {box, box};
    // std::nearbyint rounds halves to even in the default rounding mode.
    if (height > width)
        return {qMax(1, int(std::nearbyint(double(width) / double(height) * box))), box};
    return {box, qMax(1, int(std::nearbyint(double(height) / double(width) * box)))};
}
