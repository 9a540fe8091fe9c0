#include "render/RenderModule.h"

#include "app/AppSettings.h"
#include "app/FrameServices.h"
#include "app/TfHTML.h"
#include "editor/TOvcTextFileEditor.h"
#include "render/HelpViewer.h"
#include "render/TFontForm.h"
#include "render/TextPrinter.h"
#include "render/TfPreview.h"

void RenderModule::bindCommands(CommandBinder& binder)
{
    binder.bind(QStringLiteral("HelpContents"), [] { HelpViewer::showContents(); });
    binder.bind(QStringLiteral("HelpSearch"), [] { HelpViewer::showKeyword(QString()); });
    binder.bind(QStringLiteral("HTMLPrimer1Click"), [] { HelpViewer::showPrimer(); });
    binder.bind(QStringLiteral("HelpHowToUse"), [] { HelpViewer::showHowToUse(); });
    binder.bind("FilePrint", this, &RenderModule::FilePrint);
    binder.bind(QStringLiteral("FilePrintSetup"), [this] { TextPrinter::runSetupDialog(frame().frameWindow()); });
    binder.bind(QStringLiteral("PrintPreview1Click"),
                [this] { preview()->PrintPreview1Click(frame().activeDocument()); });
}

TfPreview* RenderModule::preview()
{
    if (!m_preview)
        m_preview = new TfPreview(frame(), [this] { return fontForm(); });
    return m_preview;
}

TFontForm* RenderModule::fontForm()
{
    if (!m_fontForm)
        m_fontForm = new TFontForm(frame().frameWindow());
    return m_fontForm;
}

void RenderModule::FilePrint()
{
    TfHTML* doc = frame().activeDocument();
    if (!doc)
        return;
    TextPrinter::printSource(frame().frameWindow(), *doc->txtHTML, doc->txtHTML->FixedFont());
    frame().SetStatusText(AppSettings::kReady);
}
