#pragma once
// Recovery files: the text of a modified document, written now and then
// while it is edited, so that a crash, a kill or a logout loses at most the
// last seconds of typing. One file per document in the data folder's
// "recovery" folder, named after the process that wrote it; removed when the
// document is saved or closed without saving. Files left by a process that
// is no longer running are offered at the next start: the writer is named by
// its number, the boot it ran in and its start time, so a number another
// process took over after the writer died (or after a reboot) hides nothing.
// The folder is the user's alone (0700), every file private (0600).
#include "editor/TextFileCodec.h"
#include "editor/TextSnapshot.h"

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
    QByteArray bootId; // the boot it ran in, and its start time in clock ticks after
    qint64 started = 0; //   that boot (empty, 0: that of pid now, when written)
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
// character kept, lone surrogates included, a line break from U+2029, U+FDD0
// or U+FDD1 as that character), then the style of each line end when lines
// keep their own (lineEnds, as EditorContract::textForSaving gives them; one
// byte each). With the file format in the header, the document comes back
// exactly as it was in the editor. Header values are exact: names are
// percent-encoded, numbers bounded; parse refuses a header it cannot read
// whole (a damaged file is never half restored).
QByteArray serialize(const RecoveryEntry& entry, const QString& text, const QByteArray& lineEnds = {});
// The same for a snapshot of the buffer, its line ends included.
QByteArray serialize(const RecoveryEntry& entry, const TextSnapshot& text);
bool parse(const QByteArray& bytes, RecoveryEntry* entry, QString* text, QByteArray* lineEnds = nullptr);
// Writes atomically (creating the folder); throws EFileError.
void write(const RecoveryEntry& entry, const QString& text, const QByteArray& lineEnds = {});
void write(const RecoveryEntry& entry, const TextSnapshot& text);
bool load(const QString& file, RecoveryEntry* entry, QString* text, QByteArray* lineEnds = nullptr);
void remove(const QString& file);
// The running system's boot id; empty where there is none.
QByteArray bootId();
// The start time of a running process in clock ticks after boot; 0 when it is not running.
qint64 startTime(qint64 pid);
// True while the process that wrote the entry is still running.
bool ownerRunning(const RecoveryEntry& entry);
// Recovery files whose process has ended (never this process's own), oldest first.
QList<RecoveryEntry> orphans();
}
