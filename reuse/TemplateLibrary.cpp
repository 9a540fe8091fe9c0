#include "reuse/TemplateLibrary.h"

#include "app/ListFile.h"
#include "app/SafeFile.h"
#include "editor/EditorContract.h"
#include "editor/TextFileCodec.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

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

bool TemplateLibrary::readStart(const QString& path, qint64 maxBytes, QString* text, QString* error)
{
    const QString name = SafeFile::shown(path);
    const QFileInfo info(path);
    QFile file(path);
    if (info.exists() && !info.isFile()) {
        *error = QStringLiteral("Unable to open %1: it is not a regular file.").arg(name);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Unable to open %1: %2.").arg(name, file.errorString());
        return false;
    }
    if (file.size() > MaxFileSize) {
        *error = QStringLiteral("Unable to open %1: the file is too large (%2 MB).")
                     .arg(name, QString::number(file.size() / (1024 * 1024)));
        return false;
    }
    QByteArray bytes = file.read(maxBytes);
    const bool more = !file.atEnd();
    if (more) {
        // Whole lines only: no character is cut in two.
        const qsizetype end = std::max(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r'));
        if (end > 0)
            bytes.truncate(end + 1);
    }
    *text = TextFileCodec::decode(bytes, TextFileCodec::Declarations::Obeyed).text;
    if (text->endsWith(QLatin1Char('\n')))
        text->chop(1);
    return true;
}

void TemplateLibrary::fill(EditorContract& editor, const QStringList& lines)
{
    {
        EditGroup group(editor);
        editor.ClearAll();
        // One insertion: a large template goes in at once, not line by line.
        editor.InsertAtCaret(lines.isEmpty() ? QString() : lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    }
    // A new document starts with nothing to undo, as "&New Document" does.
    editor.ClearUndoHistory();
    editor.SetModified(false);
}
