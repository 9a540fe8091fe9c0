#pragma once
// Replaces every macro key of a document by its expansion. The keys are
// found in one pass over the text and replaced in another; each replacement
// is an undo step of its own, and the clipboard ends holding the last key's
// text or expansion, as if each had been copied and pasted.
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
