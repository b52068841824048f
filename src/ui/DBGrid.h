#pragma once
// The data grid: a table view over one TableModel that follows a table through its data
// source. It is read-only or edits in place: opening a cell editor starts editing the
// current record, and moving to another row posts it (a refused record stays current). Its
// current column is counted over all columns, the hidden ones included, as the windows'
// Tab handling needs it.
#include "table_model.h"

#include <QTableView>

#include <memory>
#include <vector>

namespace ui {

class GridDelegate;

class DBGrid : public QTableView {
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
    // Hands the open editor's text to the table and closes the editor.
    void CommitOpenEditor();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    void FollowTable(int row);

    std::unique_ptr<TableModel> m_model;
    GridDelegate* m_delegate = nullptr;
    bool m_readOnly = true;
    bool m_following = false;
    int m_selectedIndex = 0;
};

} // namespace ui
