#pragma once
// The Qt model of a data grid: a thin view of one table through its data source. The table
// stays the single source of truth; the model keeps only the field of each column (resolved
// once per opening) and turns the table's row notices one to one into Qt's: a structural
// change announced before it happens becomes begin...(), its completion end...(), so a
// view never resets but on opening, closing, loading or a new order. Edits go through the
// table (its checks, its post handlers, its change log) before the model signals: setData
// writes a value into the record being edited (starting the edit). Posting and cancelling
// are the table's own, through the navigator and the grid's input holder; the model keeps
// Qt's submit() and revert(), which do nothing, so that no view posts or drops a record
// behind the table's back.
#include "data/data_source.h"
#include "data/table.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <optional>
#include <vector>

namespace ui {

// One column of a grid: the field it shows, whether it is shown and how wide, and what
// editing it offers (a pick list, or the choice of a looked-up record).
struct GridColumn {
    QString field;
    bool visible = true;
    int width = 64;
    QStringList pickList = {};
};

class TableModel : public QAbstractTableModel, public data::DataLink {
    Q_OBJECT
public:
    TableModel(std::vector<GridColumn> columns, QObject* parent = nullptr);
    ~TableModel() override;

    const std::vector<GridColumn>& Columns() const { return m_columns; }
    data::Table* Table() const { return Source() ? Source()->DataSet() : nullptr; }
    // The table's field shown in a column, or -1.
    int FieldOf(int column) const;
    bool IsLookup(int column) const;
    data::FieldType TypeOf(int column) const;
    // The size of a text column's field (0: unbounded, or no text).
    int SizeOf(int column) const;
    // The text a cell shows (dates as dd.MM.yyyy, floats with a decimal comma).
    QString Text(int row, int column) const;

    // Edits of the current record; each fails with a German message and leaves the
    // record as it was. Setting a cell starts editing the record.
    void SetText(int column, const QString& text);
    void ChooseLookupRow(int column, int lookupRow);
    // The values a lookup column offers: the looked-up field of every record, in the
    // looked-up table's order.
    QStringList LookupChoices(int column) const;
    // The record being edited goes into the table with its checks (false when they refuse
    // it: the refusal has been told, the record stays in editing), or is dropped.

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Follows another data source (or none), starting over.
    void Bind(data::DataSource* source);

signals:
    // The table's current record moved, or the rows changed under it.
    void currentRowChanged(int row);

private:
    // data::DataLink
    void ActiveChanged() override;
    void DataChanged() override;
    void RowsAboutToChange(const data::RowChange& change) override;
    void RowsChanged(const data::RowChange& change) override;

    void Rebind();
    // The table, put into editing, when `column` shows one of its fields; else null.
    data::Table* EditingTableOf(int column);

    std::vector<GridColumn> m_columns;
    std::vector<int> m_fields;
    const data::Table* m_table = nullptr; // the table the rows were last taken from
    bool m_moving = false;                // a move was announced to Qt and waits for its end
};

// The one way a control starts editing the current record of its table (typing into a cell
// or a memo, a value set): true when the record is being edited, or inserted, now.
bool StartEditing(data::Table& table);

// Dates of the grid: "dd.MM.yyyy" (one-digit day and month allowed), or nothing.
std::optional<int> ParseGermanDate(const QString& text);

} // namespace ui
