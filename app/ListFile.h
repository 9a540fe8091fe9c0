#pragma once
// The program's small list files (URL lists, the URL library, macro files,
// plug-ins, form definitions, projects, tables, notes): plain text, one entry
// per line. Read with any line end (CR LF, LF or CR), UTF-8 when the bytes
// are UTF-8 (a few stray bytes ride along), else Windows-1252, whatever the
// text says about its encoding: a <meta charset> in an entry is text. Written
// whole, atomically, UTF-8 with CR LF after every line; a file read with a
// UTF-8 BOM keeps it, and stray bytes go back as they were read.
#include "editor/TextFileCodec.h"

#include <QString>
#include <QStringList>

namespace ListFile {
// The text of one of the program's own files, decoded as read() does.
DecodedText decode(const QByteArray& bytes);
// The file's lines; a last line end adds no empty entry. False, with the
// reason in *error, when the file does not exist or cannot be read.
// Declarations::Obeyed is for pages kept as lines (templates): a page's
// <meta charset> names its encoding.
bool read(const QString& path, QStringList* lines, QString* error = nullptr,
          TextFileCodec::Declarations declarations = TextFileCodec::Declarations::Ignored);
// Writes lines atomically; throws EFileError naming the file and the reason.
void write(const QString& path, const QStringList& lines);
// Splits text into lines at CR LF, LF or lone CR; no empty entry after a
// final line end.
QStringList splitLines(const QString& text);
// At most units UTF-16 units of text from the index from on, never ending
// inside a character: one unit fewer where the last would be the first half
// of a surrogate pair.
QString midWhole(const QString& text, qsizetype from, qsizetype units);
}
