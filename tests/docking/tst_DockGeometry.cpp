// Side choosing, button layouts and the stored panel state, without widgets.
#include "docking/DockGeometry.h"
#include "docking/DockState.h"
#include "TestEnv.h"

#include <QtTest>

Q_DECLARE_METATYPE(TAlign)

class tst_DockGeometry : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::init(); }

    void chooseSide_data()
    {
        QTest::addColumn<QRect>("outline");
        QTest::addColumn<unsigned>("allowed");
        QTest::addColumn<int>("side");
        // Client area: x 100..499, y 100..399; threshold 5.
        QTest::newRow("touches the top edge") << QRect(200, 98, 150, 30) << kAllDockSides << int(alTop);
        QTest::newRow("top band, last row inside") << QRect(200, 105, 150, 30) << kAllDockSides << int(alTop);
        QTest::newRow("below the top band") << QRect(200, 106, 150, 30) << kAllDockSides << int(alNone);
        QTest::newRow("above the band") << QRect(200, 64, 150, 30) << kAllDockSides << int(alNone);
        QTest::newRow("bottom edge") << QRect(200, 380, 150, 30) << kAllDockSides << int(alBottom);
        QTest::newRow("left edge") << QRect(90, 200, 30, 150) << kAllDockSides << int(alLeft);
        QTest::newRow("right edge, band's outer row") << QRect(504, 200, 30, 150) << kAllDockSides << int(alRight);
        QTest::newRow("beyond the right band") << QRect(505, 200, 30, 150) << kAllDockSides << int(alNone);
        QTest::newRow("middle floats") << QRect(250, 200, 100, 30) << kAllDockSides << int(alNone);
        QTest::newRow("top left corner: top first") << QRect(95, 95, 30, 30) << kAllDockSides << int(alTop);
        QTest::newRow("corner, top not allowed") << QRect(95, 95, 30, 30)
            << (dockSide(dsLeft) | dockSide(dsBottom)) << int(alLeft);
        QTest::newRow("bottom right corner: bottom before right") << QRect(490, 390, 30, 30) << kAllDockSides << int(alBottom);
        QTest::newRow("top not allowed") << QRect(200, 98, 150, 30) << dockSide(dsBottom) << int(alNone);
        QTest::newRow("no sides") << QRect(200, 98, 150, 30) << 0u << int(alNone);
        QTest::newRow("beside the frame at top height") << QRect(520, 98, 50, 30) << kAllDockSides << int(alNone);
    }
    void chooseSide()
    {
        QFETCH(QRect, outline);
        QFETCH(unsigned, allowed);
        QFETCH(int, side);
        QCOMPARE(int(DockGeometry::chooseSide(outline, QRect(100, 100, 400, 300), 5, allowed)), side);
    }

    void arrange_data()
    {
        QTest::addColumn<QList<QRect>>("design");
        QTest::addColumn<QList<bool>>("visible");
        QTest::addColumn<int>("method");
        QTest::addColumn<int>("maxWidth");
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<QList<QPoint>>("places");
        QTest::addColumn<QSize>("size");
        const QList<QRect> row{QRect(0, 0, 20, 20), QRect(20, 0, 30, 20), QRect(50, 0, 20, 25)};
        const QList<bool> all{true, true, true};
        QTest::newRow("auto, fits") << row << all << int(amAuto) << 100 << false
            << QList<QPoint>{{0, 0}, {20, 0}, {50, 0}} << QSize(70, 25);
        QTest::newRow("auto wraps below the tallest") << QList<QRect>{QRect(0, 0, 20, 30), QRect(20, 0, 30, 20), QRect(50, 0, 20, 20)}
            << all << int(amAuto) << 50 << false << QList<QPoint>{{0, 0}, {20, 0}, {0, 30}} << QSize(50, 50);
        QTest::newRow("auto skips hidden") << row << QList<bool>{true, false, true} << int(amAuto) << 100 << false
            << QList<QPoint>{{0, 0}, {20, 0}, {20, 0}} << QSize(40, 25);
        QTest::newRow("no limit never wraps") << row << all << int(amAuto) << -1 << false
            << QList<QPoint>{{0, 0}, {20, 0}, {50, 0}} << QSize(70, 25);
        QTest::newRow("width keeps design rows") << QList<QRect>{QRect(40, 0, 20, 20), QRect(0, 2, 20, 20), QRect(5, 30, 20, 20)}
            << all << int(amWidth) << 100 << false << QList<QPoint>{{20, 0}, {0, 0}, {0, 20}} << QSize(40, 40);
        QTest::newRow("width: long row continues below") << row << all << int(amWidth) << 55 << false
            << QList<QPoint>{{0, 0}, {20, 0}, {0, 20}} << QSize(50, 45);
        QTest::newRow("none keeps design") << QList<QRect>{QRect(3, 4, 10, 10), QRect(30, 0, 10, 10)} << QList<bool>{true, true}
            << int(amNone) << 5 << false << QList<QPoint>{{3, 4}, {30, 0}} << QSize(40, 14);
        // A horizontal row docked to a side becomes a column, same order.
        QTest::newRow("width, vertical: a column") << row << all << int(amWidth) << 200 << true
            << QList<QPoint>{{0, 0}, {0, 20}, {0, 40}} << QSize(30, 65);
        QTest::newRow("vertical wraps at the height") << row << all << int(amWidth) << 55 << true
            << QList<QPoint>{{0, 0}, {0, 20}, {30, 0}} << QSize(50, 40);
        QTest::newRow("none, vertical: exchanged") << QList<QRect>{QRect(30, 0, 10, 12)} << QList<bool>{true}
            << int(amNone) << 0 << true << QList<QPoint>{{0, 30}} << QSize(10, 42);
    }
    void arrange()
    {
        QFETCH(QList<QRect>, design);
        QFETCH(QList<bool>, visible);
        QFETCH(int, method);
        QFETCH(int, maxWidth);
        QFETCH(bool, vertical);
        QFETCH(QList<QPoint>, places);
        QFETCH(QSize, size);
        const DockGeometry::ButtonLayout l =
            DockGeometry::arrangeButtons(design, visible, TArrangeMethods(method), maxWidth, vertical);
        QList<QPoint> got;
        for (const QRect& r : l.rects)
            got << r.topLeft();
        QCOMPARE(got, places);
        QCOMPARE(l.size, size);
        for (int i = 0; i < design.size(); ++i)
            QCOMPARE(l.rects.at(i).size(), design.at(i).size());
    }

    void reachable_data()
    {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("on screen stays") << QRect(300, 200, 200, 60) << QPoint(300, 200);
        QTest::newRow("title partly on screen stays") << QRect(-150, 10, 200, 60) << QPoint(-150, 10);
        QTest::newRow("title strip above the screen") << QRect(300, -50, 200, 60) << QPoint(300, 0);
        QTest::newRow("far off") << QRect(40000, 40000, 200, 60) << QPoint(1080, 964);
        QTest::newRow("negative off") << QRect(-9000, 500, 200, 60) << QPoint(0, 500);
        QTest::newRow("on the second screen") << QRect(1400, 100, 200, 60) << QPoint(1400, 100);
        QTest::newRow("bigger than the screen") << QRect(5000, 0, 3000, 60) << QPoint(0, 0);
    }
    void reachable()
    {
        QFETCH(QRect, window);
        QFETCH(QPoint, expected);
        QCOMPARE(DockGeometry::reachablePosition(window, {QRect(0, 0, 1280, 1024), QRect(1280, 0, 800, 600)}, 16),
                 expected);
    }

    void stateFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("docked");
        QTest::addColumn<int>("align");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("hasFloat");
        QTest::addColumn<QPoint>("floatPos");
        QTest::newRow("missing keys keep values") << QByteArray("[Other]\nDocked=0\n") << true << 1 << 30 << false << QPoint(7, 8);
        QTest::newRow("floating left") << QByteArray("[Bar]\nDocked=0\nAlign=3\nHeight=90\nFTop=40\nFLeft=50\n")
            << false << 3 << 90 << true << QPoint(50, 40);
        QTest::newRow("not numbers") << QByteArray("[Bar]\nDocked=yes\nAlign=top\nHeight=x\nFTop=1\nFLeft=z\n")
            << true << 1 << 30 << false << QPoint(7, 8);
        QTest::newRow("huge and negative") << QByteArray("[Bar]\nAlign=99999\nHeight=-5\nFTop=99999999\nFLeft=3\n")
            << true << 1 << 30 << false << QPoint(7, 8);
        QTest::newRow("align masked") << QByteArray("[Bar]\nAlign=130\n") << true << 2 << 30 << false << QPoint(7, 8);
        QTest::newRow("hex height") << QByteArray("[Bar]\nHeight=0x20\n") << true << 1 << 32 << false << QPoint(7, 8);
    }
    void stateFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, docked);
        QFETCH(int, align);
        QFETCH(int, height);
        QFETCH(bool, hasFloat);
        QFETCH(QPoint, floatPos);
        TestEnv::writeAll(TestEnv::settingsDir() + "/velq32tb.ini", file);
        IniFile ini(QStringLiteral("velq32tb.ini"));
        DockState st;
        st.height = 30;
        st.fLeft = 7;
        st.fTop = 8;
        DockStateFile::load(ini, "Bar", st, false);
        DockStateFile::loadFloat(ini, "Bar", st, true);
        QCOMPARE(st.docked, docked);
        QCOMPARE(st.align, align);
        QCOMPARE(st.height, height);
        QCOMPARE(st.hasFloatPos, hasFloat);
        QCOMPARE(QPoint(st.fLeft, st.fTop), floatPos);
    }

    void stateRoundTrip()
    {
        QFile::remove(TestEnv::settingsDir() + "/velq32tb.ini");
        IniFile ini(QStringLiteral("velq32tb.ini"));
        DockState st;
        st.docked = false;
        st.visible = false;
        st.align = 4;
        st.top = 12;
        st.left = -3;
        st.width = 40;
        st.height = 300;
        st.fTop = 250;
        st.fLeft = 600;
        st.maxWidth = 120;
        ini.writeStrings("Bar", DockStateFile::stateItems(st, true) + DockStateFile::floatItems(st, false));
        DockState back;
        DockStateFile::load(ini, "Bar", back, true);
        DockStateFile::loadFloat(ini, "Bar", back, false);
        QCOMPARE(back.docked, false);
        QCOMPARE(back.visible, false);
        QCOMPARE(QList<int>({back.align, back.top, back.left, back.width, back.height, back.fTop, back.fLeft, back.maxWidth}),
                 QList<int>({4, 12, -3, 40, 300, 250, 600, 120}));
        // Without AutoHide there is no "Visible", with MaxWidthRestore no "MaxWidth".
        const QStringList keys = [&] {
            QStringList k;
            for (const auto& i : DockStateFile::stateItems(st, false) + DockStateFile::floatItems(st, true))
                k << i.first;
            return k;
        }();
        QCOMPARE(keys, QStringList({"Docked", "Align", "Top", "Left", "Width", "Height", "FTop", "FLeft"}));
    }
};

QTEST_GUILESS_MAIN(tst_DockGeometry)
#include "tst_DockGeometry.moc"
