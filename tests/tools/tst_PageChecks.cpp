// The page checks: a table of small pages with the problems each must give
// (valid pages give none), link and fragment resolution over a small site,
// the site check, Tidy's diagnostics and repair, and the line comparison.
#include "TestEnv.h"

#include "tools/PageChecks.h"
#include "tools/ProblemsPanel.h"
#include "tools/SiteCheck.h"
#include "tools/TidyRunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace PageChecks;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// "Check line" for each problem, in order.
QStringList summary(const QList<Problem>& problems)
{
    QStringList out;
    for (const Problem& p : problems)
        out << checkKey(p.check) + u' ' + QString::number(p.line);
    return out;
}

Options ownChecks()
{
    Options o;
    o.setRuns(Tidy, false);
    return o;
}

} // namespace

class tst_PageChecks : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_site;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_site = m_dir.path() + QStringLiteral("/site");
        writeFile(m_site + "/img/logo.png", "png");
        writeFile(m_site + "/about.html", "<html><body><h1 id=\"team\">T</h1><a name=\"old\"></a></body></html>");
        // A page in Windows-1252 whose id holds a non-ASCII letter.
        writeFile(m_site + "/legacy.htm", "<p id=\"caf\xe9\">x</p>");
        writeFile(m_site + "/my file.html", "<p>x</p>");
        writeFile(m_site + "/sub/page.htm", "<p id=\"x\">x</p>");
        writeFile(m_dir.path() + "/outside.html", "<p>x</p>");
    }

    void pages_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("expected");
        const QString head = QStringLiteral("<!DOCTYPE html>\n<html><head><title>T</title></head><body>\n");
        const QString foot = QStringLiteral("\n</body></html>");
        auto row = [&](const char* name, const QString& body, const QStringList& expected) {
            QTest::newRow(name) << head + body + foot << expected;
        };
        row("valid page", "<h1>A</h1>\n<p>text<img src=\"img/logo.png\" alt=\"\"></p>", {});
        row("void elements and implied ends",
            "<p>a<p>b<ul><li>x<li>y</ul><br><hr/><img alt=x src=img/logo.png>\n"
            "<table><tr><td>1<td>2<tr><th>3</table><dl><dt>a<dd>b</dl><select><option>1<option>2</select></br>",
            {});
        row("markup inside scripts, styles and comments",
            "<script>if (a < b) document.write('<div>');</script>\n<style>p{}</style><!-- <div> --><textarea><b></textarea>",
            {});
        row("image without alt", "<p>\n<img src=\"img/logo.png\"></p>", {"Image Alt 4"});
        row("duplicate id", "<p id=\"a\">x</p>\n<p id=\"a\">y</p>", {"Duplicate Ids 4"});
        row("name and id of one anchor", "<a name=\"a\" id=\"a\"></a>", {});
        row("duplicate anchor name", "<a name=\"a\"></a>\n<div id=\"a\"></div>", {"Duplicate Ids 4"});
        row("heading skips a level", "<h2>a</h2>\n<h4>b</h4>", {"Heading Levels 4"});
        row("headings going back up", "<h1>a</h1><h2>b</h2><h3>c</h3><h2>d</h2><h3>e</h3>", {});
        row("element left open", "<div>\n<p>x", {"Open Elements 3"});
        row("closed out of order, said once", "<b><i>x</b></i>", {"Open Elements 3"});
        row("closing tag without opening", "text\n</span>", {"Open Elements 4"});
        row("paragraph closed twice", "<p>a<div>b</div></p>", {"Open Elements 3"});
        QTest::newRow("missing title") << QStringLiteral("<!DOCTYPE html>\n<html><body><p>x</p></body></html>")
                                       << QStringList{"Title 1"};
        QTest::newRow("empty title") << QStringLiteral("<html><head>\n<title> </title></head></html>")
                                     << QStringList{"Title 2"};
        QTest::newRow("a fragment needs no title") << QStringLiteral("<p>x</p>") << QStringList{};
        QTest::newRow("wizard page: legacy notes")
            << QStringLiteral("<HTML><HEAD><TITLE>T</TITLE></HEAD>\n<BODY BGCOLOR=\"#FFFFFF\">\n<CENTER><FONT "
                              "COLOR=\"red\">x</FONT></CENTER>\n</BODY></HTML>")
            << QStringList{"Legacy Markup 1", "Legacy Markup 2", "Legacy Markup 3", "Legacy Markup 3"};
    }

    void pages()
    {
        QFETCH(QString, page);
        QFETCH(QStringList, expected);
        FileFacts facts;
        QCOMPARE(summary(checkPage(page, m_site, ownChecks(), facts)), expected);
    }

    void links_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("broken");
        auto row = [](const char* name, const char* page, bool broken) {
            QTest::newRow(name) << QString::fromUtf8(page) << broken;
        };
        row("existing file", "<a href=\"about.html\">", false);
        row("missing file", "<a href=\"contact.html\">", true);
        row("letter case matters", "<img alt=\"\" src=\"img/Logo.png\">", true);
        row("query string", "<img alt=\"\" src=\"img/logo.png?v=2\">", false);
        row("entity in query", "<a href=\"about.html?a=1&amp;b=2#team\">", false);
        row("escaped blank", "<a href=\"my%20file.html\">", false);
        row("parent folder", "<a href=\"../outside.html\">", false);
        row("missing in parent folder", "<a href=\"../nothing.html\">", true);
        row("through a sub folder", "<a href=\"sub/../about.html\">", false);
        row("fragment in another page", "<a href=\"about.html#team\">", false);
        row("anchor name in another page", "<a href=\"about.html#old\">", false);
        row("missing fragment in another page", "<a href=\"about.html#nobody\">", true);
        row("fragment in a page of another encoding", "<a href=\"legacy.htm#caf%C3%A9\">", false);
        row("fragment in this page", "<p id=\"here\"></p><a href=\"#here\">", false);
        row("missing fragment in this page", "<a href=\"#gone\">", true);
        row("top of the page", "<a href=\"#top\">", false);
        row("srcset all there", "<img alt=\"\" srcset=\"img/logo.png 1x, img/logo.png?x=1 2x\">", false);
        row("srcset one missing", "<img alt=\"\" srcset=\"img/logo.png 1x,img/big.png 2x\">", true);
        row("css url present", "<div style=\"background: url('img/logo.png')\">", false);
        row("css url missing", "<div style=\"background:url(img/none.png)\">", true);
        row("style element url", "<style>body{background:url(\"img/gone.png\")}</style>", true);
        row("form action", "<form action=\"cgi/send.cgi\">", true);
        row("absolute address", "<a href=\"http://example.com/none.html\">", false);
        row("scheme-relative", "<script src=\"//cdn.example.com/x.js\"></script>", false);
        row("mail and script links", "<a href=\"mailto:a@b.c\"></a><a href=\"javascript:void(0)\">", false);
        row("site root link without root", "<a href=\"/none.html\">", false);
        row("base element", "<base href=\"http://example.com/\"><a href=\"none.html\">", false);
        row("template placeholder", "<a href=\"{{url}}\">", false);
        row("empty link", "<a href=\"\">", false);
    }

    void links()
    {
        QFETCH(QString, page);
        QFETCH(bool, broken);
        FileFacts facts;
        Options o = ownChecks();
        o.checks = (1u << MissingFile) | (1u << MissingFragment);
        const QList<Problem> found = checkPage(page, m_site, o, facts);
        QCOMPARE(found.size(), broken ? 1 : 0);
        if (broken)
            QCOMPARE(found[0].severity, Severity::Error);
        // An untitled page checks only its own fragments.
        const QList<Problem> untitled = checkPage(page, QString(), o, facts);
        QVERIFY(untitled.size() <= found.size());
    }

    void positionsAndOptions()
    {
        FileFacts facts;
        const QString page = QStringLiteral("<p>\n  <a href=\"gone.html\">x</a>\n<img src=a.png>");
        const QList<Problem> all = checkPage(page, m_site, ownChecks(), facts);
        QCOMPARE(all.size(), 3);  // the link, the image's file and its missing alt
        QCOMPARE(all[0].line, 2);
        QCOMPARE(all[0].column, 12);  // the address itself
        QCOMPARE(all[0].length, 9);
        Options o = ownChecks();
        o.setRuns(ImageAlt, false);
        o.setRuns(MissingFile, false);
        QVERIFY(checkPage(page, m_site, o, facts).isEmpty());
    }

    void fragmentsFollowTheTargetPage()
    {
        // The target's ids are remembered between checks only while it is unchanged.
        const QString target = m_site + QStringLiteral("/changing.html");
        writeFile(target, "<p id=\"a\">x</p>");
        const QString page = QStringLiteral("<a href=\"changing.html#b\">x</a>");
        Options o;
        o.checks = 1u << MissingFragment;
        FileFacts first;
        QCOMPARE(checkPage(page, m_site, o, first).size(), 1);
        writeFile(target, "<p id=\"b\">xy</p>");
        FileFacts second;
        QCOMPARE(checkPage(page, m_site, o, second).size(), 0);
    }

    void hugePageLeavesTidyOut()
    {
        // Over the limit Tidy is left out and the panel says why; the own checks still run.
        QString text = QStringLiteral("<p>some text in a paragraph</p>\n")
                           .repeated(int(ProblemsPanel::kTidyLimit / 30));
        text += QStringLiteral("<img src=\"a.png\" alt=\"a\">\n<div>");
        const ProblemsPanel::Outcome big = ProblemsPanel::runChecks(text, QString(), Options(), QString());
        QVERIFY(big.tidyNote.contains(QStringLiteral("8 MB")));
        QCOMPARE(summary(big.problems).join(u','), QStringLiteral("Open Elements %1").arg(text.count(u'\n') + 1));
        const ProblemsPanel::Outcome small = ProblemsPanel::runChecks(QStringLiteral("<div>"), QString(), Options(), QString());
        QVERIFY(small.tidyNote.isEmpty());
    }

    void siteCheck()
    {
        const QString site = m_dir.path() + QStringLiteral("/site2");
        writeFile(site + "/index.html",
                  "<!DOCTYPE html><html><head><title>Home</title></head><body>\n"
                  "<a href=\"docs/a.html#part\">a</a> <a href=\"docs/b.html\">b</a>\n"
                  "<a href=\"/docs/a.html#nopart\">c</a> <img src=\"pics/p.png\" alt=\"p\">\n"
                  "</body></html>");
        writeFile(site + "/docs/a.html",
                  "<!DOCTYPE html><html><head><title>A</title></head><body>\n"
                  "<h2 id=\"part\">x</h2><a href=\"../index.html\">home</a></body></html>");
        writeFile(site + "/.git/x.html", "<div>");
        const QStringList pages = SiteCheck::pagesUnder(site);
        QCOMPARE(pages, QStringList({site + "/docs/a.html", site + "/index.html"}));

        Options o = ownChecks();
        SiteCheck::Progress progress;
        const SiteCheck::Result r = SiteCheck::run(pages, site, o, QString(), &progress, 2);
        QVERIFY(!r.cancelled);
        QCOMPARE(progress.done.load(), 4);
        QCOMPARE(r.files.size(), 2);
        QCOMPARE(r.links, 5);
        QVERIFY(r.files[0].problems.isEmpty());
        QCOMPARE(summary(r.files[1].problems),
                 QStringList({"Missing Files 2", "Missing Fragments 3", "Missing Files 3"}));

        const QString csv = SiteCheck::reportCsv(r);
        QCOMPARE(csv.count(QStringLiteral("\r\n")), 4);
        QVERIFY(csv.contains(QStringLiteral("index.html,2,")));
        QVERIFY(SiteCheck::reportHtml(r).contains(QStringLiteral("No id &quot;nopart&quot;")));

        // A project's pages: relative items from the project's folder, other files left out.
        writeFile(site + "/site.vpr", "My site\r\nindex.html\r\n\tpics/p.png\r\n" + site.toUtf8()
                                          + "/docs/a.html\r\ngone.html\r\n");
        QString error;
        QCOMPARE(SiteCheck::pagesOfProject(site + "/site.vpr", &error),
                 QStringList({site + "/index.html", site + "/docs/a.html"}));
        QVERIFY(error.isEmpty());

        SiteCheck::Progress stop;
        stop.cancel = true;
        QVERIFY(SiteCheck::run(pages, site, o, QString(), &stop).cancelled);
    }

    void tidyDiagnostics()
    {
        QVERIFY(TidyRunner::version().startsWith(QStringLiteral("5.")));
        const QString valid = QStringLiteral(
            "<!DOCTYPE html>\n<html>\n<head>\n<title>T</title>\n</head>\n<body>\n<p>x</p>\n</body>\n</html>\n");
        Options ours;
        TidyRunner::Diagnostics d = TidyRunner::diagnose(valid, ours);
        QVERIFY(d.ok);
        QVERIFY2(d.problems.isEmpty(), qPrintable(d.problems.value(0).message));

        const QString faulty = QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<title>T</title>\n</head>\n<body>\n"
                                              "<p>x<center>y</center>\n\t<foo>z</foo></p>\n</body>\n</html>\n");
        d = TidyRunner::diagnose(faulty, ours);
        QVERIFY(d.ok);
        bool unknown = false, legacyDropped = true;
        for (const Problem& p : d.problems) {
            QCOMPARE(p.check, Tidy);
            if (p.message.contains(QStringLiteral("foo")) && p.severity == Severity::Error) {
                unknown = true;
                QCOMPARE(p.line, 8);
                QCOMPARE(p.column, 2);  // a tab is one column
            }
            if (p.message.contains(QStringLiteral("center")) && p.severity == Severity::Legacy)
                legacyDropped = false;
        }
        QVERIFY(unknown);
        QVERIFY(legacyDropped);  // our own legacy check says it already
        // A piece of a page: nothing about what a whole page would add.
        d = TidyRunner::diagnose(QStringLiteral("<p>a <b>b</b></p>\n<ul><li>x</li></ul>"), ours);
        QVERIFY2(d.problems.isEmpty(), qPrintable(d.problems.value(0).message));

        // Tidy's own notes on HTML 4 markup go with the legacy check.
        const QString summary = QStringLiteral("<!DOCTYPE html>\n<html><head><title>T</title></head><body>\n"
                                               "<table summary=\"s\"><tr><td>x</td></tr></table></body></html>");
        auto legacyNotes = [&summary](const Options& o) {
            const QList<Problem> found = TidyRunner::diagnose(summary, o).problems;
            return std::count_if(found.cbegin(), found.cend(),
                                 [](const Problem& p) { return p.severity == Severity::Legacy; });
        };
        QCOMPARE(legacyNotes(ours), 1);
        ours.setRuns(Legacy, false);
        QCOMPARE(legacyNotes(ours), 0);

        // A page as the wizards write it: HTML 4, legacy notes only, each said once.
        const QString wizard = QStringLiteral(
            "<HTML><HEAD><TITLE>x</TITLE></HEAD><BODY BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\">\n"
            "<CENTER><FONT FACE=\"Arial\" SIZE=\"+2\">Hi</FONT></CENTER>\n"
            "<TABLE BORDER=1 WIDTH=\"100%\"><TR><TD ALIGN=CENTER BGCOLOR=\"#C0C0C0\">x</TD></TR></TABLE>\n"
            "<IMG SRC=\"a.gif\" ALT=\"a\" BORDER=0><MARQUEE>hi</MARQUEE></BODY></HTML>");
        FileFacts facts;
        QList<Problem> all = checkPage(wizard, QString(), Options(), facts);
        all += TidyRunner::diagnose(wizard, Options()).problems;
        QStringList said;
        for (const Problem& p : all) {
            QVERIFY2(p.severity == Severity::Legacy, qPrintable(p.message));
            said << p.message.toLower();
        }
        QCOMPARE(said.filter(QStringLiteral("bgcolor")).size(), 2);  // <body>, <td>
        QCOMPARE(said.filter(QStringLiteral("center")).size(), 1);
        QCOMPARE(said.filter(QStringLiteral("marquee")).size(), 1);
    }

    void tidyCleanUp_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("upper");
        QTest::addColumn<QString>("expected");
        QTest::newRow("repair, small letters") << "<P>a<B>b</P>" << false << "<p>a<b>b</b></p>\n";
        QTest::newRow("capitals") << "<p>a<b>b</p>" << true << "<P>a<B>b</B></P>\n";
        const QString longLine = QStringLiteral("<p>") + QString(40, u'w').append(u' ').repeated(20).trimmed() + "</p>";
        QTest::newRow("no wrapping") << longLine << false << longLine + "\n";
        QTest::newRow("entities kept") << "<p>caf&eacute; &amp; &nbsp;x &#8364;</p>" << false
                                       << "<p>caf&eacute; &amp; &nbsp;x &#8364;</p>\n";
    }

    void tidyCleanUp()
    {
        QFETCH(QString, input);
        QFETCH(bool, upper);
        QFETCH(QString, expected);
        QString error;
        QVERIFY(TidyRunner::ensureOptionsFile(&error));
        QVERIFY(QFile::exists(TidyRunner::optionsPath()));
        QVERIFY(TidyRunner::optionsPath().startsWith(TestEnv::settingsDir()));
        const TidyRunner::Cleaned c = TidyRunner::cleanUp(input, true, upper, TidyRunner::optionsPath());
        QVERIFY2(c.ok, qPrintable(c.error));
        QCOMPARE(c.text, expected);
    }

    void tidyOptionsFileFaults()
    {
        // A wrong line in the user's options file is told; the work goes on.
        const QString config = m_dir.path() + QStringLiteral("/bad.cfg");
        writeFile(config, "bogus-option: 3\nindent: no\n");
        const TidyRunner::Cleaned c = TidyRunner::cleanUp(QStringLiteral("<p>a"), true, false, config);
        QVERIFY(c.ok);
        QVERIFY(c.text.startsWith(QStringLiteral("<p>a</p>\n")));
        QCOMPARE(c.configNotes, QStringList{QStringLiteral("unknown option: bogus-option")});
        const TidyRunner::Diagnostics d = TidyRunner::diagnose(QStringLiteral("<p>a</p>"), Options(), config);
        QVERIFY(d.ok);
        QCOMPARE(d.configNotes.size(), 1);
    }

    void diff_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("expected");  // " " same, "-" removed, "+" added
        QTest::newRow("same") << "a\nb" << "a\nb" << " a| b";
        QTest::newRow("changed line") << "a\nb\nc" << "a\nB\nc" << " a|-b|+B| c";
        QTest::newRow("added and removed") << "a\nb\nc\nd" << "x\na\nc\nd\ne" << "+x| a|-b| c| d|+e";
        QTest::newRow("all new") << "a" << "b\nc" << "-a|+b|+c";
        QTest::newRow("from nothing") << "" << "a" << "- |+a";
    }

    void diff()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(QString, expected);
        const QList<TidyRunner::DiffLine> lines = TidyRunner::diffLines(before.split(u'\n'), after.split(u'\n'));
        QStringList shown;
        int oldLine = 0, newLine = 0;
        for (const TidyRunner::DiffLine& l : lines) {
            const char mark = l.kind == TidyRunner::DiffLine::Same ? ' ' : l.kind == TidyRunner::DiffLine::Removed ? '-' : '+';
            shown << QLatin1Char(mark) + (l.text.isEmpty() && mark == '-' ? QStringLiteral(" ") : l.text);
            if (l.kind != TidyRunner::DiffLine::Added)
                QCOMPARE(l.oldLine, ++oldLine);
            if (l.kind != TidyRunner::DiffLine::Removed)
                QCOMPARE(l.newLine, ++newLine);
        }
        QCOMPARE(shown.join(u'|'), expected);
    }
};

int main(int argc, char** argv)
{
    TestEnv::init();
    QCoreApplication app(argc, argv);
    tst_PageChecks t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_PageChecks.moc"
