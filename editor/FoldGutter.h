#pragma once
// The strip between the line numbers and the text that marks where a region
// may be folded (an open triangle) and where one is (a closed one); a click
// folds or unfolds it.
#include <QWidget>

class TOvcTextFileEditor;

class FoldGutter : public QWidget {
    Q_OBJECT
public:
    explicit FoldGutter(TOvcTextFileEditor* editor);
    // Width while shown; 0 while hidden.
    int neededWidth() const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    TOvcTextFileEditor* m_editor;
};
