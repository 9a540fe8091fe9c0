// The default font and colours dialog: the caller's values select their
// entries (a colour without a name is added as "$" and its stored value,
// long font names are cut), choices change the values, "&Reset" restores
// the values it was shown with.
#include "TestEnv.h"

#include "render/TFontForm.h"
#include "app/UiPrompter.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QTimer>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

class tst_FontForm : public QObject {
    Q_OBJECT
private slots:
    // Families are listed by the names the engine resolves; a family that is
    // not installed stands for an installed one of its kind.
    void families_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("family");  // empty: an installed family other than the default sans
        QTest::newRow("installed") << "DejaVu Sans" << "DejaVu Sans";
        QTest::newRow("other letter case") << "dejavu sans" << "DejaVu Sans";
        QTest::newRow("missing serif") << "Times New Roman" << "";
    }
    void families()
    {
        QFETCH(QString, name);
        QFETCH(QString, family);
        const QStringList names = TFontForm::familyNames();
        for (const QString& f : names)
            QVERIFY2(!f.contains(" [") && names.count(f) == 1, qPrintable(f));
        if (!names.contains("DejaVu Sans"))
            QSKIP("the font is not installed");
        const QString got = TFontForm::installedFamily(name);
        if (!family.isEmpty()) {
            QCOMPARE(got, family);
        } else {
            QVERIFY2(names.contains(got), qPrintable(got));
            QVERIFY2(got != QFontInfo(QFont("sans-serif")).family(), qPrintable(got));
        }
    }

    // The font dialog opens on the font's own style, not on the first its
    // family lists.
    void fontDialogOpensOnTheFontsStyle_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("italic");
        QTest::newRow("mono, upright") << "DejaVu Sans Mono" << false;
        QTest::newRow("sans, upright") << "DejaVu Sans" << false;
        QTest::newRow("sans, italic") << "DejaVu Sans" << true;
    }
    void fontDialogOpensOnTheFontsStyle()
    {
        QFETCH(QString, family);
        QFETCH(bool, italic);
        if (!QFontDatabase::families().contains(family))
            QSKIP("the font is not installed");
        QFont font(family, 11);
        font.setItalic(italic);
        QFont shown;
        bool seen = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (auto* d = qobject_cast<QFontDialog*>(QApplication::activeModalWidget())) {
                shown = d->currentFont();
                seen = true;
                d->reject();
            }
        });
        poll.start(20);
        DialogPrompter prompter;
        prompter.chooseFont(nullptr, font, false);
        QVERIFY(seen);
        QCOMPARE(shown.italic(), italic);
        QCOMPARE(shown.weight(), QFont::Normal);
    }

    void background_data()
    {
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("count");
        QTest::newRow("standard colour") << QColor(0, 0, 128) << "Navy" << 16;
        QTest::newRow("colour without a name") << QColor(0x33, 0x22, 0x11) << "$00112233" << 17;
    }
    void background()
    {
        QFETCH(QColor, color);
        QFETCH(QString, selected);
        QFETCH(int, count);
        TFontForm form;
        form.setBackground(color);
        QCOMPARE(form.lstBackground->currentItem()->text(), selected);
        QCOMPARE(form.lstBackground->count(), count);
        form.setBackground(color);
        QCOMPARE(form.lstBackground->count(), count);
        QCOMPARE(form.background(), color);
    }

    void fontNames()
    {
        TFontForm form;
        QVERIFY(form.lstFonts->count() > 0);
        const QString installed = form.lstFonts->item(0)->text();
        form.setFontName(installed.toUpper());
        QCOMPARE(form.lstFonts->currentItem()->text(), installed);
        QCOMPARE(form.fontName(), installed);
        form.setFontName(QString(40, QLatin1Char('x')));
        QCOMPARE(form.fontName(), QString(31, QLatin1Char('x')));
    }

    void choicesAndReset()
    {
        TFontForm form;
        form.setFontColor(Qt::black);
        form.setLinkColor(Qt::blue);
        form.setFontSize(12);
        form.setBackground(Qt::white);
        form.show();
        form.fontGrid[9]->click();   // red
        form.linkGrid[2]->click();   // green
        form.edtSize->setValue(20);
        form.lstBackground->setCurrentRow(11);  // yellow
        QCOMPARE(form.fontColor(), QColor(Qt::red));
        QCOMPARE(form.linkColor(), QColor(0, 128, 0));
        QCOMPARE(form.fontSize(), 20);
        QCOMPARE(form.background(), QColor(Qt::yellow));
        QVERIFY(form.fontGrid[9]->isChecked());
        form.btnReset->click();
        QCOMPARE(form.fontColor(), QColor(Qt::black));
        QCOMPARE(form.linkColor(), QColor(Qt::blue));
        QCOMPARE(form.fontSize(), 12);
        QCOMPARE(form.background(), QColor(Qt::white));
        QVERIFY(!form.fontGrid[9]->isChecked());
        form.reject();
    }
};

VQ_TEST_MAIN(tst_FontForm)
#include "tst_FontForm.moc"
