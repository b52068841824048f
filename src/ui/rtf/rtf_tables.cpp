#include "rtf_tables.h"

#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextTable>
#include <QTextTableFormat>

#include <algorithm>

namespace ui {

namespace {
constexpr double PixelsPerTwip = 96.0 / 1440.0;
// Wider than a page of ten inches: a table laid out for a screen (written from HTML, with
// edges up to 65535) is shown by the shares of its columns, not by their sizes.
constexpr int WidestFixedTwips = 14400;

// Qt gives every column it adds the width constraint of its left neighbour, read from the
// table's list of constraints by index: when that list is shorter than the table (columns
// added for cells beyond the row's definition), it reads past its end. The constraints are
// dropped before every change of the columns and set again, one for each column, after it.
QString CellText(const QTextTableCell& cell) {
    QTextCursor c = cell.firstCursorPosition();
    c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return c.selectedText();
}

void DropColumnWidths(QTextTable* table) {
    QTextTableFormat format = table->format();
    if (format.columnWidthConstraints().isEmpty())
        return;
    format.clearColumnWidthConstraints();
    table->setFormat(format);
}
} // namespace

RtfTables::~RtfTables() = default;

void RtfTables::CellEdge(int twips) {
    if (m_definition.size() >= MaxColumns)
        return; // further cells share the last column
    const int previous = m_definition.empty() ? 0 : m_definition.back().right;
    m_nextCell.right = std::max(std::clamp(twips, 0, 100000), previous + 1); // edges ascend
    m_definition.push_back(m_nextCell);
    m_nextCell = {};
}

void RtfTables::AdjustDepth(int depth) {
    depth = m_asText ? 0 : std::clamp(depth, 0, MaxDepth);
    while (Depth() > depth)
        Close();
    while (Depth() < depth) {
        if (!m_levels.empty()) { // a nested table starts in its outer table's cell
            Level& outer = m_levels.back();
            if (!outer.rowOpen)
                StartRow(outer);
            PlaceCursor(m_levels.back());
        }
        Open();
        if (m_asText)
            return;
        if (Depth() < depth)
            m_levels.back().wrapper = true;
    }
}

void RtfTables::EnterDepth(int depth) {
    AdjustDepth(depth);
    if (m_levels.empty()) // no table, or tables shown as text
        return;
    m_levels.back().wrapper = false;
    if (!m_levels.back().rowOpen)
        StartRow(m_levels.back());
    if (!m_levels.empty())
        PlaceCursor(m_levels.back());
}

void RtfTables::Open() {
    if (m_levels.empty()) {
        if (++m_tablesMade > MaxTables) {
            m_asText = true;
            return;
        }
        // Built apart, in a document of its own; the text goes on after it later.
        m_textCursor = m_cursor;
        m_tableDocument = std::make_unique<QTextDocument>();
        m_tableDocument->setUndoRedoEnabled(false);
        m_cursor = QTextCursor(m_tableDocument.get());
        m_cursor.beginEditBlock(); // no layout of each piece as it arrives
    }
    Level level;
    // A nested table's row definition comes after its cells: its cells come in turn.
    if (m_levels.empty())
        for (const CellDef& cell : m_definition)
            level.grid.push_back(cell.right);
    QTextTableFormat format;
    format.setCellPadding(3);
    format.setCellSpacing(0);
    format.setBorder(1);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    level.table = m_cursor.insertTable(1, std::max<int>(1, static_cast<int>(level.grid.size())), format);
    level.rows = 1;
    m_levels.push_back(std::move(level));
    SetColumnWidths(m_levels.back());
    m_cursorTable = nullptr;
}

void RtfTables::Close() {
    QTextTable* table = m_levels.back().table;
    // A skipped level stands for what it holds: the table it wraps, without a frame of its own.
    const bool unwrap = m_levels.back().wrapper && table->rows() == 1;
    m_levels.pop_back();
    m_cursorTable = nullptr;
    QTextCursor whole(table->document());
    if (unwrap) {
        const QTextTableCell cell = table->cellAt(0, 0);
        whole.setPosition(cell.firstPosition());
        whole.setPosition(cell.lastPosition(), QTextCursor::KeepAnchor);
    } else {
        whole.setPosition(table->firstPosition() - 1);
        whole.setPosition(table->lastPosition() + 1, QTextCursor::KeepAnchor);
    }
    if (m_levels.empty()) {
        // The complete table goes into the text in one piece; the text goes on after it.
        m_cursor.endEditBlock();
        m_cursor = m_textCursor;
        m_cursor.insertFragment(QTextDocumentFragment(whole));
        m_tableDocument.reset();
        return;
    }
    if (unwrap) {
        const QTextDocumentFragment content(whole);
        QTextCursor frame(table->document());
        frame.setPosition(table->firstPosition() - 1);
        frame.setPosition(table->lastPosition() + 1, QTextCursor::KeepAnchor);
        frame.insertFragment(content);
        m_cursor = frame;
    } else {
        // The outer table goes on after the nested one, in the block Qt keeps behind it.
        m_cursor = table->lastCursorPosition();
        m_cursor.movePosition(QTextCursor::NextBlock);
    }
    // An outer table's current cell is where the text of that depth goes on.
    if (!m_levels.empty() && m_levels.back().rowOpen)
        PlaceCursor(m_levels.back());
}

void RtfTables::StartRow(Level& level) {
    if (level.row >= 0 && level.rows >= MaxRowsPerTable) {
        // A table grows at a cost that rises with its size: a very long one goes on as a
        // table of its own, right below, with the same columns.
        const bool nested = Depth() > 1;
        std::vector<CellDef> definition = m_definition;
        if (!nested)
            for (int edge : level.grid)
                if (std::none_of(definition.begin(), definition.end(),
                                 [edge](const CellDef& c) { return c.right == edge; }))
                    definition.push_back({edge});
        Close();
        std::swap(m_definition, definition);
        std::sort(m_definition.begin(), m_definition.end(),
                  [](const CellDef& a, const CellDef& b) { return a.right < b.right; });
        Open();
        std::swap(m_definition, definition);
        if (!m_levels.empty())
            StartRow(m_levels.back());
        return;
    }
    if (level.row >= 0) {
        level.table->appendRows(1);
        ++level.rows;
    }
    ++level.row;
    level.cell = 0;
    level.lastColumnCell = -1;
    level.rowOpen = true;
    level.cells.clear();
    level.firstColumn.clear();
    if (Depth() > 1 || &level != &m_levels.front())
        return; // nested: cells in turn
    level.cells = m_definition;
    for (std::size_t i = 0; i < level.cells.size(); ++i) {
        const CellDef& cell = level.cells[i];
        const int first = i == 0 ? 0 : ColumnOfEdge(level, level.cells[i - 1].right) + 1;
        const int last = std::max(first, ColumnOfEdge(level, cell.right));
        level.firstColumn.push_back(std::min(first, level.table->columns() - 1));
        const int column = level.firstColumn.back();
        const int span = std::min(last, level.table->columns() - 1) - column + 1;
        if (cell.continuesLeft && i > 0) {
            // The old horizontal merge: this cell belongs to the one on its left.
            const QTextTableCell left = level.table->cellAt(level.row, level.firstColumn[i - 1]);
            level.table->mergeCells(level.row, left.column(), 1, column + span - left.column());
            level.firstColumn.back() = left.column();
            continue;
        }
        if (cell.continuesAbove && level.row > 0) {
            const QTextTableCell above = level.table->cellAt(level.row - 1, column);
            if (above.column() == column && above.columnSpan() == span) {
                level.table->mergeCells(above.row(), column, level.row - above.row() + 1, span);
                continue;
            }
        }
        if (span > 1)
            level.table->mergeCells(level.row, column, 1, span);
    }
    SetColumnWidths(level);
}

int RtfTables::ColumnOfEdge(Level& level, int edge) {
    auto at = std::lower_bound(level.grid.begin(), level.grid.end(), edge);
    const int column = static_cast<int>(at - level.grid.begin());
    if (at != level.grid.end() && *at == edge)
        return column;
    if (static_cast<int>(level.grid.size()) >= MaxColumns)
        return std::min(column, static_cast<int>(level.grid.size()) - 1);
    // A new edge splits a column of the grid in two; in the rows made so far, the cell that
    // covered that column covers both halves.
    level.grid.insert(at, edge);
    QTextTable* table = level.table;
    DropColumnWidths(table); // set again once the row is laid out
    if (column >= table->columns()) {
        table->appendColumns(column - table->columns() + 1);
        return column;
    }
    table->insertColumns(column, 1);
    for (int row = 0; row < table->rows(); ++row) {
        if (row == level.row)
            continue; // the row being laid out places its own cells
        const QTextTableCell right = table->cellAt(row, column + 1);
        const QTextTableCell added = table->cellAt(row, column);
        if (added.column() == column && added.columnSpan() == 1 && right.row() == row) {
            const QString text = CellText(right);
            table->mergeCells(row, column, right.rowSpan(), right.columnSpan() + 1);
            // Qt joins the empty new cell to the text with a blank; the text stays as it was.
            const QTextTableCell merged = table->cellAt(row, column);
            if (CellText(merged) == QLatin1Char(' ') + text) {
                QTextCursor blank = merged.firstCursorPosition();
                blank.deleteChar();
            }
        }
    }
    return column;
}

void RtfTables::SetColumnWidths(Level& level) {
    if (level.grid.empty())
        return;
    const bool shares = level.grid.back() > WidestFixedTwips;
    QList<QTextLength> widths;
    int left = 0;
    for (int edge : level.grid) {
        const int twips = std::max(1, edge - left);
        widths << (shares ? QTextLength(QTextLength::PercentageLength, 100.0 * twips / level.grid.back())
                          : QTextLength(QTextLength::FixedLength, std::max(8.0, twips * PixelsPerTwip)));
        left = edge;
    }
    // Columns beyond the grid (cells the row did not define) share the last one's width.
    while (widths.size() < level.table->columns())
        widths << widths.back();
    widths.resize(level.table->columns());
    QTextTableFormat format = level.table->format();
    format.setColumnWidthConstraints(widths);
    level.table->setFormat(format);
}

int RtfTables::ColumnOfCell(const Level& level, int cell) const {
    if (cell < static_cast<int>(level.firstColumn.size()))
        return level.firstColumn[static_cast<std::size_t>(cell)];
    if (level.firstColumn.empty())
        return cell;
    // More cells than the row defines: in turn after the last defined one.
    const QTextTableCell last = level.table->cellAt(level.row, level.firstColumn.back());
    return last.column() + last.columnSpan() + (cell - static_cast<int>(level.firstColumn.size()));
}

void RtfTables::PlaceCursor(Level& level) {
    QTextTable* table = level.table;
    int column = ColumnOfCell(level, level.cell);
    if (column >= table->columns() && table->columns() < MaxColumns) {
        DropColumnWidths(table);
        table->appendColumns(std::min(column, MaxColumns - 1) - table->columns() + 1);
        SetColumnWidths(level);
    }
    const bool shared = column >= table->columns() - 1 && level.cell > 0 && table->columns() >= MaxColumns;
    column = std::min(column, table->columns() - 1);
    if (!(m_cursorTable == table && m_cursorRow == level.row && m_cursorColumn == column)) {
        m_cursor = table->cellAt(level.row, column).lastCursorPosition();
        m_cursorTable = table;
        m_cursorRow = level.row;
        m_cursorColumn = column;
    }
    // Cells beyond the last column share it, each apart from the one before.
    if (shared) {
        if (level.lastColumnCell >= 0 && level.lastColumnCell != level.cell)
            m_cursor.insertText(QStringLiteral("\t"));
        level.lastColumnCell = level.cell;
    }
}

void RtfTables::EndCell(int depth) {
    if (m_asText) {
        m_cursor.insertText(QStringLiteral("\t"));
        return;
    }
    AdjustDepth(std::max(depth, 1));
    if (m_asText)
        return EndCell(depth);
    Level& level = m_levels.back();
    level.wrapper = false;
    if (!level.rowOpen)
        StartRow(level);
    if (!m_levels.empty())
        ++m_levels.back().cell;
}

void RtfTables::EndRow(int depth) {
    if (m_asText) {
        m_cursor.insertBlock();
        return;
    }
    if (Depth() < std::max(depth, 1))
        return; // a row mark without a table has nothing to end
    AdjustDepth(std::max(depth, 1));
    if (m_asText)
        return EndRow(depth);
    m_levels.back().wrapper = false;
    if (!m_levels.back().rowOpen)
        StartRow(m_levels.back()); // a row without any cell is a row all the same
    if (m_levels.empty())
        return;
    Level& level = m_levels.back();
    // Cells that came in turn and held nothing keep their places too, up to the last one.
    if (level.cell > 0 && level.cell > static_cast<int>(level.firstColumn.size())) {
        const int lastColumn = ColumnOfCell(level, level.cell - 1);
        if (lastColumn >= level.table->columns() && level.table->columns() < MaxColumns) {
            DropColumnWidths(level.table);
            level.table->appendColumns(std::min(lastColumn, MaxColumns - 1) - level.table->columns() + 1);
            SetColumnWidths(level);
        }
    }
    level.rowOpen = false;
    level.cell = 0;
    m_cursorTable = nullptr;
}

} // namespace ui
