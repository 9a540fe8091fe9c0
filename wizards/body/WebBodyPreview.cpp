#include "wizards/body/WebBodyPreview.h"

#include "app/AppError.h"
#include "app/UiPrompter.h"
#include "render/THTMLViewer.h"

#include <QChildEvent>
#include <QVBoxLayout>

BodyPreview* BodyPreview::create(QWidget* parent)
{
    return new WebBodyPreview(parent);
}

WebBodyPreview::WebBodyPreview(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

WebBodyPreview::~WebBodyPreview() = default;

void WebBodyPreview::showPage(const QString& html, const QString& folder)
{
    m_html = html;
    m_folder = folder;
    if (m_viewer)
        m_viewer->LoadFromString(m_html, m_folder);
}

void WebBodyPreview::noFocus(QWidget* w)
{
    w->setFocusPolicy(Qt::NoFocus);
    w->installEventFilter(this);
    for (QWidget* child : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        noFocus(child);
}

bool WebBodyPreview::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::ChildPolished)
        if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(e)->child()))
            if (child->focusPolicy() != Qt::NoFocus)
                noFocus(child);
    return QWidget::eventFilter(watched, e);
}

void WebBodyPreview::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (m_viewer)
        return;
    try {
        m_viewer.reset(createHTMLViewer(this));
    } catch (const EFileError& e) {
        UiPrompter::instance().message(this, e.message(), UiPrompter::Ok, UiPrompter::Critical);
        return;
    }
    // Links in the sample are for looking at, not for following.
    m_viewer->OnHotSpotClick = [](const QString&) { return true; };
    // Only a picture of the page: the keyboard passes it by, and by the
    // widgets the rendering control makes for itself later.
    noFocus(m_viewer->widget());
    layout()->addWidget(m_viewer->widget());
    if (!m_html.isEmpty())
        m_viewer->LoadFromString(m_html, m_folder);
}
