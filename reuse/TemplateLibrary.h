#pragma once
// The texts a new document can start from: the four built-in templates of
// the templates dialog and any template file the user picks.
#include <QString>
#include <QStringList>

class EditorContract;

class TemplateLibrary {
public:
    enum Page { Simple, Coloured, Graphical, FrameSets, UserDefined, PageCount };

    // The page's tab caption ("&Simple", ..., "&User Defined").
    static QString pageCaption(int page);
    // The caption of the group that frames a built-in page's text.
    static QString groupCaption(int page);
    // The lines of a built-in template, exactly as the document gets them;
    // empty for the user-defined page.
    static QStringList builtIn(int page);

    // The lines of a template file: UTF-8 when valid, else Latin-1; any line
    // end. False with the reason in *error when it cannot be read.
    static bool readFile(const QString& path, QStringList* lines, QString* error);
    // Files larger than this are refused, as File Open refuses them.
    static constexpr qint64 MaxFileSize = qint64(256) * 1024 * 1024;
    // The start of a template file for its preview: at most maxBytes of it,
    // ended at a line end when the file goes on. False, with the reason in
    // *error, for a file that cannot be read, is not a regular file or is
    // larger than MaxFileSize.
    static bool readStart(const QString& path, qint64 maxBytes, QString* text, QString* error);

    // Replaces the document's text by the lines, each followed by a line
    // break, as one undo step; the document ends unmodified.
    static void fill(EditorContract& editor, const QStringList& lines);
};
