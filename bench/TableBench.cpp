// Timings of the table wizard with a table of 200 rows and 20 columns.
//   velquist_bench table        generate and paste, save and load the table file
#include "bench/Bench.h"

#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "wizards/WizardsModule.h"
#include "editor/TOvcTextFileEditor.h"
#include "wizards/table/TfTableWiz.h"
#include "wizards/table/tHTMLStringGrid.h"

#include <QDir>
#include <QSpinBox>
#include <QTemporaryDir>

namespace {

int tableBench(const QStringList&)
{
    QTemporaryDir dir;
    const auto [home, config] = Bench::useFolders(dir.path());
    Bench::writeFile(config + QStringLiteral("/VELQUIST.INI"), "[System]\nOpen Template=0\n");
    Bench::writeFile(home + QStringLiteral("/standard.tpl"), "<html>\r\n<body>\r\n</body>\r\n</html>\r\n");

    TmdiMain main;
    main.resize(1024, 768);
    main.show();
    main.FileNew();
    Bench::settle();

    TfTableWiz* w = main.module<WizardsModule>().tableWizard();
    w->spnRows->setValue(200);
    w->spnCols->setValue(20);
    tHTMLStringGrid* grid = w->grdTable;
    for (int r = 0; r < 200; ++r)
        for (int c = 0; c < 20; ++c)
            grid->setCellText(c, r, QStringLiteral("Cell %1, %2 with some text").arg(c).arg(r));
    main.run(QStringLiteral("TableWizard1Click"));
    Bench::settle();

    Bench::Stopwatch t;
    w->SaveHTMLClick();
    main.activeDocument()->repaint();
    Bench::settle();
    t.report(QStringLiteral("generate and paste 200 x 20 until painted and idle"), QStringLiteral("target < 200"));

    const QString file = dir.filePath(QStringLiteral("big.vtb"));
    grid->FileName = file;
    t.restart();
    grid->SaveToFile(file);
    t.report(QStringLiteral("save 200 x 20 .vtb"), QStringLiteral("target < 100"));
    t.restart();
    grid->SaveToFile(file);
    t.report(QStringLiteral("save 200 x 20 .vtb over the old one (backup)"), QStringLiteral("target < 100"));
    grid->clearText();
    t.restart();
    grid->LoadFromFile(file);
    t.report(QStringLiteral("load 200 x 20 .vtb"), QStringLiteral("target < 100"));

    grid->FileName.clear();
    for (TfHTML* doc : main.documents())
        doc->approveClose();
    return 0;
}

} // namespace

VQ_BENCHMARK("table", "table wizard: generate and paste 200 x 20, save and load its .vtb", tableBench);
