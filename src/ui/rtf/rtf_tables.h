#pragma once
// The tables of rich text, built as real text tables while the text streams in: a paragraph
// that is part of a table (\intbl, or \itapN for a table nested N deep) goes into the
// current cell of the table at its depth; \cell and \nestcell end a cell, \row and \nestrow
// a row; the first paragraph outside ends the tables. Cell widths come from the row
// definition (\cellx, right edges in twips). Rows with more cells than the table has
// columns widen it. The nesting is a bounded stack; nothing recurses.
#include <QTextCursor>

#include <vector>

class QTextTable;

namespace ui {

class RtfTables {
public:
    explicit RtfTables(QTextCursor& cursor) : m_cursor(cursor) {}

    // The row definition that follows (\trowd, then \cellx for each cell).
    void BeginRowDefinition() { m_cellEdges.clear(); }
    void CellEdge(int twips);

    // Text of a paragraph at table depth `depth` (0: none) is about to be written: the
    // tables are opened or closed to that depth and the cursor put in the current cell.
    void EnterDepth(int depth);
    // \cell (depth 1) or \nestcell (the innermost): the next text goes to the next cell.
    void EndCell(int depth);
    // \row or \nestrow: the next text of that table starts a new row.
    void EndRow(int depth);
    // Ends every table (the end of the document).
    void CloseAll() { AdjustDepth(0); }

    int Depth() const { return static_cast<int>(m_levels.size()); }

private:
    struct Level {
        QTextTable* table = nullptr;
        int row = 0;
        int column = 0;
        bool rowEnded = false;
    };
    static constexpr int MaxDepth = 16;

    void AdjustDepth(int depth);
    void Open();
    void Close();
    void PlaceCursor(Level& level);

    QTextCursor& m_cursor;
    std::vector<Level> m_levels;
    std::vector<int> m_cellEdges;
};

} // namespace ui
