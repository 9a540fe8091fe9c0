#include "tags/TfSymbol.h"

#include "app/AppInvoker.h"
#include "tags/HtmlTagList.h"

#include <QDateTime>
#include <QEvent>
#include <QFileInfo>

TfSymbol::TfSymbol(TagEngine& engine, QWidget* parent)
    : ChooserWindow(engine, tr("Symbols"), QStringLiteral("Symbols"), 0.30, parent)
{
    setObjectName(QStringLiteral("TfSymbol"));
    lSym = m_list;
    lSym->setObjectName(QStringLiteral("lSym"));
    lSym->setSelectionMode(QAbstractItemView::SingleSelection);
    const QString hint = tr("Double Click or Drag & Drop to Insert Symbol");
    lSym->setToolTip(hint);
    lSym->setStatusTip(hint);
    lSym->setItems(HtmlTagList::builtInSymbols());
    connect(lSym, &QTreeWidget::itemDoubleClicked, this,
            [this] { AppInvoker::run([this] { lSymDblClick(); }); });
}

void TfSymbol::LoadSymbols()
{
    // Only a changed file rebuilds the list: rebuilding on the click that
    // activates this window would destroy the item under the pointer.
    const QString name = HtmlTagList::symbolFileName();
    const QFileInfo info(name);
    const QString stamp = info.exists()
        ? name + QLatin1Char('|') + QString::number(info.size()) + QLatin1Char('|')
              + QString::number(info.lastModified().toMSecsSinceEpoch())
        : QString();
    if (!m_loadedStamp.isNull() && stamp == m_loadedStamp)
        return;
    QStringList items;
    if (HtmlTagList::readSymbolFile(name, items))
        lSym->setItems(items);
    m_loadedStamp = stamp;
}

void TfSymbol::lSymDblClick()
{
    m_engine.InsertTagPair(HtmlTagList::symbolPair(lSym->currentItemText()));
}

bool TfSymbol::event(QEvent* e)
{
    // Edits to the symbol file show the next time the user comes back here.
    if (e->type() == QEvent::WindowActivate)
        AppInvoker::run([this] { LoadSymbols(); });
    return ChooserWindow::event(e);
}

TagPair TfSymbol::dragPair(const QString& item) const
{
    return HtmlTagList::symbolPair(item);
}
