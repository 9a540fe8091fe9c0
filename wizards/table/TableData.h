#pragma once
// A table as the table wizard's grid holds it, its HTML and its table file
// (.vtb). Cells are addressed (column, row), both from 0.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

struct TableData {
    enum TCaption2Placement { cpTop, cpBottom };

    bool HeaderOn = true;
    QChar CellDelimiter = QLatin1Char('|');
    QString Caption1;
    QString Caption2;
    TCaption2Placement Caption2Placement = cpTop;
    int border = 1;  // the grid line width
    int defaultRowHeight = 16;
    int defaultColWidth = 64;

    TableData() { resize(2, 2); }
    int rowCount() const { return m_rows; }
    int colCount() const { return m_cols; }
    // Keeps the cells, heights and widths that stay inside the new size.
    void resize(int rows, int cols);
    QString cell(int col, int row) const { return m_cells.at(row * m_cols + col); }
    void setCell(int col, int row, const QString& text) { m_cells[row * m_cols + col] = text; }
    void clearCells();
    int rowHeight(int row) const { return m_heights.at(row); }
    void setRowHeight(int row, int h) { m_heights[row] = h; }
    int colWidth(int col) const { return m_widths.at(col); }
    void setColWidth(int col, int w) { m_widths[col] = w; }
    // Every row at the default height, every column at the default width.
    void resetSizes();
    void moveRow(int from, int to);
    void moveColumn(int from, int to);

private:
    int m_rows = 0;
    int m_cols = 0;
    QVector<QString> m_cells;
    QVector<int> m_heights;
    QVector<int> m_widths;
};

namespace TableHtml {
// The table's HTML, one entry per line.
QStringList generate(const TableData& t);
// Lines joined by CR LF, with one after the last: what the clipboard gets.
QString clipboardText(const QStringList& lines);
}

namespace TableFile {
// Largest row and column count a table may have: the wizard's Rows and
// Columns fields stop there, the grid grows no further, and a table file
// giving more is refused.
constexpr int kMaxCount = 500;
QByteArray format(const TableData& t);
// Reads a table file's lines into t: the cells are emptied first, sizes not
// listed take their defaults. A bad number or line stops the reading there,
// keeping what was read before; false, with *error naming the line.
bool parse(const QStringList& lines, TableData& t, QString* error);
// Saves t; with autoBackup an existing file is first kept under its full name
// with "BAK" appended, unless such a backup already exists. Throws EFileError.
void save(const QString& path, const TableData& t, bool autoBackup);
// Loads path into t. A missing or empty file changes nothing and is no error.
// False, with the reason naming the file, when it cannot be read or is damaged.
bool load(const QString& path, TableData& t, QString* error);
}
