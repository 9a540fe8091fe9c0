#pragma once
// The strip left of an editor's text that shows the number of each of the
// text's own lines (a wrapped line is numbered once, where it starts).
#include <QWidget>

class TOvcTextFileEditor;

class LineNumberGutter : public QWidget {
    Q_OBJECT
public:
    explicit LineNumberGutter(TOvcTextFileEditor* editor);

    // Width for the editor's line count; 0 while hidden.
    int neededWidth() const;
    // The width for a text of so many lines (0 while hidden).
    int widthFor(qsizetype lines) const;
    QSize sizeHint() const override { return QSize(neededWidth(), 0); }

    // The tool tips of the line marks beside a point of the gutter, one a line.
    QString markTipAt(const QPoint& pos) const;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    TOvcTextFileEditor* m_editor;
};
