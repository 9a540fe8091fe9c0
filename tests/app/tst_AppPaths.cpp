// Where the program finds its shipped data, over the layouts it runs from.
#include "TestEnv.h"

#include "app/AppPaths.h"

#include <QCoreApplication>
#include <QtTest>

class TestAppPaths : public QObject {
    Q_OBJECT
private slots:
    void shippedData_data()
    {
        QTest::addColumn<QStringList>("files");  // made under a fresh folder
        QTest::addColumn<QString>("home");       // $VELQUIST_HOME, relative to it
        QTest::addColumn<QString>("expected");   // relative to it
        QTest::newRow("build tree: data beside the executable")
            << QStringList{"build/bin/velquist", "build/bin/standard.tpl"} << "" << "build/bin";
        QTest::newRow("installed prefix")
            << QStringList{"usr/bin/velquist", "usr/share/velquist/standard.tpl"} << "" << "usr/share/velquist";
        QTest::newRow("data beside win over a share folder")
            << QStringList{"opt/bin/velquist", "opt/bin/symbols.web", "opt/share/velquist/standard.tpl"}
            << "" << "opt/bin";
        QTest::newRow("nothing shipped: the executable's folder")
            << QStringList{"bare/bin/velquist"} << "" << "bare/bin";
        QTest::newRow("$VELQUIST_HOME over an installed prefix")
            << QStringList{"usr/bin/velquist", "usr/share/velquist/standard.tpl", "home/standard.tpl"}
            << "home" << "home";
    }
    void shippedData()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, home);
        QFETCH(QString, expected);
        QTemporaryDir root;
        for (const QString& f : files) {
            QDir().mkpath(QFileInfo(root.filePath(f)).path());
            QVERIFY(TestEnv::writeAll(root.filePath(f), "x"));
        }
        const QString exeDir = QFileInfo(root.filePath(files.first())).path();
        qputenv("VELQUIST_HOME", home.isEmpty() ? QByteArray() : root.filePath(home).toLocal8Bit());
        const QString dir = home.isEmpty() ? AppPaths::shippedDataDirFor(exeDir) : AppPaths::programDir();
        TestEnv::init();
        QCOMPARE(dir, QDir::cleanPath(root.filePath(expected)));
    }
};

int main(int argc, char** argv)
{
    TestEnv::init();
    QCoreApplication app(argc, argv);
    TestAppPaths tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_AppPaths.moc"
