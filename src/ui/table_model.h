#pragma once
// The Qt model of a data grid: a thin view of one table through its data source. The table
// stays the single source of truth; the model keeps only its row count and the field of
// each column (resolved once per opening), and turns every row notice of the table into
// the matching begin.../end... calls, so that a view never resets but on opening, closing,
// loading or a new order. Edits go through the table (its checks, its post handlers, its
// change log) before the model signals.
#include "data/data_source.h"
#include "data/table.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <functional>
#include <vector>

namespace ui {

// One column of a grid: the field it shows, whether it is shown and how wide, and what
// editing it offers (a pick list, or the choice of a looked-up record).
struct GridColumn {
    QString field;
    bool visible = true;
    int width = 64;
    QStringList pickList;
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
    // The text a cell shows (dates as dd.MM.yyyy, floats with a decimal comma).
    QString Text(int row, int column) const;

    // Edits of the current record; each fails with a German message and leaves the
    // record as it was. Setting a cell starts editing the record.
    void SetText(int column, const QString& text);
    void ChooseLookupRow(int column, int lookupRow);
    // The values a lookup column offers: the looked-up field of every record, in the
    // looked-up table's order.
    QStringList LookupChoices(int column) const;

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Follows another data source (or none), starting over.
    void Bind(data::DataSource* source);

    // Called before the table posts; the grid hands over what its open editor holds.
    std::function<void()> OnCollectInput;

signals:
    // The table's current record moved, or the rows changed under it.
    void currentRowChanged(int row);

private:
    // data::DataLink
    void ActiveChanged() override;
    void DataChanged() override;
    void RowsChanged(const data::RowChange& change) override;
    void CollectInput() override;

    void Rebind();
    // The table, put into editing, when `column` shows one of its fields; else null.
    data::Table* EditingTableOf(int column);
    // While a change is being announced, the view still asks by the rows it knows.
    int TableRow(int row) const;
    // Runs the begin... call of a change with the rows mapped as they were before it.
    template <typename F> void Announce(const data::RowChange& change, F begin) {
        m_announcing = change;
        m_inChange = true;
        begin();
        m_inChange = false;
    }

    std::vector<GridColumn> m_columns;
    std::vector<int> m_fields;
    int m_rows = 0;
    data::RowChange m_announcing{data::RowChange::Reset, -1};
    bool m_inChange = false;
};

// Dates of the grid: "dd.MM.yyyy" (one-digit day and month allowed), or nothing.
std::optional<int> ParseGermanDate(const QString& text);

} // namespace ui
