// The image browser: the IMG pair, the preview's size, the properties of
// pictures the test writes (and of damaged ones), and the window.
#include "ScriptedPrompter.h"
#include "TestEnv.h"
#include "tags/TagTestSupport.h"

#include "wizards/image/ImageInfo.h"
#include "wizards/image/ImageTag.h"
#include "wizards/image/TfImageBrowser.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
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
