// Tips: headings, formatting and the dialog's run at start-up; the note
// pad's text kept across runs.
#include "ScriptedPrompter.h"
#include "TestEnv.h"

#include "app/AppInvoker.h"
#include "app/TMegaRegistry.h"
#include "app/AppSettings.h"
#include "app/ListFile.h"
#include "app/TmdiMain.h"
#include "tools/ToolsModule.h"
#include "tools/TfNotePad.h"
#include "tools/TfTipOfTheDay.h"
#include "tools/TipsFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

class tst_NotePadTips : public QObject {
    Q_OBJECT
private slots:
    void init();
    void formatTip_data();
    void formatTip();
    void dialogRun_data();
    void dialogRun();
    void startUpShowsTipsOnlyWhenAsked_data();
    void startUpShowsTipsOnlyWhenAsked();
    void notesKeptAcrossRuns_data();
    void notesKeptAcrossRuns();
    void ownFilesIgnoreDeclarations_data();
    void ownFilesIgnoreDeclarations();
    void leadingByteOrderMarkKept();
    void notesNeverShownAreNotOverwritten();
    void notesWriteFailureReported();
    void padSavedWhenFrameCloses();

private:
    const QString tipsPath = TestEnv::programDir() + "/TIPS.TXT";
};

void tst_NotePadTips::init()
{
    TestEnv::clearSettings();
    QFile::remove(tipsPath);
    QFile::remove(TfNotePad::notesFile());
    QDir(TfNotePad::notesFile()).removeRecursively();
}

void tst_NotePadTips::formatTip_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("text");
    QTest::newRow("did you know") << "?Press F4%sto repeat a tag" << "Did you know..." << "Press F4\nto repeat a tag";
    QTest::newRow("letter marker") << "Hello" << "" << "ello";
    QTest::newRow("empty") << "" << "" << "";
    QTest::newRow("joke") << "!j" << "Today's joke..." << "j";
    QTest::newRow("message") << "#m" << "Today's message..." << "m";
    QTest::newRow("quote") << "'q" << "Today's quote..." << "q";
    QTest::newRow("tip, percent") << "^100%% sure" << "Today's tip..." << "100% sure";
    QTest::newRow("other % stays") << "^a%db%" << "Today's tip..." << "a%db%";
    QTest::newRow("five breaks only") << "^%s%s%s%s%s%s" << "Today's tip..." << "\n\n\n\n\n%s";
    QTest::newRow("cut at 255") << "^" + QString(300, 'x') << "Today's tip..." << QString(255, 'x');
    QTest::newRow("cut before a character") << "^" + QString(254, 'x') + QString::fromUtf8("\xF0\x9F\x98\x80")
                                            << "Today's tip..." << QString(254, 'x');
}

void tst_NotePadTips::formatTip()
{
    QFETCH(QString, line);
    QFETCH(QString, heading);
    QFETCH(QString, text);
    QCOMPARE(TipsFile::heading(line), heading);
    QCOMPARE(TipsFile::tipText(line), text);
}

void tst_NotePadTips::dialogRun_data()
{
    QTest::addColumn<QByteArray>("file");  // "-": no file
    QTest::addColumn<bool>("uncheck");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<bool>("stepping");
    QTest::addColumn<QString>("stored");   // "Tips" afterwards, "-" when not written
    QTest::addColumn<bool>("reported");   // to the application's error handler
    QTest::newRow("one tip, kept") << QByteArray("?Press F4%sto repeat a tag\r\n") << false << "Did you know..."
                                   << true << "-" << false;
    QTest::newRow("unchecked stores false") << QByteArray("^t\r\n") << true << "Today's tip..." << true << "0"
                                            << false;
    QTest::newRow("missing file") << QByteArray("-") << false << "Oops..." << false << "-" << true;
    QTest::newRow("empty file") << QByteArray("") << false << "Oops..." << false << "-" << false;
}

void tst_NotePadTips::dialogRun()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, uncheck);
    QFETCH(QString, heading);
    QFETCH(bool, stepping);
    QFETCH(QString, stored);
    QFETCH(bool, reported);
    QStringList errors;
    AppInvoker::setHandler([&](const QString& m) { errors << m; });
    if (file != "-")
        QVERIFY(TestEnv::writeAll(tipsPath, file));
    TMegaRegistry ini(AppSettings::kAppName, AppSettings::kCompany, AppSettings::kIniName);
    ini.Open();
    QString shown, afterNext, afterPrevious;
    bool nextEnabled = false;
    TfTipOfTheDay::setRunner([&](TfTipOfTheDay& d) {
        shown = d.lblHeading->text() + "|" + d.lblTip->text();
        nextEnabled = d.btnNext->isEnabled() && d.btnPrevious->isEnabled();
        d.btnNext->click();
        afterNext = d.lblHeading->text() + "|" + d.lblTip->text();
        d.btnPrevious->click();
        afterPrevious = d.lblHeading->text() + "|" + d.lblTip->text();
        QVERIFY(d.cbShowTips->isChecked());
        d.cbShowTips->setChecked(!uncheck);
    });
    TfTipOfTheDay::DisplayTips(nullptr, ini);
    TfTipOfTheDay::setRunner([](TfTipOfTheDay&) {});
    QVERIFY(shown.startsWith(heading + "|"));
    QCOMPARE(nextEnabled, stepping);
    QCOMPARE(afterNext, shown);
    QCOMPARE(afterPrevious, shown);
    QCOMPARE(ini.ReadString(AppSettings::kStart, "Tips", "-"), stored);
    AppInvoker::setHandler([](const QString&) {});
    QCOMPARE(errors.size(), reported ? 1 : 0);
    if (reported)
        QVERIFY(errors.first().contains("TIPS.TXT"));
}

void tst_NotePadTips::startUpShowsTipsOnlyWhenAsked_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("runs");
    QTest::newRow("default") << QByteArray("[System]\nOpen Template=0\n") << 1;
    QTest::newRow("off") << QByteArray("[System]\nOpen Template=0\n[Start Options]\nTips=0\n") << 0;
}

void tst_NotePadTips::startUpShowsTipsOnlyWhenAsked()
{
    QFETCH(QByteArray, ini);
    QFETCH(int, runs);
    QVERIFY(TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI", ini));
    int count = 0;
    TfTipOfTheDay::setRunner([&](TfTipOfTheDay&) { ++count; });
    {
        TmdiMain main;
        QVERIFY(TestEnv::showFrame(main));
    }
    TfTipOfTheDay::setRunner([](TfTipOfTheDay&) {});
    QCOMPARE(count, runs);
}

void tst_NotePadTips::notesKeptAcrossRuns_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("onDisk");
    QTest::newRow("two lines") << "first\nsecond" << QByteArray("first\r\nsecond\r\n");
    QTest::newRow("empty last line") << "a\n" << QByteArray("a\r\n\r\n");
    QTest::newRow("not Latin-1") << QString::fromUtf8("caf\u00e9 \u20ac") << QByteArray("caf\xc3\xa9 \xe2\x82\xac\r\n");
}

void tst_NotePadTips::notesKeptAcrossRuns()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, onDisk);
    {
        TfNotePad pad(nullptr);
        pad.show();
        QVERIFY(pad.memNotes->toPlainText().startsWith("Welcome to the Velquist NotePad."));
        pad.memNotes->setPlainText(typed);
        pad.close();
    }
    QCOMPARE(TestEnv::readAll(TfNotePad::notesFile()), onDisk);
    TfNotePad again(nullptr);
    again.show();
    QCOMPARE(again.memNotes->toPlainText(), typed);
    // Open at the end of the program: what was typed since is written too.
    again.memNotes->setPlainText("later");
    QVERIFY(again.saveNow());
    QCOMPARE(TestEnv::readAll(TfNotePad::notesFile()), QByteArray("later\r\n"));
}

// The program's own files are UTF-8, else Windows-1252, whatever encoding
// the text in them names; read and written back, they keep their bytes.
void tst_NotePadTips::ownFilesIgnoreDeclarations_data()
{
    QTest::addColumn<QByteArray>("onDisk");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("rewritten");
    const QByteArray meta("<meta charset=\"iso-8859-1\">\r\nJos\xC3\xA9 M\xC3\xBC" "ller\r\n");
    QTest::newRow("meta charset in an entry") << meta
                                              << QString::fromUtf8("<meta charset=\"iso-8859-1\">\nJos\u00E9 M\u00FCller")
                                              << meta;
    const QByteArray xml("<?xml version=\"1.0\" encoding=\"koi8-r\"?>\r\n\xC3\xA9\r\n");
    QTest::newRow("xml declaration") << xml << QString::fromUtf8("<?xml version=\"1.0\" encoding=\"koi8-r\"?>\n\u00E9")
                                     << xml;
    QTest::newRow("utf-8 bom kept") << QByteArray("\xEF\xBB\xBF\xC3\xA9\r\n") << QString::fromUtf8("\u00E9")
                                    << QByteArray("\xEF\xBB\xBF\xC3\xA9\r\n");
    QTest::newRow("stray byte kept") << QByteArray("caf\xC3\xA9 \xFF\r\n") << QString::fromUtf16(u"caf\u00E9 \xDCFF")
                                     << QByteArray("caf\xC3\xA9 \xFF\r\n");
    QTest::newRow("U+FEFF after the bom") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx\xF0\x9F\x98\x80\r\n")
                                         << QChar(0xFEFF) + QString::fromUtf8("x\xF0\x9F\x98\x80")
                                         << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx\xF0\x9F\x98\x80\r\n");
    QTest::newRow("windows-1252 declaring utf-8")
        << QByteArray("<meta charset=utf-8>\r\nJos\xE9\r\n") << QString::fromUtf8("<meta charset=utf-8>\nJos\u00E9")
        << QByteArray("<meta charset=utf-8>\r\nJos\xC3\xA9\r\n");
}

void tst_NotePadTips::ownFilesIgnoreDeclarations()
{
    QFETCH(QByteArray, onDisk);
    QFETCH(QString, text);
    QFETCH(QByteArray, rewritten);
    const QString file = TfNotePad::notesFile();
    QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
    QVERIFY(TestEnv::writeAll(file, onDisk));
    QStringList lines;
    QVERIFY(ListFile::read(file, &lines));
    QCOMPARE(lines.join('\n'), text);
    ListFile::write(file, lines);
    QCOMPARE(TestEnv::readAll(file), rewritten);

    if (text.contains(QChar(0xDCFF)))
        return;  // the pad's editor holds no stray bytes
    QVERIFY(TestEnv::writeAll(file, onDisk));
    TfNotePad pad(nullptr);
    pad.show();
    QCOMPARE(pad.memNotes->toPlainText(), text);
    pad.close();
    QCOMPARE(TestEnv::readAll(file), rewritten);
}

// A list that starts with U+FEFF, written to a new file, reads back whole.
void tst_NotePadTips::leadingByteOrderMarkKept()
{
    const QString file = TestEnv::workDir() + "/fresh.txt";
    QFile::remove(file);
    const QStringList lines{QChar(0xFEFF) + QStringLiteral("one"), "two"};
    ListFile::write(file, lines);
    QStringList back;
    QVERIFY(ListFile::read(file, &back));
    QCOMPARE(back, lines);
}

void tst_NotePadTips::notesNeverShownAreNotOverwritten()
{
    QVERIFY(TestEnv::writeAll(TfNotePad::notesFile(), "mine\r\n"));
    TfNotePad pad(nullptr);
    QVERIFY(pad.saveNow());
    QCOMPARE(TestEnv::readAll(TfNotePad::notesFile()), QByteArray("mine\r\n"));
}

void tst_NotePadTips::notesWriteFailureReported()
{
    ScriptedPrompter prompter;
    TfNotePad pad(nullptr);
    pad.show();
    QVERIFY(QDir().mkpath(TfNotePad::notesFile()));  // a folder where the file should go
    pad.close();
    QCOMPARE(prompter.messages.size(), 1);
    QVERIFY(prompter.messages.first().contains("notes.txt"));
    QVERIFY(!pad.saveNow());  // still unsaved: the end of the program tries again
}

void tst_NotePadTips::padSavedWhenFrameCloses()
{
    QVERIFY(TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI", "[System]\nOpen Template=0\n"));
    TmdiMain main;
    QVERIFY(TestEnv::showFrame(main));
    main.run(QStringLiteral("DisplayNotePad1Click"));
    main.module<ToolsModule>().notePad()->memNotes->setPlainText("typed");
    QVERIFY(main.close());
    QVERIFY(!main.module<ToolsModule>().notePad()->isVisible());  // nothing of the program stays on the screen
    QCOMPARE(TestEnv::readAll(TfNotePad::notesFile()), QByteArray("typed\r\n"));
}

VQ_TEST_MAIN(tst_NotePadTips)
#include "tst_NotePadTips.moc"
