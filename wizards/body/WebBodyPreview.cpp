#include "wizards/body/WebBodyPreview.h"

#include "app/AppError.h"
#include "app/UiPrompter.h"
#include "render/THTMLViewer.h"

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
    layout()->addWidget(m_viewer->widget());
    if (!m_html.isEmpty())
        m_viewer->LoadFromString(m_html, m_folder);
}
