#pragma once
// The observer seam between a table and the controls that show it. A data source links
// one table to any number of data links; the table tells its data sources of three
// changes (opened or closed, data or position, editing state), and they pass them on.
// Beside these, a link hears exactly what changed in which rows, so that a view never has
// to start over, and is asked for input it holds before the table posts.
#include <vector>

namespace data {

class Table;
class DataSource;

// One change of the table's rows, told after the table's order is consistent again. The
// rows are the table's view order, with the record being inserted as a row of its own.
struct RowChange {
    enum Kind {
        Reset,        // opened, closed, loaded, or a new view order: everything may differ
        RowInserted,  // a record being inserted appeared at `row`
        RowMoved,     // the record at `row` moved to `to` (the others close up)
        RowRemoved,   // the record at `row` went (deleted, or an insert cancelled)
        FieldChanged, // one field (`field`) of the record at `row`
        RowChanged,   // any fields of the record at `row` (a post, with its handlers' edits)
        CurrentMoved  // only the current record moved, from `row` to `to`
    };
    Kind kind = Reset;
    int row = -1;
    int to = -1;
    int field = -1;
};

class DataLink {
public:
    virtual ~DataLink();
    void SetDataSource(DataSource* source);
    DataSource* Source() const { return m_source; }
    // A data source is bound and its table is open.
    bool Active() const;

    virtual void ActiveChanged() {}
    virtual void DataChanged() {}
    virtual void EditingChanged() {}
    virtual void RowsChanged(const RowChange&) {}
    // Before a post: input typed into the control but not yet in the table goes there now.
    virtual void CollectInput() {}

private:
    friend class DataSource;
    DataSource* m_source = nullptr;
};

class DataSource {
public:
    explicit DataSource(Table* table = nullptr);
    ~DataSource();
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    void SetDataSet(Table* table);
    Table* DataSet() const { return m_table; }

    // Called by the table.
    void NotifyActiveChanged();
    void NotifyDataChanged();
    void NotifyEditingChanged();
    void NotifyRowsChanged(const RowChange& change);
    void CollectInput();

private:
    friend class DataLink;
    template <typename F> void ForEachLink(F f);

    Table* m_table = nullptr;
    std::vector<DataLink*> m_links;
};

} // namespace data
