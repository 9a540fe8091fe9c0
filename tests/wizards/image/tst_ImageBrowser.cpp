// The image browser: the IMG pair, the preview's size, the properties of
// pictures the test writes (and of damaged ones), and the window.
#include "ScriptedPrompter.h"
#include "TestEnv.h"
#include "tags/TagTestSupport.h"

#include "wizards/image/ImageInfo.h"
#include "wizards/image/ImageTag.h"
#include "wizards/image/TfImageBrowser.h"
#include "wizards/image/MediaOpenDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QHeaderView>
#include <QLabel>
#include <QTreeView>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

namespace {
QString work(const QString& name) { return TestEnv::workDir() + "/" + name; }

// A picture of the given size and format, written by Qt.
QString picture(const QString& name, int w, int h, const char* format, QImage::Format pixels = QImage::Format_RGB32)
{
    QImage img(w, h, pixels);
    img.fill(Qt::red);
    img.save(work(name), format);
    return work(name);
}
void le(QByteArray& b, quint32 v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b.append(char(v >> (8 * i)));
}

// A one-pixel GIF whose colour table has 2^bits entries, global or local.
QString gif(const QString& name, int bits, bool local)
{
    QByteArray b("GIF89a");
    le(b, 1, 2), le(b, 1, 2);
    const QByteArray table(3 << bits, '\x40');
    b += char(local ? 0 : 0x80 | (bits - 1));
    b += QByteArray(2, 0);
    if (!local)
        b += table;
    b += "!\xfe\x02hi";  // a comment before the picture
    b += char(0);
    b += char(0x2C);
    le(b, 0, 4), le(b, 1, 2), le(b, 1, 2);
    b += char(local ? 0x80 | (bits - 1) : 0);
    if (local)
        b += table;
    const int min = qMax(2, bits);
    b += char(min);
    QByteArray data;
    quint32 acc = 0;
    int held = 0;
    for (quint32 code : {1u << min, 0u, (1u << min) + 1}) {
        acc |= code << held;
        for (held += min + 1; held >= 8; held -= 8, acc >>= 8)
            data += char(acc & 0xFF);
    }
    if (held > 0)
        data += char(acc & 0xFF);
    b += char(data.size()) + data + char(0) + ';';
    TestEnv::writeAll(work(name), b);
    return work(name);
}

// A GIF of a large screen holding one small picture: Qt decodes the whole
// screen, larger than its default allocation limit.
QString bigGif(const QString& name)
{
    QByteArray b = TestEnv::readAll(gif(name, 1, false));
    b[6] = char(7000 & 0xFF), b[7] = char(7000 >> 8), b[8] = char(6000 & 0xFF), b[9] = char(6000 >> 8);
    TestEnv::writeAll(work(name), b);
    return work(name);
}

// A one-pixel BMP of 4 bits per pixel.
QString bmp4(const QString& name)
{
    QByteArray b("BM");
    le(b, 14 + 40 + 64 + 4, 4), le(b, 0, 4), le(b, 14 + 40 + 64, 4);
    le(b, 40, 4), le(b, 1, 4), le(b, 1, 4), le(b, 1, 2), le(b, 4, 2), le(b, 0, 4), le(b, 4, 4);
    le(b, 2835, 4), le(b, 2835, 4), le(b, 16, 4), le(b, 0, 4);
    b += QByteArray(64, '\x20') + QByteArray(4, 0);
    TestEnv::writeAll(work(name), b);
    return work(name);
}

// A one-pixel PNG with a palette of 16 colours and 4 bits per pixel.
QString png4(const QString& name)
{
    auto chunk = [](const QByteArray& type, const QByteArray& data) {
        QByteArray c;
        for (int i = 3; i >= 0; --i)
            c.append(char(data.size() >> (8 * i)));
        const QByteArray crcOf = type + data;
        quint32 crc = 0xFFFFFFFF;
        for (char byte : crcOf) {
            crc ^= quint8(byte);
            for (int k = 0; k < 8; ++k)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        }
        crc ^= 0xFFFFFFFF;
        c += crcOf;
        for (int i = 3; i >= 0; --i)
            c.append(char(crc >> (8 * i)));
        return c;
    };
    QByteArray b("\x89PNG\r\n\x1a\n");
    b += chunk("IHDR", QByteArray("\0\0\0\1\0\0\0\1\x04\x03\0\0\0", 13));
    b += chunk("PLTE", QByteArray(48, '\x30'));
    b += chunk("IDAT", qCompress(QByteArray(2, 0)).mid(4));
    b += chunk("IEND", QByteArray());
    TestEnv::writeAll(work(name), b);
    return work(name);
}
} // namespace

class tst_ImageBrowser : public QObject {
    Q_OBJECT
private slots:
    void tags_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("slashes");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("open");
        QTest::newRow("defaults") << "Image Name" << true << 0 << 0 << "<IMG SRC=\"Image Name\" BORDER=1 ALT=\"";
        QTest::newRow("both sizes") << "a.gif" << true << 120 << 80
                                    << "<IMG SRC=\"a.gif\" BORDER=1 WIDTH=120  HEIGHT=80  ALT=\"";
        QTest::newRow("height only") << "a.gif" << true << 0 << 50 << "<IMG SRC=\"a.gif\" BORDER=1 HEIGHT=50  ALT=\"";
        QTest::newRow("slashes on") << "images\\logo.gif" << true << 0 << 0
                                    << "<IMG SRC=\"images/logo.gif\" BORDER=1 ALT=\"";
        QTest::newRow("slashes off") << "images\\logo.gif" << false << 0 << 0
                                     << "<IMG SRC=\"images\\logo.gif\" BORDER=1 ALT=\"";
    }
    void tags()
    {
        QFETCH(QString, name);
        QFETCH(bool, slashes);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QString, open);
        ImageTagOptions o;
        o.name = name;
        o.slashes = slashes;
        o.width = width;
        o.height = height;
        QCOMPARE(ImageTag::tags(o), (TagPair{open, "\">"}));
    }

    void previewSize_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("box");
        QTest::addColumn<QSize>("size");
        QTest::newRow("wide") << 200 << 100 << 150 << QSize(150, 75);
        QTest::newRow("tall") << 100 << 200 << 150 << QSize(75, 150);
        QTest::newRow("square") << 40 << 40 << 150 << QSize(150, 150);
        QTest::newRow("half down to even") << 4 << 1 << 10 << QSize(10, 2);
        QTest::newRow("half up to even") << 4 << 3 << 10 << QSize(10, 8);
        QTest::newRow("huge") << 20000 << 20000 << 150 << QSize(150, 150);
        QTest::newRow("thin keeps a pixel") << 10000 << 1 << 150 << QSize(150, 1);
    }
    void previewSize()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(int, box);
        QFETCH(QSize, size);
        QCOMPARE(ImageTag::previewSize(w, h, box), size);
    }

    void info_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("shown");  // width height bpp planes colours type compression, or the reason
        const QString png = picture("a.png", 200, 100, "PNG");
        QTest::newRow("png") << png << true << "200 100 24 1 16777216 PNG Deflate";
        QTest::newRow("jpeg") << picture("b.jpg", 100, 200, "JPEG") << true << "100 200 24 1 16777216 JPEG JPEG";
        QTest::newRow("png with alpha") << picture("d.png", 10, 10, "PNG", QImage::Format_ARGB32) << true
                                        << "10 10 32 1 16777216 PNG Deflate";
        QTest::newRow("bmp, two colours") << picture("c.bmp", 30, 20, "BMP", QImage::Format_Mono) << true
                                          << "30 20 1 1 2 BMP None";
        // The depth is the file's own, not that of the pixels Qt decodes into.
        QTest::newRow("gif, two colours") << gif("g1.gif", 1, false) << true << "1 1 1 1 2 GIF LZW";
        QTest::newRow("gif, 64 colours") << gif("g6.gif", 6, false) << true << "1 1 6 1 64 GIF LZW";
        QTest::newRow("gif, 256 colours") << gif("g8.gif", 8, false) << true << "1 1 8 1 256 GIF LZW";
        QTest::newRow("gif, local table") << gif("gl.gif", 4, true) << true << "1 1 4 1 16 GIF LZW";
        QTest::newRow("png, 4 bits") << png4("p4.png") << true << "1 1 4 1 16 PNG Deflate";
        QTest::newRow("png, grey") << picture("grey.png", 5, 5, "PNG", QImage::Format_Grayscale8) << true
                                   << "5 5 8 1 256 PNG Deflate";
        QTest::newRow("bmp, 4 bits") << bmp4("b4.bmp") << true << "1 1 4 1 16 BMP None";
        QTest::newRow("gif above the allocation limit") << bigGif("big.gif") << true << "7000 6000 1 1 2 GIF LZW";
        QByteArray bytes = TestEnv::readAll(png);
        TestEnv::writeAll(work("cut.png"), bytes.left(bytes.size() / 2));
        QTest::newRow("truncated") << work("cut.png") << false << "";
        TestEnv::writeAll(work("junk.gif"), "GIF89a this is no picture at all");
        QTest::newRow("damaged") << work("junk.gif") << false << "";
        TestEnv::writeAll(work("text.png"), "plain words");
        QTest::newRow("not a picture") << work("text.png") << false << "it is not a picture this program can read";
        QTest::newRow("missing") << work("none.png") << false << "No such file";
    }
    void info()
    {
        QFETCH(QString, path);
        QFETCH(bool, ok);
        QFETCH(QString, shown);
        ImageInfo i;
        QImage preview;
        QString error;
        QCOMPARE(ImageInfo::query(path, 150, &i, &preview, &error), ok);
        if (ok) {
            QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5 %6 %7").arg(i.width).arg(i.height).arg(i.bitsPerPixel)
                         .arg(i.planes).arg(i.colors).arg(i.fileType, i.compression), shown);
            QCOMPARE(i.size, QFileInfo(path).size());
            QCOMPARE(preview.size(), ImageTag::previewSize(i.width, i.height, 150));
        } else {
            QVERIFY(!error.isEmpty());
            if (!shown.isEmpty())
                QCOMPARE(error, shown);
        }
    }

    // The media Open dialog shows the file list's columns whole beside its preview.
    void openDialogFits()
    {
        MediaOpenDialog d;
        d.setDirectory(TestEnv::workDir());
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        auto* list = d.findChild<QTreeView*>("treeView");
        QVERIFY(list && list->isVisible());
        QHeaderView* h = list->header();
        for (int i = 0; i < h->count(); ++i)
            if (!h->isSectionHidden(i))
                QVERIFY2(h->sectionViewportPosition(i) + h->sectionSize(i) <= list->viewport()->width(),
                         qPrintable(list->model()->headerData(i, Qt::Horizontal).toString()));
    }

    // Browsing fills the preview, the properties and the sizes; a damaged
    // picture is told, empties the properties and keeps the sizes; OK puts
    // the tag in and leaves the window open.
    void window()
    {
        ScriptedPrompter prompter;
        TestHost host;
        host.setTags("W", "N");
        TagEngine engine(host);
        TestEditor ed;
        TfImageBrowser b(engine, nullptr);
        b.showWizard();
        QVERIFY(QTest::qWaitForWindowExposed(&b));
        QCOMPARE(b.info[0]->text(), QString("N/A"));
        b.OKBtn->click();  // no document: nothing, silently
        QVERIFY(prompter.messages.isEmpty());

        host.editor = &ed;
        const QString png = picture("Wide.png", 200, 100, "PNG");
        prompter.openAnswers.enqueue({png});
        b.btnBrowse->click();
        QCOMPARE(b.txtImageName->text(), png);
        QCOMPARE(b.PImage->size(), QSize(150, 75));
        QCOMPARE(b.oW->value(), 200);
        QCOMPARE(b.oH->value(), 100);
        QCOMPARE(b.info[5]->text(), QString("PNG"));

        TestEnv::writeAll(work("bad.png"), "\x89PNG\r\n\x1a\n broken");
        prompter.openAnswers.enqueue({work("bad.png")});
        b.btnBrowse->click();
        QCOMPARE(prompter.messages.size(), 1);
        QVERIFY2(prompter.messages[0].startsWith("Unable to read the image " + work("bad.png") + ": "),
                 qPrintable(prompter.messages[0]));
        QCOMPARE(b.info[0]->text(), QString());
        QCOMPARE(b.oW->value(), 200);
        QVERIFY(!QGuiApplication::overrideCursor());  // the busy pointer is gone again

        b.txtImageName->setText("images\\logo.gif");
        b.oW->setValue(0);
        b.oH->setValue(50);
        Marked::set(ed, "a[Logo]b");
        b.OKBtn->click();
        QCOMPARE(Marked::get(ed), "a<IMG SRC=\"images/logo.gif\" BORDER=1 HEIGHT=50  ALT=\"|Logo\">b");
        QVERIFY(b.isVisible());
    }
};

VQ_TEST_MAIN(tst_ImageBrowser)
#include "tst_ImageBrowser.moc"
