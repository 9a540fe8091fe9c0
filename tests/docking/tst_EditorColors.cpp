// The editor colours dialog: "Apply", "Default" and both without a document.
#include "app/TfColor.h"
#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "editor/TOvcTextFileEditor.h"
#include "ScriptedPrompter.h"
#include "TestEnv.h"

#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <memory>

namespace {

class FontPrompter : public ScriptedPrompter {
public:
    bool fixedOnly = false;
    bool chooseFont(QWidget*, QFont& font, bool fixedPitchOnly) override
    {
        fixedOnly = fixedPitchOnly;
        font = QFont(QStringLiteral("DejaVu Sans Mono"), 14);
        return true;
    }
};

QByteArray prefs() { return TestEnv::readAll(TestEnv::settingsDir() + "/velqopt.ini"); }

QByteArray section(const QByteArray& file, const QByteArray& name)
{
    const int at = file.indexOf("[" + name + "]");
    if (at < 0)
        return QByteArray();
    const int end = file.indexOf("\n[", at + 1);
    return file.mid(at, end < 0 ? -1 : end - at);
}

} // namespace

class tst_EditorColors : public QObject {
    Q_OBJECT
private slots:
    void buttons_data()
    {
        QTest::addColumn<bool>("withDocument");
        QTest::addColumn<QString>("button");
        QTest::newRow("apply") << true << "Apply";
        QTest::newRow("default") << true << "Default";
        QTest::newRow("apply, no document") << false << "Apply";
        QTest::newRow("default, no document") << false << "Default";
        QTest::newRow("cancel") << true << "Cancel";
    }
    void buttons()
    {
        QFETCH(bool, withDocument);
        QFETCH(QString, button);
        TestEnv::clearSettings();
        TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI", "[System]\nOpen Template=0\n");
        TestEnv::writeAll(TestEnv::programDir() + "/standard.tpl", "\r\n");
        FontPrompter prompter;
        TmdiMain m;
        QVERIFY(TestEnv::showFrame(m));
        if (withDocument)
            m.FileNew();
        TfColor* d = m.editorColorsDialog();
        QCOMPARE(d->windowTitle(), QString("Set Editing Colors"));
        QCOMPARE(d->mSamp->count(), 12);
        d->show();
        QTest::mouseClick(d->ColorGrid, Qt::RightButton, {}, d->ColorGrid->cellRect(11).center());  // yellow
        QTest::mouseClick(d->ColorGrid, Qt::LeftButton, {}, d->ColorGrid->cellRect(4).center());   // navy
        d->btnFont->click();
        QVERIFY(prompter.fixedOnly);
        QCOMPARE(d->mSamp->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0x00));
        for (QPushButton* b : d->findChildren<QPushButton*>())
            if (b->text() == button)
                b->click();
        QVERIFY(!d->isVisible());

        const bool applied = withDocument && button != "Cancel";
        const bool stored = withDocument && button == "Default";
        if (withDocument) {
            TOvcTextFileEditor* ed = m.activeDocument()->txtHTML;
            QCOMPARE(ed->Color() == QColor(0xFF, 0xFF, 0x00), applied);
            QCOMPARE(ed->FixedFontColor() == QColor(0x00, 0x00, 0x80), applied);
            QCOMPARE(ed->FixedFont().family() == "DejaVu Sans Mono", applied);
        }
        const QByteArray file = prefs();
        for (const QByteArray name : {QByteArray("Edit Window"), QByteArray("Editor Colors")}) {
            const QByteArray s = section(file, name);
            QCOMPARE(s.contains("EDIT_COLOR=65535"), stored);  // yellow as 0x00BBGGRR
            QCOMPARE(s.contains("EDIT_FONT="), stored);
            if (name == "Editor Colors")
                QVERIFY(s.contains("FORM_PLACE="));  // the placement, whatever the button
        }
        if (stored) {
            // New windows take the font's name and size only.
            m.FileNew();
            TOvcTextFileEditor* fresh = m.activeDocument()->txtHTML;
            QCOMPARE(fresh->FixedFont().family().toUpper(), QString("DEJAVU SANS MONO"));
            QCOMPARE(fresh->FixedFont().pointSize(), 14);
            QCOMPARE(fresh->Color(), QColor(Qt::white));
            QCOMPARE(fresh->FixedFontColor(), QColor(Qt::black));
        }
        for (TfHTML* doc : m.documents())
            doc->approveClose();
    }

    void menuEntryShowsItModally()
    {
        TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI", "[System]\nOpen Template=0\n");
        ScriptedPrompter prompter;
        TmdiMain m;
        QVERIFY(TestEnv::showFrame(m));
        QAction* entry = m.action("SetEditorColors1Click");
        QVERIFY(entry->isEnabled());
        QTimer::singleShot(0, [&] {
            QVERIFY(m.editorColorsDialog()->isModal());
            QCOMPARE(m.statusText(), QString("   Loading Color Dialog ..."));
            // The dialog fits the screen (800 x 600 here), buttons and all.
            const QRect screen = m.editorColorsDialog()->screen()->availableGeometry();
            QVERIFY2(screen.contains(m.editorColorsDialog()->frameGeometry()),
                     qPrintable(QString("%1 x %2").arg(m.editorColorsDialog()->frameGeometry().width())
                                    .arg(m.editorColorsDialog()->frameGeometry().height())));
            m.editorColorsDialog()->btnCancel->click();
        });
        entry->trigger();
        QCOMPARE(m.statusText(), QString("   Ready ..."));
    }
};

VQ_TEST_MAIN(tst_EditorColors)
#include "tst_EditorColors.moc"
