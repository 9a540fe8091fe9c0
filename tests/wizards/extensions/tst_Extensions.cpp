// The browser extensions: the sound and marquee texts of the tag writer, and
// the dialog inserting them at the caret.
#include "ScriptedPrompter.h"
#include "TestEnv.h"
#include "tags/TagTestSupport.h"

#include "wizards/extensions/SoundPlayer.h"
#include "wizards/extensions/THTMLWriter.h"
#include "wizards/extensions/TfrmIE.h"

#include <QApplication>
#include <QLineEdit>
#include <QMediaPlayer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

using W = THTMLWriter;

class tst_Extensions : public QObject {
    Q_OBJECT
private slots:
    void sound_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("tag");
        QTest::newRow("default") << "" << 1 << "<bgsound src=\"\" loop=1>";
        QTest::newRow("infinite") << "a b.wav" << 0 << "<bgsound src=\"a b.wav\" loop=infinite>";
        QTest::newRow("three") << "x.au" << 3 << "<bgsound src=\"x.au\" loop=3>";
        QTest::newRow("above the range") << "x.au" << 300 << "<bgsound src=\"x.au\" loop=255>";
    }
    void sound()
    {
        QFETCH(QString, url);
        QFETCH(int, count);
        QFETCH(QString, tag);
        QCOMPARE(W::BGSound(url, count), tag);
    }

    void marquee_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("args");  // alignment, height, width, hspace, vspace, amount, delay, count, behaviour, direction, colour
        QTest::addColumn<QString>("element");
        QTest::newRow("dialog defaults") << "Velquist Pro Sample Text" << QList<int>{0, 20, -100, 0, 0, 5, 1, 0, 0, 0, -1}
            << "<marquee behavior=scroll direction=left height=20 width=100% scrollamount=5 scrolldelay=1 "
               "loop=infinite>Velquist Pro Sample Text</marquee>";
        QTest::newRow("alternate right 50") << "t" << QList<int>{0, 20, -50, 0, 0, 5, 1, 0, 2, 1, -1}
            << "<marquee behavior=alternate direction=right height=20 width=50% scrollamount=5 scrolldelay=1 "
               "loop=infinite>t</marquee>";
        QTest::newRow("empty text") << "" << QList<int>{0, 20, -100, 0, 0, 5, 1, 0, 1, 0, -1}
            << "<marquee behavior=slide direction=left height=20 width=100% scrollamount=5 scrolldelay=1 "
               "loop=infinite></marquee>";
        QTest::newRow("every attribute") << "t" << QList<int>{2, -30, 400, 4, 6, 0, 0, 3, 0, 1, 0x0A0B0C}
            << "<marquee behavior=scroll direction=right align=middle height=30% width=400 hspace=4 vspace=6 "
               "loop=3 bgcolor=#0A0B0C>t</marquee>";
    }
    void marquee()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, args);
        QFETCH(QString, element);
        QCOMPARE(W::Marquee(text, args[0], args[1], args[2], args[3], args[4], args[5], args[6], args[7], args[8],
                            args[9], args[10]),
                 element);
    }

    // Every way of closing the window stops the sound being heard.
    void closingStopsSound_data()
    {
        QTest::addColumn<QString>("how");
        for (const char* how : {"close box", "Escape", "Close", "To Document"})
            QTest::newRow(how) << QString(how);
    }

    void closingStopsSound()
    {
        QFETCH(QString, how);
        ScriptedPrompter prompter;
        TestHost host;
        TagEngine engine(host);
        // Five seconds of silence.
        const QString wav = TestEnv::workDir() + "/quiet.wav";
        QByteArray data(5 * 8000, char(0x80));
        QByteArray file = "RIFF" + QByteArray(4, 0) + "WAVEfmt ";
        auto le = [&file](quint32 v, int n) { for (int i = 0; i < n; ++i) file.append(char(v >> (8 * i))); };
        le(16, 4), le(1, 2), le(1, 2), le(8000, 4), le(8000, 4), le(1, 2), le(8, 2);
        file += "data";
        le(quint32(data.size()), 4);
        file += data;
        QVERIFY(TestEnv::writeAll(wav, file));
        TfrmIE ie(engine, nullptr);
        ie.showWindow();
        QVERIFY(QTest::qWaitForWindowActive(&ie));
        ie.tSound->setText(wav);
        ie.MediaPlayer->btnPlay->click();
        QVERIFY(ie.MediaPlayer->player());
        QTRY_COMPARE(ie.MediaPlayer->player()->playbackState(), QMediaPlayer::PlayingState);
        if (how == "close box")
            ie.close();
        else if (how == "Escape")
            QTest::keyClick(&ie, Qt::Key_Escape);
        else
            (how == "Close" ? ie.CancelBtn : ie.OKBtn)->click();
        QVERIFY(!ie.isVisible());
        QCOMPARE(ie.MediaPlayer->player()->playbackState(), QMediaPlayer::StoppedState);
        QVERIFY(prompter.messages.isEmpty());
    }

    // Each page's text goes in at the caret, before the selection; a browsed
    // sound that is missing is told and still named in the field.
    void dialog()
    {
        ScriptedPrompter prompter;
        TestHost host;
        host.setTags("W", "N");
        TagEngine engine(host);
        TestEditor ed;
        host.editor = &ed;
        TfrmIE ie(engine, nullptr);
        ie.showWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&ie));
        Marked::set(ed, "x[sel]y");
        ie.spnSoundReps->setValue(0);
        ie.OKBtn->click();
        QCOMPARE(Marked::get(ed), "x<bgsound src=\"\" loop=infinite>|sely");
        QVERIFY(!ie.isVisible());

        ie.showWindow();
        const QString missing = TestEnv::workDir() + "/Sounds/Ding.WAV";
        prompter.openAnswers.enqueue({missing});
        ie.btnBrowse->click();
        QCOMPARE(ie.tSound->text(), missing);
        QCOMPARE(prompter.messages, QStringList{"Unable to find " + missing + "."});
        QVERIFY(!ie.MediaPlayer->player());

        ie.TabSet->setCurrentIndex(1);
        ie.btnMAlternate->setChecked(true);
        ie.btnMRight->setChecked(true);
        ie.spnMarqueeWidth->setValue(50);
        Marked::set(ed, "a|b");
        ie.OKBtn->click();
        QCOMPARE(Marked::get(ed), "a<marquee behavior=alternate direction=right height=20 width=50% scrollamount=5 "
                                  "scrolldelay=1 loop=infinite>Velquist Pro Sample Text</marquee>|b");
    }
};

VQ_TEST_MAIN(tst_Extensions)
#include "tst_Extensions.moc"
