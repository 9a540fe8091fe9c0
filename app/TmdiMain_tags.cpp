// The main frame's tag, navigation, stamp and chooser commands: short glue
// from menu entries, buttons and keys to the tag engine and its companions.
#include "app/TmdiMain.h"

#include "app/AppSettings.h"
#include "app/TfHTML.h"
#include "app/UiPrompter.h"
#include "editor/TOvcTextFileEditor.h"
#include "tags/Navigator.h"
#include "tags/Stamps.h"
#include "tags/TagCatalogue.h"
#include "tags/TagEngine.h"
#include "tags/TfColorChooser.h"
#include "tags/TfHTMLTags.h"
#include "tags/TfSymbol.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>

#define VQ_CATALOGUE(h) \
    void TmdiMain::h() { TagCatalogue::run(*m_tags, u"" #h); }
#define VQ_GOTO(h) \
    void TmdiMain::h() { Navigator::run(*this, u"" #h); }
#define VQ_BOOKMARK(h, set, n) \
    void TmdiMain::h() { set ? Navigator::SetBookmark(*this, n) : Navigator::GotoBookmark(*this, n); }

VQ_CATALOGUE(Size1Click)
VQ_CATALOGUE(Bold1Click)
VQ_CATALOGUE(Emphasis1Click)
VQ_CATALOGUE(Italics1Click)
VQ_CATALOGUE(Strong1Click)
VQ_CATALOGUE(Underline1Click)
VQ_CATALOGUE(Address1Click)
VQ_CATALOGUE(Blink1Click)
VQ_CATALOGUE(BlockQuote1Click)
VQ_CATALOGUE(Citation1Click)
VQ_CATALOGUE(Code1Click)
VQ_CATALOGUE(Keyboard1Click)
VQ_CATALOGUE(PreformattedText1Click)
VQ_CATALOGUE(PreformattedTextwithWidth1Click)
VQ_CATALOGUE(Sample1Click)
VQ_CATALOGUE(Varibale1Click)
VQ_CATALOGUE(Center1Click)
VQ_CATALOGUE(HeadingLevel1Click)
VQ_CATALOGUE(HeadingLevel21Click)
VQ_CATALOGUE(HeadingLevel31Click)
VQ_CATALOGUE(HeadingLevel41Click)
VQ_CATALOGUE(HeadingLevel51Click)
VQ_CATALOGUE(HeadingLevel61Click)
VQ_CATALOGUE(HeadingLevel12Click)
VQ_CATALOGUE(HeadingLevel22Click)
VQ_CATALOGUE(HeadingLevel32Click)
VQ_CATALOGUE(HeadingLevel42Click)
VQ_CATALOGUE(HeadingLevel52Click)
VQ_CATALOGUE(HeadingLevel62Click)
VQ_CATALOGUE(LineBreak1Click)
VQ_CATALOGUE(ParagraphMarker1Click)
VQ_CATALOGUE(ParagraphMarkerwithEnd1Click)
VQ_CATALOGUE(HorizontalLine1Click)
VQ_CATALOGUE(HorizontalLinewithSize1Click)
VQ_CATALOGUE(DefinitionList1Click)
VQ_CATALOGUE(Directory1Click)
VQ_CATALOGUE(Menu1Click)
VQ_CATALOGUE(OrderedList1Click)
VQ_CATALOGUE(UnorderedList1Click)
VQ_CATALOGUE(ListItem1Click)
VQ_CATALOGUE(DefinintionTerm1Click)
VQ_CATALOGUE(Definition1Click)
VQ_CATALOGUE(TableClick)
VQ_CATALOGUE(TRClick)
VQ_CATALOGUE(THClick)
VQ_CATALOGUE(TDClick)
VQ_CATALOGUE(btnFormClick)
VQ_CATALOGUE(btnFTextClick)
VQ_CATALOGUE(btnFMultiClick)
VQ_CATALOGUE(btnCheckClick)
VQ_CATALOGUE(btnRadioClick)
VQ_CATALOGUE(btnResetClick)
VQ_CATALOGUE(btnsubClick)
VQ_CATALOGUE(btnOptionClick)
VQ_CATALOGUE(btnSelectClick)
VQ_CATALOGUE(FrameSetDeclarationAbbr1Click)
VQ_CATALOGUE(FrameSetDeclarationFull1Click)
VQ_CATALOGUE(FrameAbbr1Click)
VQ_CATALOGUE(FrameFull1Click)
VQ_CATALOGUE(FrameNonResizeableFull1Click)
VQ_CATALOGUE(NoFrameOption1Click)
VQ_CATALOGUE(DocumentBodywBackground1Click)
VQ_CATALOGUE(AsanImageMap1Click)
VQ_CATALOGUE(FullNetscapeDeclaration1Click)
VQ_CATALOGUE(JavaSimple1Click)
VQ_CATALOGUE(JavaExtendedwithoutPrompts1Click)
VQ_CATALOGUE(JavaExtended1Click)
VQ_CATALOGUE(Parameter1Click)
VQ_CATALOGUE(DocumentType1Click)
VQ_CATALOGUE(HTML1Click)
VQ_CATALOGUE(Body1Click)
VQ_CATALOGUE(DocumentTitle1Click)
VQ_CATALOGUE(Body2Click)
VQ_CATALOGUE(MarkasComment1Click)
VQ_CATALOGUE(SmallFont1Click)
VQ_CATALOGUE(BigCharacters1Click)
VQ_CATALOGUE(Anchor1Click)
VQ_CATALOGUE(Simple1Click)
VQ_CATALOGUE(Simple2Click)
VQ_CATALOGUE(Simple3Click)

VQ_GOTO(TitleSection1Click)
VQ_GOTO(TitleDeclaration1Click)
VQ_GOTO(BodySection1Click)
VQ_GOTO(NextURL1Click)
VQ_GOTO(NextMailtoURL1Click)
VQ_GOTO(NextTable1Click)
VQ_GOTO(NextForm1Click)
VQ_GOTO(NextImage1Click)
VQ_GOTO(NextJavaApplet1Click)
VQ_GOTO(NextListItem1Click)
VQ_GOTO(LastUpdatedSection1Click)

VQ_BOOKMARK(N110Click, true, 1)
VQ_BOOKMARK(N210Click, true, 2)
VQ_BOOKMARK(N34Click, true, 3)
VQ_BOOKMARK(N41Click, true, 4)
VQ_BOOKMARK(N51Click, true, 5)
VQ_BOOKMARK(N61Click, true, 6)
VQ_BOOKMARK(N71Click, true, 7)
VQ_BOOKMARK(N81Click, true, 8)
VQ_BOOKMARK(N91Click, true, 9)
VQ_BOOKMARK(N111Click, false, 1)
VQ_BOOKMARK(N211Click, false, 2)
VQ_BOOKMARK(N35Click, false, 3)
VQ_BOOKMARK(N42Click, false, 4)
VQ_BOOKMARK(N52Click, false, 5)
VQ_BOOKMARK(N62Click, false, 6)
VQ_BOOKMARK(N72Click, false, 7)
VQ_BOOKMARK(N82Click, false, 8)
VQ_BOOKMARK(N92Click, false, 9)

void TmdiMain::PreDefined1Click() { m_tags->InsertTagPair(Stamps::PreDefined(IniControl)); }
void TmdiMain::MailtomeURL1Click() { m_tags->InsertTagPair(Stamps::MailtomeURL(IniControl)); }
void TmdiMain::MyCompany1Click() { m_tags->InsertTagPair(Stamps::MyCompany(IniControl)); }
void TmdiMain::MyHomePageURL1Click() { m_tags->InsertTagPair(Stamps::MyHomePageURL(IniControl)); }

void TmdiMain::LastUpdated1Click()
{
    m_tags->InsertTagPair(Stamps::LastUpdated(IniControl, QDateTime::currentDateTime(), QLocale::system()));
}

void TmdiMain::InsertFile1Click()
{
    if (!activeDocument())
        return;
    const QString name = UiPrompter::instance().openFileName(this, QStringLiteral("Insert Text File"),
                                                             QDir::currentPath(), openFilter());
    if (name.isEmpty()) {
        SetStatusText(AppSettings::kReady);
        return;
    }
    Stamps::InsertFile(*this, name);
}

void TmdiMain::RepeatLastTag1Click()
{
    m_tags->RepeatLastTag();
}

void TmdiMain::Symbol1Click()
{
    m_symbols->showChooser();
}

void TmdiMain::ColorChooser1Click()
{
    m_colors->showChooser();
}

void TmdiMain::HTMLTagsChooser1Click()
{
    m_htmlTags->showChooser();
}

// TagHost

EditorContract* TmdiMain::activeEditor()
{
    TfHTML* doc = activeDocument();
    return doc ? doc->txtHTML : nullptr;
}

TMegaRegistry& TmdiMain::settings()
{
    return IniControl;
}

void TmdiMain::ShowMessage(const QString& text)
{
    UiPrompter::instance().message(this, text);
}
