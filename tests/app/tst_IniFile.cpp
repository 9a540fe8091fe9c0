// The INI file reader/writer and the settings store built on it.
#include "TestEnv.h"

#include "app/AppError.h"
#include "app/IniFile.h"
#include "app/TBag.h"
#include "app/TMegaRegistry.h"

#include <QCoreApplication>
#include <QtTest>

namespace {

QString settingsPath(const QString& name)
{
    return TestEnv::settingsDir() + QLatin1Char('/') + name;
}

// Restores VELQUIST_CONFIG_DIR when a test has pointed it elsewhere.
struct ConfigDirOverride {
    explicit ConfigDirOverride(const QString& dir) { qputenv("VELQUIST_CONFIG_DIR", dir.toLocal8Bit()); }
    ~ConfigDirOverride() { qputenv("VELQUIST_CONFIG_DIR", TestEnv::settingsDir().toLocal8Bit()); }
};

} // namespace

class TestIniFile : public QObject {
    Q_OBJECT

private slots:
    void init() { TestEnv::clearSettings(); }

    void readString_data();
    void readString();
    void readCutsLongValues();
    void readSectionValues();
    void keyListLimited();
    void write_data();
    void write();
    void writeSeveralInOneSection();
    void writeKeepsByteOrderMark();
    void refusesNamesThatDoNotReadBack_data();
    void refusesNamesThatDoNotReadBack();
    void fileNameLetterCase();
    void createsSettingsFolder();
    void writeFailure_data();
    void writeFailure();
    void removeKeyAndSection();
    void parseInt_data();
    void parseInt();

    void storeReadInteger_data();
    void storeReadInteger();
    void storeReadBool_data();
    void storeReadBool();
    void storeWrites();
    void storeWithoutBackEnd();
};

void TestIniFile::readString_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QByteArray basic = "[Editor]\nFont=Courier\nSize=10\n[Tags]\nCase=U\n";
    QTest::newRow("exact") << basic << "Editor" << "Font" << "Courier";
    QTest::newRow("section case") << basic << "EDITOR" << "Size" << "10";
    QTest::newRow("key case") << basic << "tags" << "cASE" << "U";
    QTest::newRow("key of other section") << basic << "Tags" << "Font" << "<def>";
    QTest::newRow("absent key") << basic << "Editor" << "Colour" << "<def>";
    QTest::newRow("absent section") << basic << "System" << "Font" << "<def>";
    QTest::newRow("missing file") << QByteArray() << "Editor" << "Font" << "<def>";
    QTest::newRow("rest after first =") << QByteArray("[S]\nTag=<A HREF=\"x\">\n") << "S" << "Tag"
                                        << "<A HREF=\"x\">";
    QTest::newRow("present but empty") << QByteArray("[S]\nK=\n") << "S" << "K" << "";
    QTest::newRow("blanks around") << QByteArray("[ S ]\n  K  =  v w  \n") << "S" << "K" << "  v w  ";
    QTest::newRow("utf8 cut at end") << QByteArray("[S]\nK=caf\xC3") << "S" << "K" << QString::fromLatin1("caf\xC3");
    QTest::newRow("mixed lines") << QByteArray("[S]\nA=caf\xE9\nK=\xC3\xA9\n") << "S" << "K" << QString::fromUtf8("\xC3\xA9");
    QTest::newRow("first of duplicates") << QByteArray("[S]\nK=1\nk=2\n") << "S" << "K" << "1";
    QTest::newRow("first section") << QByteArray("[S]\nK=1\n[s]\nK=2\nL=3\n") << "S" << "K" << "1";
    QTest::newRow("comment is no key") << QByteArray("[S]\n;K=1\n") << "S" << ";K" << "<def>";
    QTest::newRow("before any section") << QByteArray("K=0\n[S]\n") << "S" << "K" << "<def>";
    QTest::newRow("crlf") << QByteArray("[S]\r\nK=v\r\nL=w\r\n") << "S" << "K" << "v";
    QTest::newRow("no final line end") << QByteArray("[S]\nK=v") << "S" << "K" << "v";
    QTest::newRow("utf8") << QByteArray("[S]\nK=caf\xC3\xA9\n") << "S" << "K" << QString::fromUtf8("caf\xC3\xA9");
    QTest::newRow("latin1") << QByteArray("[S]\nK=caf\xE9\n") << "S" << "K" << QString::fromUtf8("caf\xC3\xA9");
    QTest::newRow("bom") << QByteArray("\xEF\xBB\xBF[S]\nK=v\n") << "S" << "K" << "v";
}

void TestIniFile::readString()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    if (!content.isNull())
        QVERIFY(TestEnv::writeAll(settingsPath("read.ini"), content));
    QCOMPARE(IniFile("read.ini").readString(section, key, "<def>"), expected);
}

void TestIniFile::readCutsLongValues()
{
    const QString longValue = QString(1500, QLatin1Char('x'));
    IniFile ini("long.ini");
    ini.writeString("S", "K", longValue);
    // The whole value is on disk; a read gives 1023 characters of it.
    QVERIFY(TestEnv::readAll(settingsPath("long.ini")).contains(longValue.toLatin1()));
    QCOMPARE(ini.readString("S", "K", QString()).size(), 1023);
    ini.writeString("S", "K", QString(1023, QLatin1Char('y')));
    QCOMPARE(ini.readString("S", "K", QString()), QString(1023, QLatin1Char('y')));
}

void TestIniFile::readSectionValues()
{
    QVERIFY(TestEnv::writeAll(settingsPath("v.ini"),
                              "[A]\nOne=1\nEmpty=\nnoequals\n;c=1\nTwo = a=b\none=dup\n[B]\nThree=3\n"));
    IniFile ini("v.ini");
    QCOMPARE(ini.readSectionValues("a"), QStringList({"One=1", "Two= a=b"}));
    QCOMPARE(ini.readSectionKeys("A"), QStringList({"One", "Empty", "Two"}));
    QCOMPARE(ini.readSectionValues("missing"), QStringList());
    QCOMPARE(ini.sectionNames(), QStringList({"A", "B"}));
}

void TestIniFile::keyListLimited()
{
    // 1000 keys of ten bytes: each takes eleven bytes of the 8192, the list one more.
    QByteArray content = "[Big]\n";
    for (int i = 0; i < 1000; ++i)
        content += "K" + QByteArray::number(i).rightJustified(9, '0') + "=v\n";
    QVERIFY(TestEnv::writeAll(settingsPath("big.ini"), content));
    const QStringList keys = IniFile("big.ini").readSectionKeys("Big");
    QCOMPARE(keys.size(), (8192 - 1) / 11);
    QCOMPARE(keys.first(), QString("K000000000"));
    QCOMPARE(keys.last(), QString("K000000743"));
}

void TestIniFile::write_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    const QByteArray file = "; settings\n[Editor]\nFont=Courier\n# odd line\nSize=10\n\n[Tags]\nCase=U\n";
    QTest::newRow("change keeps other lines")
        << file << "editor" << "SIZE" << "12"
        << QByteArray("; settings\n[Editor]\nFont=Courier\n# odd line\nSize=12\n\n[Tags]\nCase=U\n");
    QTest::newRow("new key at end of its section")
        << file << "Editor" << "Tabs" << "4"
        << QByteArray("; settings\n[Editor]\nFont=Courier\n# odd line\nSize=10\nTabs=4\n\n[Tags]\nCase=U\n");
    QTest::newRow("new key in last section")
        << file << "TAGS" << "Stay Selected" << "Y"
        << QByteArray("; settings\n[Editor]\nFont=Courier\n# odd line\nSize=10\n\n[Tags]\nCase=U\nStay Selected=Y\n");
    QTest::newRow("new section at end")
        << file << "MRU" << "File1" << "/a.htm"
        << QByteArray("; settings\n[Editor]\nFont=Courier\n# odd line\nSize=10\n\n[Tags]\nCase=U\n\n[MRU]\nFile1=/a.htm\n");
    QTest::newRow("new file") << QByteArray() << "S" << "K" << "v" << QByteArray("[S]\nK=v\n");
    QTest::newRow("empty section")
        << QByteArray("[S]\n\n[T]\nX=1\n") << "S" << "K" << "v" << QByteArray("[S]\nK=v\n\n[T]\nX=1\n");
    QTest::newRow("crlf kept")
        << QByteArray("[S]\r\nA=1\r\n") << "S" << "B" << "2" << QByteArray("[S]\r\nA=1\r\nB=2\r\n");
    QTest::newRow("crlf new section")
        << QByteArray("[S]\r\nA=1\r\n") << "T" << "B" << "2" << QByteArray("[S]\r\nA=1\r\n\r\n[T]\r\nB=2\r\n");
    QTest::newRow("no final line end")
        << QByteArray("[S]\nA=1") << "S" << "B" << "2" << QByteArray("[S]\nA=1\nB=2\n");
    QTest::newRow("only first duplicate changes")
        << QByteArray("[S]\nA=1\na=2\n") << "S" << "A" << "3" << QByteArray("[S]\nA=3\na=2\n");
    QTest::newRow("spacing before = kept")
        << QByteArray("[S]\nKey = old\n") << "S" << "key" << "new" << QByteArray("[S]\nKey =new\n");
    QTest::newRow("line breaks in value")
        << QByteArray() << "S" << "K" << "a\r\nb\nc" << QByteArray("[S]\nK=a b c\n");
    QTest::newRow("lone cr before new blank line")
        << QByteArray("[S]\nK=1\r") << "T" << "K" << "V" << QByteArray("[S]\nK=1\r\r[T]\nK=V\n");
    QTest::newRow("latin1 and broken utf8 lines kept")
        << QByteArray("[S]\nA=Jos\xE9\nB=caf\xC3") << "S" << "C" << QString::fromUtf8("K\xC3\xB6ln")
        << QByteArray("[S]\nA=Jos\xE9\nB=caf\xC3\nC=K\xC3\xB6ln\n");
    QTest::newRow("utf8 written")
        << QByteArray() << "S" << "K" << QString::fromUtf8("\xC3\xA9") << QByteArray("[S]\nK=\xC3\xA9\n");
}

void TestIniFile::write()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    if (!before.isNull())
        QVERIFY(TestEnv::writeAll(settingsPath("w.ini"), before));
    IniFile ini("w.ini");
    ini.writeString(section, key, value);
    QCOMPARE(TestEnv::readAll(settingsPath("w.ini")), after);
}

void TestIniFile::writeSeveralInOneSection()
{
    QVERIFY(TestEnv::writeAll(settingsPath("m.ini"), "[Keep]\nX=1\n[S]\nB=old\n"));
    IniFile ini("m.ini");
    ini.writeStrings("S", {{"A", "1"}, {"B", "2"}, {"C", "3"}});
    QCOMPARE(TestEnv::readAll(settingsPath("m.ini")), QByteArray("[Keep]\nX=1\n[S]\nB=2\nA=1\nC=3\n"));
    ini.writeStrings("New", {{"A", "1"}, {"B", "2"}});
    QCOMPARE(TestEnv::readAll(settingsPath("m.ini")),
             QByteArray("[Keep]\nX=1\n[S]\nB=2\nA=1\nC=3\n\n[New]\nA=1\nB=2\n"));
}

void TestIniFile::writeKeepsByteOrderMark()
{
    QVERIFY(TestEnv::writeAll(settingsPath("bom.ini"), "\xEF\xBB\xBF[S]\nA=1\n"));
    IniFile("bom.ini").writeString("S", "A", "2");
    QCOMPARE(TestEnv::readAll(settingsPath("bom.ini")), QByteArray("\xEF\xBB\xBF[S]\nA=2\n"));
}

void TestIniFile::refusesNamesThatDoNotReadBack_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::newRow("] in section") << "a]b" << "K";
    QTest::newRow("line break in section") << "a\nb" << "K";
    QTest::newRow("key starts with [") << "S" << "[K";
    QTest::newRow("key starts with ;") << "S" << " ;K";
    QTest::newRow("= in key") << "S" << "a=b";
    QTest::newRow("line break in key") << "S" << "a\nb";
}

void TestIniFile::refusesNamesThatDoNotReadBack()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    const QByteArray before = "[S]\nK=1\n";
    QVERIFY(TestEnv::writeAll(settingsPath("n.ini"), before));
    IniFile ini("n.ini");
    QVERIFY_THROWS_EXCEPTION(EIniError, ini.writeString(section, key, "v"));
    QCOMPARE(TestEnv::readAll(settingsPath("n.ini")), before);
    QCOMPARE(ini.readString(section, key, "d"), QString("d"));
    TBag bag("n.ini", section);
    QVERIFY_THROWS_EXCEPTION(EBagError, { bag.PutValue(key, "v"); bag.SaveSection(); });
}

void TestIniFile::fileNameLetterCase()
{
    QVERIFY(TestEnv::writeAll(settingsPath("velqopt.ini"), "[Macros]\nA=1\n"));
    IniFile other("VelqOpt.ini");
    QCOMPARE(other.path(), settingsPath("velqopt.ini"));
    QCOMPARE(other.readString("macros", "a", QString()), QString("1"));
    other.writeString("URL Wizard", "B", "2");
    QCOMPARE(QDir(TestEnv::settingsDir()).entryList(QDir::Files), QStringList({"velqopt.ini"}));
    QCOMPARE(IniFile("velqopt.ini").readString("URL WIZARD", "b", QString()), QString("2"));
}

void TestIniFile::createsSettingsFolder()
{
    const QString dir = TestEnv::workDir() + "/fresh/nested";
    QDir(dir).removeRecursively();
    ConfigDirOverride over(dir);
    IniFile("VELQUIST.INI").writeString("System", "K", "1");
    QCOMPARE(TestEnv::readAll(dir + "/VELQUIST.INI"), QByteArray("[System]\nK=1\n"));
}

void TestIniFile::writeFailure_data()
{
    QTest::addColumn<bool>("viaConfigDir");
    QTest::newRow("settings folder under a file") << true;
    QTest::newRow("path under a file") << false;
}

void TestIniFile::writeFailure()
{
    QFETCH(bool, viaConfigDir);
    const QString blocker = TestEnv::workDir() + "/plainfile";
    QVERIFY(TestEnv::writeAll(blocker, "not a folder"));
    const QString dir = blocker + "/config";
    ConfigDirOverride over(viaConfigDir ? dir : TestEnv::settingsDir());
    const QString name = viaConfigDir ? QString("VELQUIST.INI") : dir + "/VELQUIST.INI";
    IniFile ini(name);
    try {
        ini.writeString("System", "K", "1");
        QFAIL("write did not fail");
    } catch (const EIniError& e) {
        QCOMPARE(e.message(), "Unable to write to " + dir + "/VELQUIST.INI");
    }
    // Reading the same place yields defaults, not errors.
    QCOMPARE(ini.readString("System", "K", "d"), QString("d"));
    if (viaConfigDir) {
        TMegaRegistry store("App", "Co", "VELQUIST.INI");
        QVERIFY_THROWS_EXCEPTION(EIniError, store.WriteBool("System", "K", true));
    }
}

void TestIniFile::removeKeyAndSection()
{
    QVERIFY(TestEnv::writeAll(settingsPath("r.ini"), "[A]\nX=1\nY=2\nx=3\n[B]\nZ=1\n[a]\nW=1\n"));
    IniFile ini("r.ini");
    ini.removeKey("a", "X");
    QCOMPARE(TestEnv::readAll(settingsPath("r.ini")), QByteArray("[A]\nY=2\n[B]\nZ=1\n[a]\nW=1\n"));
    ini.removeSection("A");
    QCOMPARE(TestEnv::readAll(settingsPath("r.ini")), QByteArray("[B]\nZ=1\n"));
    ini.removeSection("none");
    QCOMPARE(TestEnv::readAll(settingsPath("r.ini")), QByteArray("[B]\nZ=1\n"));
    // The empty line after a removed key keeps its place between lone-CR lines.
    QVERIFY(TestEnv::writeAll(settingsPath("r.ini"), "[S]\rK=1\n\nL=2\r"));
    ini.removeKey("S", "K");
    QCOMPARE(TestEnv::readAll(settingsPath("r.ini")), QByteArray("[S]\r\rL=2\r"));
}

void TestIniFile::parseInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("value");
    QTest::newRow("decimal") << "42" << true << 42;
    QTest::newRow("negative") << "-13" << true << -13;
    QTest::newRow("plus") << "+7" << true << 7;
    QTest::newRow("blanks") << "  12 " << true << 12;
    QTest::newRow("hex") << "0x1F" << true << 31;
    QTest::newRow("hex upper X") << "0X1f" << true << 31;
    QTest::newRow("hex full pattern") << "0xFFFFFFFF" << true << -1;
    QTest::newRow("hex leading zeros") << "0x00000000010" << true << 16;
    QTest::newRow("int min") << "-2147483648" << true << int(0x80000000u);
    QTest::newRow("int max") << "2147483647" << true << 2147483647;
    QTest::newRow("too big") << "2147483648" << false << 0;
    QTest::newRow("hex too big") << "0x100000000" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("sign only") << "-" << false << 0;
    QTest::newRow("prefix only") << "0x" << false << 0;
    QTest::newRow("bad hex") << "0x1G" << false << 0;
    QTest::newRow("trailing text") << "12abc" << false << 0;
    QTest::newRow("word") << "abc" << false << 0;
    QTest::newRow("inner blank") << "1 2" << false << 0;
}

void TestIniFile::parseInt()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, value);
    int out = 12345;
    QCOMPARE(IniFile::parseInt(text, &out), ok);
    QCOMPARE(out, ok ? value : 12345);
}

void TestIniFile::storeReadInteger_data()
{
    QTest::addColumn<QString>("stored");  // null: key absent
    QTest::addColumn<int>("expected");
    QTest::newRow("decimal") << "42" << 42;
    QTest::newRow("hex") << "0x1F" << 31;
    QTest::newRow("not a number") << "abc" << 7;
    QTest::newRow("empty") << "" << 7;
    QTest::newRow("absent") << QString() << 7;
    QTest::newRow("negative") << "-1" << -1;
}

void TestIniFile::storeReadInteger()
{
    QFETCH(QString, stored);
    QFETCH(int, expected);
    TMegaRegistry store("Velquist HTML Editor Version 2", "Velquist", "VELQUIST.INI");
    if (!stored.isNull())
        store.WriteString("Editor", "Value", stored);
    QCOMPARE(store.ReadInteger("EDITOR", "value", 7), expected);
}

void TestIniFile::storeReadBool_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("def");
    QTest::addColumn<bool>("expected");
    QTest::newRow("1") << "1" << false << true;
    QTest::newRow("0") << "0" << true << false;
    QTest::newRow("2") << "2" << false << true;
    QTest::newRow("hex") << "0x10" << false << true;
    QTest::newRow("word, default true") << "yes" << true << true;
    QTest::newRow("word, default false") << "Y" << false << false;
    QTest::newRow("absent") << QString() << true << true;
}

void TestIniFile::storeReadBool()
{
    QFETCH(QString, stored);
    QFETCH(bool, def);
    QFETCH(bool, expected);
    TMegaRegistry store("App", "Co", "VELQUIST.INI");
    if (!stored.isNull())
        store.WriteString("Tags", "Flag", stored);
    QCOMPARE(store.ReadBool("Tags", "Flag", def), expected);
}

void TestIniFile::storeWrites()
{
    TMegaRegistry store("App", "Co", "VELQUIST.INI", TMegaRegistry::mrpAuto);
    QVERIFY(store.isOpen());
    QCOMPARE(store.filePath(), settingsPath("VELQUIST.INI"));
    store.WriteBool("System", "On", true);
    store.WriteBool("System", "Off", false);
    store.WriteInteger("System", "Count", -12);
    store.WriteString("Application Header", "Name", "Ann");
    QCOMPARE(TestEnv::readAll(settingsPath("VELQUIST.INI")),
             QByteArray("[System]\nOn=1\nOff=0\nCount=-12\n\n[Application Header]\nName=Ann\n"));
    QCOMPARE(store.ReadString("application header", "NAME", "x"), QString("Ann"));
    QCOMPARE(store.ReadSection("System"), QStringList({"On", "Off", "Count"}));
    QCOMPARE(store.ReadSectionValues("System"), QStringList({"On=1", "Off=0", "Count=-12"}));
    QVERIFY(store.ValueExists("SYSTEM", "off"));
    store.DeleteKey("System", "Off");
    QVERIFY(!store.ValueExists("System", "Off"));
    store.EraseSection("System");
    QCOMPARE(store.ReadInteger("System", "Count", 5), 5);
    // Each call reads the file afresh: a change by another writer shows at once.
    IniFile("VELQUIST.INI").writeString("Application Header", "Name", "Bob");
    QCOMPARE(store.ReadString("Application Header", "Name", "x"), QString("Bob"));
}

void TestIniFile::storeWithoutBackEnd()
{
    QVERIFY(TestEnv::writeAll(settingsPath("VELQUIST.INI"), "[S]\nK=5\n"));
    TMegaRegistry store("App", "", "VELQUIST.INI");
    QVERIFY(!store.isOpen());
    QCOMPARE(store.ReadInteger("S", "K", 1), 1);
    store.setCompany("Co");
    QVERIFY(!store.isOpen());
    store.Open();
    QCOMPARE(store.ReadInteger("S", "K", 1), 5);
    store.setIniName("other.ini");
    QVERIFY(!store.isOpen());
    store.WriteString("S", "K", "9");  // no back-end: nothing written
    QVERIFY(!QFileInfo::exists(settingsPath("other.ini")));
    QCOMPARE(store.filePath(), QString());
}

int main(int argc, char** argv)
{
    TestEnv::init();
    QCoreApplication app(argc, argv);
    TestIniFile tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_IniFile.moc"
