#pragma once
// Replaces every macro key of a document by its expansion. The scan works
// through the editing control's own operations and uses the clipboard as
// its working buffer, so each replacement is a paste the user can undo.
#include <QString>
#include <QStringList>
#include <functional>

class EditorContract;

// The system clipboard's plain text, as the scanner needs it.
class MacroClipboard {
public:
    virtual ~MacroClipboard() = default;
    virtual QString text() const = 0;
    virtual void setText(const QString& text) = 0;
};

class MacroExpander {
public:
    using Status = std::function<void(const QString&)>;

    // Expands the keys of the document from its start: every "[" up to the
    // next "]" (possibly on a later line) is compared with the entries in
    // order, and the first entry that begins with it gives the text that is
    // pasted over it. The scan goes on after each key, so text just pasted
    // is never scanned again. Returns the number of keys found, matched or
    // not. Status gets "Searching for Macros ..." and "Macro " + each text.
    static int expand(EditorContract& editor, const QStringList& entries, MacroClipboard& clipboard,
                      const Status& status);

    // "No Macros found !" or "<count> Macros found !".
    static QString resultMessage(int count);
};
