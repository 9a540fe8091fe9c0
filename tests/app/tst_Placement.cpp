// Window placements and fonts between the preference bag and Qt widgets.
#include "TestEnv.h"

#include "app/PlacementAdapter.h"
#include "app/TBag.h"

#include <QApplication>
#include <QDialog>
#include <QLayout>
#include <QVBoxLayout>
#include <QScreen>
#include <QWidget>
#include <QtTest>

namespace {

const QString OptFile = QStringLiteral("velqopt.ini");

} // namespace

class TestPlacement : public QObject {
    Q_OBJECT

private slots:
    void init() { TestEnv::clearSettings(); }

    void storeNormalWindow();
    void roundTripHidden();
    void roundTripShown();
    void maximizedRoundTrip();
    void minimizedToMaximized();
    void refusals_data();
    void refusals();
    void storeRefused();
    void offScreenComesBack();
    void fitToScreens_data();
    void fitToScreens();
    void shownWindowsFit_data();
    void shownWindowsFit();
    void bagShowAndClose();
    void fontRoundTrip();
    void colorRefs_data();
    void colorRefs();
};

void TestPlacement::storeNormalWindow()
{
    QWidget w;
    w.move(100, 120);
    w.resize(300, 200);
    TBag bag(OptFile, "Preview");
    StorePlacement(bag, "FORM_PLACE", &w);
    QCOMPARE(bag.GetValue("FORM_PLACE"), QString("0,1,-1,-1,-1,-1,100,120,400,320"));
}

void TestPlacement::roundTripHidden()
{
    QWidget w;
    w.setGeometry(40, 50, 250, 150);
    TBag bag(OptFile, "Symbols");
    StorePlacement(bag, FormPlaceKey, &w);

    QWidget other;
    other.move(5, 5);
    other.resize(100, 100);
    LoadPlacement(bag, FormPlaceKey, &other);
    QCOMPARE(other.geometry(), QRect(40, 50, 250, 150));
    QCOMPARE(other.windowState(), Qt::WindowNoState);
}

void TestPlacement::roundTripShown()
{
    QWidget w;
    w.setGeometry(60, 70, 320, 240);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    TBag bag(OptFile, "Symbols");
    StorePlacement(bag, FormPlaceKey, &w);
    WindowPlacement p;
    QVERIFY(bag.GetPlacement(FormPlaceKey, p));
    QCOMPARE(p.right - p.left, 320);
    QCOMPARE(p.bottom - p.top, 240);
    QCOMPARE(p.showCmd, 1);

    w.setGeometry(200, 210, 100, 90);
    LoadPlacement(bag, FormPlaceKey, &w);
    QTRY_COMPARE(w.geometry(), QRect(60, 70, 320, 240));
    QCOMPARE(QRect(p.left, p.top, p.right - p.left, p.bottom - p.top), QRect(60, 70, 320, 240));
}

void TestPlacement::maximizedRoundTrip()
{
    QWidget w;
    w.setGeometry(30, 40, 200, 150);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.setWindowState(Qt::WindowMaximized);
    QTRY_VERIFY(w.isMaximized());
    TBag bag(OptFile, "Project Org");
    StorePlacement(bag, FormPlaceKey, &w);
    WindowPlacement p;
    QVERIFY(bag.GetPlacement(FormPlaceKey, p));
    QCOMPARE(p.showCmd, 3);
    QCOMPARE(QRect(p.left, p.top, p.right - p.left, p.bottom - p.top), QRect(30, 40, 200, 150));

    QWidget again;
    LoadPlacement(bag, FormPlaceKey, &again);
    QVERIFY(again.windowState() & Qt::WindowMaximized);
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QTRY_VERIFY(again.isMaximized());
    QCOMPARE(again.normalGeometry(), QRect(30, 40, 200, 150));
    // Back to normal, it takes the stored rectangle.
    again.setWindowState(Qt::WindowNoState);
    QTRY_COMPARE(again.geometry(), QRect(30, 40, 200, 150));
}

void TestPlacement::minimizedToMaximized()
{
    TBag bag(OptFile, "Macros");
    bag.PutValue(FormPlaceKey, "2,2,-1,-1,-1,-1,10,10,210,110");
    QWidget w;
    LoadPlacement(bag, FormPlaceKey, &w);
    QCOMPARE(w.windowState(), Qt::WindowMinimized | Qt::WindowMaximized);
    StorePlacement(bag, "Again", &w);
    QCOMPARE(bag.GetValue("AGAIN"), QString("2,2,-1,-1,-1,-1,10,10,210,110"));

    bag.PutValue(FormPlaceKey, "0,0,-1,-1,-1,-1,10,10,210,110");  // a hiding command shows normally
    LoadPlacement(bag, FormPlaceKey, &w);
    QCOMPARE(w.windowState(), Qt::WindowNoState);
}

void TestPlacement::refusals_data()
{
    QTest::addColumn<QString>("stored");
    QTest::newRow("missing") << QString();
    QTest::newRow("nine numbers") << "0,1,-1,-1,-1,-1,10,20,310";
    QTest::newRow("empty field") << "0,1,-1,-1,,-1,10,20,310,220";
    QTest::newRow("left equals right") << "0,1,-1,-1,-1,-1,310,20,310,220";
    QTest::newRow("left above right") << "0,1,-1,-1,-1,-1,311,20,310,220";
    QTest::newRow("no height") << "0,1,-1,-1,-1,-1,10,220,310,220";
    QTest::newRow("garbage") << "HELLO";
}

void TestPlacement::refusals()
{
    QFETCH(QString, stored);
    TBag bag(OptFile, "Plug Ins");
    bag.PutValue("Dummy", "1");
    if (!stored.isNull())
        bag.PutValue(FormPlaceKey, stored);
    QWidget w;
    w.setGeometry(11, 22, 133, 144);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QRect before = w.geometry();
    LoadPlacement(bag, FormPlaceKey, &w);
    QCoreApplication::processEvents();
    QCOMPARE(w.geometry(), before);
    QCOMPARE(w.windowState(), Qt::WindowNoState);
}

void TestPlacement::storeRefused()
{
    TBag bag(OptFile, "Plug Ins");
    bag.PutValue(FormPlaceKey, "keep");
    StorePlacement(bag, FormPlaceKey, nullptr);
    QCOMPARE(bag.GetValue(FormPlaceKey), QString("keep"));
    QCOMPARE(bag.itemCount(), 1);
}

void TestPlacement::offScreenComesBack()
{
    // A placement from a screen that is gone is brought back onto one.
    TBag bag(OptFile, "NotePad");
    bag.PutValue(FormPlaceKey, "0,1,-1,-1,-1,-1,50000,50000,50200,50100");
    QWidget w;
    LoadPlacement(bag, FormPlaceKey, &w);
    QCOMPARE(w.size(), QSize(200, 100));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(screen.contains(w.geometry().topLeft()));
}

// Windows the program shows fit the screen: a fixed-size dialog gives up
// its size, a large or misplaced window is made smaller and moved in.
void TestPlacement::shownWindowsFit_data()
{
    QTest::addColumn<QSize>("content");  // the least size of the dialog's content; empty: none
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("fixed-size dialog") << QSize(1500, 1200) << QRect();
    QTest::newRow("large window") << QSize() << QRect(0, 0, 3000, 2000);
    QTest::newRow("hanging off the edge") << QSize() << QRect(700, 500, 400, 300);
}

void TestPlacement::shownWindowsFit()
{
    QFETCH(QSize, content);
    QFETCH(QRect, geometry);
    keepWindowsOnScreen();
    QDialog d;
    if (content.isValid()) {
        auto* layout = new QVBoxLayout(&d);
        auto* inner = new QWidget;
        inner->setMinimumSize(content);
        layout->addWidget(inner);
        layout->setSizeConstraint(QLayout::SetFixedSize);
    } else {
        d.setGeometry(geometry);
    }
    d.show();
    const QRect screen = d.screen()->availableGeometry();
    QVERIFY(screen.width() < 1500);
    QVERIFY2(screen.contains(d.frameGeometry()), qPrintable(QString("%1,%2 %3x%4").arg(d.frameGeometry().x())
                                                                .arg(d.frameGeometry().y()).arg(d.frameGeometry().width())
                                                                .arg(d.frameGeometry().height())));
}

void TestPlacement::fitToScreens_data()
{
    QTest::addColumn<QRect>("stored");
    QTest::addColumn<QRect>("shown");
    // Two screens side by side: 1000x800 and, to its right, 600x400.
    QTest::newRow("inside stays") << QRect(10, 20, 300, 200) << QRect(10, 20, 300, 200);
    QTest::newRow("on second screen") << QRect(1100, 50, 300, 200) << QRect(1100, 50, 300, 200);
    QTest::newRow("huge and far left") << QRect(-20000, -5, 100000, 100000) << QRect(0, 0, 1000, 800);
    QTest::newRow("off every screen") << QRect(50000, 50000, 200, 100) << QRect(800, 700, 200, 100);
    QTest::newRow("hanging over the edge") << QRect(900, 700, 300, 200) << QRect(700, 600, 300, 200);
    QTest::newRow("mostly on second") << QRect(1500, 300, 300, 200) << QRect(1300, 200, 300, 200);
}

void TestPlacement::fitToScreens()
{
    QFETCH(QRect, stored);
    QFETCH(QRect, shown);
    QCOMPARE(::fitToScreens(stored, {QRect(0, 0, 1000, 800), QRect(1000, 0, 600, 400)}), shown);
}

void TestPlacement::bagShowAndClose()
{
    {
        QWidget dialog;
        dialog.setGeometry(70, 80, 220, 130);
        TBag prefs(OptFile, "URL Wizard");
        prefs.PutValue("Last", "x");
        bagClose(prefs, &dialog);
    }
    QCOMPARE(TestEnv::readAll(TestEnv::settingsDir() + "/" + OptFile),
             QByteArray("[URL Wizard]\nLAST=x\nFORM_PLACE=0,1,-1,-1,-1,-1,70,80,290,210\n"));
    // A later run: a new window and bag find it where it was left.
    QWidget dialog;
    TBag prefs("VelqOpt.ini", "URL Wizard");
    bagShow(prefs, &dialog);
    QCOMPARE(dialog.geometry(), QRect(70, 80, 220, 130));
    QCOMPARE(prefs.GetValue("last"), QString("X"));

    // A window never given a placement is left alone; a bag without one still saves it.
    QWidget fresh;
    fresh.setGeometry(15, 16, 170, 180);
    TBag empty(OptFile, "File Tools");
    bagShow(empty, &fresh);
    QCOMPARE(fresh.geometry(), QRect(15, 16, 170, 180));
    bagClose(empty, &fresh);
    QCOMPARE(empty.GetValue(FormPlaceKey), QString("0,1,-1,-1,-1,-1,15,16,185,196"));
}

void TestPlacement::fontRoundTrip()
{
    FontSpec spec;
    spec.name = "Courier New";
    spec.style = FontSpec::Bold;
    spec.pitch = FontSpec::FixedPitch;
    spec.pointSize = 10;
    spec.height = -13;
    spec.color = 0;
    const QFont f = fontFromSpec(spec);
    QCOMPARE(f.family(), QString("Courier New"));
    QVERIFY(f.bold());
    QVERIFY(!f.italic());
    QVERIFY(f.fixedPitch());
    QCOMPARE(f.pointSize(), 10);
    FontSpec back = specFromFont(f, colorFromColorRef(spec.color));
    // The height follows the screen's resolution; the rest comes back exactly.
    QCOMPARE(back.height, -qRound(10 * QGuiApplication::primaryScreen()->logicalDotsPerInchY() / 72.0));
    back.height = spec.height;
    QCOMPARE(back, spec);

    FontSpec styled = spec;
    styled.style = FontSpec::Italic | FontSpec::Underline | FontSpec::StrikeOut;
    styled.pitch = FontSpec::VariablePitch;
    styled.color = 0x0000FF;
    const QFont g = fontFromSpec(styled);
    QVERIFY(!g.bold() && g.italic() && g.underline() && g.strikeOut() && !g.fixedPitch());
    back = specFromFont(g, colorFromColorRef(styled.color));
    back.height = styled.height;
    QCOMPARE(back, styled);

    // Without a size the pixel height is used.
    FontSpec byHeight;
    byHeight.name = "Arial";
    byHeight.pointSize = 0;
    byHeight.height = -20;
    QCOMPARE(fontFromSpec(byHeight).pixelSize(), 20);
    QCOMPARE(specFromFont(QFont("Arial"), Qt::black).pitch, int(FontSpec::DefaultPitch));
}

void TestPlacement::colorRefs_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<uint>("ref");
    QTest::newRow("black") << QColor(Qt::black) << 0u;
    QTest::newRow("red") << QColor(255, 0, 0) << 0x0000FFu;
    QTest::newRow("blue") << QColor(0, 0, 255) << 0xFF0000u;
    QTest::newRow("mixed") << QColor(1, 2, 3) << 0x030201u;
}

void TestPlacement::colorRefs()
{
    QFETCH(QColor, color);
    QFETCH(uint, ref);
    QCOMPARE(colorRefFromColor(color), ref);
    QCOMPARE(colorFromColorRef(ref), color);
}

VQ_TEST_MAIN(TestPlacement)

#include "tst_Placement.moc"
