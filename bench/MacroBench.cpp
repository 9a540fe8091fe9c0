// Timing of "&Expand Macros Now !" on a large page, as the user runs it.
//   velquist_bench macros      1 MB page holding 26 000 keys, half of them defined,
//                              in lines and on one line
#include "bench/Bench.h"

#include "app/ListFile.h"
#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "reuse/ReuseModule.h"
#include "app/UiPrompter.h"
#include "editor/TOvcTextFileEditor.h"
#include "reuse/TfMacros.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

// Answers every box at once and remembers the last text.
class QuietPrompter : public UiPrompter {
public:
    QString last;
    int message(QWidget*, const QString& text, int, Icon, const QString&) override { last = text; return Ok; }
    QStringList openFileNames(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    bool inputText(QWidget*, const QString&, const QString&, QString&) override { return false; }
    bool chooseColor(QWidget*, QColor&) override { return false; }
    bool chooseFont(QWidget*, QFont&, bool) override { return false; }
    void beep() override {}
};

int macroBench(const QStringList&)
{
    QTemporaryDir dir;
    const auto [home, config] = Bench::useFolders(dir.path());
    Bench::writeFile(config + QStringLiteral("/VELQUIST.INI"), "[System]\r\nOpen Template=0\r\n");
    QStringList user;
    for (int i = 0; i < 50; ++i)
        user << QStringLiteral("[KEY%1]\tThe expansion of macro number %1").arg(i);
    ListFile::write(home + QStringLiteral("/user.mcr"), user);

    // 1 MB of HTML with 26 000 keys spread over it: every other one defined.
    QByteArray page;
    const QByteArray body = Bench::makeHtml();
    page.reserve(1100 * 1024);
    int keys = 0;
    qsizetype at = 0;
    while (page.size() < 1024 * 1024) {
        const qsizetype end = body.indexOf("\r\n", at) + 2;
        page += body.mid(at, end - at);
        at = end;
        while (keys < 26000 && page.size() > (keys + 1) * 40) {
            page += (keys % 2 ? "<P>[unknown" : "<P>[key") + QByteArray::number(keys % 50) + "] text</P>\r\n";
            ++keys;
        }
    }
    QuietPrompter prompter;
    UiPrompter::setInstance(&prompter);
    TmdiMain main;
    main.resize(1024, 768);
    main.show();
    Bench::settle();
    // The page as it is, and the same on one line.
    for (const bool oneLine : {false, true}) {
        const QString file = dir.filePath(oneLine ? QStringLiteral("line.htm") : QStringLiteral("page.htm"));
        Bench::writeFile(file, oneLine ? QByteArray(page).replace("\r\n", " ") : page);
        main.OpenDocumentFile(file);
        Bench::settle();
        TOvcTextFileEditor* ed = main.activeDocument()->txtHTML;
        // The count message is answered at once so only the scan is timed.
        Bench::Stopwatch t;
        main.module<ReuseModule>().macrosDialog()->ExpandMacrosNow(main);
        t.report(QStringLiteral("expand %1 keys in a %2 KB page%3")
                     .arg(keys)
                     .arg(page.size() / 1024)
                     .arg(oneLine ? QStringLiteral(" on one line") : QString()),
                 QStringLiteral("target < 1000"));
        Bench::report(QStringLiteral("page size after"), double(ed->TextSize()) / 1024, QStringLiteral("KB"));
        t.restart();
        ed->UndoStep();
        t.report(QStringLiteral("undo the last expansion"), QStringLiteral("target < 50"));
        Bench::report(QStringLiteral("message: ") + prompter.last, 0, QString());
        for (TfHTML* doc : main.documents())
            doc->approveClose();
        main.CloseAll1Click();
        Bench::settle();
    }
    UiPrompter::setInstance(nullptr);
    return 0;
}

} // namespace

VQ_BENCHMARK("macros", "Expand Macros Now: 26 000 keys in a 1 MB page", macroBench);
