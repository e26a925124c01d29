#include "report/report_table.h"

#include <QRect>
#include <QStringList>

#include <algorithm>
#include <numeric>

namespace {

struct ColumnWidth {
    int Natural = 0;  // its widest cell on one line
    int Least = 0;    // its widest word of a wrapping cell, or its widest cell that keeps to one line
};

int WidestWord(const QFontMetrics& metrics, const QString& text) {
    int widest = 0;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = std::max(widest, metrics.horizontalAdvance(word));
    return widest;
}

template <typename Visit>
void ForEachRow(const ReportTable& table, Visit visit) {
    visit(table.Head, true);
    for (const TableRow& row : table.Rows)
        visit(row, false);
}

std::vector<ColumnWidth> MeasureColumns(const ReportTable& table, const TableFonts& fonts) {
    std::vector<ColumnWidth> widths(table.Head.Cells.size());
    ForEachRow(table, [&](const TableRow& row, bool head) {
        for (std::size_t column = 0; column < widths.size(); ++column) {
            const QFontMetrics metrics(CellFont(table, fonts, row, column, head), fonts.Device);
            const TableCell& cell = row.Cells[column];
            // A unit more than measured, so that rounding never breaks a line that fits.
            const int natural = metrics.horizontalAdvance(cell.Text) + 1;
            widths[column].Natural = std::max(widths[column].Natural, natural);
            widths[column].Least =
                std::max(widths[column].Least, cell.Wraps ? WidestWord(metrics, cell.Text) + 1 : natural);
        }
    });
    return widths;
}

int Total(const std::vector<int>& widths, int gap) {
    return std::accumulate(widths.begin(), widths.end(), 0) + gap * std::max(0, static_cast<int>(widths.size()) - 1);
}

// The widths of `columns` within `width`: each as wide as its widest cell, or when they do not
// fit, the widest ones narrowed to a common width (their cells wrapping), never under their
// least; none when even their least widths do not fit.
std::vector<int> FitWidths(const std::vector<ColumnWidth>& measured, const std::vector<std::size_t>& columns, int width,
                           int gap) {
    const auto capped = [&](int cap) {
        std::vector<int> widths;
        for (const std::size_t column : columns)
            widths.push_back(std::max(measured[column].Least, std::min(measured[column].Natural, cap)));
        return widths;
    };
    if (Total(capped(0), gap) > width)
        return {};
    int low = 0;  // the widest cap that fits
    int high = width;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (Total(capped(middle), gap) <= width)
            low = middle;
        else
            high = middle - 1;
    }
    return capped(low);
}

// The columns in as few blocks as their least widths allow within `width`, each with the first
// column, and the columns shared out evenly among them where that fits too.
std::vector<std::vector<std::size_t>> SplitColumns(const std::vector<ColumnWidth>& measured, int width, int gap) {
    std::vector<std::vector<std::size_t>> blocks;
    int used = width;  // none yet: the next column starts a block
    for (std::size_t column = 1; column < measured.size(); ++column) {
        if (used + gap + measured[column].Least > width) {
            blocks.push_back({0});
            used = measured[0].Least;
        }
        blocks.back().push_back(column);
        used += gap + measured[column].Least;
    }
    if (blocks.size() < 2)
        return blocks.empty() ? std::vector<std::vector<std::size_t>>{{0}} : blocks;
    std::vector<std::vector<std::size_t>> even(blocks.size(), std::vector<std::size_t>{0});
    const std::size_t columns = measured.size() - 1;
    for (std::size_t column = 1; column <= columns; ++column)
        even[(column - 1) * blocks.size() / columns].push_back(column);
    for (const std::vector<std::size_t>& block : even)
        if (FitWidths(measured, block, width, gap).empty())
            return blocks;
    return even;
}

}  // namespace

int CellFlags(const TableCell& cell) {
    return cell.Wraps ? Qt::TextWordWrap : Qt::TextSingleLine;
}

const QFont& CellFont(const ReportTable& table, const TableFonts& fonts, const TableRow& row, std::size_t column,
                      bool head) {
    return head || row.Bold || (column == 0 && table.BoldFirstColumn) ? fonts.Bold : fonts.Body;
}

std::vector<TableBlock> LayOutTable(const ReportTable& table, const TableFonts& fonts, int width) {
    const std::vector<ColumnWidth> measured = MeasureColumns(table, fonts);
    std::vector<std::size_t> all(measured.size());
    std::iota(all.begin(), all.end(), std::size_t{0});
    std::vector<std::vector<std::size_t>> columns{all};
    if (FitWidths(measured, all, width, fonts.Gap).empty())
        columns = SplitColumns(measured, width, fonts.Gap);
    std::vector<TableBlock> blocks;
    for (std::vector<std::size_t>& block : columns) {
        TableBlock& laid = blocks.emplace_back();
        laid.Widths = FitWidths(measured, block, width, fonts.Gap);
        if (laid.Widths.empty())  // a column too wide for the page even alone: it takes the width
            laid.Widths.assign(block.size(), width / static_cast<int>(block.size()));
        laid.Columns = std::move(block);
        ForEachRow(table, [&](const TableRow& row, bool head) {
            int height = 0;
            for (std::size_t index = 0; index < laid.Columns.size(); ++index) {
                const std::size_t column = laid.Columns[index];
                const QFontMetrics metrics(CellFont(table, fonts, row, column, head), fonts.Device);
                const QRect box(0, 0, laid.Widths[index], 1 << 20);
                const TableCell& cell = row.Cells[column];
                height = std::max(height, metrics.boundingRect(box, CellFlags(cell), cell.Text).height());
                height = std::max(height, metrics.height());
            }
            laid.Heights.push_back(height);
        });
    }
    return blocks;
}
