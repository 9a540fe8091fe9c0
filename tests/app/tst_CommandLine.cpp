// The command line and the folders named by the environment.
#include "TestEnv.h"

#include "app/AppPaths.h"
#include "app/CommandLine.h"

#include <QCoreApplication>
#include <QtTest>

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("help");
        QTest::addColumn<bool>("version");
        QTest::newRow("qt's own options are files")
            << QStringList{"-reverse", "-name", "page.htm"} << QStringList{"-reverse", "-name", "page.htm"} << false << false;
        QTest::newRow("-platform alone") << QStringList{"-platform"} << QStringList{"-platform"} << false << false;
        QTest::newRow("help") << QStringList{"--help"} << QStringList{} << true << false;
        QTest::newRow("version after a file") << QStringList{"a.htm", "--version"} << QStringList{"a.htm"} << false << true;
        QTest::newRow("-- ends options") << QStringList{"--", "--help", "--"} << QStringList{"--help", "--"} << false << false;
        QTest::newRow("near misses are files") << QStringList{"-help", "--Help", "--version=1"}
                                               << QStringList{"-help", "--Help", "--version=1"} << false << false;
    }
    void parse()
    {
        QFETCH(QStringList, args);
        const CommandLine c = CommandLine::parse(args);
        QTEST(c.files, "files");
        QTEST(c.help, "help");
        QTEST(c.version, "version");
    }

    void relativeFoldersStayWhereTheyWere()
    {
        const QString start = TestEnv::workDir();
        QDir().mkpath(start + "/other");
        QDir::setCurrent(start);
        qputenv("VELQUIST_CONFIG_DIR", "rel/config");
        qputenv("VELQUIST_HOME", "./rel/home");
        AppPaths::fixEnvironment();
        QDir::setCurrent(start + "/other");
        QCOMPARE(AppPaths::settingsDir(), start + "/rel/config");
        QCOMPARE(AppPaths::programDir(), start + "/rel/home");
        QCOMPARE(AppPaths::dataDir(), start + "/rel/home");
        TestEnv::init();
    }
};

int main(int argc, char** argv)
{
    TestEnv::init();
    QCoreApplication app(argc, argv);
    TestCommandLine tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_CommandLine.moc"
