#pragma once
// A table of the report as data, and its layout in the font in use. A table is its columns'
// heads and its rows' cells; a column is as wide as its widest cell, and where the columns do
// not fit the width their wrapping cells wrap at spaces, or, when even that does not fit, the
// table is split into blocks of columns side by side no more, each with the first column again.
// Rows are laid out top to bottom; the caller breaks them over pages with the head repeated.

#include <QFont>
#include <QFontMetrics>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class QPaintDevice;

// Texts from the record as ISO 8859-1, the display's code page, so that any bytes come out as text.
inline QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

struct TableCell {
    QString Text;
    bool Wraps = false;  // may wrap at its spaces; else it keeps to one line
};

struct TableRow {
    std::vector<TableCell> Cells;  // one per column
    bool Bold = false;
};

struct ReportTable {
    TableRow Head;  // the columns' heads, always bold
    std::vector<TableRow> Rows;
    bool BoldFirstColumn = false;  // the rows' labels, where the table is read across
};

// A figure of `T` as a table describes it: its head and its cell of each `T`. The report's
// tables are lists of these, read down (a column per field) or across (a row per field).
template <typename T>
struct TableField {
    const char* Head;
    std::function<std::string(const T&)> Cell;
    bool Wraps = false;
};

// A table read down: a column per field, a row per item, bold where `bold` says.
template <typename T>
ReportTable TableDown(const std::vector<TableField<T>>& fields, const std::vector<T>& items,
                      const std::function<bool(const T&)>& bold = {}) {
    ReportTable table;
    for (const TableField<T>& field : fields)
        table.Head.Cells.push_back({QString::fromLatin1(field.Head)});
    for (const T& item : items) {
        TableRow& row = table.Rows.emplace_back();
        row.Bold = bold && bold(item);
        for (const TableField<T>& field : fields)
            row.Cells.push_back({Latin1(field.Cell(item)), field.Wraps});
    }
    return table;
}

// A table read across: a row per field headed by its name, a column per item; the first
// field's row is the head.
template <typename T>
ReportTable TableAcross(const std::vector<TableField<T>>& fields, const std::vector<T>& items) {
    ReportTable table;
    table.BoldFirstColumn = true;
    for (const TableField<T>& field : fields) {
        TableRow& row = table.Rows.emplace_back();
        row.Cells.push_back({QString::fromLatin1(field.Head), true});
        for (const T& item : items)
            row.Cells.push_back({Latin1(field.Cell(item)), field.Wraps});
    }
    table.Head = std::move(table.Rows.front());
    table.Rows.erase(table.Rows.begin());
    return table;
}

// The fonts a table is set in, measured on the device it is drawn on.
struct TableFonts {
    QFont Body;
    QFont Bold;
    const QPaintDevice* Device = nullptr;
    int Gap = 0;  // between columns
};

// A table, or a block of its columns, laid out within a width.
struct TableBlock {
    std::vector<std::size_t> Columns;  // of the table, the first one first
    std::vector<int> Widths;           // of each of those columns
    std::vector<int> Heights;          // of the head, then of each row
};

// The blocks of `table` that fit `width`: one when the columns fit side by side.
std::vector<TableBlock> LayOutTable(const ReportTable& table, const TableFonts& fonts, int width);

// How a cell is set within its width: wrapped at its spaces or on one line.
int CellFlags(const TableCell& cell);

// The font of a cell.
const QFont& CellFont(const ReportTable& table, const TableFonts& fonts, const TableRow& row, std::size_t column,
                      bool head);
