#pragma once
// Recovery files: the text of a modified document, written now and then
// while it is edited, so that a crash, a kill or a logout loses at most the
// last seconds of typing. One file per document in the data folder's
// "recovery" folder, named after the process that wrote it; removed when the
// document is saved or closed without saving. Files left by a process that
// is no longer running are offered at the next start.
#include "editor/TextFileCodec.h"

#include <QDateTime>
#include <QList>
#include <QString>

struct RecoveryEntry {
    QString file;      // the recovery file itself
    QString path;      // the document's file; empty for an untitled document
    QString caption;   // the window's caption when it was written
    TextFileFormat format;  // encoding, BOM and line ends to save with
    QDateTime time;    // when it was written
    qint64 pid = 0;    // the process that wrote it
    qint64 length = 0; // characters of text
};

namespace RecoveryStore {
// Documents larger than this (in characters) get no recovery file.
constexpr qint64 kMaxChars = qint64(50) * 1024 * 1024;
// The folder of the recovery files (not created here).
QString folder();
// A new file name for a document of this process; serial tells documents apart.
QString fileName(int serial);
// The file's bytes: a short header, then the text as UTF-16 (every
// character kept, lone surrogates included).
QByteArray serialize(const RecoveryEntry& entry, const QString& text);
bool parse(const QByteArray& bytes, RecoveryEntry* entry, QString* text);
// Writes atomically (creating the folder); throws EFileError.
void write(const RecoveryEntry& entry, const QString& text);
bool load(const QString& file, RecoveryEntry* entry, QString* text);
void remove(const QString& file);
// Recovery files whose process has ended (never this process's own), oldest first.
QList<RecoveryEntry> orphans();
}
