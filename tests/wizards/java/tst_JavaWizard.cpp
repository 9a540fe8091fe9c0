// The Java wizard: the APPLET pair its fields make, and the window handing
// it to the document around the selection.
#include "TestEnv.h"
#include "tags/TagTestSupport.h"

#include "wizards/java/TfrmJavaWiz.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>

namespace {
const QString kDefault = "<APPLET CODE=AppletFile WIDTH=100 HEIGHT=100 ALIGN=Left CODEBASE=CodeBaseURL "
                         "NAME=AppletInstanceName ALT=AlternateText >";
}

class tst_JavaWizard : public QObject {
    Q_OBJECT
private slots:
    void tags_data()
    {
        QTest::addColumn<std::function<void(JavaAppletOptions&)>>("fix");
        QTest::addColumn<QString>("open");
        QTest::newRow("defaults") << std::function<void(JavaAppletOptions&)>([](JavaAppletOptions&) {}) << kDefault;
        QTest::newRow("optional cleared") << std::function<void(JavaAppletOptions&)>([](JavaAppletOptions& o) {
            o.codeBase.clear(); o.name.clear(); o.alt.clear();
        }) << "<APPLET CODE=AppletFile WIDTH=100 HEIGHT=100 ALIGN=Left >";
        QTest::newRow("vspace only") << std::function<void(JavaAppletOptions&)>([](JavaAppletOptions& o) {
            o.vspace = 5; o.codeBase.clear(); o.name.clear(); o.alt.clear();
        }) << "<APPLET CODE=AppletFile WIDTH=100 HEIGHT=100 ALIGN=Left VSPACE=5 >";
        QTest::newRow("every attribute, ten digits") << std::function<void(JavaAppletOptions&)>([](JavaAppletOptions& o) {
            o.vspace = 10; o.hspace = 20; o.width = 9999999999LL; o.align = "AbsBottom"; o.code = "My App.class";
        }) << "<APPLET CODE=My App.class WIDTH=9999999999 HEIGHT=100 ALIGN=AbsBottom CODEBASE=CodeBaseURL VSPACE=10 "
              "HSPACE=20 NAME=AppletInstanceName ALT=AlternateText >";
        QTest::newRow("empty required") << std::function<void(JavaAppletOptions&)>([](JavaAppletOptions& o) {
            o.code.clear(); o.width = 0; o.codeBase.clear(); o.name.clear(); o.alt.clear();
        }) << "<APPLET CODE= WIDTH=0 HEIGHT=100 ALIGN=Left >";
    }
    void tags()
    {
        QFETCH(std::function<void(JavaAppletOptions&)>, fix);
        QFETCH(QString, open);
        JavaAppletOptions o;
        fix(o);
        QCOMPARE(JavaAppletWriter::tags(o), (TagPair{open, "</APPLET>"}));
    }

    // An emptied number field gives its default, whether the user clicks
    // "To Document" or presses Enter in the field.
    void emptiedNumber_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<bool>("enter");
        QTest::newRow("width, click") << 0 << false;
        QTest::newRow("height, Enter") << 1 << true;
        QTest::newRow("vertical space, click") << 2 << false;
        QTest::newRow("horizontal space, Enter") << 3 << true;
    }
    void emptiedNumber()
    {
        QFETCH(int, field);
        QFETCH(bool, enter);
        TestHost host;
        host.setTags("W", "N");
        TagEngine engine(host);
        TestEditor ed;
        host.editor = &ed;
        Marked::set(ed, "|");
        TfrmJavaWiz wiz(engine, nullptr);
        wiz.showWizard();
        QVERIFY(QTest::qWaitForWindowActive(&wiz));
        QDoubleSpinBox* box = QList<QDoubleSpinBox*>{wiz.tWidth, wiz.tHeight, wiz.tVSpace, wiz.tHSpace}[field];
        box->setValue(250);
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        if (enter)
            QTest::keyClick(box, Qt::Key_Return);
        else
            QTest::mouseClick(wiz.OKBtn, Qt::LeftButton);
        QCOMPARE(Marked::get(ed), kDefault + "|</APPLET>");
    }

    // Every text field shows its default whole.
    void fieldsFit()
    {
        TestHost host;
        TagEngine engine(host);
        TfrmJavaWiz wiz(engine, nullptr);
        wiz.showWizard();
        QVERIFY(QTest::qWaitForWindowExposed(&wiz));
        for (QLineEdit* e : {wiz.tCode, wiz.tCBase, wiz.tAlt, wiz.tName}) {
            const int room = e->width() - e->textMargins().left() - e->textMargins().right() - 8;
            QVERIFY2(e->fontMetrics().horizontalAdvance(e->text()) <= room, qPrintable(e->text()));
        }
    }

    // The window's fields reach the tag; the selected word ends up inside the
    // element and the window closes.
    void window()
    {
        TestHost host;
        host.setTags("W", "Y");
        TagEngine engine(host);
        TestEditor ed;
        host.editor = &ed;
        TfrmJavaWiz wiz(engine, nullptr);
        QCOMPARE(wiz.tAlign->count(), 9);
        wiz.showWizard();
        QVERIFY(QTest::qWaitForWindowExposed(&wiz));
        Marked::set(ed, "x[word]y");
        wiz.tVSpace->setValue(5);
        wiz.tAlign->setCurrentIndex(6);
        wiz.OKBtn->click();
        QCOMPARE(Marked::get(ed), "x<APPLET CODE=AppletFile WIDTH=100 HEIGHT=100 ALIGN=Baseline CODEBASE=CodeBaseURL "
                                  "VSPACE=5 NAME=AppletInstanceName ALT=AlternateText >[word]</APPLET>y");
        QVERIFY(!wiz.isVisible());
        host.editor = nullptr;
        wiz.showWizard();
        wiz.OKBtn->click();  // no document: nothing happens
        QVERIFY(!wiz.isVisible());
    }
};

VQ_TEST_MAIN(tst_JavaWizard)
#include "tst_JavaWizard.moc"
