#pragma once
// The table wizard's grid: a string grid that knows its titles, its header
// row and its own table file, and writes itself as HTML.
#include "wizards/table/TableData.h"

#include <QTableWidget>
#include <functional>

class tHTMLStringGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit tHTMLStringGrid(QWidget* parent = nullptr);
    // Saves the table once more when AutoSave is on and it has a file.
    ~tHTMLStringGrid() override;

    bool HeaderOn() const { return m_headerOn; }
    void setHeaderOn(bool on);
    bool AutoBackup = true;
    QChar CellDelimiter = QLatin1Char('|');
    QString FileName;
    QString Caption1;
    QString Caption2;
    TableData::TCaption2Placement Caption2Placement = TableData::cpTop;
    bool AutoSave = true;
    int GridLineWidth = 1;
    static constexpr int kDefaultRowHeight = 16;
    static constexpr int kDefaultColWidth = 64;

    // The text a drop from one of the program's lists puts into the current cell.
    std::function<QString()> dropText;

    TableData toData() const;
    void fromData(const TableData& t);
    QString cellText(int col, int row) const;
    void setCellText(int col, int row, const QString& text);
    void clearText();

    void WriteHTML(QStringList& lines) const;
    // Both report failures as EFileError naming the file.
    void SaveToFile(const QString& name);
    void LoadFromFile(const QString& name);

signals:
    // The row count changed through a key.
    void rowsChanged();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    // The grid's own keys reach it from a cell being edited too.
    bool eventFilter(QObject* watched, QEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    // Down, Insert and Ctrl+Delete: the keys the grid handles itself.
    static bool isGridKey(const QKeyEvent* e);
    void styleHeaderRow();
    void bakeMove(Qt::Orientation o, int from, int to);
    bool m_headerOn = true;
};
