// The main frame's docking tool bars: gestures, side changes, the stored
// state across restarts, a damaged state file and the visibility toggles.
#include "app/TmdiMain.h"
#include "docking/TDocForm.h"
#include "docking/TDocPanel.h"
#include "ScriptedPrompter.h"
#include "TestEnv.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QToolButton>
#include <QWindow>
#include <functional>
#include <QtTest>
#include <memory>

namespace {

const QString kState = QStringLiteral("/velq32tb.ini");

void send(QWidget* w, QEvent::Type type, const QPoint& global, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(w->mapFromGlobal(global)), QPointF(global),
                  type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Presses on the panel's handle and releases at a screen point.
void drag(TDocPanel* p, const QPoint& to, bool escape = false)
{
    const QPoint from = p->mapToGlobal(QPoint(4, 4));
    send(p, QEvent::MouseButtonPress, from, Qt::LeftButton);
    send(p, QEvent::MouseMove, from + QPoint(30, 30), Qt::LeftButton);
    send(p, QEvent::MouseMove, to, Qt::LeftButton);
    if (escape)
        QTest::keyClick(p->window(), Qt::Key_Escape);
    send(p, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

} // namespace

class tst_DockPanel : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<ScriptedPrompter> prompter;
    std::unique_ptr<TmdiMain> main;

    TmdiMain& start(const QByteArray& state = QByteArray(), bool clear = true)
    {
        main.reset();
        if (clear) {
            TestEnv::clearSettings();
            TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI", "[System]\nOpen Template=0\n");
            if (!state.isNull())
                TestEnv::writeAll(TestEnv::settingsDir() + kState, state);
        }
        prompter = std::make_unique<ScriptedPrompter>();
        main = std::make_unique<TmdiMain>();
        if (!TestEnv::showFrame(*main))
            qFatal("the frame did not start up");
        main->setWindowState(Qt::WindowNoState);
        main->setGeometry(50, 50, 1000, 700);
        QCoreApplication::processEvents();
        return *main;
    }

private slots:
    void cleanup()
    {
        main.reset();
        prompter.reset();
    }

    void horizontalBarDockedLeftBecomesAColumn()
    {
        TmdiMain& m = start();
        TDocPanel* p = m.toolBar("ListToolBar");
        const QList<QAction*> before = p->actions();
        drag(p, m.centralWidget()->mapToGlobal(QPoint(2, 300)));
        QCOMPARE(p->Align(), int(alLeft));
        QVERIFY(p->height() > p->width());
        int lastY = -1;
        for (QAction* a : p->actions()) {
            QToolButton* b = p->widgetForAction(a);
            QCOMPARE(b->x(), p->widgetForAction(before.first())->x());
            QVERIFY(b->y() > lastY);
            lastY = b->y();
        }
        QCOMPARE(p->actions(), before);
        drag(p, m.centralWidget()->mapToGlobal(QPoint(300, 1)));
        QCOMPARE(p->Align(), int(alTop));
        QVERIFY(p->width() > p->height());
    }

    void dragChoosesSideOrFloats_data()
    {
        QTest::addColumn<QPoint>("to");  // in the client area, from its top left
        QTest::addColumn<bool>("docked");
        QTest::addColumn<int>("align");
        QTest::addColumn<bool>("escape");
        QTest::newRow("top edge") << QPoint(200, 2) << true << int(alTop) << false;
        QTest::newRow("bottom edge") << QPoint(200, 640) << true << int(alBottom) << false;
        QTest::newRow("right edge") << QPoint(985, 300) << true << int(alRight) << false;
        QTest::newRow("middle floats") << QPoint(400, 300) << false << int(alTop) << false;
        QTest::newRow("escape gives up") << QPoint(985, 300) << true << int(alTop) << true;
    }
    void dragChoosesSideOrFloats()
    {
        QFETCH(QPoint, to);
        QFETCH(bool, docked);
        QFETCH(int, align);
        QFETCH(bool, escape);
        TmdiMain& m = start();
        TDocPanel* p = m.toolBar("TableToolBar");
        const QRect was = p->geometry();
        QSignalSpy changed(p, &TDocPanel::OnDockChanged);
        const QPoint target = m.centralWidget()->mapToGlobal(to) - QPoint(4, 4);
        drag(p, target + QPoint(4, 4), escape);
        QCOMPARE(p->Docked(), docked);
        if (escape)
            QCOMPARE(p->geometry(), was);
        QCOMPARE(p->Align(), align);
        QCOMPARE(changed.count(), docked ? 0 : 1);
        if (!docked) {
            // Floats where released, the panel under the pointer as it was.
            QCOMPARE(p->mapToGlobal(QPoint(0, 0)), target);
            QVERIFY(p->floatingForm()->isVisible());
            QVERIFY_THROWS_EXCEPTION(ENotDocked, p->SetDockingSides(kAllDockSides));
        }
    }

    void stateSurvivesARestart()
    {
        TmdiMain& m = start();
        m.toolBar("ListToolBar")->dockTo(alLeft, 0);
        // Kept at once, not only at the end of the run.
        QVERIFY(TestEnv::readAll(TestEnv::settingsDir() + kState).contains("Align=3"));
        TDocPanel* f = m.toolBar("FormattingBar");
        QSignalSpy changed(f, &TDocPanel::OnDockChanged);
        QTest::mouseDClick(f, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
        QVERIFY(!f->Docked());
        QCOMPARE(changed.count(), 1);
        f->floatingForm()->move(300, 200);
        main.reset();
        const QByteArray file = TestEnv::readAll(TestEnv::settingsDir() + kState);
        QVERIFY(file.contains("[FormattingBar]\r\nFTop=200\r\nFLeft=300\r\nDocked=0\r\nAlign=1\r\n")
                || file.contains("[FormattingBar]\nFTop=200\nFLeft=300\nDocked=0\nAlign=1\n"));
        QVERIFY(file.contains("Align=3"));

        TmdiMain& again = start(QByteArray(), false);
        TDocPanel* list = again.toolBar("ListToolBar");
        QCOMPARE(list->Align(), int(alLeft));
        QVERIFY(list->height() > list->width());
        f = again.toolBar("FormattingBar");
        QVERIFY(!f->Docked());
        QCOMPARE(f->floatingForm()->pos(), QPoint(300, 200));
        QVERIFY(f->floatingForm()->isVisible());
        // The toggles reach the floating window.
        again.run(QStringLiteral("FormattingToolbar1Click"));
        QVERIFY(!f->floatingForm()->isVisible());
        again.run(QStringLiteral("FormattingToolbar1Click"));
        QVERIFY(f->floatingForm()->isVisible());
        // A double click on the title docks it where it was, at the top.
        TDocForm* form = f->floatingForm();
        QTest::mouseDClick(form, Qt::LeftButton, Qt::NoModifier, form->titleRect().center() - QPoint(20, 0));
        QVERIFY(f->Docked());
        QCOMPARE(f->Align(), int(alTop));
        QVERIFY(!form->isVisible());
        QCOMPARE(f->parentWidget(), again.centralWidget());
    }

    // A bar left floating shows above the frame at start-up: its window is
    // shown (and raised) once the frame's own window is up.
    void floatingBarShownAboveFrame_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("bar");
        QTest::newRow("stored floating") << QByteArray("[FormattingBar]\nDocked=0\nFTop=200\nFLeft=300\n")
                                         << "FormattingBar";
        QTest::newRow("damaged file") << QByteArray("[Tagsbar]\nDocked=0\nFTop=9000\nFLeft=-9000\nAlign=x\n")
                                      << "Tagsbar";
    }
    void floatingBarShownAboveFrame()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, bar);
        TestEnv::clearSettings();
        TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI", "[System]\nOpen Template=0\n");
        TestEnv::writeAll(TestEnv::settingsDir() + kState, file);
        prompter = std::make_unique<ScriptedPrompter>();
        main = std::make_unique<TmdiMain>();
        TDocForm* form = main->toolBar(bar)->floatingForm();
        QList<bool> frameUpWhenShown;
        struct Watch : QObject {
            std::function<void()> onShow;
            bool eventFilter(QObject*, QEvent* e) override
            {
                if (e->type() == QEvent::Show)
                    onShow();
                return false;
            }
        } watch;
        watch.onShow = [&] { frameUpWhenShown << (main->windowHandle() && main->windowHandle()->isVisible()); };
        form->installEventFilter(&watch);
        main->setWindowState(Qt::WindowMaximized);
        QVERIFY(TestEnv::showFrame(*main));
        QTRY_VERIFY(form->isVisible());
        form->removeEventFilter(&watch);
        QVERIFY(!main->toolBar(bar)->Docked());
        QCOMPARE(frameUpWhenShown, QList<bool>{true});
    }

    // Sizing a floating column by its right edge: the edge follows the
    // pointer a column at a time, and the title is never cut.
    void floatingColumnSizedByItsEdge()
    {
        TmdiMain& m = start();
        TDocPanel* p = m.toolBar("ListToolBar");
        drag(p, m.centralWidget()->mapToGlobal(QPoint(2, 300)));
        QCOMPARE(p->Align(), int(alLeft));
        p->FloatPanel();
        TDocForm* form = p->floatingForm();
        QTRY_VERIFY(form->isVisible());
        QVERIFY(form->width() >= form->titleWidth());
        const int column = p->widgetForAction(p->actions().first())->width();
        const int y = form->titleHeight() + 5;
        const QPoint origin = form->mapToGlobal(QPoint(0, 0));
        send(form, QEvent::MouseButtonPress, origin + QPoint(form->width() - 2, y), Qt::LeftButton);
        QList<int> widths;
        for (const int target : {5 * column / 2, 12 * column, 5 * column / 2}) {
            send(form, QEvent::MouseMove, origin + QPoint(target, y), Qt::LeftButton);
            // The edge never passes the pointer (unless the title needs the room).
            QVERIFY2(form->width() <= std::max(target + 1, form->titleWidth()),
                     qPrintable(QString("pointer %1, width %2").arg(target).arg(form->width())));
            widths << form->width();
        }
        send(form, QEvent::MouseButtonRelease, origin + QPoint(5 * column / 2, y), Qt::NoButton);
        QVERIFY(widths[1] > widths[0] + column);  // dragged right, it widens
        QCOMPARE(widths[2], widths[0]);           // and back
    }

    void hiddenFloatingBarStaysHiddenAtStartUp()
    {
        TestEnv::clearSettings();
        TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI",
                          "[System]\nOpen Template=0\n[Application Options]\nFormat ToolBar=0\n");
        TestEnv::writeAll(TestEnv::settingsDir() + kState, "[FormattingBar]\nDocked=0\nFTop=200\nFLeft=300\n");
        TmdiMain& m = start(QByteArray(), false);
        TDocPanel* f = m.toolBar("FormattingBar");
        QVERIFY(!f->Docked());
        QVERIFY(!f->floatingForm()->isVisible());
        QVERIFY(!m.action("FormattingToolbar1Click")->isChecked());
        m.run(QStringLiteral("FormattingToolbar1Click"));
        QVERIFY(f->floatingForm()->isVisible());
        QCOMPARE(f->floatingForm()->pos(), QPoint(300, 200));
    }

    void damagedStateKeepsBarsReachable_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("garbage") << QByteArray("[SpeedBar]\nDocked=x\nAlign=-7\nHeight=zz\nWidth=99999999999\n");
        QTest::newRow("floating far off") << QByteArray("[Tagsbar]\nDocked=0\nFTop=9000\nFLeft=-9000\n");
        QTest::newRow("huge position") << QByteArray("[Tagsbar]\nDocked=0\nFTop=2147483647\nFLeft=-2147483648\n");
        QTest::newRow("align none, sizes negative") << QByteArray("[FormToolBar]\nAlign=0\nTop=-5000\nWidth=-3\nHeight=-9\n");
        QTest::newRow("not an ini file") << QByteArray("\x01\x02[[[\n=\n]]\nAlign\n");
    }
    void damagedStateKeepsBarsReachable()
    {
        QFETCH(QByteArray, file);
        TmdiMain& m = start(file);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        for (TDocPanel* p : m.findChildren<TDocPanel*>()) {
            QVERIFY2(p->isVisible(), qPrintable(p->objectName()));
            QVERIFY(DockGeometry::isSide(p->Align()));
            if (p->Docked()) {
                QVERIFY(m.centralWidget()->rect().contains(p->geometry()));
            } else {
                const QRect title(p->floatingForm()->pos(), QSize(p->floatingForm()->width(), 8));
                // Enough of the title to take hold of.
                const QRect seen = screen.intersected(title);
                QVERIFY2(seen.width() >= 32 && seen.height() == 8, qPrintable(p->objectName()));
            }
            QVERIFY(p->width() > 8 && p->height() > 8);
        }
    }

    void lastStatusPanelReachesTheRightEdge_data()
    {
        QTest::addColumn<QList<int>>("widths");  // the frame's widths, one after the other
        QTest::addColumn<bool>("reachesEdge");
        QTest::newRow("wide") << QList<int>{1000} << true;
        QTest::newRow("narrower") << QList<int>{1000, 700} << true;
        QTest::newRow("below the panel's left edge") << QList<int>{1000, 300} << false;
        QTest::newRow("wide again") << QList<int>{1000, 300, 900} << true;
    }
    void lastStatusPanelReachesTheRightEdge()
    {
        QFETCH(QList<int>, widths);
        QFETCH(bool, reachesEdge);
        TmdiMain& m = start();
        QLabel* tag = m.panel("pnlTag");
        QWidget* row = tag->parentWidget();
        int before = 0;
        for (int w : widths) {
            before = tag->width();
            m.resize(w, 500);
            QCoreApplication::processEvents();
        }
        QCOMPARE(tag->x(), m.panel("pnlApp")->geometry().right() + 1);
        if (reachesEdge)
            QCOMPARE(tag->geometry().right() + 1, row->width() - 2);
        else
            QCOMPARE(tag->width(), before);
    }

    void qtsOwnBarMenuIsGone()
    {
        TmdiMain& m = start();
        QVERIFY(!m.createPopupMenu());
        // A right click on a bar offers the View menu's own toggles.
        emit m.toolBar("Tagsbar")->customContextMenuRequested(QPoint(2, 2));
        auto* menu = m.findChild<QMenu*>("ToolBarMenu");
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 6);
        menu->close();
        QAction* tags = menu->actions().at(1);
        QCOMPARE(tags, m.action("TagsToolbar1Click"));
        tags->trigger();
        QVERIFY(!m.toolBar("Tagsbar")->isVisible());
        for (QAction* a : m.actions("TagsToolbar1Click"))
            QVERIFY(!a->isChecked());
    }
};

VQ_TEST_MAIN(tst_DockPanel)
#include "tst_DockPanel.moc"
