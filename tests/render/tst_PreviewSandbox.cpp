// A previewed page is a sandbox: it reads the files of its site and nothing
// else, and no request of any kind leaves the machine.
#include "TestEnv.h"

#include "render/THTMLViewer.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

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
};

VQ_TEST_MAIN(tst_PreviewSandbox)
#include "tst_PreviewSandbox.moc"
