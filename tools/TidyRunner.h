#pragma once
// HTML Tidy (libtidy 5, the HTML5 version): its diagnostics of a page as
// problems, and its clean and repair for "Tidy Up Page". Each call makes a
// Tidy document of its own, so calls may run on several threads at once.
#include "tools/PageChecks.h"

#include <QString>
#include <QStringList>

namespace TidyRunner {

// "5.6.0"; empty when the library does not answer.
QString version();

struct Diagnostics {
    bool ok = false;        // Tidy ran
    QString error;          // why not
    QStringList configNotes;  // what Tidy found wrong in the options file
    QList<PageChecks::Problem> problems;
};

// Tidy's errors, warnings and notes for text. Messages that only repeat what
// the program's own checks report are left out; messages about HTML 4 markup
// become legacy notes, shown when `ours` runs the legacy check. configFile: the user's options (may be
// empty or missing).
Diagnostics diagnose(const QString& text, const PageChecks::Options& ours, const QString& configFile = QString());

struct Cleaned {
    bool ok = false;
    QString text;           // lines joined by '\n'
    QString error;
    QStringList configNotes;  // what Tidy found wrong in the options file
};

// Clean and repair. fragment: text is a piece of a page (a selection), and
// the result is only that piece. upperCase: tag and attribute names in
// capitals, else in small letters. Lines are never wrapped.
Cleaned cleanUp(const QString& text, bool fragment, bool upperCase, const QString& configFile = QString());

// The user's options file in the settings folder ("tidy.cfg").
QString optionsPath();
// Writes the commented default options file when there is none; false with
// the reason (naming the file) when it cannot.
bool ensureOptionsFile(QString* error);
// The text of the default options file.
QString defaultOptions();

// The lines of two texts as a unified comparison.
struct DiffLine {
    enum Kind { Same, Removed, Added };
    Kind kind = Same;
    QString text;
    int oldLine = 0;  // from 1; 0 for an added line
    int newLine = 0;  // from 1; 0 for a removed line
};
QList<DiffLine> diffLines(const QStringList& before, const QStringList& after);

} // namespace TidyRunner
