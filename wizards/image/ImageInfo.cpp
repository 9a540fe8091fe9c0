#include "wizards/image/ImageInfo.h"

#include "wizards/image/ImageTag.h"

#include <QFile>
#include <QFileInfo>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImageReader>
#include <QThread>

namespace {

// The most memory a picture may take to be decoded for its preview.
const qint64 kMaxDecodeMegabytes = 1024;

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

quint32 le(const QByteArray& b, int at, int bytes)
{
    quint32 v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | quint8(b.at(at + i));
    return v;
}

// The pixel depth a file states in its own header: the bits each pixel
// takes and the bits that carry its colour (without alpha or padding).
// False when the header says nothing this reader knows.
struct Depth {
    int bits = 0;
    int colourBits = 0;
    QSize size;  // the picture's size as the header gives it
};

bool gifDepth(QIODevice& f, Depth* d)
{
    const QByteArray head = f.read(13);
    if (head.size() < 13 || !head.startsWith("GIF"))
        return false;
    // The logical screen: Qt decodes every frame into a picture of its size.
    d->size = QSize(int(le(head, 6, 2)), int(le(head, 8, 2)));
    auto table = [d](quint8 packed) {
        d->bits = d->colourBits = (packed & 7) + 1;
        return true;
    };
    if (quint8(head.at(10)) & 0x80)
        return table(quint8(head.at(10)));
    // No global colour table: the first picture's own table counts.
    char c = 0;
    while (f.getChar(&c)) {
        if (c == 0x21) {  // an extension: its label, then data blocks
            if (!f.getChar(&c))
                return false;
            while (f.getChar(&c) && c != 0)
                if (f.read(quint8(c)).size() != quint8(c))
                    return false;
        } else if (c == 0x2C) {
            const QByteArray desc = f.read(9);
            return desc.size() == 9 && (quint8(desc.at(8)) & 0x80) && table(quint8(desc.at(8)));
        } else {
            return false;
        }
    }
    return false;
}

bool pngDepth(QIODevice& f, Depth* d)
{
    const QByteArray head = f.read(26);
    if (head.size() < 26 || head.mid(12, 4) != "IHDR")
        return false;
    auto be = [&head](int at) { return (quint32(quint8(head.at(at))) << 24) | (quint8(head.at(at + 1)) << 16)
                                       | (quint8(head.at(at + 2)) << 8) | quint8(head.at(at + 3)); };
    d->size = QSize(int(qMin<quint32>(be(16), INT_MAX)), int(qMin<quint32>(be(20), INT_MAX)));
    const int depth = quint8(head.at(24));
    switch (head.at(25)) {
    case 0: d->bits = depth, d->colourBits = depth; break;          // grey
    case 2: d->bits = 3 * depth, d->colourBits = 3 * depth; break;  // RGB
    case 3: d->bits = depth, d->colourBits = depth; break;          // palette
    case 4: d->bits = 2 * depth, d->colourBits = depth; break;      // grey and alpha
    case 6: d->bits = 4 * depth, d->colourBits = 3 * depth; break;  // RGB and alpha
    default: return false;
    }
    return depth > 0;
}

bool bmpDepth(QIODevice& f, Depth* d)
{
    const QByteArray head = f.read(30);
    if (head.size() < 26 || !head.startsWith("BM"))
        return false;
    const quint32 dib = le(head, 14, 4);
    if (dib == 12) {
        d->size = QSize(int(le(head, 18, 2)), int(le(head, 20, 2)));
        d->bits = int(le(head, 24, 2));
    } else if (dib >= 40 && head.size() >= 30) {
        d->size = QSize(qAbs(qint32(le(head, 18, 4))), qAbs(qint32(le(head, 22, 4))));
        d->bits = int(le(head, 28, 2));
    } else {
        return false;
    }
    d->colourBits = d->bits == 32 ? 24 : d->bits;
    return d->bits > 0;
}

bool fileDepth(const QString& path, const QByteArray& format, Depth* d)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    if (format == "gif")
        return gifDepth(f, d);
    if (format == "png")
        return pngDepth(f, d);
    if (format == "bmp")
        return bmpDepth(f, d);
    return false;
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
    // The header first: several formats (GIF, BMP) decode the whole picture
    // before scaling it, some while merely looking at it, and a large valid
    // picture must not be refused by Qt's default allocation limit. It is
    // allowed the memory it takes, up to a bound; beyond that its properties
    // come from the header alone and it has no preview.
    const QByteArray sniffed = QImageReader::imageFormat(path).toLower();
    Depth own;
    const bool known = fileDepth(path, sniffed, &own);
    struct LimitGuard {
        int saved = QImageReader::allocationLimit();
        ~LimitGuard() { QImageReader::setAllocationLimit(saved); }
    } guard;
    bool decode = true;
    if (known && own.size.isValid()) {
        const qint64 megabytes = qint64(own.size.width()) * own.size.height() * 8 / (1024 * 1024) + 1;
        if (megabytes > kMaxDecodeMegabytes)
            decode = false;
        else if (megabytes > guard.saved)
            QImageReader::setAllocationLimit(int(megabytes));
    }

    QSize size = own.size;
    QByteArray format = sniffed;
    QImage::Format pixels = QImage::Format_Invalid;
    QImage picture;
    QSize shown;
    if (decode) {
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        if (!reader.canRead())
            return fail(QStringLiteral("it is not a picture this program can read"));
        // A GIF's size is its screen's, which the header gives.
        if (!size.isValid())
            size = reader.size();
        format = reader.format().toLower();
        pixels = reader.imageFormat();
        // Decoding the picture at the size it is shown finds a damaged file
        // without holding a huge one whole where the format allows.
        shown = ImageTag::previewSize(size.width(), size.height(), qMax(1, boxSize));
        if (size.isValid() && reader.size() == size)
            reader.setScaledSize(shown);
        if (!reader.read(&picture) || picture.isNull())
            return fail(reader.errorString().isEmpty() ? QStringLiteral("the picture is damaged")
                                                       : reader.errorString());
    }

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
        // The file's own depth where its header states one: Qt decodes a
        // palette picture into 8 or 32 bits whatever its palette's size.
        if (known) {
            out.bitsPerPixel = own.bits;
            colourBits = own.colourBits;
        }
        out.planes = 1;
        out.colors = qint64(1) << qBound(0, colourBits, 62);
        out.fileType = QString::fromLatin1(format).toUpper();
        out.compression = compressionOf(format);
    }
    if (info)
        *info = out;
    if (preview)
        *preview = picture.isNull() || picture.size() == shown
            ? picture
            : picture.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return true;
}

bool ImageInfo::queryAway(const QString& path, int boxSize, ImageInfo* info, QImage* preview, QString* error)
{
    bool ok = false;
    QThread* worker = QThread::create([&] { ok = query(path, boxSize, info, preview, error); });
    QEventLoop loop;
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    worker->start();
    if (!worker->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    delete worker;
    QGuiApplication::restoreOverrideCursor();
    return ok;
}
