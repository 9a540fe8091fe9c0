#pragma once
// The session: the files open at exit, their caret positions and the active
// one, kept in the settings file and opened again at the next start.
class DocumentHost;
class TMegaRegistry;

namespace Session {
// Whether the next start opens them again ("Reopen Files of the Last Session").
bool enabled(const TMegaRegistry& ini);
// Writes the titled documents of host; an empty list when there are none.
void store(DocumentHost& host, TMegaRegistry& ini);
// Opens the stored files that still exist, puts their carets back and
// activates the one that was active. Files that are gone are skipped and
// named in one status line note. Returns the number of files opened.
int restore(DocumentHost& host, const TMegaRegistry& ini);
}
