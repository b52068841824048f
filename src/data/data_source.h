#pragma once
// The observer seam between a table and the controls that show it. A data source links
// one table to any number of data links; the table tells its data sources of three
// changes (opened or closed, data or position, editing state), and they pass them on.
#include <vector>

namespace data {

class Table;
class DataSource;

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

private:
    friend class DataLink;
    template <typename F> void ForEachLink(F f);

    Table* m_table = nullptr;
    std::vector<DataLink*> m_links;
};

} // namespace data
