#pragma once
// The tag commands' texts as the command reference gives them, typed out
// once for every test that checks them: the engine-level catalogue test and
// the tests that drive the main frame. Kept apart from the program's own
// tables on purpose, so a wrong text in the program is caught.

namespace TagTables {

struct Row {
    const char* handler;
    const char* open;
    const char* close;
};

// The commands with one fixed pair.
inline constexpr Row kConstant[] = {
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
    {"TableClick", "<TABLE>", "</TABLE>"},
    {"TRClick", "<TR>", "</TR>"},
    {"THClick", "<TH>", "</TH>"},
    {"TDClick", "<TD>", "</TD>"},
    {"btnFormClick", "<FORM METHOD=\"POST\" ACTION=\"http://\">", "</FORM>"},
    {"btnFTextClick", "<INPUT TYPE=\"TEXT\" NAME=\"\" VALUE=\"\" MAXLENGTH=50>", ""},
    {"btnFMultiClick", "<TEXTAREA NAME=\"\" ROWS=\"\" COLS=\"\">", "</TEXTAREA>"},
    {"btnCheckClick", "<INPUT TYPE=\"CHECKBOX\" NAME=\"\" VALUE=\"\" ALIGN=Left>", ""},
    {"btnRadioClick", "<INPUT TYPE=\"RADIO\" NAME=\"\" VALUE=\"\" ALIGN=Left>", ""},
    {"btnResetClick", "<INPUT TYPE=\"RESET\" VALUE=\"Reset\">", ""},
    {"btnsubClick", "<INPUT TYPE=\"SUBMIT\" VALUE=\"Submit\">", ""},
    {"btnOptionClick", "<OPTION>", ""},
    {"btnSelectClick", "<SELECT NAME=\"\" SIZE=\"\" MULTIPLE>", "</SELECT>"},
    {"FrameSetDeclarationAbbr1Click", "<FRAMESET>", "</FRAMESET>"},
    {"FrameSetDeclarationFull1Click", "<FRAMESET ROWS=\"\" COLS=\"\">", "</FRAMESET>"},
    {"FrameAbbr1Click", "<FRAME>", "<!-- END OF FRAME -->"},
    {"FrameFull1Click", "<FRAME SRC=\"\" NAME=\"\" MARGINWIDTH=\"\" MARGINHEIGHT=\"\" SCROLLING=\"YES\">",
     "<!-- END OF FRAME -->"},
    {"FrameNonResizeableFull1Click",
     "<FRAME SRC=\"\" NAME=\"\" MARGINWIDTH=\"\" MARGINHEIGHT=\"\" SCROLLING=\"YES\" NORESIZE>",
     "<!-- END OF FRAME -->"},
    {"NoFrameOption1Click", "<NOFRAMES>", "</NOFRAMES>"},
    {"DocumentBodywBackground1Click",
     "<BODY BACKGROUND=\"\" BGCOLOR=\"#rrggbb\" TEXT=\"#rrggbb\" LINK=\"#rrggbb\" VLINK=\"#rrggbb\" ALINK=\"#rrggbb\">",
     "</BODY>"},
    {"AsanImageMap1Click", "<IMG SRC=\"", "\" ALT=\"\" ISMAP>"},
    {"FullNetscapeDeclaration1Click", "<IMG SRC=\"",
     "\" ALT=\"\" WIDTH=value HEIGHT=value BORDER=0 ALIGN=TOP VSPACE=value HSPACE=value>"},
    {"JavaSimple1Click", "<APPLET CODE=\"MyApplet.class\" WIDTH=100 HEIGHT=110>", "</APPLET>"},
    {"JavaExtendedwithoutPrompts1Click",
     "<APPLET CODEBASE=\"\" CODE=\"\" ALT=\"\" NAME=\"\" WIDTH= HEIGHT= ALIGN= VSPACE= HSPACE=>", "</APPLET>"},
    {"JavaExtended1Click",
     "<APPLET CODEBASE=\"CodeBaseURL\" CODE=\"AppletFile\" ALT=\"AlternateText\" NAME=\"AppletInstanceName\" "
     "WIDTH=pixels HEIGHT=pixels ALIGN=Alignment VSPACE=pixels HSPACE=pixels>",
     "</APPLET>"},
    {"Parameter1Click", "<PARAM NAME=\"AppletAttribute\" VALUE=\"Value\">", ""},
    // Page skeleton, comments and font shortcuts.
    {"DocumentType1Click", "<!DOCTYPE HTML PUBLIC ", "\"-//IETF//DTD HTML//EN//3.0\">"},
    {"HTML1Click", "<HTML>", "</HTML>"},
    {"Body1Click", "<HEAD>", "</HEAD>"},
    {"DocumentTitle1Click", "<TITLE>", "</TITLE>"},
    {"Body2Click", "<BODY>", "</BODY>"},
    {"MarkasComment1Click", "<!--", "-->"},
    {"SmallFont1Click", "<FONT SIZE=\"1\">", "</FONT>"},
    {"BigCharacters1Click", "<FONT SIZE=\"+4\"><B>", "</B></FONT>"},
};

struct SelRow {
    const char* handler;
    const char* selOpen;
    const char* selClose;
    const char* noneOpen;
    const char* noneClose;
};

// The commands whose texts depend on a selection.
inline constexpr SelRow kSelection[] = {
    {"Anchor1Click", "<A NAME=", "></A>", "<A NAME=Anchor_Name", "></A>"},
    {"Simple1Click", "<A HREF=\"", "\">description_here</A>", "<A HREF=\"your link here",
     "\">description_here</A>"},
    {"Simple2Click", "<IMG SRC=\"", "\" ALT=\"\">", "<IMG SRC=\"your image", "\" ALT=\"Text Version\">"},
};

// The simple mail link: with a selection its texts are fixed; without one
// the opening text holds a placeholder address of the program's choosing.
inline constexpr SelRow kMailLink = {"Simple3Click", "<A HREF=\"MailTo:", "\">YourName</A>", "<A HREF=\"MailTo:",
                                     "Your_Name</A>"};

struct GotoRow {
    const char* handler;
    const char* startText;
    const char* endText;
    bool fromTop;
    const char* notFound;
};

// The Goto submenu.
inline constexpr GotoRow kGoto[] = {
    {"TitleSection1Click", "<HEAD", ">", true, "No HEAD Section Found !"},
    {"TitleDeclaration1Click", "<TITLE", ">", true, "No Document Title Found !"},
    {"BodySection1Click", "<BODY", ">", true, "No BODY Section Found !"},
    {"NextURL1Click", "<A HREF", "</A>", false, "End of Document Reached : No URLs Found !"},
    {"NextMailtoURL1Click", "<A HREF=\"Mail", "</A>", false, "End of Document Reached : No Mail URLs Found !"},
    {"NextTable1Click", "<Table", "</Table>", false, "End of Document Reached : No Tables Found !"},
    {"NextForm1Click", "<FORM", "</FORM>", false, "End of Document Reached : No Forms Found !"},
    {"NextImage1Click", "<IMG", ">", false, "End of Document Reached : No Images Found !"},
    {"NextJavaApplet1Click", "<APPLET", "</APPLET>", false, "End of Document Reached : No Java Applets Found !"},
    {"NextListItem1Click", "<LI", ">", false, "End of Document Reached : No More List Items Found !"},
    {"LastUpdatedSection1Click", "Last Updated", ">", false, "End of Document Reached : No Update Section Found !"},
};

// "Set Bookmark" and "Goto Bookmark", index 0 for bookmark 1.
inline constexpr const char* kSetBookmark[9] = {"N110Click", "N210Click", "N34Click", "N41Click", "N51Click",
                                                "N61Click",  "N71Click",  "N81Click", "N91Click"};
inline constexpr const char* kGotoBookmark[9] = {"N111Click", "N211Click", "N35Click", "N42Click", "N52Click",
                                                 "N62Click",  "N72Click",  "N82Click", "N92Click"};

} // namespace TagTables
