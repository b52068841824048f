#pragma once
// The data grid: a table view over one TableModel that follows a table through its data
// source. It is read-only or edits in place: opening a cell editor starts editing the
// current record, and moving to another row posts it (a refused record stays current). Its
// current column is counted over all columns, the hidden ones included, as the windows'
// Tab handling needs it.
//
// The table's current record is the one source of the current row: the grid asks the
// table to move (a click, a key) and then shows where the table is; Qt's own shifts of
// the current index (rows removed or moved) never move the table. A cell editor whose
// value the table refuses stays open with the typed text.
#include "input_holder.h"
#include "table_model.h"

#include <QTableView>

#include <memory>
#include <vector>

namespace ui {

class GridDelegate;

class DBGrid : public QTableView, public InputHolder {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);
    ~DBGrid() override;

    void SetColumns(std::vector<GridColumn> columns);
    void SetDataSource(data::DataSource* source);
    TableModel* Model() const { return m_model.get(); }

    void SetReadOnly(bool readOnly);
    bool ReadOnly() const { return m_readOnly; }
    void SetColumnVisible(int column, bool visible);

    // The current column, over all columns.
    int SelectedIndex() const { return m_selectedIndex; }
    void SetSelectedIndex(int column);

    // A cell editor is open (the window's keys treat it as a control of its own).
    QWidget* OpenEditor() const;

    // InputHolder: the open editor's text goes to the table and the editor closes, or,
    // refused, stays open.
    bool CommitInput() override;
    void DiscardInput() override;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyboardSearch(const QString& search) override;

private:
    // Shows the table's current record as the current row.
    void FollowTable();
    // Asks the table to make `row` current (an open editor is handed over first); true when
    // it is current now.
    bool RequestRow(int row);

    std::unique_ptr<TableModel> m_model;
    GridDelegate* m_delegate = nullptr;
    bool m_readOnly = true;
    bool m_following = false;
    int m_selectedIndex = 0;
};

} // namespace ui
