#include "TestEnv.h"
#include "editor/TextFileCodec.h"
#include "editor/TextSearch.h"

#include <QCoreApplication>
#include <QtTest>


class TstTextFileCodec : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void newDocumentFormat();
    void longLine();
    void declaredCharset_data();
    void declaredCharset();
    void canEncode_data();
    void canEncode();
    void search_data();
    void search();
    void findAll_data();
    void findAll();
};

// Text with "^XX" standing for the escape of byte XX (U+DCXX).
static QString esc(const char16_t* text)
{
    QString s = QString::fromUtf16(text);
    for (qsizetype i; (i = s.indexOf(QLatin1Char('^'))) >= 0;)
        s.replace(i, 3, QChar(char16_t(0xDC00 + s.mid(i + 1, 2).toInt(nullptr, 16))));
    return s;
}

static QByteArray latin1Bytes()
{
    // Every byte value except the two line end characters, on two lines.
    QByteArray b;
    for (int i = 0; i < 256; ++i) {
        if (i != '\n' && i != '\r')
            b.append(char(i));
        if (i == 127)
            b.append("\r\n");
    }
    return b + "\r\n";
}

void TstTextFileCodec::roundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("lineEnds");  // "Mixed" + the style new lines take, for mixed files
    QTest::addColumn<bool>("finalLineEnd");
    QTest::addColumn<QString>("text");      // "*": not compared

    const QString U = QStringLiteral("UTF-8");
    const QString W = QStringLiteral("Windows-1252");
    const QString CRLF = QStringLiteral("CR LF"), LF = QStringLiteral("LF"), CR = QStringLiteral("CR");

    QTest::newRow("empty file") << QByteArray() << U << CRLF << false << QString();
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << U << CRLF << true << QStringLiteral("a\nb");
    QTest::newRow("lf") << QByteArray("a\nb\n") << U << LF << true << QStringLiteral("a\nb");
    QTest::newRow("cr") << QByteArray("a\rb\r") << U << CR << true << QStringLiteral("a\nb");
    QTest::newRow("no final line end") << QByteArray("a\r\nb") << U << CRLF << false << QStringLiteral("a\nb");
    QTest::newRow("only a line end") << QByteArray("\r\n") << U << CRLF << true << QString();
    QTest::newRow("blank lines") << QByteArray("\n\n\n") << U << LF << true << QStringLiteral("\n\n");
    QTest::newRow("utf8") << QByteArray("caf\xC3\xA9 \xE2\x82\xAC\r\n") << U << CRLF << true
                          << QStringLiteral("caf\u00E9 \u20AC");
    QTest::newRow("utf8 bom") << QByteArray("\xEF\xBB\xBFh\xC3\xA9\r\n") << "UTF-8 BOM" << CRLF << true
                              << QStringLiteral("h\u00E9");
    QTest::newRow("two boms") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx") << "UTF-8 BOM" << CRLF << false
                              << QStringLiteral("\uFEFFx");
    QTest::newRow("surrogate pair") << QByteArray("a\xF0\x9F\x98\x80z\n") << U << LF << true
                                    << QStringLiteral("a\U0001F600z");
    QTest::newRow("u2028 u2029") << QByteArray("a\xE2\x80\xA8" "b\xE2\x80\xA9" "c\r\nd") << U << CRLF << false
                                 << QStringLiteral("a\u2028b\u2029c\nd");
    QTest::newRow("nul bytes") << QByteArray("a\0b\r\n\0\r\n", 8) << U << CRLF << true
                               << QString::fromUtf16(u"a\0b\n\0", 5);
    // UTF-8 with a few bytes that are not: each one rides along escaped.
    QTest::newRow("mixed utf8") << QByteArray("caf\xC3\xA9 \xE9t\xE9\xFF\r\n") << U << CRLF << true
                                << esc(u"caf\u00E9 ^E9t^E9^FF");
    QTest::newRow("bom then invalid") << QByteArray("\xEF\xBB\xBF\xFF\n") << "UTF-8 BOM" << LF << true
                                      << esc(u"^FF");
    QTest::newRow("encoded surrogate") << QByteArray("\xC3\xA9\xED\xA0\x80") << U << CRLF << false
                                       << esc(u"\u00E9^ED^A0^80");
    // Not a single UTF-8 character: an 8-bit file.
    QTest::newRow("windows-1252") << QByteArray("caf\xE9 \x80 \x93q\x94\r\n") << W << CRLF << true
                                  << QStringLiteral("caf\u00E9 \u20AC \u201Cq\u201D");
    QTest::newRow("1252 every byte") << latin1Bytes() << W << CRLF << true << QStringLiteral("*");
    QTest::newRow("overlong utf8") << QByteArray("a\xC0\x80") << W << CRLF << false << QStringLiteral("a\u00C0\u20AC");
    QTest::newRow("undefined 1252 bytes") << QByteArray("\x81\x8D\x8F\x90\x9D") << W << CRLF << false
                                          << QStringLiteral("\u0081\u008D\u008F\u0090\u009D");
    QTest::newRow("utf-16 le") << QByteArray("\xFF\xFE" "a\0\xE9\0\r\0\n\0\xAC\x20", 12) << "UTF-16 LE" << CRLF
                               << false << QStringLiteral("a\u00E9\n\u20AC");
    QTest::newRow("utf-16 be") << QByteArray("\xFE\xFF\0a\xD8\x3D\xDE\0\0\n", 10) << "UTF-16 BE" << LF << true
                               << QStringLiteral("a\U0001F600");
    QTest::newRow("utf-32 le") << QByteArray("\xFF\xFE\0\0" "a\0\0\0\n\0\0\0", 12) << "UTF-32 LE" << LF << true
                               << QStringLiteral("a");
    QTest::newRow("meta charset") << QByteArray("<meta charset=\"iso-8859-15\">\xA4\n") << "ISO-8859-15" << LF
                                  << true << QStringLiteral("<meta charset=\"iso-8859-15\">\u20AC");
    QTest::newRow("meta http-equiv") << QByteArray("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                                                   "charset=windows-1252\">\xC3\xA9")
                                     << W << CRLF << false
                                     << QStringLiteral("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                                                       "charset=windows-1252\">\u00C3\u00A9");
    QTest::newRow("xml encoding") << QByteArray("<?xml version=\"1.0\" encoding=\"koi8-r\"?>\xF0\n") << "KOI8-R"
                                  << LF << true << QStringLiteral("<?xml version=\"1.0\" encoding=\"koi8-r\"?>\u041F");
    QTest::newRow("declared utf-8, bytes disagree") << QByteArray("<meta charset=utf-8>\xE9") << W << CRLF << false
                                                    << QStringLiteral("<meta charset=utf-8>\u00E9");
    QTest::newRow("unknown charset") << QByteArray("<meta charset=x-nonesuch>\xC3\xA9") << U << CRLF << false
                                     << QStringLiteral("<meta charset=x-nonesuch>\u00E9");
    QTest::newRow("mixed line ends") << QByteArray("a\r\nb\rc\r\n") << U << "Mixed CR LF" << true
                                     << QStringLiteral("a\nb\nc");
    QTest::newRow("mixed, mostly lf") << QByteArray("a\nb\r\nc\nd") << U << "Mixed LF" << false
                                      << QStringLiteral("a\nb\nc\nd");
    QTest::newRow("mixed, tie prefers crlf") << QByteArray("a\nb\r\n") << U << "Mixed CR LF" << true
                                             << QStringLiteral("a\nb");
    QTest::newRow("lf cr is two ends") << QByteArray("a\n\rb") << U << "Mixed LF" << false
                                       << QStringLiteral("a\n\nb");
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1A\n\0\0\r\xFF", 12) << W << "Mixed CR LF" << false
                            << QStringLiteral("*");
}

void TstTextFileCodec::roundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, encoding);
    QFETCH(QString, lineEnds);
    QFETCH(bool, finalLineEnd);
    QFETCH(QString, text);

    const DecodedText d = TextFileCodec::decode(bytes);
    if (text != QLatin1String("*"))
        QCOMPARE(d.text, text);
    QCOMPARE(TextFileCodec::encodingName(d.format), encoding);
    QString style = TextFileCodec::lineEndName(d.format.lineEnd);
    if (d.format.mixedLineEnds)
        style.prepend(QStringLiteral("Mixed "));
    QCOMPARE(style, lineEnds);
    QCOMPARE(d.format.finalLineEnd, finalLineEnd);
    QCOMPARE(TextFileCodec::encode(d.text, d.format, d.lineEnds), bytes);
    QVERIFY(TextFileCodec::canEncode(d.text, d.format));
}

void TstTextFileCodec::newDocumentFormat()
{
    const TextFileFormat f;
    QCOMPARE(TextFileCodec::encode(QStringLiteral("<HTML>\n</HTML>"), f), QByteArray("<HTML>\r\n</HTML>\r\n"));
    QCOMPARE(TextFileCodec::encode(QStringLiteral("caf\u00E9"), f), QByteArray("caf\xC3\xA9\r\n"));
}

void TstTextFileCodec::longLine()
{
    // Lines are never split, however long.
    QByteArray bytes(TextFileCodec::kLongLineWarning * 3, 'x');
    bytes += "\r\nshort\r\n";
    const DecodedText d = TextFileCodec::decode(bytes);
    QCOMPARE(d.format.longestLine, TextFileCodec::kLongLineWarning * 3);
    QCOMPARE(d.text.count(QLatin1Char('\n')), 1);
    QCOMPARE(TextFileCodec::encode(d.text, d.format), bytes);
}

void TstTextFileCodec::declaredCharset_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("charset");
    QTest::newRow("meta charset") << QByteArray("<meta charset=\"ISO-8859-2\">") << QByteArray("iso-8859-2");
    QTest::newRow("unquoted") << QByteArray("<meta\tcharset=koi8-r >") << QByteArray("koi8-r");
    QTest::newRow("http-equiv") << QByteArray("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=koi8-r\">")
                                << QByteArray("koi8-r");
    QTest::newRow("content before http-equiv")
        << QByteArray("<meta content='text/html;charset = big5' http-equiv='content-type'>") << QByteArray("big5");
    QTest::newRow("content without http-equiv") << QByteArray("<meta content=\"text/html; charset=koi8-r\">")
                                                << QByteArray();
    QTest::newRow("commented out, then the real one")
        << QByteArray("<!-- <meta charset=\"iso-8859-1\"> --><meta charset=\"utf-8\">") << QByteArray("utf-8");
    QTest::newRow("only commented out") << QByteArray("<!--\n<meta charset=iso-8859-1>\n-->x") << QByteArray();
    QTest::newRow("inside another tag's attribute")
        << QByteArray("<div title=\"<meta charset=iso-8859-1>\"></div><meta charset=utf-8>") << QByteArray("utf-8");
    QTest::newRow("inside a doctype") << QByteArray("<!doctype x \"<meta charset=koi8-r>\"><p>") << QByteArray();
    QTest::newRow("meta-like tag name") << QByteArray("<metal charset=koi8-r>") << QByteArray();
    QTest::newRow("xml declaration") << QByteArray("<?xml version=\"1.0\" encoding=\"KOI8-R\"?>")
                                     << QByteArray("koi8-r");
    QTest::newRow("past the first 1024 bytes") << QByteArray(1020, ' ') + "<meta charset=koi8-r>" << QByteArray();
}

void TstTextFileCodec::declaredCharset()
{
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, charset);
    QCOMPARE(TextFileCodec::declaredCharset(head), charset);
}

void TstTextFileCodec::canEncode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("cp1252");

    QTest::newRow("ascii") << QStringLiteral("abc") << true;
    QTest::newRow("latin1 letters") << QStringLiteral("\u00E9\u00FF") << true;
    QTest::newRow("euro") << QStringLiteral("5 \u20AC") << true;
    QTest::newRow("arrow") << QStringLiteral("\u2192") << false;
    QTest::newRow("c1 control taken by the euro") << QStringLiteral("\u0080") << false;
    QTest::newRow("emoji") << QStringLiteral("\U0001F600") << false;
}

void TstTextFileCodec::canEncode()
{
    QFETCH(QString, text);
    QFETCH(bool, cp1252);
    QCOMPARE(TextFileCodec::canEncode(text, TextFileFormat::Windows1252), cp1252);
    QVERIFY(TextFileCodec::canEncode(text, TextFileFormat::Utf8));
}

void TstTextFileCodec::search_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<int>("from");  // start for indexOf, end for lastIndexOf
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");

    QTest::newRow("ignore case") << "<TABLE><table>" << "<Table" << 0 << false << false << 0 << -1;
    QTest::newRow("ignore case, later") << "<TABLE><table>" << "<Table" << 1 << false << false << 7 << -1;
    QTest::newRow("match case") << "<TABLE><table>" << "<table" << 0 << true << false << 7 << -1;
    QTest::newRow("last before end") << "ab ab ab" << "ab" << 7 << false << false << -1 << 3;
    QTest::newRow("last at end") << "ab ab ab" << "ab" << 8 << false << false << -1 << 6;
    QTest::newRow("whole word") << "concat cat cats" << "cat" << 0 << false << true << 7 << -1;
    QTest::newRow("whole word backwards") << "cat concat" << "cat" << 10 << false << true << -1 << 0;
    QTest::newRow("whole word overlapping try") << "xa-a-a" << "a-a" << 0 << false << true << 3 << -1;
    QTest::newRow("underscore is a word char") << "my_cat cat" << "cat" << 0 << false << true << 7 << -1;
    QTest::newRow("punctuation needle") << "a<b> <b>" << "<b>" << 0 << false << true << 5 << -1;
    QTest::newRow("not found") << "abc" << "x" << 0 << false << false << -1 << -1;
    QTest::newRow("nbsp differs from space") << "a b\u00A0c" << "\u00A0" << 0 << false << false << 3 << -1;
}

void TstTextFileCodec::search()
{
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(int, from);
    QFETCH(bool, matchCase);
    QFETCH(bool, wholeWord);
    QFETCH(int, first);
    QFETCH(int, last);
    const Qt::CaseSensitivity cs = matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QCOMPARE(TextSearch::indexOf(text, needle, from, cs, wholeWord), qsizetype(first));
    QCOMPARE(TextSearch::lastIndexOf(text, needle, from, cs, wholeWord), qsizetype(last));
}

void TstTextFileCodec::findAll_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("needle");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("wholeWord");
    QTest::addColumn<QList<qsizetype>>("found");

    QTest::newRow("no overlaps") << "aaaa" << "aa" << 0 << 4 << false << QList<qsizetype>{0, 2};
    QTest::newRow("range") << "ab ab ab" << "AB" << 1 << 5 << false << QList<qsizetype>{3};
    QTest::newRow("whole words") << "cat concat cat" << "cat" << 0 << 14 << true << QList<qsizetype>{0, 11};
    QTest::newRow("word cut by range end") << "cats" << "cat" << 0 << 3 << true << QList<qsizetype>{};
}

void TstTextFileCodec::findAll()
{
    QFETCH(QString, text);
    QFETCH(QString, needle);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, wholeWord);
    QFETCH(QList<qsizetype>, found);
    QCOMPARE(TextSearch::findAll(text, needle, from, to, Qt::CaseInsensitive, wholeWord), found);
}

int main(int argc, char** argv)
{
    TestEnv::init();
    QCoreApplication app(argc, argv);
    TstTextFileCodec tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_TextFileCodec.moc"
