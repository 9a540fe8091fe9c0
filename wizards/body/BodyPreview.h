#pragma once
// The body wizard's preview pane: draws a page made from HTML text, with its
// images. Any rendering control can stand behind it; the wizard only hands
// it the text.
#include <QString>

class QWidget;

class BodyPreview {
public:
    virtual ~BodyPreview() = default;
    virtual QWidget* widget() = 0;
    // Draws the page; relative image names are looked up in folder.
    virtual void showPage(const QString& html, const QString& folder) = 0;
    // Makes the pane used by the body wizard.
    static BodyPreview* create(QWidget* parent);
};
