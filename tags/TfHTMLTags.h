#pragma once
// The tag chooser "HTML Tags": tag pairs to insert by double click or by
// dragging onto a document.
#include "tags/ChooserWindow.h"

class TfHTMLTags : public ChooserWindow {
    Q_OBJECT
public:
    explicit TfHTMLTags(TagEngine& engine, QWidget* parent = nullptr);

    ChooserList* lstHTML = nullptr;

public slots:
    // Splits the current item into its opening and closing text, stores them
    // as the last-tag pair and inserts them.
    void InsertHTML();

protected:
    TagPair dragPair(const QString& item) const override;
};
