#pragma once
// The program's small list files (URL lists, the URL library, macro files,
// plug-ins, form definitions): plain text, one entry per line. Read with any
// line end (CR LF, LF or CR), UTF-8 when the bytes are valid UTF-8, else
// Latin-1; written whole, atomically, UTF-8 with CR LF after every line.
#include <QString>
#include <QStringList>

namespace ListFile {
// The file's lines; a last line end adds no empty entry. False, with the
// reason in *error, when the file does not exist or cannot be read.
bool read(const QString& path, QStringList* lines, QString* error = nullptr);
// Writes lines atomically; throws EFileError naming the file and the reason.
void write(const QString& path, const QStringList& lines);
// Splits text into lines at CR LF, LF or lone CR; no empty entry after a
// final line end.
QStringList splitLines(const QString& text);
}
