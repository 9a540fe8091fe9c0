#include "tags/TfHTMLTags.h"

#include "app/AppInvoker.h"
#include "tags/HtmlTagList.h"

TfHTMLTags::TfHTMLTags(TagEngine& engine, QWidget* parent)
    : ChooserWindow(engine, tr("HTML Tags"), QStringLiteral("HTML Tags"), 0.50, parent)
{
    setObjectName(QStringLiteral("TfHTMLTags"));
    lstHTML = m_list;
    lstHTML->setObjectName(QStringLiteral("lstHTML"));
    // Several items may be selected; the one with the focus counts.
    lstHTML->setSelectionMode(QAbstractItemView::ExtendedSelection);
    const QString hint = tr("Double Click or Drag & Drop to Insert HTML Tag");
    lstHTML->setToolTip(hint);
    lstHTML->setStatusTip(hint);
    lstHTML->setItems(HtmlTagList::builtInTags());
    connect(lstHTML, &QTreeWidget::itemDoubleClicked, this,
            [this] { AppInvoker::run([this] { InsertHTML(); }); });
}

void TfHTMLTags::InsertHTML()
{
    const TagPair pair = HtmlTagList::tagPair(lstHTML->currentItemText());
    m_engine.setLastPair(pair.open, pair.close);
    m_engine.InsertTagPair(pair);
}

TagPair TfHTMLTags::dragPair(const QString& item) const
{
    return HtmlTagList::tagPair(item);
}
