#include "reuse/TemplateLibrary.h"

#include "app/ListFile.h"
#include "editor/EditorContract.h"

QString TemplateLibrary::pageCaption(int page)
{
    switch (page) {
    case Simple: return QStringLiteral("&Simple");
    case Coloured: return QStringLiteral("&Coloured");
    case Graphical: return QStringLiteral("&Graphical");
    case FrameSets: return QStringLiteral("&Frame Sets");
    case UserDefined: return QStringLiteral("&User Defined");
    default: return QString();
    }
}

QString TemplateLibrary::groupCaption(int page)
{
    switch (page) {
    case Simple: return QStringLiteral("Simple Template");
    case Coloured: return QStringLiteral("Coloured Template");
    case Graphical: return QStringLiteral("Grahpical Template");
    case FrameSets: return QStringLiteral("FramesetTemplate");
    default: return QString();
    }
}

QStringList TemplateLibrary::builtIn(int page)
{
    switch (page) {
    case Simple:
        return {
            QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN//2.0\"> "),
            QStringLiteral("<HTML>"),
            QStringLiteral("<!-- Sample Template for a HTML Document created by Velquist Pro Version 2 -->"),
            QString(),
            QStringLiteral("<HEAD>"),
            QStringLiteral("<TITLE>Document Title</TITLE>"),
            QStringLiteral("</HEAD>"),
            QString(),
            QStringLiteral("<BODY>"),
            QStringLiteral("<H1>Main Page Heading</H1>"),
            QStringLiteral("<H2>Heading Level 2</H2>"),
            QStringLiteral("<P>Body Text.</P>"),
            QStringLiteral("</BODY>"),
            QString(),
            QStringLiteral("</HTML>"),
            QString(),
        };
    case Coloured:
        return {
            QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN//2.0\">"),
            QStringLiteral("<HTML>"),
            QStringLiteral("<!-- Sample Coloured Template for a HTML Document created by Velquist for Windows "
                           "Version 2 -->"),
            QString(),
            QStringLiteral("<HEAD>"),
            QStringLiteral("<TITLE>Document Title</TITLE>"),
            QStringLiteral("</HEAD>"),
            QString(),
            QStringLiteral("<BODY>"),
            QStringLiteral("<body bgcolor=\"#0F0F8F\" text=\"#FFE27F\" LINK=\"#FFFFFF\" VLINK=\"#FF0000\" "
                           "ALINK=\"#FFFFFF\">"),
            QStringLiteral("<A Name=Home></a>"),
            QStringLiteral("<H1>Main Page Heading</H1>"),
            QStringLiteral("<H2>Heading Level 2</H2>"),
            QStringLiteral("<P>Body Text.</P>"),
            QString(),
            QStringLiteral("</BODY>"),
            QStringLiteral("</HTML>"),
            QString(),
        };
    case Graphical:
        return {
            QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN//3.0\">"),
            QStringLiteral("<HTML>"),
            QStringLiteral("<!-- Sample Template for a HTML Document created by Velquist Pro Version 2 -->"),
            QString(),
            QStringLiteral("<HEAD>"),
            QStringLiteral("<TITLE>Document Title</TITLE>"),
            QStringLiteral("</HEAD>"),
            QString(),
            QStringLiteral("<BODY>"),
            QStringLiteral("<CENTER>"),
            QStringLiteral("<H1>Velquist Pro HTML Editor</H1>"),
            QStringLiteral("<IMG SRC=\"YourImageHere\" ALT=\" \" BORDER=1 ALIGN=LEFT>"),
            QStringLiteral("</CENTER>"),
            QStringLiteral("<HR SIZE=6>"),
            QStringLiteral("<H1>About Velquist Pro HTML Editor for Windows</H1>"),
            QString(),
            QStringLiteral("</BODY>"),
            QStringLiteral("</HTML>"),
        };
    case FrameSets:
        return {
            QStringLiteral("<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN//3.0\">"),
            QStringLiteral("<HTML>"),
            QStringLiteral("<!-- Sample Frames Template for a HTML Document created by Velquist Pro Version 2 -->"),
            QString(),
            QStringLiteral("<HEAD>"),
            QStringLiteral("<TITLE>Document Title</TITLE>"),
            QStringLiteral("</HEAD>"),
            QString(),
            QStringLiteral("<FRAMESET ROWS=\"\" COLS=\"\">"),
            QStringLiteral("      <FRAME SRC=\"\" NAME=\"\">"),
            QStringLiteral("</FRAMESET>"),
            QString(),
            QStringLiteral("</HTML>"),
        };
    default:
        return {};
    }
}

bool TemplateLibrary::readFile(const QString& path, QStringList* lines, QString* error)
{
    // A template is a page: its own declaration names its encoding.
    return ListFile::read(path, lines, error, TextFileCodec::Declarations::Obeyed);
}

void TemplateLibrary::fill(EditorContract& editor, const QStringList& lines)
{
    {
        EditGroup group(editor);
        editor.ClearAll();
        for (const QString& line : lines)
            editor.InsertAtCaret(line + QLatin1Char('\n'));
    }
    editor.SetModified(false);
}
