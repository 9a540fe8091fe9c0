#pragma once
// The preview pane on the program's rendering control, which draws the BODY
// tag's colours, links and background image as a browser does. The web
// engine behind it starts when the pane is first shown, not when the wizard
// is made at start-up.
#include "wizards/body/BodyPreview.h"

#include <QString>
#include <QWidget>
#include <memory>

class THTMLViewer;

class WebBodyPreview : public QWidget, public BodyPreview {
    Q_OBJECT
public:
    explicit WebBodyPreview(QWidget* parent = nullptr);
    ~WebBodyPreview() override;
    QWidget* widget() override { return this; }
    void showPage(const QString& html, const QString& folder) override;
    // The rendering control, once the pane has been shown.
    THTMLViewer* viewer() const { return m_viewer.get(); }
    // The folder relative names of the page are looked up in.
    QString folder() const { return m_folder; }

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void noFocus(QWidget* w);
    std::unique_ptr<THTMLViewer> m_viewer;
    QString m_html;
    QString m_folder;
};
