#include "TestEnv.h"
#include "editor/TextFileCodec.h"
#include "editor/TextSearch.h"

#include <QCoreApplication>
#include <QtTest>

Q_DECLARE_METATYPE(TextFileFormat::Encoding)
Q_DECLARE_METATYPE(TextFileFormat::LineEnd)

class TstTextFileCodec : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void mixedLineEnds_data();
    void mixedLineEnds();
    void newDocumentFormat();
    void longLine();
    void canEncode_data();
    void canEncode();
    void search_data();
    void search();
    void findAll_data();
    void findAll();
};

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
    QTest::addColumn<TextFileFormat::Encoding>("encoding");
    QTest::addColumn<bool>("bom");
    QTest::addColumn<TextFileFormat::LineEnd>("lineEnd");
    QTest::addColumn<bool>("finalLineEnd");
    QTest::addColumn<QString>("text");

    const auto U = TextFileFormat::Utf8;
    const auto L = TextFileFormat::Latin1;
    const auto CRLF = TextFileFormat::CRLF;
    const auto LF = TextFileFormat::LF;
    const auto CR = TextFileFormat::CR;

    QTest::newRow("empty file") << QByteArray() << U << false << CRLF << false << QString();
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << U << false << CRLF << true << QStringLiteral("a\nb");
    QTest::newRow("lf") << QByteArray("a\nb\n") << U << false << LF << true << QStringLiteral("a\nb");
    QTest::newRow("cr") << QByteArray("a\rb\r") << U << false << CR << true << QStringLiteral("a\nb");
    QTest::newRow("no final line end") << QByteArray("a\r\nb") << U << false << CRLF << false << QStringLiteral("a\nb");
    QTest::newRow("single line") << QByteArray("<HTML>") << U << false << CRLF << false << QStringLiteral("<HTML>");
    QTest::newRow("only a line end") << QByteArray("\r\n") << U << false << CRLF << true << QString();
    QTest::newRow("blank lines") << QByteArray("\n\n\n") << U << false << LF << true << QStringLiteral("\n\n");
    QTest::newRow("blank last line") << QByteArray("a\r\n\r\n") << U << false << CRLF << true << QStringLiteral("a\n");
    QTest::newRow("utf8") << QByteArray("caf\xC3\xA9 \xE2\x82\xAC\r\n") << U << false << CRLF << true
                          << QStringLiteral("caf\u00E9 \u20AC");
    QTest::newRow("utf8 bom") << QByteArray("\xEF\xBB\xBFh\xC3\xA9\r\n") << U << true << CRLF << true
                              << QStringLiteral("h\u00E9");
    QTest::newRow("bom only") << QByteArray("\xEF\xBB\xBF") << U << true << CRLF << false << QString();
    QTest::newRow("two boms") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx") << U << true << CRLF << false
                              << QStringLiteral("\uFEFFx");
    QTest::newRow("surrogate pair") << QByteArray("a\xF0\x9F\x98\x80z\n") << U << false << LF << true
                                    << QStringLiteral("a\U0001F600z");
    QTest::newRow("nbsp") << QByteArray("a\xC2\xA0\xC2\xA0z\r\n") << U << false << CRLF << true
                          << QStringLiteral("a\u00A0\u00A0z");
    QTest::newRow("u2028 u2029") << QByteArray("a\xE2\x80\xA8" "b\xE2\x80\xA9" "c\r\nd") << U << false << CRLF << false
                                 << QStringLiteral("a\u2028b\u2029c\nd");
    QTest::newRow("frame characters") << QByteArray("a\xEF\xB7\x90" "b\xEF\xB7\x91") << U << false << CRLF << false
                                      << QStringLiteral("a\uFDD0b\uFDD1");
    QTest::newRow("nul bytes") << QByteArray("a\0b\r\n\0\r\n", 8) << U << false << CRLF << true
                               << QString::fromUtf16(u"a\0b\n\0", 5);
    QTest::newRow("other controls") << QByteArray("\x0B\x0C\x1B\x7F\n") << U << false << LF << true
                                    << QStringLiteral("\x0B\x0C\x1B\x7F");
    QTest::newRow("latin1") << QByteArray("caf\xE9\r\n") << L << false << CRLF << true << QStringLiteral("caf\u00E9");
    QTest::newRow("latin1 every byte") << latin1Bytes() << L << false << CRLF << true
                                       << QString::fromLatin1(latin1Bytes().chopped(2)).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QTest::newRow("overlong utf8") << QByteArray("a\xC0\x80") << L << false << CRLF << false
                                   << QStringLiteral("a\u00C0\u0080");
    QTest::newRow("encoded surrogate") << QByteArray("\xED\xA0\x80") << L << false << CRLF << false
                                       << QStringLiteral("\u00ED\u00A0\u0080");
    QTest::newRow("cut utf8 at end") << QByteArray("ab\xE2\x82") << L << false << CRLF << false
                                     << QStringLiteral("ab\u00E2\u0082");
    QTest::newRow("bom then invalid") << QByteArray("\xEF\xBB\xBF\xFF\n") << L << false << LF << true
                                      << QStringLiteral("\u00EF\u00BB\u00BF\u00FF");
    QTest::newRow("binary without line ends") << QByteArray("\x89PNG\x1A\0\0\0\xFF\xD8", 10) << L << false << CRLF
                                              << false << QString::fromLatin1("\x89PNG\x1A\0\0\0\xFF\xD8", 10);
}

void TstTextFileCodec::roundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(TextFileFormat::Encoding, encoding);
    QFETCH(bool, bom);
    QFETCH(TextFileFormat::LineEnd, lineEnd);
    QFETCH(bool, finalLineEnd);
    QFETCH(QString, text);

    const DecodedText d = TextFileCodec::decode(bytes);
    QCOMPARE(d.text, text);
    QCOMPARE(d.format.encoding, encoding);
    QCOMPARE(d.format.bom, bom);
    QCOMPARE(d.format.lineEnd, lineEnd);
    QCOMPARE(d.format.finalLineEnd, finalLineEnd);
    QVERIFY(!d.format.mixedLineEnds);
    QCOMPARE(d.format.nulBytes, text.contains(QChar(0)));
    QCOMPARE(TextFileCodec::encode(d.text, d.format), bytes);
}

void TstTextFileCodec::mixedLineEnds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TextFileFormat::LineEnd>("lineEnd");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("saved");

    QTest::newRow("mostly crlf") << QByteArray("a\r\nb\nc\r\nd") << TextFileFormat::CRLF
                                 << QStringLiteral("a\nb\nc\nd") << QByteArray("a\r\nb\r\nc\r\nd");
    QTest::newRow("mostly lf") << QByteArray("a\nb\r\nc\nd\n") << TextFileFormat::LF
                               << QStringLiteral("a\nb\nc\nd") << QByteArray("a\nb\nc\nd\n");
    QTest::newRow("mostly cr") << QByteArray("a\rb\rc\n") << TextFileFormat::CR
                               << QStringLiteral("a\nb\nc") << QByteArray("a\rb\rc\r");
    QTest::newRow("tie prefers crlf") << QByteArray("a\nb\r\n") << TextFileFormat::CRLF
                                      << QStringLiteral("a\nb") << QByteArray("a\r\nb\r\n");
    QTest::newRow("cr before crlf") << QByteArray("a\r\r\nb") << TextFileFormat::CRLF
                                    << QStringLiteral("a\n\nb") << QByteArray("a\r\n\r\nb");
    QTest::newRow("lf cr is two ends") << QByteArray("a\n\rb") << TextFileFormat::LF
                                       << QStringLiteral("a\n\nb") << QByteArray("a\n\nb");
}

void TstTextFileCodec::mixedLineEnds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(TextFileFormat::LineEnd, lineEnd);
    QFETCH(QString, text);
    QFETCH(QByteArray, saved);

    const DecodedText d = TextFileCodec::decode(bytes);
    QVERIFY(d.format.mixedLineEnds);
    QCOMPARE(d.format.lineEnd, lineEnd);
    QCOMPARE(d.text, text);
    QCOMPARE(TextFileCodec::encode(d.text, d.format), saved);
    // Once saved in one style the file comes back unchanged.
    const DecodedText again = TextFileCodec::decode(saved);
    QVERIFY(!again.format.mixedLineEnds);
    QCOMPARE(TextFileCodec::encode(again.text, again.format), saved);
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

void TstTextFileCodec::canEncode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("latin1");

    QTest::newRow("ascii") << QStringLiteral("abc") << true;
    QTest::newRow("latin1 letters") << QStringLiteral("\u00E9\u00FF") << true;
    QTest::newRow("euro") << QStringLiteral("5 \u20AC") << false;
    QTest::newRow("emoji") << QStringLiteral("\U0001F600") << false;
}

void TstTextFileCodec::canEncode()
{
    QFETCH(QString, text);
    QFETCH(bool, latin1);
    QCOMPARE(TextFileCodec::canEncode(text, TextFileFormat::Latin1), latin1);
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
