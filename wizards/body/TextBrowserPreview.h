#pragma once
// The preview pane drawn by the rich text browser. It knows no BODY colours
// of its own, so the tag's text and link colours are given to it as a style
// sheet; the page text itself is drawn as it is.
#include "wizards/body/BodyPreview.h"

#include <QTextBrowser>

class TextBrowserPreview : public QTextBrowser, public BodyPreview {
    Q_OBJECT
public:
    explicit TextBrowserPreview(QWidget* parent = nullptr);
    QWidget* widget() override { return this; }
    void showPage(const QString& html, const QString& folder) override;
};
