#include "wizards/table/TableData.h"

#include "app/ListFile.h"
#include "app/SafeFile.h"

#include <QFile>
#include <QFileInfo>

void TableData::resize(int rows, int cols)
{
    QVector<QString> cells(rows * cols);
    for (int r = 0; r < qMin(rows, m_rows); ++r)
        for (int c = 0; c < qMin(cols, m_cols); ++c)
            cells[r * cols + c] = cell(c, r);
    m_cells = std::move(cells);
    m_heights.resize(rows, defaultRowHeight);
    m_widths.resize(cols, defaultColWidth);
    m_rows = rows;
    m_cols = cols;
}

void TableData::clearCells()
{
    m_cells.fill(QString());
}

void TableData::resetSizes()
{
    m_heights.fill(defaultRowHeight);
    m_widths.fill(defaultColWidth);
}

void TableData::moveRow(int from, int to)
{
    QVector<QString> row(m_cells.begin() + from * m_cols, m_cells.begin() + (from + 1) * m_cols);
    m_cells.remove(from * m_cols, m_cols);
    m_cells.insert(to * m_cols, m_cols, QString());
    std::copy(row.begin(), row.end(), m_cells.begin() + to * m_cols);
    m_heights.move(from, to);
}

void TableData::moveColumn(int from, int to)
{
    for (int r = 0; r < m_rows; ++r) {
        const auto first = m_cells.begin() + r * m_cols;
        const QString text = first[from];
        m_cells.remove(r * m_cols + from);
        m_cells.insert(r * m_cols + to, text);
    }
    m_widths.move(from, to);
}

namespace TableHtml {

QStringList generate(const TableData& t)
{
    const int n = t.colCount();
    const QString title = QStringLiteral("<tr><th nowrap colspan=%1>").arg(n);
    auto text = [&t](int c, int r) {
        const QString s = t.cell(c, r);
        return s.isEmpty() ? QStringLiteral("<br>") : s;
    };
    QStringList out;
    out << QStringLiteral("<table border=%1>").arg(t.border);
    if (!t.Caption1.isEmpty())
        out << title + t.Caption1 + QStringLiteral("</th></tr>");
    if (t.Caption2Placement == TableData::cpTop && !t.Caption2.isEmpty())
        out << title + t.Caption2 + QStringLiteral("</th></tr>");
    out << QStringLiteral("<tr>");
    for (int c = 0; c < n; ++c)
        out << (t.HeaderOn ? QStringLiteral("<TH nowrap>") + text(c, 0) + QStringLiteral("</TH>")
                           : QStringLiteral("<TD nowrap>") + text(c, 0) + QStringLiteral("</TD>"));
    out << QStringLiteral("</tr>");
    for (int r = 1; r < t.rowCount(); ++r) {
        out << QStringLiteral("<tr>");
        for (int c = 0; c < n; ++c)
            out << QStringLiteral("<td nowrap>") + text(c, r) + QStringLiteral("</td>");
        out << QStringLiteral("</tr>");
    }
    if (t.Caption2Placement == TableData::cpBottom && !t.Caption2.isEmpty())
        out << title + t.Caption2 + QStringLiteral("</th></tr>");
    out << QStringLiteral("</table><p>");
    return out;
}

QString clipboardText(const QStringList& lines)
{
    QString text;
    qsizetype size = 0;
    for (const QString& l : lines)
        size += l.size() + 2;
    text.reserve(size);
    for (const QString& l : lines) {
        text += l;
        text += QLatin1String("\r\n");
    }
    return text;
}

}  // namespace TableHtml

namespace TableFile {

QByteArray format(const TableData& t)
{
    const QString d(t.CellDelimiter);
    QStringList lines;
    lines << d << QString::number(t.rowCount()) + d + QString::number(t.colCount())
          << QString::number(t.defaultRowHeight) << t.Caption1 << t.Caption2
          << (t.Caption2Placement == TableData::cpTop ? QStringLiteral("Top") : QStringLiteral("Bottom"));
    for (int r = 0; r < t.rowCount(); ++r)
        if (t.rowHeight(r) != t.defaultRowHeight)
            lines << QStringLiteral("Row %1 Height: %2").arg(r).arg(t.rowHeight(r));
    for (int c = 0; c < t.colCount(); ++c)
        if (t.colWidth(c) != t.defaultColWidth)
            lines << QStringLiteral("Column %1 Width: %2").arg(c).arg(t.colWidth(c));
    for (int r = 0; r < t.rowCount(); ++r)
        for (int c = 0; c < t.colCount(); ++c)
            if (const QString s = t.cell(c, r); !s.isEmpty())
                lines << QString::number(c) + d + QString::number(r) + d + s;
    lines << QString();
    QString text;
    for (const QString& l : lines)
        text += l + QStringLiteral("\r\n");
    return text.toUtf8();
}

namespace {

// Text between two markers of a "Row i Height: h" line.
bool between(const QString& line, const QString& before, const QString& after, QString* index, QString* value)
{
    if (!line.startsWith(before))
        return false;
    const qsizetype at = line.indexOf(after, before.size());
    if (at < 0)
        return false;
    *index = line.mid(before.size(), at - before.size());
    *value = line.mid(at + after.size());
    return true;
}

bool number(const QString& text, int min, int max, int* out)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < min || v > max)
        return false;
    *out = v;
    return true;
}

}  // namespace

bool parse(const QStringList& lines, TableData& t, QString* error)
{
    t.clearCells();
    int lineNo = 0;
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("Line %1 (\"%2\") %3. The table was read up to that line.")
                         .arg(lineNo)
                         .arg(lines.at(lineNo - 1).left(80), why);
        return false;
    };
    const QString badNumber = QStringLiteral("holds a number that is not valid");
    for (const QString& line : lines) {
        ++lineNo;
        switch (lineNo) {
        case 1:
            if (!line.isEmpty())
                t.CellDelimiter = line.at(0);
            continue;
        case 2: {
            const qsizetype at = line.indexOf(t.CellDelimiter);
            int rows = 0, cols = 0;
            if (at < 0 || !number(line.left(at), 1, INT_MAX, &rows) || !number(line.mid(at + 1), 1, INT_MAX, &cols))
                return fail(QStringLiteral("does not give a valid row and column count"));
            if (rows > kMaxCount || cols > kMaxCount)
                return fail(QStringLiteral("gives %1 rows and %2 columns; a table has at most %3 of each")
                                .arg(rows).arg(cols).arg(kMaxCount));
            t.resize(rows, cols);
            continue;
        }
        case 3: {
            int h = 0;
            if (!number(line, 0, 100000, &h))
                return fail(badNumber);
            t.defaultRowHeight = h;
            t.resetSizes();
            continue;
        }
        case 4:
            t.Caption1 = line;
            continue;
        case 5:
            t.Caption2 = line;
            continue;
        case 6:
            t.Caption2Placement = line == QLatin1String("Top") ? TableData::cpTop : TableData::cpBottom;
            continue;
        default:
            break;
        }
        QString index, value;
        int i = 0, size = 0;
        if (line.startsWith(QLatin1String("Row"))) {
            if (!between(line, QStringLiteral("Row "), QStringLiteral(" Height: "), &index, &value)
                || !number(index, 0, INT_MAX, &i) || !number(value, 0, 100000, &size))
                return fail(badNumber);
            if (i < t.rowCount())
                t.setRowHeight(i, size);
        } else if (line.startsWith(QLatin1String("Column"))) {
            if (!between(line, QStringLiteral("Column "), QStringLiteral(" Width: "), &index, &value)
                || !number(index, 0, INT_MAX, &i) || !number(value, 0, 100000, &size))
                return fail(badNumber);
            if (i < t.colCount())
                t.setColWidth(i, size);
        } else if (const qsizetype first = line.indexOf(t.CellDelimiter); first >= 0) {
            const qsizetype second = line.indexOf(t.CellDelimiter, first + 1);
            int c = 0, r = 0;
            if (second < 0)
                return fail(QStringLiteral("has no row number"));
            if (!number(line.left(first), 0, INT_MAX, &c) || !number(line.mid(first + 1, second - first - 1), 0, INT_MAX, &r))
                return fail(badNumber);
            if (c >= t.colCount() || r >= t.rowCount())
                return fail(QStringLiteral("names a cell outside the table"));
            t.setCell(c, r, line.mid(second + 1));
        }
    }
    return true;
}

void save(const QString& path, const TableData& t, bool autoBackup)
{
    const QByteArray bytes = format(t);
    // A copy, not a rename: until the new file is complete the table file
    // itself stays as it was. An existing backup is kept.
    const QString backup = path + QStringLiteral("BAK");
    if (autoBackup && QFileInfo(path).isFile() && !QFileInfo::exists(backup)) {
        QByteArray old;
        if (SafeFile::read(path, &old))
            SafeFile::tryWrite(backup, old);
    }
    SafeFile::write(path, bytes);
}

bool load(const QString& path, TableData& t, QString* error)
{
    const QFileInfo info(path);
    if (!info.exists() || (info.isFile() && info.size() == 0))
        return true;
    QStringList lines;
    if (!ListFile::read(path, &lines, error))
        return false;
    QString why;
    if (!parse(lines, t, &why)) {
        if (error)
            *error = QStringLiteral("Unable to load %1: ").arg(SafeFile::shown(path)) + why;
        return false;
    }
    return true;
}

}  // namespace TableFile
