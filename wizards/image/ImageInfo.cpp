#include "wizards/image/ImageInfo.h"

#include "wizards/image/ImageTag.h"

#include <QFileInfo>
#include <QImageReader>

namespace {

QString compressionOf(const QByteArray& format)
{
    if (format == "png") return QStringLiteral("Deflate");
    if (format == "jpeg" || format == "jpg") return QStringLiteral("JPEG");
    if (format == "gif") return QStringLiteral("LZW");
    if (format == "webp") return QStringLiteral("WebP");
    if (format == "tiff" || format == "tif") return QStringLiteral("TIFF");
    if (format == "bmp" || format == "svg" || format == "svgz" || format == "pbm" || format == "pgm"
        || format == "ppm" || format == "xpm" || format == "xbm")
        return QStringLiteral("None");
    return QString::fromLatin1(format).toUpper();
}

// Formats that carry no pixel depth of their own: their properties are the
// picture's size and the file's extension.
bool withoutDepth(const QString& suffix)
{
    static const QStringList list{QStringLiteral("wmf"), QStringLiteral("emf"), QStringLiteral("ico"),
                                  QStringLiteral("scm"), QStringLiteral("cms"), QStringLiteral("svg"),
                                  QStringLiteral("svgz")};
    return list.contains(suffix.toLower());
}

} // namespace

bool ImageInfo::query(const QString& path, int boxSize, ImageInfo* info, QImage* preview, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const QFileInfo file(path);
    if (!file.isFile())
        return fail(QStringLiteral("No such file"));
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead())
        return fail(QStringLiteral("it is not a picture this program can read"));
    const QSize size = reader.size();
    const QByteArray format = reader.format().toLower();
    const QImage::Format pixels = reader.imageFormat();

    // Decoding the picture at the size it is shown finds a damaged file
    // without holding a huge one whole.
    const QSize shown = ImageTag::previewSize(size.width(), size.height(), qMax(1, boxSize));
    if (size.isValid())
        reader.setScaledSize(shown);
    QImage picture;
    if (!reader.read(&picture) || picture.isNull())
        return fail(reader.errorString().isEmpty() ? QStringLiteral("the picture is damaged") : reader.errorString());

    ImageInfo out;
    out.width = size.isValid() ? size.width() : picture.width();
    out.height = size.isValid() ? size.height() : picture.height();
    out.size = file.size();
    if (withoutDepth(file.suffix())) {
        out.fileType = file.suffix();
        out.compression = file.suffix();
    } else {
        const QImage::Format f = pixels != QImage::Format_Invalid ? pixels : picture.format();
        // Bits that carry colour (and alpha when it is used), not padding.
        const QPixelFormat pf = QImage::toPixelFormat(f);
        int colourBits = pf.bitsPerPixel();
        out.bitsPerPixel = colourBits;
        if (pf.colorModel() == QPixelFormat::RGB) {
            colourBits = pf.redSize() + pf.greenSize() + pf.blueSize();
            out.bitsPerPixel = colourBits + (pf.alphaUsage() == QPixelFormat::UsesAlpha ? pf.alphaSize() : 0);
        }
        out.planes = 1;
        out.colors = qint64(1) << qBound(0, colourBits, 62);
        out.fileType = QString::fromLatin1(format).toUpper();
        out.compression = compressionOf(format);
    }
    if (info)
        *info = out;
    if (preview)
        *preview = picture.size() == shown ? picture : picture.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return true;
}
