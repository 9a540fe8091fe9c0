#include "wizards/body/TextBrowserPreview.h"

#include <QRegularExpression>

BodyPreview* BodyPreview::create(QWidget* parent)
{
    return new TextBrowserPreview(parent);
}

TextBrowserPreview::TextBrowserPreview(QWidget* parent) : QTextBrowser(parent)
{
    setOpenLinks(false);
    setOpenExternalLinks(false);
}

void TextBrowserPreview::showPage(const QString& html, const QString& folder)
{
    // TEXT, LINK and ALINK of the BODY tag, as the browser's style sheet.
    auto attribute = [&html](const char* name) {
        const QRegularExpression re(QStringLiteral("<BODY[^>]*\\s%1=\"([^\"]*)\"").arg(QLatin1String(name)),
                                    QRegularExpression::CaseInsensitiveOption);
        return re.match(html).captured(1);
    };
    QString css;
    const QString text = attribute("TEXT");
    const QString link = attribute("LINK");
    if (!text.isEmpty())
        css += QStringLiteral("body { color: %1; } ").arg(text);
    if (!link.isEmpty())
        css += QStringLiteral("a { color: %1; } ").arg(link);
    document()->setDefaultStyleSheet(css);
    setSearchPaths({folder});
    setHtml(html);
}
