#pragma once
// Texts personal to the user (from the "Application Header" settings, read
// at every call) and the "Last Updated" stamp, plus reading a text file for
// insertion at the caret.
#include "tags/TagEngine.h"

#include <QDateTime>
#include <QLocale>
#include <QStringList>

class TMegaRegistry;

namespace Stamps {
// The identity values, each replaced by a placeholder when its key is missing.
QString userName(const TMegaRegistry& settings);
QString email(const TMegaRegistry& settings);
QString organisation(const TMegaRegistry& settings);
QString homePage(const TMegaRegistry& settings);

TagPair PreDefined(const TMegaRegistry& settings);      // mail link to the user, named
TagPair MailtomeURL(const TMegaRegistry& settings);     // "Send mail to ..." link
TagPair MyCompany(const TMegaRegistry& settings);
TagPair MyHomePageURL(const TMegaRegistry& settings);
TagPair LastUpdated(const TMegaRegistry& settings, const QDateTime& when, const QLocale& locale);

// "Sunday, 6 December, 2026 at 6:08 PM": weekday and month names of the
// locale, day without leading zero, 12-hour clock, "AM"/"PM".
QString lastUpdatedDate(const QDateTime& when, const QLocale& locale);

// The lines of a text file, decoded as documents are; lines are kept whole.
// A final line end does not make an extra empty line. Throws EFileError when
// the file cannot be read.
QStringList readTextFileLines(const QString& fileName);
// The whole text of a file to insert, each line followed by '\n'. Throws
// EFileError naming the file and the reason when it cannot be read, or when it
// is larger than kMaxInsertSize.
QString readTextFile(const QString& fileName);
constexpr qint64 kMaxInsertSize = qint64(256) * 1024 * 1024;

// Inserts a text file at the caret of the active document, each line followed
// by a line break, bypassing the tag engine (no case change, last pair kept).
// Does nothing without a document window.
void InsertFile(TagHost& host, const QString& fileName);
}
