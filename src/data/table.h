#pragma once
// A table: typed records in a record store, a current record, a mode (closed, browsing,
// inserting, editing), a view order by index field names, post handlers, lookup fields,
// find by key, the cursor flags, and a binding to its data file. Field names match
// without regard to case. Values are Windows-1252 bytes.
//
// Invariants: while open, m_view holds exactly the visible versions of the store, sorted
// by the view order (ties by record number). The rows a view shows are these records and,
// while inserting, the record being inserted at m_insertRow; m_pos is the current row (-1
// when there is none). While inserting or editing, m_buffer holds the record being edited.
// Every change of the rows is told to the data sources as a RowChange: a structural one
// before the rows change and after, a change of values after.
#include "column.h"
#include "record_store.h"
#include "value.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace data {

class DataSource;
struct RowChange;

// The largest id an auto-increment field can hold (32 bits).
constexpr std::int64_t MaxAutoIncValue = 2147483647;

enum class TableState { Inactive, Browse, Edit, Insert };

struct IndexDef {
    std::string name;
    std::string fields; // "sportlerid;Datum"
};

struct LookupFieldDef {
    std::string name;
    int size = 20;
    std::string keyField; // in this table
    class Table* lookupTable = nullptr;
    std::string lookupKeyField; // in the lookup table
    std::string resultField;    // shown from the lookup table
};

class Table {
public:
    explicit Table(std::string name);
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const std::string& Name() const { return m_name; }

    // --- definitions ---
    // The stored fields the program works with; a file must carry each of them with the same
    // type and size. Without definitions the file's columns are taken as they are.
    void SetFieldDefs(std::vector<FieldDef> defs) { m_fieldDefs = std::move(defs); }
    const std::vector<FieldDef>& FieldDefs() const { return m_fieldDefs; }
    void AddLookupField(LookupFieldDef def) { m_lookups.push_back(std::move(def)); }
    std::vector<IndexDef>& IndexDefs() { return m_indexDefs; }
    // The order of the field list: the named fields first, in this order, then the others
    // as defined. Without it the stored fields come first, then the lookup fields.
    void SetFieldOrder(std::vector<std::string> names) { m_fieldOrder = std::move(names); }
    void SetIndexFieldNames(const std::string& names);
    const std::string& IndexFieldNames() const { return m_indexFieldNames; }
    void SetFileName(std::string path) { m_fileName = std::move(path); }
    const std::string& FileName() const { return m_fileName; }

    std::function<void(Table&)> BeforePost;
    std::function<void(Table&)> AfterPost;

    // --- state ---
    TableState State() const { return m_state; }
    bool Active() const { return m_state != TableState::Inactive; }
    bool Editing() const { return m_state == TableState::Edit || m_state == TableState::Insert; }
    bool Changed() const { return m_changed; }
    bool Bof() const { return m_bof; }
    bool Eof() const { return m_eof; }
    bool CanModify() const { return Active(); }
    // The stored records that are visible (the record being inserted is not one yet).
    int RecordCount() const { return static_cast<int>(m_view.size()); }
    // The rows a view shows: the records, and the record being inserted as a row of its own.
    int RowCount() const { return RecordCount() + (m_state == TableState::Insert ? 1 : 0); }
    int RecNo() const { return m_pos; } // the current row, -1 when there is none
    // Changes with every change of the stored records (opening, loading, a post, a delete,
    // a new order, closing): what was read from them still holds while it is the same.
    std::uint64_t Generation() const { return m_generation; }
    const RecordStore& Store() const { return *m_store; }

    // --- opening, closing and files ---
    void Open();
    void Close();
    void CreateDataSet();
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path = {});
    // Replaces the table with a packet image (used by load and by tests).
    void OpenFromImage(TableImage image);

    // --- moving ---
    void First();
    void Prior();
    void Next();
    void Last();
    void MoveTo(int row); // for grids: makes the record of a row current
    bool FindKey(const std::vector<Value>& key);
    // Makes the first record whose integer field `field` holds `value` current, in view
    // order, without an index; false when there is none.
    bool LocateInteger(const std::string& field, std::int64_t value);

    // --- editing ---
    void Insert();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    void Refresh();
    bool Modified() const { return m_modified; }

    // --- fields of the current record ---
    int FieldCount() const { return static_cast<int>(m_fields.size()); }
    const std::string& FieldName(int field) const { return m_fields[static_cast<std::size_t>(field)].name; }
    FieldType FieldTypeOf(int field) const { return m_fields[static_cast<std::size_t>(field)].type; }
    int FieldSize(int field) const { return m_fields[static_cast<std::size_t>(field)].size; }
    bool IsLookupField(int field) const { return m_fields[static_cast<std::size_t>(field)].lookup >= 0; }
    int FindField(const std::string& name) const;  // -1 when there is none
    int FieldIndex(const std::string& name) const; // fails with "Feld '...' nicht gefunden"

    Value GetValue(const std::string& name) const;
    Value ValueAt(int row, int field) const; // a row of the view, for grids
    // A field of the stored record at `record` in view order; a record being inserted is
    // not one of them (the lookups choose among stored records only).
    Value RecordValueAt(int record, int field) const;
    bool IsNull(const std::string& name) const;
    std::string AsString(const std::string& name) const;   // bytes; numbers as text
    std::int64_t AsInteger(const std::string& name) const; // NULL reads as 0
    double AsFloat(const std::string& name) const;
    int AsDate(const std::string& name) const; // NULL reads as day 0 (1899)

    void SetValue(const std::string& name, Value value);
    // Text: trailing blanks are dropped and a text longer than the field is cut to size.
    void SetAsString(const std::string& name, const std::string& bytes);
    void SetAsInteger(const std::string& name, std::int64_t value) { SetValue(name, value); }
    void SetAsFloat(const std::string& name, double value) { SetValue(name, value); }
    void SetAsDate(const std::string& name, int days) { SetValue(name, std::int64_t{days}); }
    void Clear(const std::string& name) { SetValue(name, Value{}); }

    // A stored record found by the value of one of its fields, without moving the cursor:
    // the values of the posted record whose `field` equals `key` (the first in view order
    // when several do), or null. Integer keys are found through a map that is rebuilt
    // after the table changed, so a look-up costs O(1).
    const Values* FindStored(int field, const Value& key) const;
    // One field of a record that FindStored returned.
    Value ValueOf(const Values& record, int field) const;

    // Lookup fields: the values to choose from (the stored records of the looked-up table,
    // in its order), and choosing one (sets the key field).
    std::vector<std::string> LookupValues(const std::string& name) const;
    void SetLookupValue(const std::string& name, const std::string& bytes);
    // Choosing the record at `lookupRow` of the lookup table (names may repeat).
    void SetLookupRow(const std::string& name, int lookupRow);

    // --- observers ---
    void AddDataSource(DataSource* source);
    void RemoveDataSource(DataSource* source);

private:
    struct Field {
        std::string name;
        FieldType type;
        int size;
        int column;         // index into the store's columns, or -1
        int lookup;         // index into m_lookups, or -1
        int keyColumn = -1; // a lookup's key: index into the store's columns
        // A lookup's key and result fields in the lookup table, resolved at its first use
        // after the lookup table bound its fields.
        mutable std::uint64_t otherBinding = 0;
        mutable int otherKey = -1;
        mutable int otherResult = -1;
    };

    const Values* CurrentValues() const;
    void OpenLookupTables();
    void OpenFromFile(const std::string& path, std::string_view bytes);
    void Touched() { ++m_generation; }
    Value CheckedValue(const Field& field, Value value) const;
    Value FieldValue(const Values* values, const Field& field) const;
    // The fields and view-order columns of a column list, worked out before anything
    // changes (a file of another layout fails here), then put in place.
    struct Binding {
        std::vector<Field> fields;
        std::vector<int> index;
    };
    Binding MakeBinding(const std::vector<Column>& columns) const;
    void ApplyBinding(Binding binding);
    void SortView();
    int ViewPositionFor(const Values& values, int replacedRow) const;
    bool ViewLess(std::uint32_t a, std::uint32_t b) const;
    void CheckActive() const;
    void CheckBrowseMode();
    void SetState(TableState state);
    void WriteTo(const std::string& path);
    void NotifyActive();
    void NotifyData();
    void NotifyEditing();
    void NotifyRows(const RowChange& change);
    // A structural change: told to the views before `apply` changes the rows and after.
    template <typename F> void ChangeRows(const RowChange& change, F apply);
    void MoveCursor(int position);

    std::string m_name;
    std::vector<FieldDef> m_fieldDefs;
    std::vector<LookupFieldDef> m_lookups;
    std::vector<IndexDef> m_indexDefs;
    std::string m_indexFieldNames;
    std::vector<int> m_indexColumns;
    std::uint64_t m_binding = 1; // counts the bindings of the field list
    std::string m_fileName;

    TableState m_state = TableState::Inactive;
    std::unique_ptr<RecordStore> m_store;
    std::vector<Field> m_fields;
    std::vector<std::uint32_t> m_view;
    int m_pos = -1;
    bool m_bof = true;
    bool m_eof = true;
    bool m_changed = false;
    bool m_modified = false;
    bool m_inPost = false; // the before-post handlers are running
    int m_insertRow = -1;  // while inserting: the row of the record being inserted
    Values m_buffer;
    std::vector<std::string> m_fieldOrder;
    // Bumped at every change of the stored records; the key map below follows it.
    std::uint64_t m_generation = 0;
    mutable std::uint64_t m_keyMapGeneration = ~std::uint64_t{0};
    mutable int m_keyMapField = -1;
    mutable std::unordered_map<std::int64_t, std::uint32_t> m_keyMap;
    std::vector<DataSource*> m_sources;
};

} // namespace data
