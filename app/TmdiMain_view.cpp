// The main frame's status panel sizing and editor colours command.
#include "app/AppSettings.h"
#include "app/TfColor.h"
#include "app/TmdiMain.h"

#include <QEvent>
#include <QLabel>
#include <QStatusBar>
#include <algorithm>

namespace {

const QString kSizerName = QStringLiteral("PanelSizer");

// Runs AdjustControls whenever the panels' row changes size or a panel's
// text asks for more room.
class PanelSizer : public QObject {
public:
    PanelSizer(TmdiMain& main, QWidget* row) : QObject(row), m_main(main)
    {
        setObjectName(kSizerName);
        row->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Resize || e->type() == QEvent::LayoutRequest)
            m_main.AdjustControls();
        return false;
    }

private:
    TmdiMain& m_main;
};

} // namespace

void TmdiMain::AdjustControls()
{
    QWidget* panel1 = statusBar()->findChild<QWidget*>(QStringLiteral("Panel1"));
    if (!panel1)
        return;
    if (!panel1->findChild<QObject*>(kSizerName, Qt::FindDirectChildrenOnly))
        new PanelSizer(*this, panel1);
    const int height = panel1->height();
    int x = 0;
    for (QLabel* l : {StatusLine, pnlMode, pnlPos, pnlSize, pnlFormat, pnlApp}) {
        // At least the designed width; a longer text widens its panel rather than being cut.
        const int w = std::max(l->property("designWidth").toInt(), l->sizeHint().width());
        l->setGeometry(x, 0, w, height);
        x += w;
    }
    // The last panel reaches the right edge, when it starts inside the row;
    // otherwise it keeps its width.
    const int bevel = 1;
    int width = pnlTag->width() > 0 && pnlTag->property("sized").toBool() ? pnlTag->width()
                                                                           : pnlTag->property("designWidth").toInt();
    if (x < panel1->width())
        width = std::max(0, panel1->width() - x - 2 * bevel);
    pnlTag->setGeometry(x, 0, width, height);
    pnlTag->setProperty("sized", true);
}

void TmdiMain::SetEditorColors1Click()
{
    SetStatusText(QStringLiteral("Loading Color Dialog ..."));
    editorColorsDialog()->exec();
    SetStatusText(AppSettings::kReady);
}
