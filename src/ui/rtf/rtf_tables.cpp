#include "rtf_tables.h"

#include <QTextTable>
#include <QTextTableFormat>

#include <algorithm>

namespace ui {

namespace {
constexpr double PixelsPerTwip = 96.0 / 1440.0;
}

void RtfTables::CellEdge(int twips) {
    if (m_cellEdges.size() < 64)
        m_cellEdges.push_back(std::clamp(twips, 0, 100000));
}

void RtfTables::AdjustDepth(int depth) {
    depth = std::clamp(depth, 0, MaxDepth);
    while (Depth() > depth)
        Close();
    while (Depth() < depth) {
        if (!m_levels.empty())
            PlaceCursor(m_levels.back()); // a nested table starts in its outer table's cell
        Open();
    }
}

void RtfTables::EnterDepth(int depth) {
    AdjustDepth(depth);
    if (!m_levels.empty())
        PlaceCursor(m_levels.back());
}

void RtfTables::Open() {
    // A nested table's row definition comes after its cells: it grows as they come.
    if (!m_levels.empty())
        m_cellEdges.clear();
    const int columns = std::max<int>(1, static_cast<int>(m_cellEdges.size()));
    QTextTableFormat format;
    format.setCellPadding(3);
    format.setCellSpacing(0);
    format.setBorder(1);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    if (!m_cellEdges.empty()) {
        QList<QTextLength> widths;
        int left = 0;
        for (int edge : m_cellEdges) {
            widths << QTextLength(QTextLength::FixedLength, std::max(8.0, (edge - left) * PixelsPerTwip));
            left = edge;
        }
        format.setColumnWidthConstraints(widths);
    }
    QTextTable* table = m_cursor.insertTable(1, columns, format);
    m_levels.push_back({table, 0, 0, false});
}

void RtfTables::Close() {
    QTextTable* table = m_levels.back().table;
    m_levels.pop_back();
    // The document goes on after the table, in the block Qt keeps behind every table.
    m_cursor = table->lastCursorPosition();
    m_cursor.movePosition(QTextCursor::NextBlock);
    // An outer table's current cell is where the text of that depth goes on.
    if (!m_levels.empty()) {
        Level& outer = m_levels.back();
        m_cursor = outer.table->cellAt(outer.row, std::min(outer.column, outer.table->columns() - 1))
                       .lastCursorPosition();
    }
}

void RtfTables::PlaceCursor(Level& level) {
    if (level.rowEnded) {
        level.table->appendRows(1);
        ++level.row;
        level.column = 0;
        level.rowEnded = false;
    }
    if (level.column >= level.table->columns())
        level.table->appendColumns(level.column - level.table->columns() + 1);
    const QTextTableCell cell = level.table->cellAt(level.row, level.column);
    // Within the cell the text goes on where it stands; a cell is entered at its end.
    if (m_cursor.currentTable() != level.table || level.table->cellAt(m_cursor) != cell)
        m_cursor = cell.lastCursorPosition();
}

void RtfTables::EndCell(int depth) {
    AdjustDepth(std::max(depth, 1));
    Level& level = m_levels.back();
    ++level.column;
}

void RtfTables::EndRow(int depth) {
    if (Depth() < std::max(depth, 1))
        return; // a row mark without a table has nothing to end
    AdjustDepth(std::max(depth, 1));
    Level& level = m_levels.back();
    level.rowEnded = true;
    level.column = 0;
}

} // namespace ui
