#pragma once
// The folders the wizards work in: the active document's folder, for
// relative file names and as the first place a Browse dialog opens in, and
// the last folder the user chose a file from, where the next Browse opens.
#include <QString>
#include <functional>

namespace WizardFolders {
// Tells where the active document lives; the function gives its folder, or
// an empty text for an untitled document or none. An empty function forgets.
void setDocumentFolder(std::function<QString()> folder);
// The active document's folder; empty when it has none.
QString documentFolder();
// Where a Browse dialog opens: the last folder used, else the active
// document's folder, else the user's home folder.
QString browseStart();
// A file the user chose in a Browse dialog: its folder is the last used.
void chosen(const QString& file);
// Forgets the last folder used.
void reset();
}
