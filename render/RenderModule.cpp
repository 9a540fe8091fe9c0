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

TfPreview* RenderModule::preview() { return made(m_preview, frame(), [this] { return fontForm(); }); }
TFontForm* RenderModule::fontForm() { return made(m_fontForm, frame().frameWindow()); }

void RenderModule::FilePrint()
{
    TfHTML* doc = frame().activeDocument();
    if (!doc)
        return;
    TextPrinter::printSource(frame().frameWindow(), *doc->txtHTML, doc->txtHTML->FixedFont(), doc->txtHTML->TabSize());
    frame().SetStatusText(AppSettings::kReady);
}
