#pragma once
// The observer seam between a table and the controls that show it. A data source links
// one table to any number of data links; the table tells its data sources of three
// changes (opened or closed, data or position, editing state), and they pass them on.
// Beside these, a link hears exactly what changes in which rows: a structural change (rows
// inserted, moved, removed, or everything reset) is told twice, before the table changes,
// while it still shows the rows as they were, and after, once it is consistent again; a
// change of values in a row only after. A view therefore never has to map rows or start
// over. The table never asks the controls for anything: input goes into it when a
// control hands it over.
#include <vector>

namespace data {

class Table;
class DataSource;

// One change of the table's rows. The rows are the table's view order, with the record
// being inserted as a row of its own.
struct RowChange {
    enum Kind {
        Reset,        // opened, closed, loaded, or a new view order: everything may differ
        RowInserted,  // a record being inserted appears at `row`
        RowMoved,     // the record at `row` moves to `to` (the others close up)
        RowRemoved,   // the record at `row` goes (deleted, or an insert cancelled)
        FieldChanged, // one field (`field`) of the record at `row` (told after only)
        RowChanged,   // any fields of the record at `row` (a post, with its handlers' edits)
        CurrentMoved  // only the current record moved, from `row` to `to` (told after only)
    };
    Kind kind = Reset;
    int row = -1;
    int to = -1;
    int field = -1;

    // Told before and after; the others only after.
    bool Structural() const {
        return kind == Reset || kind == RowInserted || kind == RowMoved || kind == RowRemoved;
    }
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
    // A structural change is about to happen; the table still shows the rows as before.
    virtual void RowsAboutToChange(const RowChange&) {}
    // A change has happened (every structural change was announced before).
    virtual void RowsChanged(const RowChange&) {}

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
    void NotifyRowsAboutToChange(const RowChange& change);
    void NotifyRowsChanged(const RowChange& change);

private:
    friend class DataLink;
    template <typename F> void ForEachLink(F f);

    Table* m_table = nullptr;
    std::vector<DataLink*> m_links;
};

} // namespace data
