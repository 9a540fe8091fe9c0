#include "tags/TagCatalogue.h"
#include "tags/HandlerTable.h"

#include <iterator>

namespace {
// Two pairs: with a selection, without one.
#define SEL(handler, open, close, openNone, closeNone) {handler, open, close, openNone, closeNone}

const TagCommandDef kCommands[] = {
    // Text styles
    {"Size1Click", "<FONT SIZE=n>", "</FONT>"},
    {"Bold1Click", "<B>", "</B>"},
    {"Emphasis1Click", "<EM>", "</EM>"},
    {"Italics1Click", "<I>", "</I>"},
    {"Strong1Click", "<STRONG>", "</STRONG>"},
    {"Underline1Click", "<U>", "</U>"},
    {"Address1Click", "<ADDRESS>", "</ADDRESS>"},
    {"Blink1Click", "<BLINK>", "</BLINK>"},
    {"BlockQuote1Click", "<BLOCKQUOTE>", "</BLOCKQUOTE>"},
    {"Citation1Click", "<CITE>", "</CITE>"},
    {"Code1Click", "<CODE>", "</CODE>"},
    {"Keyboard1Click", "<KBD>", "</KBD>"},
    {"PreformattedText1Click", "<PRE>", "</PRE>"},
    {"PreformattedTextwithWidth1Click", "<PRE WIDTH=\"80\">", "</PRE>"},
    {"Sample1Click", "<SAMP>", "</SAMP>"},
    {"Varibale1Click", "<VAR>", "</VAR>"},
    {"Center1Click", "<CENTER>", "</CENTER>"},

    // Headings
    {"HeadingLevel1Click", "<H1>", "</H1>"},
    {"HeadingLevel21Click", "<H2>", "</H2>"},
    {"HeadingLevel31Click", "<H3>", "</H3>"},
    {"HeadingLevel41Click", "<H4>", "</H4>"},
    {"HeadingLevel51Click", "<H5>", "</H5>"},
    {"HeadingLevel61Click", "<H6>", "</H6>"},
    {"HeadingLevel12Click", "<H1 ALIGN=LEFT>", "</H1>"},
    {"HeadingLevel22Click", "<H2 ALIGN=LEFT>", "</H2>"},
    {"HeadingLevel32Click", "<H3 ALIGN=LEFT>", "</H3>"},
    {"HeadingLevel42Click", "<H4 ALIGN=LEFT>", "</H4>"},
    {"HeadingLevel52Click", "<H5 ALIGN=LEFT>", "</H5>"},
    {"HeadingLevel62Click", "<H6 ALIGN=LEFT>", "</H6>"},

    // Paragraphs, lines and lists
    {"LineBreak1Click", "<BR>", ""},
    {"ParagraphMarker1Click", "<P>", ""},
    {"ParagraphMarkerwithEnd1Click", "<P>", ""},
    {"HorizontalLine1Click", "<HR>", ""},
    {"HorizontalLinewithSize1Click", "<HR SIZE=n>", ""},
    {"DefinitionList1Click", "<DL>", "</DL>"},
    {"Directory1Click", "<DIR>", "</DIR>"},
    {"Menu1Click", "<MENU>", "</MENU>"},
    {"OrderedList1Click", "<OL>", "</OL>"},
    {"UnorderedList1Click", "<UL>", "</UL>"},
    {"ListItem1Click", "<LI>", ""},
    {"DefinintionTerm1Click", "<DT>", "</DT>"},
    {"Definition1Click", "<DD>", "</DD>"},

    // Tables
    {"TableClick", "<TABLE>", "</TABLE>"},
    {"TRClick", "<TR>", "</TR>"},
    {"THClick", "<TH>", "</TH>"},
    {"TDClick", "<TD>", "</TD>"},

    // Forms
    {"btnFormClick", "<FORM METHOD=\"POST\" ACTION=\"http://\">", "</FORM>"},
    {"btnFTextClick", "<INPUT TYPE=\"TEXT\" NAME=\"\" VALUE=\"\" MAXLENGTH=50>", ""},
    {"btnFMultiClick", "<TEXTAREA NAME=\"\" ROWS=\"\" COLS=\"\">", "</TEXTAREA>"},
    {"btnCheckClick", "<INPUT TYPE=\"CHECKBOX\" NAME=\"\" VALUE=\"\" ALIGN=Left>", ""},
    {"btnRadioClick", "<INPUT TYPE=\"RADIO\" NAME=\"\" VALUE=\"\" ALIGN=Left>", ""},
    {"btnResetClick", "<INPUT TYPE=\"RESET\" VALUE=\"Reset\">", ""},
    {"btnsubClick", "<INPUT TYPE=\"SUBMIT\" VALUE=\"Submit\">", ""},
    {"btnOptionClick", "<OPTION>", ""},
    {"btnSelectClick", "<SELECT NAME=\"\" SIZE=\"\" MULTIPLE>", "</SELECT>"},

    // Frames
    {"FrameSetDeclarationAbbr1Click", "<FRAMESET>", "</FRAMESET>"},
    {"FrameSetDeclarationFull1Click", "<FRAMESET ROWS=\"\" COLS=\"\">", "</FRAMESET>"},
    {"FrameAbbr1Click", "<FRAME>", "<!-- END OF FRAME -->"},
    {"FrameFull1Click",
     "<FRAME SRC=\"\" NAME=\"\" MARGINWIDTH=\"\" MARGINHEIGHT=\"\" SCROLLING=\"YES\">",
     "<!-- END OF FRAME -->"},
    {"FrameNonResizeableFull1Click",
     "<FRAME SRC=\"\" NAME=\"\" MARGINWIDTH=\"\" MARGINHEIGHT=\"\" SCROLLING=\"YES\" NORESIZE>",
     "<!-- END OF FRAME -->"},
    {"NoFrameOption1Click", "<NOFRAMES>", "</NOFRAMES>"},

    // Body, images and Java applets
    {"DocumentBodywBackground1Click",
     "<BODY BACKGROUND=\"\" BGCOLOR=\"#rrggbb\" TEXT=\"#rrggbb\" LINK=\"#rrggbb\" "
     "VLINK=\"#rrggbb\" ALINK=\"#rrggbb\">",
     "</BODY>"},
    {"AsanImageMap1Click", "<IMG SRC=\"", "\" ALT=\"\" ISMAP>"},
    {"FullNetscapeDeclaration1Click", "<IMG SRC=\"",
     "\" ALT=\"\" WIDTH=value HEIGHT=value BORDER=0 ALIGN=TOP VSPACE=value HSPACE=value>"},
    {"JavaSimple1Click", "<APPLET CODE=\"MyApplet.class\" WIDTH=100 HEIGHT=110>", "</APPLET>"},
    {"JavaExtendedwithoutPrompts1Click",
     "<APPLET CODEBASE=\"\" CODE=\"\" ALT=\"\" NAME=\"\" WIDTH= HEIGHT= ALIGN= VSPACE= HSPACE=>",
     "</APPLET>"},
    {"JavaExtended1Click",
     "<APPLET CODEBASE=\"CodeBaseURL\" CODE=\"AppletFile\" ALT=\"AlternateText\" "
     "NAME=\"AppletInstanceName\" WIDTH=pixels HEIGHT=pixels ALIGN=Alignment VSPACE=pixels "
     "HSPACE=pixels>",
     "</APPLET>"},
    {"Parameter1Click", "<PARAM NAME=\"AppletAttribute\" VALUE=\"Value\">", ""},

    // Texts that depend on a selection: the selection becomes the anchor
    // name, the link target or the image source.
    SEL("Anchor1Click", "<A NAME=", "></A>", "<A NAME=Anchor_Name", "></A>"),
    SEL("Simple1Click", "<A HREF=\"", "\">description_here</A>", "<A HREF=\"your link here",
        "\">description_here</A>"),
    SEL("Simple2Click", "<IMG SRC=\"", "\" ALT=\"\">", "<IMG SRC=\"your image",
        "\" ALT=\"Text Version\">"),

    // Page skeleton, comment marks and font shortcuts
    {"DocumentType1Click", "<!DOCTYPE HTML PUBLIC ", "\"-//IETF//DTD HTML//EN//3.0\">"},
    {"HTML1Click", "<HTML>", "</HTML>"},
    {"Body1Click", "<HEAD>", "</HEAD>"},
    {"DocumentTitle1Click", "<TITLE>", "</TITLE>"},
    {"Body2Click", "<BODY>", "</BODY>"},
    {"MarkasComment1Click", "<!--", "-->"},
    {"SmallFont1Click", "<FONT SIZE=\"1\">", "</FONT>"},
    {"BigCharacters1Click", "<FONT SIZE=\"+4\"><B>", "</B></FONT>"},
    // The simple mail link: the selection becomes the address.
    SEL("Simple3Click", "<A HREF=\"MailTo:", "\">YourName</A>",
        "<A HREF=\"MailTo:you@example.com\"> ", "Your_Name</A>"),
};
#undef SEL
}

TagPair TagCommandDef::pair(bool hasSelection) const
{
    if (!hasSelection && selectionDependent())
        return {QString::fromLatin1(openNoSelection), QString::fromLatin1(closeNoSelection)};
    return {QString::fromLatin1(open), QString::fromLatin1(close)};
}

const TagCommandDef* TagCatalogue::begin() { return std::begin(kCommands); }
const TagCommandDef* TagCatalogue::end() { return std::end(kCommands); }
int TagCatalogue::count() { return int(std::size(kCommands)); }

const TagCommandDef* TagCatalogue::find(QStringView handler)
{
    return findByHandler(kCommands, handler);
}

void TagCatalogue::run(TagEngine& engine, const TagCommandDef& command)
{
    // The test and the insertion belong to one command, so the selection
    // tested is the one that gets wrapped.
    const bool hasSelection = command.selectionDependent() && engine.ActiveHasSelection();
    engine.InsertTagPair(command.pair(hasSelection));
}

bool TagCatalogue::run(TagEngine& engine, QStringView handler)
{
    const TagCommandDef* c = find(handler);
    if (!c)
        return false;
    run(engine, *c);
    return true;
}
