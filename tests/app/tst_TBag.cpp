// The preference bag: loading, saving, items, fonts and placements.
#include "TestEnv.h"

#include "app/AppError.h"
#include "app/TBag.h"

#include <QCoreApplication>
#include <QtTest>

#include <functional>

namespace {

const QString OptFile = QStringLiteral("velqopt.ini");

QString optPath()
{
    return TestEnv::settingsDir() + QLatin1Char('/') + OptFile;
}

// The text of the EBagError that f raises, or "<none>".
QString bagErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EBagError& e) {
        return e.message();
    }
    return QStringLiteral("<none>");
}

FontSpec courierBold()
{
    FontSpec f;
    f.name = "Courier New";
    f.style = FontSpec::Bold;
    f.pitch = FontSpec::FixedPitch;
    f.pointSize = 10;
    f.height = -13;
    f.color = 0;
    return f;
}

} // namespace

class TestTBag : public QObject {
    Q_OBJECT

private slots:
    void init() { TestEnv::clearSettings(); }

    void loadSection_data();
    void loadSection();
    void loadMergesOverItems();
    void errors_data();
    void errors();
    void saveSectionOrderAndContent();
    void saveKeepsOtherSections();
    void saveThenLoadRoundTrip();
    void fontRoundTrip();
    void getFont_data();
    void getFont();
    void getFontDefault();
    void placement_data();
    void placement();
};

void TestTBag::loadSection_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("count");

    const QByteArray title = "[Macros]\nTitle=Hello\n";
    QTest::newRow("lower name") << title << "title" << "HELLO" << 1;
    QTest::newRow("upper name") << title << "TITLE" << "HELLO" << 1;
    QTest::newRow("section case") << QByteArray("[MACROS]\nx=a\n") << "X" << "A" << 1;
    QTest::newRow("empty value left out") << QByteArray("[Macros]\nA=\nB=b\n") << "A" << "" << 1;
    QTest::newRow("split at first =") << QByteArray("[Macros]\nTag=<a href=x>\n") << "tag" << "<A HREF=X>" << 1;
    QTest::newRow("other section ignored") << QByteArray("[Other]\nA=1\n[Macros]\nB=2\n") << "A" << "" << 1;
    QTest::newRow("missing section") << QByteArray("[Other]\nA=1\n") << "A" << "" << 0;
    QTest::newRow("missing file") << QByteArray() << "A" << "" << 0;
    QTest::newRow("cut before a split character")
        << QByteArray("[Macros]\nLong=" + QByteArray(254, 'q') + "\xF0\x9F\x98\x80\n") << "LONG" << QString(254, 'Q') << 1;
    QTest::newRow("value cut to 255")
        << QByteArray("[Macros]\nLong=" + QByteArray(300, 'q') + "\n") << "LONG" << QString(255, 'Q') << 1;
    QTest::newRow("font name in capitals")
        << QByteArray("[Edit Window]\nEdit_Font=1,2<10>-13;0:Courier New\n[Macros]\nEdit_Font=0,0<9>-12;0:Arial\n")
        << "edit_font" << "0,0<9>-12;0:ARIAL" << 1;
}

void TestTBag::loadSection()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QFETCH(int, count);
    if (!content.isNull())
        QVERIFY(TestEnv::writeAll(optPath(), content));
    TBag bag(OptFile, "Macros");
    bag.LoadSection();
    QCOMPARE(bag.GetValue(name), expected);
    QCOMPARE(bag.itemCount(), count);
}

void TestTBag::loadMergesOverItems()
{
    QVERIFY(TestEnv::writeAll(optPath(), "[Symbols]\nB=file\nC=new\n"));
    TBag bag("VelqOpt.ini", "Symbols");  // the other spelling names the same file
    bag.PutValue("a", "kept");
    bag.PutValue("b", "memory");
    bag.LoadSection();
    QCOMPARE(bag.names(), QStringList({"A", "B", "C"}));
    QCOMPARE(bag.GetValue("A"), QString("kept"));
    QCOMPARE(bag.GetValue("B"), QString("FILE"));
    QCOMPARE(bag.GetValue("c"), QString("NEW"));
    QCOMPARE(bag.itemCount(), 3);
}

void TestTBag::errors_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("message");
    enum { Load, Save, Get, Put, SaveEmpty };
    QTest::newRow("load without file") << "" << "S" << int(Load) << "No INI file specified";
    QTest::newRow("load without section") << OptFile << "" << int(Load) << "No INI file section specified";
    QTest::newRow("load without either") << "" << "" << int(Load) << "No INI file specified";
    QTest::newRow("save without file") << "" << "S" << int(Save) << "No INI file specified";
    QTest::newRow("save without section") << OptFile << "" << int(Save) << "No INI file section specified";
    QTest::newRow("save without items") << OptFile << "S" << int(SaveEmpty) << "No items to write to INI file";
    QTest::newRow("get empty name") << OptFile << "S" << int(Get) << "No item specified";
    QTest::newRow("put empty name") << OptFile << "S" << int(Put) << "No item specified";
}

void TestTBag::errors()
{
    QFETCH(QString, file);
    QFETCH(QString, section);
    QFETCH(int, operation);
    QFETCH(QString, message);
    TBag bag(file, section);
    if (operation == 1)
        bag.PutValue("X", "1");
    const QString got = bagErrorOf([&] {
        switch (operation) {
        case 0: bag.LoadSection(); break;
        case 1: case 4: bag.SaveSection(); break;
        case 2: bag.GetValue(QString()); break;
        case 3: bag.PutValue(QString(), "v"); break;
        }
    });
    QCOMPARE(got, message);
    QVERIFY(!QFileInfo::exists(optPath()));
}

void TestTBag::saveSectionOrderAndContent()
{
    TBag bag(OptFile, "Table Wizard");
    bag.PutValue("Zeta", "last?");
    bag.PutInteger("alpha", -5);
    bag.PutValue("mid", "Mixed Case");
    bag.PutValue("ZETA", "first");  // replacing keeps its place
    QCOMPARE(bag.itemCount(), 3);
    bag.SaveSection();
    QCOMPARE(TestEnv::readAll(optPath()), QByteArray("[Table Wizard]\nZETA=first\nALPHA=-5\nMID=Mixed Case\n"));
}

void TestTBag::saveKeepsOtherSections()
{
    const QByteArray before = "; preferences\r\n[Preview]\r\nFORM_PLACE=1\r\n[Symbols]\r\nold=1\r\nKEEP=x\r\n";
    QVERIFY(TestEnv::writeAll(optPath(), before));
    TBag bag(OptFile, "symbols");
    bag.PutValue("OLD", "2");
    bag.PutValue("New", "3");
    bag.SaveSection();
    QCOMPARE(TestEnv::readAll(optPath()),
             QByteArray("; preferences\r\n[Preview]\r\nFORM_PLACE=1\r\n[Symbols]\r\nold=2\r\nKEEP=x\r\nNEW=3\r\n"));
}

void TestTBag::saveThenLoadRoundTrip()
{
    TBag first(OptFile, "NotePad");
    first.PutValue("Text", "mixed Case value");
    first.PutValue("Empty", "");
    first.SaveSection();
    TBag second(OptFile, "NOTEPAD");
    second.LoadSection();
    QCOMPARE(second.names(), QStringList({"TEXT"}));
    QCOMPARE(second.GetValue("text"), QString("MIXED CASE VALUE"));
}

void TestTBag::fontRoundTrip()
{
    TBag bag(OptFile, "Edit Window");
    bag.PutFont("Edit_Font", courierBold());
    QCOMPARE(bag.GetValue("EDIT_FONT"), QString("1,2<10>-13;0:Courier New"));
    // Read straight back, before any save, the name keeps its letter case.
    QCOMPARE(bag.GetFont("Edit_Font", FontSpec()), courierBold());
    bag.SaveSection();

    TBag again(OptFile, "Edit Window");
    again.LoadSection();
    FontSpec expected = courierBold();
    expected.name = "COURIER NEW";
    FontSpec def;
    def.name = "Arial";
    def.style = FontSpec::Italic | FontSpec::Underline;
    QCOMPARE(again.GetFont("edit_font", def), expected);
}

void TestTBag::getFont_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("error");  // empty: valid
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("pitch");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("height");
    QTest::addColumn<uint>("color");

    const QString invalid = "Invalid font in INI file";
    QTest::newRow("plain") << "0,0<12>-16;255:Arial" << "" << "Arial" << 0 << 0 << 12 << -16 << 255u;
    QTest::newRow("all styles") << "15,1<8>-11;16777215:Times" << "" << "Times" << 15 << 1 << 8 << -11 << 16777215u;
    QTest::newRow("unknown style bits dropped") << "17,0<8>-11;0:T" << "" << "T" << 1 << 0 << 8 << -11 << 0u;
    QTest::newRow("size wins over height") << "0,0<20>-13;0:T" << "" << "T" << 0 << 0 << 20 << -13 << 0u;
    QTest::newRow("system colour") << "0,0<8>-11;-2147483640:T" << "" << "T" << 0 << 0 << 8 << -11 << 0x80000008u;
    QTest::newRow("name with separators") << "0,0<8>-11;0:A,B<C>D;E:F" << "" << "A,B<C>D;E:F" << 0 << 0 << 8 << -11 << 0u;
    QTest::newRow("name cut to 99") << "0,0<8>-11;0:" + QString(120, 'N') << "" << QString(99, 'N') << 0 << 0 << 8 << -11 << 0u;
    QTest::newRow("empty name part") << "1,2<10>-13;0:" << invalid << "" << 0 << 0 << 0 << 0 << 0u;
    QTest::newRow("empty style part") << ",2<10>-13;0:Courier New" << invalid << "" << 0 << 0 << 0 << 0 << 0u;
    QTest::newRow("separators out of order") << "1,2>10<-13;0:Courier" << invalid << "" << 0 << 0 << 0 << 0 << 0u;
    QTest::newRow("colon before semicolon") << "1,2<10>-13:0;Courier" << invalid << "" << 0 << 0 << 0 << 0 << 0u;
    QTest::newRow("missing separator") << "1,2<10>-13:Courier" << invalid << "" << 0 << 0 << 0 << 0 << 0u;
    QTest::newRow("just a name") << "Courier New" << invalid << "" << 0 << 0 << 0 << 0 << 0u;
    QTest::newRow("not a number") << "1,x<10>-13;0:Courier" << "'x' is not a valid integer value" << "" << 0 << 0 << 0 << 0 << 0u;
    QTest::newRow("empty size") << "1,2<>-13;0:Courier" << "'' is not a valid integer value" << "" << 0 << 0 << 0 << 0 << 0u;
}

void TestTBag::getFont()
{
    QFETCH(QString, stored);
    QFETCH(QString, error);
    TBag bag(OptFile, "Editor Colors");
    bag.PutValue("Edit_Font", stored);
    if (!error.isEmpty()) {
        QCOMPARE(bagErrorOf([&] { bag.GetFont("Edit_Font", FontSpec()); }), error);
        return;
    }
    const FontSpec f = bag.GetFont("Edit_Font", courierBold());
    QTEST(f.name, "name");
    QTEST(f.style, "style");
    QTEST(f.pitch, "pitch");
    QTEST(f.pointSize, "size");
    QTEST(f.height, "height");
    QTEST(uint(f.color), "color");
}

void TestTBag::getFontDefault()
{
    TBag bag(OptFile, "Editor Colors");
    FontSpec def = courierBold();
    def.color = 0xFF;
    QCOMPARE(bag.GetFont("Edit_Font", def), def);  // empty bag
    bag.PutValue("Other", "x");
    QCOMPARE(bag.GetFont("Edit_Font", def), def);  // no such item
    // The result is the bag's own font, overwritten by the next call.
    const FontSpec& first = bag.GetFont("Edit_Font", def);
    bag.GetFont("Edit_Font", FontSpec());
    QCOMPARE(first, FontSpec());
}

void TestTBag::placement_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QList<int>>("fields");

    QTest::newRow("ten numbers") << "0,1,-1,-1,-1,-1,10,20,310,220" << true
                                 << QList<int>{0, 1, -1, -1, -1, -1, 10, 20, 310, 220};
    QTest::newRow("maximized") << "2,3,-1,-1,-8,-8,5,6,100,90" << true
                               << QList<int>{2, 3, -1, -1, -8, -8, 5, 6, 100, 90};
    QTest::newRow("extra fields ignored") << "0,1,0,0,0,0,1,2,3,4,99,98" << true
                                          << QList<int>{0, 1, 0, 0, 0, 0, 1, 2, 3, 4};
    QTest::newRow("nine numbers") << "0,1,-1,-1,-1,-1,10,20,310" << false << QList<int>();
    QTest::newRow("empty field") << "0,1,-1,,-1,-1,10,20,310,220" << false << QList<int>();
    QTest::newRow("empty last field") << "0,1,-1,-1,-1,-1,10,20,310," << false << QList<int>();
    QTest::newRow("left equals right") << "0,1,-1,-1,-1,-1,310,20,310,220" << false << QList<int>();
    QTest::newRow("left above right") << "0,1,-1,-1,-1,-1,400,20,310,220" << false << QList<int>();
    QTest::newRow("not a number") << "0,1,-1,-1,-1,-1,1O,20,310,220" << false << QList<int>();
    QTest::newRow("missing") << QString() << false << QList<int>();
    // Only the first 99 characters of the value and its added "," count:
    // 80 characters of nine fields, then a tenth of 18 or 19 characters.
    const QString nine = "0,1,-100000000,-100000000,-100000000,-100000000,-100000000,-100000000,100000000,";
    const QList<int> fitted{0, 1, -100000000, -100000000, -100000000, -100000000, -100000000, -100000000, 100000000, 300};
    QTest::newRow("98 characters") << nine + QString(15, '0') + "300" << true << fitted;
    QTest::newRow("99 characters") << nine + QString(16, '0') + "300" << false << QList<int>();
    QTest::newRow("cut in an eleventh field") << nine + QString(15, '0') + "300,12345678" << true << fitted;
}

void TestTBag::placement()
{
    QFETCH(QString, stored);
    QFETCH(bool, ok);
    QFETCH(QList<int>, fields);
    TBag bag(OptFile, "Preview");
    if (!stored.isNull())
        bag.PutValue("FORM_PLACE", stored);
    WindowPlacement untouched;
    untouched.left = 77;
    WindowPlacement p = untouched;
    QCOMPARE(bag.GetPlacement("form_place", p), ok);
    if (!ok) {
        QCOMPARE(p, untouched);
        return;
    }
    const QList<int> got{p.flags, p.showCmd, p.minX, p.minY, p.maxX, p.maxY, p.left, p.top, p.right, p.bottom};
    QCOMPARE(got, fields);
    // Stored again it reads back the same.
    bag.PutPlacement("Other", p);
    WindowPlacement again;
    QVERIFY(bag.GetPlacement("OTHER", again));
    QCOMPARE(again, p);
}

int main(int argc, char** argv)
{
    TestEnv::init();
    QCoreApplication app(argc, argv);
    TestTBag tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_TBag.moc"
