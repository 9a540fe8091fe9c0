// The application options dialog: what it loads, what it saves, and when.
#include "app/AppPaths.h"
#include "app/TfOptions.h"
#include "app/TmdiMain.h"
#include "ScriptedPrompter.h"
#include "TestEnv.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <memory>

class tst_Options : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<ScriptedPrompter> prompter;
    std::unique_ptr<TmdiMain> main;

    TfOptions& open(const QByteArray& ini)
    {
        main.reset();
        TestEnv::clearSettings();
        TestEnv::writeAll(TestEnv::settingsDir() + "/VELQUIST.INI", ini);
        prompter = std::make_unique<ScriptedPrompter>();
        main = std::make_unique<TmdiMain>();
        main->optionsDialog()->LoadIniSettings();
        return *main->optionsDialog();
    }
    QString read(const QString& section, const QString& key)
    {
        return main->IniControl.ReadString(section, key, "<absent>");
    }

private slots:
    void cleanup()
    {
        main.reset();
        prompter.reset();
    }

    void loadsCaseAndBehaviour_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("checkedCase");
        QTest::addColumn<bool>("staySelected");
        QTest::newRow("defaults") << QByteArray() << "decide" << true;
        QTest::newRow("lower") << QByteArray("[Tags]\nCase=L\nStay Selected=N\n") << "lower" << false;
        QTest::newRow("upper, first letter counts") << QByteArray("[Tags]\nCase=Upper\n") << "upper" << true;
        QTest::newRow("other value decides") << QByteArray("[Tags]\nCase=x\nStay Selected=y\n") << "decide" << false;
    }

    void loadsCaseAndBehaviour()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, checkedCase);
        QFETCH(bool, staySelected);
        TfOptions& d = open(ini);
        QCOMPARE(d.rbLower->isChecked(), checkedCase == "lower");
        QCOMPARE(d.rbUpper->isChecked(), checkedCase == "upper");
        QCOMPARE(d.rbDecide->isChecked(), checkedCase == "decide");
        QCOMPARE(d.rbStaySelected->isChecked(), staySelected);
        QCOMPARE(d.rbMoveCursor->isChecked(), !staySelected);
        QCOMPARE(main->statusText(), QString("   Loading Application Options ..."));
    }

    void loadsDefaults()
    {
        TfOptions& d = open("");
        QVERIFY(!d.cbSmartTabs->isChecked());
        QVERIFY(d.cbWordWrap->isChecked());
        QVERIFY(d.cbLoadTemplate->isChecked());
        QVERIFY(d.cbBackup->isChecked());
        QVERIFY(d.cbTips->isChecked());
        QCOMPARE(d.spTabWidth->value(), 8);
        QCOMPARE(d.edStartDir->text(), AppPaths::programDir());
        QCOMPARE(d.edUserName->text(), QString("Your Name"));
    }

    void savesEveryKey()
    {
        TfOptions& d = open("");
        d.rbUpper->setChecked(true);
        d.rbMoveCursor->setChecked(true);
        d.cbSmartTabs->setChecked(true);
        d.cbWordWrap->setChecked(false);
        d.spTabWidth->setValue(4);
        d.cbLoadTemplate->setChecked(false);
        d.cbBackup->setChecked(false);
        d.edUserName->setText("Ada");
        d.edEmail->setText("ada@example.org");
        d.edHomePage->setText("http://ada.example.org/");
        d.edOrganisation->setText("Engines");
        d.edStartDir->setText(TestEnv::workDir() + "/");
        d.btnSaveClick();
        QCOMPARE(read("Tags", "Case"), QString("U"));
        QCOMPARE(read("Tags", "Stay Selected"), QString("N"));
        QCOMPARE(read("Editor", "Smart Tabs"), QString("1"));
        QCOMPARE(read("Editor", "Word Wrap"), QString("0"));
        QCOMPARE(read("Editor", "Tab Size"), QString("4"));
        QCOMPARE(read("System", "Open Template"), QString("0"));
        QCOMPARE(read("System", "Create Backup"), QString("0"));
        QCOMPARE(read("Application Header", "User Name"), QString("Ada"));
        QCOMPARE(read("Application Header", "EMail"), QString("ada@example.org"));
        QCOMPARE(read("Application Header", "Home Page"), QString("http://ada.example.org/"));
        QCOMPARE(read("Application Header", "Organisation"), QString("Engines"));
        QCOMPARE(read("Application Options", "Startup Directory"), TestEnv::workDir());
        QCOMPARE(d.edStartDir->text(), TestEnv::workDir());
        QCOMPARE(main->UserName, QString("Ada"));
        // Tips are not part of saving.
        QCOMPARE(read("Start Options", "Tips"), QString("<absent>"));
    }

    void missingFolderStoresProgramDir()
    {
        TfOptions& d = open("");
        d.edStartDir->setText(TestEnv::workDir() + "/not-there");
        d.btnSaveClick();
        QCOMPARE(read("Application Options", "Startup Directory"), AppPaths::programDir());
        QCOMPARE(d.edStartDir->text(), TestEnv::workDir() + "/not-there");
    }

    void tipsWrittenAtOnceEvenWhenCancelled()
    {
        TfOptions& d = open("");
        d.cbTips->click();
        QCOMPARE(read("Start Options", "Tips"), QString("0"));
        d.reject();
        QCOMPARE(read("Start Options", "Tips"), QString("0"));
        QCOMPARE(read("Tags", "Case"), QString("<absent>"));
    }

    void everyShowingStartsFromStoredValues()
    {
        TfOptions& d = open("[Tags]\nCase=L\n");
        d.rbUpper->setChecked(true);
        QTimer::singleShot(0, &d, [&d] { d.reject(); });
        main->ApplicationOptions1Click();
        QVERIFY(d.rbLower->isChecked());
        QCOMPARE(read("Tags", "Case"), QString("L"));
    }
};

VQ_TEST_MAIN(tst_Options)
#include "tst_Options.moc"
