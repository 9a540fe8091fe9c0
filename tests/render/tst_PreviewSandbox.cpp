// A previewed page is a sandbox: it reads the files of its site and nothing
// else, and no request of any kind leaves the machine.
#include "TestEnv.h"

#include "render/THTMLViewer.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

namespace {
struct ShownViewer {
    QWidget window;
    std::unique_ptr<THTMLViewer> viewer;
    QStringList told;
    ShownViewer()
    {
        auto* layout = new QVBoxLayout(&window);
        viewer.reset(createHTMLViewer(&window));
        layout->addWidget(viewer->widget());
        window.show();
        viewer->OnStatus = [this](const QString& text) { told << text; };
    }
};
}

class tst_PreviewSandbox : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { TestEnv::init(); }

    void pageReadsOnlyItsSite()
    {
        // Anything that reaches this server has left the preview.
        QTcpServer outside;
        QVERIFY(outside.listen(QHostAddress::LocalHost));
        int reached = 0;
        connect(&outside, &QTcpServer::newConnection, this, [&] {
            while (QTcpSocket* s = outside.nextPendingConnection()) {
                ++reached;
                s->close();
            }
        });
        const QString net = QStringLiteral("http://127.0.0.1:%1/").arg(outside.serverPort());

        const QString site = TestEnv::workDir() + QStringLiteral("/sandbox");
        QDir().mkpath(site + QStringLiteral("/sub"));
        QVERIFY(TestEnv::writeAll(site + QStringLiteral("/ok.txt"), "fine"));
        QVERIFY(TestEnv::writeAll(site + QStringLiteral("/.secret.txt"), "hidden"));
        QFile::remove(site + QStringLiteral("/link.txt"));
        QVERIFY(QFile::link(QStringLiteral("/etc/passwd"), site + QStringLiteral("/link.txt")));
        const QString script = QStringLiteral(R"(
var out = {}, net = '%1';
function tryFetch(k, u) {
  return new Promise(function(done) {
    var x = new XMLHttpRequest();
    x.onload = function() { out[k] = x.status === 0 || x.status === 200 ? 'read' : 'blocked'; done(); };
    x.onerror = function() { out[k] = 'blocked'; done(); };
    try { x.open('GET', u); x.send(); } catch (e) { out[k] = 'blocked'; done(); }
  });
}
var tries = [tryFetch('site', 'sub/../ok.txt'), tryFetch('abs', 'vqpreview:/etc/passwd'),
  tryFetch('file', 'file:///etc/passwd'), tryFetch('dot', '.secret.txt'), tryFetch('folder', './'),
  tryFetch('link', 'link.txt'), tryFetch('net', net + 'fetch')];
try { var x = new XMLHttpRequest(); x.open('GET', net + 'xhr'); x.send(); } catch (e) {}
new Image().src = net + 'img';
try { new WebSocket(net.replace('http', 'ws') + 'ws'); } catch (e) {}
try { new EventSource(net + 'events'); } catch (e) {}
try { navigator.sendBeacon(net + 'beacon', 'x'); } catch (e) {}
try { window.open(net + 'window'); } catch (e) {}
var f = document.createElement('iframe'); f.src = net + 'frame'; document.body.appendChild(f);
var m = document.createElement('iframe');
m.srcdoc = '<meta http-equiv="refresh" content="0;url=' + net + 'refresh">'; document.body.appendChild(m);
var form = document.createElement('form'); form.method = 'post'; form.action = net + 'form';
form.target = 'sink'; var sink = document.createElement('iframe'); sink.name = 'sink';
document.body.appendChild(sink); document.body.appendChild(form); form.submit();
Promise.all(tries).then(function() {
  setTimeout(function() { document.title = JSON.stringify(out); }, 1500);
});
)").arg(net);
        QVERIFY(TestEnv::writeAll(site + QStringLiteral("/page.htm"),
                                  ("<html><body><p>page</p><script>" + script + "</script></body></html>").toUtf8()));

        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        std::unique_ptr<THTMLViewer> viewer(createHTMLViewer(&window));
        layout->addWidget(viewer->widget());
        window.resize(400, 300);
        window.show();
        viewer->LoadFromFile(site + QStringLiteral("/page.htm"));
        QTRY_VERIFY_WITH_TIMEOUT(viewer->DocumentTitle().startsWith(QLatin1Char('{')), 20000);
        const QJsonObject out = QJsonDocument::fromJson(viewer->DocumentTitle().toUtf8()).object();
        QCOMPARE(out.value(QStringLiteral("site")).toString(), QStringLiteral("read"));
        for (const char* k : {"abs", "file", "dot", "folder", "link", "net"})
            QVERIFY2(out.value(QLatin1String(k)).toString() == QLatin1String("blocked"), k);
        QTest::qWait(500);
        QCOMPARE(reached, 0);
    }

    // A page whose script never ends is stopped after the limit, the user is
    // told, and the next page loads.
    void endlessPageIsStopped()
    {
        const QString site = TestEnv::workDir() + QStringLiteral("/endless");
        QDir().mkpath(site);
        QVERIFY(TestEnv::writeAll(site + QStringLiteral("/loop.htm"),
                                  "<html><head><title>loop</title></head><body><script>for(;;){}</script></body></html>"));
        QVERIFY(TestEnv::writeAll(site + QStringLiteral("/good.htm"),
                                  "<html><head><title>good</title></head><body>good</body></html>"));
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        std::unique_ptr<THTMLViewer> viewer(createHTMLViewer(&window));
        layout->addWidget(viewer->widget());
        window.show();
        QStringList told;
        viewer->OnStatus = [&](const QString& text) { told << text; };
        viewer->LoadLimitMs = 1500;
        viewer->LoadFromFile(site + QStringLiteral("/loop.htm"));
        QTRY_VERIFY_WITH_TIMEOUT(!told.isEmpty(), 10000);
        QVERIFY(told.first().contains(QLatin1String("did not finish loading")));
        QVERIFY(!viewer->IsLoading());
        viewer->LoadFromFile(site + QStringLiteral("/good.htm"));
        QTRY_COMPARE_WITH_TIMEOUT(viewer->DocumentTitle(), QStringLiteral("good"), 10000);
    }

    // A script's message box shows with the page's title when the user
    // loads the page; after a quiet reload (the preview following typing)
    // it is only told in the status line.
    void scriptDialogs()
    {
        const QString site = TestEnv::workDir() + QStringLiteral("/dialogs");
        QDir().mkpath(site);
        QVERIFY(TestEnv::writeAll(site + QStringLiteral("/alert.htm"),
                                  "<html><head><title>Alerting</title></head><body>"
                                  "<script>alert('hello there')</script></body></html>"));
        ShownViewer v;
        QStringList boxes;  // the titles of the boxes shown, each closed at once
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                boxes << box->windowTitle();
                box->close();
            }
        });
        closer.start(50);
        v.viewer->LoadFromFile(site + QStringLiteral("/alert.htm"));
        QTRY_COMPARE_WITH_TIMEOUT(boxes.size(), 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!v.viewer->IsLoading(), 10000);
        QCOMPARE(boxes.first(), QStringLiteral("Alerting"));
        v.viewer->Reload(true);
        QTRY_VERIFY_WITH_TIMEOUT(!v.told.isEmpty(), 10000);
        QVERIFY(v.told.first().contains(QLatin1String("hello there")));
        QTest::qWait(300);
        QCOMPARE(boxes.size(), 1);
    }

    // A link the user follows is told as the page wrote it.
    void linksAsWritten_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("told");
        QTest::newRow("up a folder") << int(Qt::Key_A) << "../up.htm";
        QTest::newRow("mail, as cased") << int(Qt::Key_B) << "MailTo:someone@example.org";
        QTest::newRow("within the page") << int(Qt::Key_C) << "#end";
    }
    void linksAsWritten()
    {
        QFETCH(int, key);
        QFETCH(QString, told);
        const QString site = TestEnv::workDir() + QStringLiteral("/written");
        QDir().mkpath(site + QStringLiteral("/sub"));
        QVERIFY(TestEnv::writeAll(site + QStringLiteral("/up.htm"), "<title>up</title>"));
        QVERIFY(TestEnv::writeAll(site + QStringLiteral("/sub/page.htm"),
                                  "<html><head><title>Links</title></head><body><a id=a href='../up.htm'>a</a>"
                                  "<a id=b href='MailTo:someone@example.org'>b</a><a id=c href='#end'>c</a>"
                                  "<p id=end>end</p><script>document.onkeydown=function(e){"
                                  "document.getElementById(e.key).click()}</script></body></html>"));
        ShownViewer v;
        QStringList clicked;
        v.viewer->OnHotSpotClick = [&](const QString& link) {
            clicked << link;
            return true;
        };
        v.viewer->LoadFromFile(site + QStringLiteral("/sub/page.htm"));
        QTRY_COMPARE_WITH_TIMEOUT(v.viewer->DocumentTitle(), QStringLiteral("Links"), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!v.viewer->IsLoading(), 10000);
        QWidget* input = v.viewer->widget()->focusProxy() ? v.viewer->widget()->focusProxy() : v.viewer->widget();
        input->setFocus();
        QTest::keyClick(input, Qt::Key(key));
        QTRY_VERIFY_WITH_TIMEOUT(!clicked.isEmpty(), 10000);
        QCOMPARE(clicked.first(), told);
    }

    // "Show images" off hides the images a page shows already.
    void imagesOffHidesShownImages()
    {
        const QString site = TestEnv::workDir() + QStringLiteral("/images");
        QDir().mkpath(site);
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(site + QStringLiteral("/red.png")));
        QVERIFY(TestEnv::writeAll(site + QStringLiteral("/page.htm"),
                                  "<html><head><title>start</title></head><body><img id=i src='red.png'>"
                                  "<script>setInterval(function(){document.title="
                                  "getComputedStyle(document.getElementById('i')).visibility},50)</script>"
                                  "</body></html>"));
        ShownViewer v;
        v.viewer->LoadFromFile(site + QStringLiteral("/page.htm"));
        QTRY_COMPARE_WITH_TIMEOUT(v.viewer->DocumentTitle(), QStringLiteral("visible"), 10000);
        v.viewer->SetViewImages(false);
        QTRY_COMPARE_WITH_TIMEOUT(v.viewer->DocumentTitle(), QStringLiteral("hidden"), 5000);
        QVERIFY(!v.viewer->ViewImages());
        v.viewer->SetViewImages(true);
        QTRY_COMPARE_WITH_TIMEOUT(v.viewer->DocumentTitle(), QStringLiteral("visible"), 5000);
    }

    // A link the user follows to a missing file leaves the page and its
    // history alone; a page that cannot be shown gets the program's own
    // error page. The internal address shows in neither.
    void missingFiles()
    {
        const QString site = TestEnv::workDir() + QStringLiteral("/missing");
        QDir().mkpath(site);
        QVERIFY(TestEnv::writeAll(site + QStringLiteral("/links.htm"),
                                  "<html><head><title>Links</title></head><body><a id=a href='gone.htm'>gone</a>"
                                  "<script>document.onkeydown=function(){document.getElementById('a').click()}"
                                  "</script></body></html>"));
        ShownViewer v;
        v.viewer->LoadFromFile(site + QStringLiteral("/links.htm"));
        QTRY_COMPARE_WITH_TIMEOUT(v.viewer->DocumentTitle(), QStringLiteral("Links"), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!v.viewer->IsLoading(), 10000);
        QWidget* input = v.viewer->widget()->focusProxy() ? v.viewer->widget()->focusProxy() : v.viewer->widget();
        input->setFocus();
        QTest::keyClick(input, Qt::Key_A);
        QTRY_VERIFY_WITH_TIMEOUT(!v.told.isEmpty(), 10000);
        QCOMPARE(v.told.first(), QStringLiteral("Unable to open ") + site + QStringLiteral("/gone.htm: no such file."));
        QCOMPARE(v.viewer->History(), QStringList{QStringLiteral("Links")});
        QTRY_COMPARE_WITH_TIMEOUT(v.viewer->DocumentTitle(), QStringLiteral("Links"), 3000);

        v.told.clear();
        v.viewer->LoadFromFile(site + QStringLiteral("/never.htm"));
        QTRY_VERIFY_WITH_TIMEOUT(!v.told.isEmpty(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!v.viewer->IsLoading(), 10000);
        QCOMPARE(v.viewer->History(), QStringList{QStringLiteral("Links")});
        QVERIFY2(!v.viewer->DocumentTitle().contains(QLatin1String("vqpreview")), qPrintable(v.viewer->DocumentTitle()));
        QVERIFY(v.viewer->DocumentTitle().endsWith(QLatin1String("never.htm")));
    }
};

VQ_TEST_MAIN(tst_PreviewSandbox)
#include "tst_PreviewSandbox.moc"
