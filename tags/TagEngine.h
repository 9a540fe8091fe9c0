#pragma once
// The one way markup reaches a document: an opening and a closing text
// wrapped around the selection of the active document, or inserted at its
// caret, in the letter case the user has chosen.
#include <QString>

class EditorContract;
class TMegaRegistry;

// An opening and a closing text; either may be empty.
struct TagPair {
    QString open;
    QString close;
    bool operator==(const TagPair& o) const { return open == o.open && close == o.close; }
};

// What the engine needs from the main frame.
class TagHost {
public:
    virtual ~TagHost() = default;
    // The editor of the active document window; nullptr when no document window is open.
    virtual EditorContract* activeEditor() = 0;
    // The status line's progress message.
    virtual void SetStatusText(const QString& text) = 0;
    // The caption of the status panel that shows the last pair inserted.
    virtual void SetTagPanel(const QString& text) = 0;
    // The application settings store.
    virtual TMegaRegistry& settings() = 0;
    // A plain message box with an OK button.
    virtual void ShowMessage(const QString& text) = 0;
};

class TagEngine {
public:
    explicit TagEngine(TagHost& host) : m_host(host) {}

    TagHost& host() const { return m_host; }

    // Wraps the active document's selection in the two texts, or inserts both
    // at its caret with the caret left between them. Does nothing to any
    // document when no document window is open. Errors of the editor are
    // passed on after the status line and the tag panel have been updated.
    void InsertTagPair(const QString& openText, const QString& closeText);
    void InsertTagPair(const TagPair& pair) { InsertTagPair(pair.open, pair.close); }
    // Replays the last pair ("Repeat Last Tag", drops on a document).
    void RepeatLastTag() { InsertTagPair(m_lastOpen, m_lastClose); }

    // The pair last inserted, or last picked up from a list for a drag.
    const QString& LastOpenTag() const { return m_lastOpen; }
    const QString& LastCloseTag() const { return m_lastClose; }
    TagPair lastPair() const { return {m_lastOpen, m_lastClose}; }
    // Sets the last pair as given (no case conversion); used when a list starts a drag.
    void setLastPair(const QString& openText, const QString& closeText);

    // True when a document window is open and its editor has a selection.
    bool ActiveHasSelection() const;
    // Deletes the active document's selection, if any.
    void DeleteActiveSelection();

    // "#RRGGBB" for the sixteen standard colours 0..15; empty for any other index.
    static QString ColorIndexToHtml(int index);
    // "#RRGGBB" of a 24-bit colour value stored as 0x00BBGGRR.
    static QString ColorRefToHtml(quint32 colorRef);
    static QString ColorToHtml(int red, int green, int blue);

    // The letter case conversion of the "Case" setting: "U" capitals, "L"
    // small letters, anything else unchanged. Only ASCII letters change.
    static QString applyTagCase(const QString& text, const QString& caseSetting);

private:
    TagHost& m_host;
    QString m_lastOpen;
    QString m_lastClose;
};
