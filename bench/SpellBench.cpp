// The spell checker's scan of a large page: every word of 1 MB of HTML
// checked, tags and entities skipped, through the editing control's lines.
//   velquist_bench spell
#include "bench/Bench.h"
#include "editor/TOvcTextFileEditor.h"
#include "spell/TAddictSpell.h"

#include <QFile>

namespace {

// About 1 MB of HTML whose text uses 20 000 different words of the
// dictionary, one word in 200 misspelt.
QString makePage()
{
    QStringList vocabulary;
    QFile dic(QStringLiteral("/usr/share/hunspell/en_US.dic"));
    if (dic.open(QIODevice::ReadOnly)) {
        dic.readLine();
        while (!dic.atEnd() && vocabulary.size() < 20000) {
            const QString w = QString::fromUtf8(dic.readLine()).section(QLatin1Char('/'), 0, 0).trimmed();
            if (w.size() > 2 && w.at(0).isLower())
                vocabulary << w;
        }
    }
    if (vocabulary.isEmpty())
        vocabulary << QStringLiteral("word");
    QString html = QStringLiteral("<HTML><HEAD><TITLE>Spelling</TITLE></HEAD><BODY>\n");
    int n = 0;
    while (html.size() < 1024 * 1024) {
        html += QStringLiteral("<P CLASS=\"text\">");
        for (int i = 0; i < 12; ++i, ++n) {
            html += vocabulary[(n * 7919) % vocabulary.size()];
            if (n % 200 == 0)
                html += QStringLiteral("qx");
            html += (i % 5 == 4) ? QStringLiteral(" &amp; ") : QStringLiteral(" ");
        }
        html += QStringLiteral("<A HREF=\"page.htm\">link</A>.</P>\n");
    }
    return html + QStringLiteral("</BODY></HTML>\n");
}

int run(const QStringList&)
{
    const QString page = makePage();
    TOvcTextFileEditor editor;
    editor.SetRawText(page);
    TAddictSpell spell(nullptr);
    Bench::Stopwatch load;
    if (!spell.ensureLoaded(nullptr))
        return 1;
    load.report(QStringLiteral("spell: load dictionary ") + spell.dictionaryName());
    Bench::Stopwatch watch;
    TAddictSpell::Position at;
    TAddictSpell::Found found;
    int misspelt = 0;
    auto lineAt = [&editor](int line) { return editor.LineText(line); };
    while (spell.nextMisspelt(lineAt, editor.LineCount(), at, found)) {
        ++misspelt;
        at.pos = found.start + int(found.word.size());
    }
    watch.report(QStringLiteral("spell: scan 1 MB"),
                 QStringLiteral("%1 lines, %2 words not in the dictionary").arg(editor.LineCount()).arg(misspelt));
    return 0;
}

} // namespace

VQ_BENCHMARK("spell", "spell check scan of 1 MB of HTML", run);
