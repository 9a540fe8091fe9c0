#pragma once
// The symbol chooser "Symbols": character entities to insert by double click
// or by dragging onto a document.
#include "tags/ChooserWindow.h"

class TfSymbol : public ChooserWindow {
    Q_OBJECT
public:
    explicit TfSymbol(TagEngine& engine, QWidget* parent = nullptr);

    ChooserList* lSym = nullptr;

public slots:
    // Replaces the items by the lines of "symbols.web" in the program's
    // folder when that file exists; otherwise the list keeps its items.
    void LoadSymbols();
    // Inserts the current item's text with an empty closing text.
    void lSymDblClick();

protected:
    bool event(QEvent* e) override;
    TagPair dragPair(const QString& item) const override;

private:
    // Name, size and time of the symbol file last loaded.
    QString m_loadedStamp;
};
