#include "tags/HtmlTagList.h"

#include "app/AppError.h"
#include "app/AppPaths.h"
#include "tags/Stamps.h"

#include <QFileInfo>
#include <iterator>

namespace {
struct Item {
    const char* first;
    const char* second;
};

const Item kTags[] = {
    {"<!--", "-->"},
    {"<A HREF=\"\">", "</A>"},
    {"<ADDRESS>", "</ADDRESS>"},
    {"<APPLET>", "</APPLET>"},
    {"<B>", "</B>"},
    {"<BASE>", ""},
    {"<BASEFONT SIZE=>", ""},
    {"<BGSOUND SRC=\"\">", ""},
    {"<BIG>", "</BIG>"},
    {"<BLINK>", "</BLINK>"},
    {"<BLOCKQUOTE>", "</BLOCKQUOTE>"},
    {"<BODY>", "</BODY>"},
    {"<BR>", ""},
    {"<CAPTION>", "</CAPTION>"},
    {"<CENTER>", "</CENTER>"},
    {"<CITE>", "</CITE>"},
    {"<CODE>", "</CODE>"},
    {"<DD>", ""},
    {"<DIR>", "</DIR>"},
    {"<DIV ALIGN=\"\">", "</DIV>"},
    {"<DL>", "</DL>"},
    {"<DT>", ""},
    {"<EM>", "</EM>"},
    {"<EMBED SRC=\"\" WIDTH=100 HEIGHT=100>", ""},
    {"<FONT SIZE=\"\" COLOR=\"\" FACE=\"\">", "</FONT>"},
    {"<FONT SIZE=\"\">", "</FONT>"},
    {"<FORM METHOD=\"\" ACTION=\"\">", "</FORM>"},
    {"<FRAME>", "</FRAME>"},
    {"<FRAMESET>", "</FRAMESET>"},
    {"<H ALIGN=>", "</H>"},
    {"<H1>", "</H1>"},
    {"<H2>", "</H2>"},
    {"<H3>", "</H3>"},
    {"<H4>", "</H4>"},
    {"<H5>", "</H5>"},
    {"<H6>", "</H6>"},
    {"<HEAD>", "</HEAD>"},
    {"<HR>", ""},
    {"<HTML>", "</HTML>"},
    {"<I>", "</I>"},
    {"<IMG>", ""},
    {"<INPUT>", ""},
    {"<ISINDEX ACTION=\">", ""},
    {"<ISINDEX>", ""},
    {"<KBD>", "</KBD>"},
    {"<LI>", ""},
    {"<LINK>", ""},
    {"<MAP NAME=\"\">", "</MAP>"},
    {"<MAP NAME=\"\"><AREA SHAPE=\"\" COORDS=\",\" HREF=\"\">", "</MAP>"},
    {"<MARQUEE ALIGN=TOP BEHAVIOUR=SLIDE HEIGHT=50% WIDTH=50%>", "</MARQUEE>"},
    {"<MARQUEE>", "</MARQUEE>"},
    {"<MENU>", "</MENU>"},
    {"<META NAME=\"\" CONTENT=\"\">", ""},
    {"<NEXTID N=000>", ""},
    {"<NOBR>", "</NOBR>"},
    {"<NOFRAMES>", "</NOFRAMES>"},
    {"<OL>", "</OL>"},
    {"<OPTION SELECTED=yes VALUE=\"\">", ""},
    {"<P>", "</P>"},
    {"<PRE>", "</PRE>"},
    {"<SAMP>", "</SAMP>"},
    {"<SCRIPT>", "</SCRIPT>"},
    {"<SELECT NAME=\"\">", "</SELECT>"},
    {"<SMALL>", "</SMALL>"},
    {"<SOUND SRC=\"\">", ""},
    {"<STRIKE>", "</STRIKE>"},
    {"<STRONG>", "</STRONG>"},
    {"<SUB>", "</SUB>"},
    {"<SUP>", "</SUP>"},
    {"<TABLE>", "</TABLE>"},
    {"<TD>", "</TD>"},
    {"<TEXTAREA>", "</TEXTAREA>"},
    {"<TH>", "</TH>"},
    {"<TITLE>", "</TITLE>"},
    {"<TR>", "</TR>"},
    {"<TT>", "</TT>"},
    {"<U>", "</U>"},
    {"<UL>", "</UL>"},
    {"<VAR>", "</VAR>"},
    {"<WBR>", ""},
};

// Built-in symbols for when no symbol file is present. The entities are
// complete: each ends in its semicolon, and the dashes use their real names.
const Item kSymbols[] = {
    {"&Aacute;", "A, acute accent"},
    {"&aacute;", "a, acute accent"},
    {"&Acirc;", "A, circumflex accent"},
    {"&acirc;", "a, circumflex accent"},
    {"&aelig;", "ae ligature"},
    {"&AElig;", "AE ligature"},
    {"&Agrave;", "A, grave accent"},
    {"&agrave;", "a, grave accent"},
    {"&amp;", "Ampersand &"},
    {"&Aring;", "A, ring"},
    {"&aring;", "a, ring"},
    {"&Atilde;", "A, tilde"},
    {"&atilde;", "a, tilde"},
    {"&Auml;", "A, umlaut"},
    {"&auml;", "a, umlaut"},
    {"&Ccedil;", "C, cedilla"},
    {"&ccedil;", "c, cedilla"},
    {"&copy;", "copyright \u00A9"},
    {"&Eacute;", "E, acute accent"},
    {"&eacute;", "e, acute accent"},
    {"&Ecirc;", "E, circumflex accent"},
    {"&ecirc;", "e, circumflex accent"},
    {"&Egrave;", "E, grave accent"},
    {"&egrave;", "e, grave accent"},
    {"&mdash;", "em dash"},
    {"&emsp;", "em space"},
    {"&ndash;", "en dash"},
    {"&ensp;", "en space"},
    {"&ETH;", "Eth, Icelandic"},
    {"&eth;", "eth, Icelandic"},
    {"&Euml;", "E, umlaut"},
    {"&euml;", "e, umlaut"},
    {"&gt;", "Greater than >"},
    {"&Iacute;", "I, acute accent"},
    {"&iacute;", "i, acute accent"},
    {"&Icirc;", "I, circumflex accent"},
    {"&icirc;", "i, circumflex accent"},
    {"&Igrave;", "I, grave accent"},
    {"&igrave;", "i, grave accent"},
    {"&Iuml;", "I, umlaut"},
    {"&iuml;", "i, umlaut"},
    {"&lt;", "Less than <"},
    {"&nbsp;", "non-breaking space"},
    {"&Ntilde;", "N, tilde"},
    {"&ntilde;", "n, tilde"},
    {"&Oacute;", "O, acute accent"},
    {"&oacute;", "o, acute accent"},
    {"&Ocirc;", "O, circumflex accent"},
    {"&ocirc;", "o, circumflex accent"},
    {"&Ograve;", "O, grave accent"},
    {"&ograve;", "o, grave accent"},
    {"&Oslash;", "O, slash"},
    {"&oslash;", "o, slash"},
    {"&Otilde;", "O, tilde"},
    {"&otilde;", "o, tilde"},
    {"&Ouml;", "O, umlaut"},
    {"&ouml;", "o, umlaut"},
    {"&quot;", "Double quote \""},
    {"&reg;", "registered trademark \u00AE"},
    {"&szlig;", "sz ligature, German"},
    {"&THORN;", "Thorn, Icelandic"},
    {"&thorn;", "thorn, Icelandic"},
    {"&Uacute;", "U, acute accent"},
    {"&uacute;", "u, acute accent"},
    {"&Ucirc;", "U, circumflex accent"},
    {"&ucirc;", "u, circumflex accent"},
    {"&Ugrave;", "U, grave accent"},
    {"&ugrave;", "u, grave accent"},
    {"&Uuml;", "U, umlaut"},
    {"&uuml;", "u, umlaut"},
    {"&Yacute;", "Y, acute accent"},
    {"&yacute;", "y, acute accent"},
    {"&yuml;", "y, umlaut"},
    {"<SUP><FONT SIZE=1>tm</FONT></SUP>", "trademark (tm)"},
};

QStringList joined(const Item* begin, const Item* end)
{
    QStringList out;
    out.reserve(int(end - begin));
    for (const Item* i = begin; i != end; ++i)
        out << QString::fromUtf8(i->first) + QLatin1Char('\t') + QString::fromUtf8(i->second);
    return out;
}
}

QStringList HtmlTagList::builtInTags()
{
    return joined(std::begin(kTags), std::end(kTags));
}

TagPair HtmlTagList::tagPair(const QString& item)
{
    const qsizetype tab = item.indexOf(QLatin1Char('\t'));
    if (tab < 0)
        return {QString(), item};
    return {item.left(tab), item.mid(tab + 1)};
}

QStringList HtmlTagList::builtInSymbols()
{
    return joined(std::begin(kSymbols), std::end(kSymbols));
}

QString HtmlTagList::symbolText(const QString& item)
{
    const qsizetype tab = item.indexOf(QLatin1Char('\t'));
    return tab < 0 ? item : item.left(tab);
}

TagPair HtmlTagList::symbolPair(const QString& item)
{
    return {symbolText(item), QString()};
}

QStringList HtmlTagList::parseSymbolLines(const QStringList& lines)
{
    QStringList items;
    for (const QString& line : lines) {
        if (!line.isEmpty())
            items << line;
    }
    return items;
}

bool HtmlTagList::readSymbolFile(const QString& fileName, QStringList& items)
{
    if (!QFileInfo(fileName).isFile())
        return false;
    try {
        items = parseSymbolLines(Stamps::readTextFileLines(fileName));
    } catch (const EFileError&) {
        return false;
    }
    return true;
}

QString HtmlTagList::symbolFileName()
{
    return AppPaths::programFile(QStringLiteral("symbols.web"));
}
