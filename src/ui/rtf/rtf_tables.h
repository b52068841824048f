#pragma once
// The tables of rich text, built as real text tables while the text streams in: a paragraph
// that is part of a table (\intbl, or \itapN for a table nested N deep) goes into the
// current cell of the table at its depth; \cell and \nestcell end a cell, \row and \nestrow
// a row; the first paragraph outside ends the tables.
//
// Cells are placed as word processors place them: by their right edges (\cellx, twips) on
// the table's grid of edges, the union of the edges of all its rows so far. A cell that
// covers several columns of the grid spans them; a cell marked as continuing the one above
// (\clvmrg) is merged with it; an empty cell and an empty row take their place like any
// other. Nested tables, whose row definitions come after their cells, take their cells in
// turn.
//
// Bounded: at most 64 columns (further cells share the last one, their text still shown),
// a new table after 200 rows, nesting at most 16 deep; nothing recurses. Qt goes over the
// whole document at every change of a table, so a table is built in a document of its own
// and put into the text in one piece when it is complete; after 300 tables the rest of a
// document's tables are shown as lines of text, their cells separated by tabs.
#include <QTextCursor>

#include <memory>
#include <vector>

class QTextDocument;

class QTextTable;

namespace ui {

class RtfTables {
public:
    explicit RtfTables(QTextCursor& cursor) : m_cursor(cursor) {}

    // The row definition that follows: \trowd, then for each cell its marks and \cellx.
    void BeginRowDefinition() { m_definition.clear(), m_nextCell = {}; }
    void CellContinuesAbove() { m_nextCell.continuesAbove = true; } // \clvmrg
    void CellContinuesLeft() { m_nextCell.continuesLeft = true; }   // \clmrg
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
    // The depth the text of a paragraph at `depth` is written at (0 once tables are text).
    int EffectiveDepth(int depth) const { return m_asText ? 0 : depth; }

    static constexpr int MaxColumns = 64;
    static constexpr int MaxRowsPerTable = 200;
    static constexpr int MaxDepth = 16;
    static constexpr int MaxTables = 300;

    RtfTables(const RtfTables&) = delete;
    RtfTables& operator=(const RtfTables&) = delete;
    ~RtfTables();

private:
    struct CellDef {
        int right = 0;
        bool continuesAbove = false;
        bool continuesLeft = false;
    };
    struct Level {
        QTextTable* table = nullptr;
        std::vector<int> grid;        // the right edges of the grid's columns, ascending
        std::vector<CellDef> cells;   // the current row's cells (empty: cells in turn)
        std::vector<int> firstColumn; // the grid column each cell of the row starts at
        int row = -1;                 // the row being filled; -1 before the first
        int rows = 0;                 // rows of this table so far
        int cell = 0;                 // the cell of the row the text goes to
        int lastColumnCell = -1;      // the cell that wrote last into the table's last column
        bool rowOpen = false;
        // Opened on the way to a deeper table and given nothing of its own since (no text,
        // no cell, no row): a level the writer skipped, shown without a table of its own.
        bool wrapper = false;
    };

    void AdjustDepth(int depth);
    void Open();
    void Close();
    void StartRow(Level& level);
    // The grid column of a right edge, adding the edge to the grid when it is new.
    int ColumnOfEdge(Level& level, int edge);
    void SetColumnWidths(Level& level);
    int ColumnOfCell(const Level& level, int cell) const;
    void PlaceCursor(Level& level);

    QTextCursor& m_cursor;
    std::vector<Level> m_levels;
    // While a table is built: its own document, and where it goes in the text.
    std::unique_ptr<QTextDocument> m_tableDocument;
    QTextCursor m_textCursor;
    int m_tablesMade = 0;
    bool m_asText = false;             // tables beyond the last are lines of text
    std::vector<CellDef> m_definition; // the row definition read last
    CellDef m_nextCell;
    // Where the cursor was put last: text goes on there without a search for its cell.
    const QTextTable* m_cursorTable = nullptr;
    int m_cursorRow = -1;
    int m_cursorColumn = -1;
};

} // namespace ui
