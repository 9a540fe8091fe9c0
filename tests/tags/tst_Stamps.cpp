#include "TestEnv.h"
#include "TagTestSupport.h"

#include "tags/Stamps.h"
#include "tags/TagCatalogue.h"

#include <QApplication>
#include <QtTest>

class tst_Stamps : public QObject {
    Q_OBJECT
private slots:
    void init();
    void lastUpdatedDate_data();
    void lastUpdatedDate();
    void personalPairs_data();
    void personalPairs();
    void stampsInDocument_data();
    void stampsInDocument();
    void mailLinkPlaceholder();
    void insertFile_data();
    void insertFile();
    void insertFileErrors();

private:
    void setIdentity(const QString& name, const QString& email, const QString& org, const QString& home);
    TestHost host;
    TestEditor editor;
};

void tst_Stamps::init()
{
    TestEnv::clearSettings();
    host.reset();
    host.editor = &editor;
}

void tst_Stamps::setIdentity(const QString& name, const QString& email, const QString& org,
                             const QString& home)
{
    const QString s = QStringLiteral("Application Header");
    if (!name.isNull())
        host.ini.WriteString(s, "User Name", name);
    if (!email.isNull())
        host.ini.WriteString(s, "EMail", email);
    if (!org.isNull())
        host.ini.WriteString(s, "Organisation", org);
    if (!home.isNull())
        host.ini.WriteString(s, "Home Page", home);
}

void tst_Stamps::lastUpdatedDate_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");
    const QDate sunday(2026, 12, 6);
    QTest::newRow("sunday evening") << QDateTime(sunday, QTime(18, 8)) << "en_GB"
                                    << "Sunday, 6 December, 2026 at 6:08 PM";
    QTest::newRow("morning, minutes padded") << QDateTime(QDate(2025, 3, 1), QTime(9, 5)) << "en_US"
                                             << "Saturday, 1 March, 2025 at 9:05 AM";
    QTest::newRow("midnight") << QDateTime(sunday, QTime(0, 0)) << "en_GB"
                              << "Sunday, 6 December, 2026 at 12:00 AM";
    QTest::newRow("noon") << QDateTime(sunday, QTime(12, 30)) << "en_GB"
                          << "Sunday, 6 December, 2026 at 12:30 PM";
    QTest::newRow("one pm") << QDateTime(sunday, QTime(13, 0, 59)) << "en_GB"
                            << "Sunday, 6 December, 2026 at 1:00 PM";
    QTest::newRow("last minute") << QDateTime(QDate(1999, 12, 31), QTime(23, 59)) << "en_GB"
                                 << "Friday, 31 December, 1999 at 11:59 PM";
    QTest::newRow("german names") << QDateTime(sunday, QTime(18, 8)) << "de_DE"
                                  << "Sonntag, 6 Dezember, 2026 at 6:08 PM";
    QTest::newRow("french names") << QDateTime(QDate(2026, 2, 2), QTime(10, 15)) << "fr_FR"
                                  << QStringLiteral("lundi, 2 f\u00e9vrier, 2026 at 10:15 AM");
}

void tst_Stamps::lastUpdatedDate()
{
    QFETCH(QDateTime, when);
    QFETCH(QString, locale);
    QFETCH(QString, expected);
    QCOMPARE(Stamps::lastUpdatedDate(when, QLocale(locale)), expected);
}

void tst_Stamps::personalPairs_data()
{
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("close");
    QTest::newRow("mail to me") << true << "PreDefined" << "<A HREF=\"MailTo:kim@x.org\">" << "Kim</A>";
    QTest::newRow("send mail") << true << "MailtomeURL" << "<A HREF=\"MailTo:kim@x.org\"> "
                               << "Send mail to Kim</A>";
    QTest::newRow("company") << true << "MyCompany" << "<STRONG>Acme Ltd" << "</STRONG>";
    QTest::newRow("home page") << true << "MyHomePageURL" << "<A HREF=\"http://kim.example/\"> "
                               << "Home Page</A>";
    QTest::newRow("stamp") << true << "LastUpdated" << "<i>Last Updated by Kim"
                           << " on Sunday, 6 December, 2026 at 6:08 PM.</i>";
    // Missing keys: placeholders of the same kind.
    QTest::newRow("mail to me, placeholders") << false << "PreDefined"
                                              << "<A HREF=\"MailTo:you@example.com\">" << "Your Name</A>";
    QTest::newRow("company placeholder") << false << "MyCompany" << "<STRONG>Your Organisation"
                                         << "</STRONG>";
    QTest::newRow("home page placeholder") << false << "MyHomePageURL"
                                           << "<A HREF=\"http://www.example.com/\"> " << "Home Page</A>";
}

void tst_Stamps::personalPairs()
{
    QFETCH(bool, stored);
    QFETCH(QString, which);
    QFETCH(QString, open);
    QFETCH(QString, close);
    if (stored)
        setIdentity("Kim", "kim@x.org", "Acme Ltd", "http://kim.example/");
    const QDateTime when(QDate(2026, 12, 6), QTime(18, 8));
    const QLocale en(QLocale::English, QLocale::UnitedKingdom);
    TagPair p;
    if (which == "PreDefined") p = Stamps::PreDefined(host.ini);
    else if (which == "MailtomeURL") p = Stamps::MailtomeURL(host.ini);
    else if (which == "MyCompany") p = Stamps::MyCompany(host.ini);
    else if (which == "MyHomePageURL") p = Stamps::MyHomePageURL(host.ini);
    else p = Stamps::LastUpdated(host.ini, when, en);
    QCOMPARE(p, (TagPair{open, close}));
}

void tst_Stamps::stampsInDocument_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("tagCase");
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("expected");
    QTest::newRow("mail to me, caret before name") << "PreDefined" << "W" << "|"
                                                   << "<A HREF=\"MailTo:kim@x.org\">|Kim</A>";
    QTest::newRow("send mail, caret before Send") << "MailtomeURL" << "W" << "|"
                                                  << "<A HREF=\"MailTo:kim@x.org\"> |Send mail to Kim</A>";
    QTest::newRow("company around selection") << "MyCompany" << "W" << "x [sel] y"
                                              << "x <STRONG>Acme Ltd[sel]</STRONG> y";
    QTest::newRow("stamp in capitals") << "LastUpdated" << "U" << "|"
                                       << "<I>LAST UPDATED BY KIM| ON SUNDAY, 6 DECEMBER, 2026 AT 6:08 PM.</I>";
    QTest::newRow("mail to me in capitals") << "PreDefined" << "U" << "|"
                                            << "<A HREF=\"MAILTO:KIM@X.ORG\">|KIM</A>";
}

void tst_Stamps::stampsInDocument()
{
    QFETCH(QString, which);
    QFETCH(QString, tagCase);
    QFETCH(QString, document);
    QFETCH(QString, expected);
    setIdentity("Kim", "kim@x.org", "Acme Ltd", "http://kim.example/");
    host.setTags(tagCase, "Y");
    Marked::set(editor, document);
    TagEngine engine(host);
    const QDateTime when(QDate(2026, 12, 6), QTime(18, 8));
    if (which == "PreDefined") engine.InsertTagPair(Stamps::PreDefined(host.ini));
    else if (which == "MailtomeURL") engine.InsertTagPair(Stamps::MailtomeURL(host.ini));
    else if (which == "MyCompany") engine.InsertTagPair(Stamps::MyCompany(host.ini));
    else engine.InsertTagPair(Stamps::LastUpdated(host.ini, when, QLocale(QLocale::English)));
    QCOMPARE(Marked::get(editor), expected);
}

void tst_Stamps::mailLinkPlaceholder()
{
    const TagCommandDef* c = TagCatalogue::find(u"Simple3Click");
    QVERIFY(c);
    QCOMPARE(c->pair(true), (TagPair{"<A HREF=\"MailTo:", "\">YourName</A>"}));
    const TagPair none = c->pair(false);
    QVERIFY(none.open.startsWith("<A HREF=\"MailTo:"));
    QVERIFY(none.open.endsWith("\"> "));
    QVERIFY(none.open.contains('@'));
    QCOMPARE(none.close, QString("Your_Name</A>"));
}

void tst_Stamps::insertFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("expected");
    QTest::newRow("three lines, CR LF") << QByteArray("one\r\ntwo\r\nthree\r\n") << "|"
                                        << "one\ntwo\nthree\n|";
    QTest::newRow("no final line end") << QByteArray("a\nb") << "|" << "a\nb\n|";
    QTest::newRow("blank lines kept") << QByteArray("a\n\nb\n\n") << "|" << "a\n\nb\n\n|";
    QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9\n") << "|" << QStringLiteral("caf\u00e9\n|");
    QTest::newRow("latin-1") << QByteArray("caf\xe9\n") << "|" << QStringLiteral("caf\u00e9\n|");
    QTest::newRow("empty file") << QByteArray() << "ab|" << "ab|";
    QTest::newRow("in the middle of a line") << QByteArray("L1\nL2\n") << "x|y" << "xL1\nL2\n|y";
    QTest::newRow("selection replaced") << QByteArray("L1\nL2\n") << "x[sel]y" << "xL1\nL2\n|y";
    QTest::newRow("no case change") << QByteArray("<b>bold</b>\n") << "|" << "<b>bold</b>\n|";
    QTest::newRow("long line kept whole") << QByteArray(3000, 'w') + "\n" << "|"
                                          << QString(3000, 'w') + "\n|";
}

void tst_Stamps::insertFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, document);
    QFETCH(QString, expected);
    const QString path = TestEnv::workDir() + "/insert.txt";
    QVERIFY(TestEnv::writeAll(path, bytes));
    host.setTags("U", "Y");
    Marked::set(editor, document);
    TagEngine engine(host);
    engine.setLastPair("<P>", "</P>");
    Stamps::InsertFile(host, path);
    QCOMPARE(Marked::get(editor), expected);
    QVERIFY(editor.Modified());
    QCOMPARE(engine.lastPair(), (TagPair{"<P>", "</P>"}));
    QCOMPARE(host.statuses, (QStringList{"Inserting File : " + path + " ...", "Ready ..."}));
    QVERIFY(host.tagPanels.isEmpty());
}

void tst_Stamps::insertFileErrors()
{
    const QString missing = TestEnv::workDir() + "/missing.txt";
    Marked::set(editor, "ab|");
    QVERIFY_THROWS_EXCEPTION(EFileError, Stamps::InsertFile(host, missing));
    QCOMPARE(Marked::get(editor), QString("ab|"));
    QVERIFY(!editor.Modified());

    // No document window: nothing at all.
    host.reset();
    host.editor = nullptr;
    Stamps::InsertFile(host, missing);
    QVERIFY(host.statuses.isEmpty());
}

VQ_TEST_MAIN(tst_Stamps)
#include "tst_Stamps.moc"
