#include "data_source.h"

#include "table.h"

#include <algorithm>

namespace data {

DataLink::~DataLink() {
    SetDataSource(nullptr);
}

void DataLink::SetDataSource(DataSource* source) {
    if (source == m_source)
        return;
    if (m_source)
        std::erase(m_source->m_links, this);
    m_source = source;
    if (m_source)
        m_source->m_links.push_back(this);
}

bool DataLink::Active() const {
    return m_source && m_source->DataSet() && m_source->DataSet()->Active();
}

DataSource::DataSource(Table* table) {
    SetDataSet(table);
}

DataSource::~DataSource() {
    SetDataSet(nullptr);
    for (DataLink* link : std::vector<DataLink*>(m_links))
        link->m_source = nullptr;
}

void DataSource::SetDataSet(Table* table) {
    if (table == m_table)
        return;
    if (m_table)
        m_table->RemoveDataSource(this);
    m_table = table;
    if (m_table)
        m_table->AddDataSource(this);
    NotifyActiveChanged();
}

template <typename F> void DataSource::ForEachLink(F f) {
    for (DataLink* link : std::vector<DataLink*>(m_links))
        f(*link);
}

void DataSource::NotifyActiveChanged() {
    ForEachLink([](DataLink& l) { l.ActiveChanged(); });
}
void DataSource::NotifyDataChanged() {
    ForEachLink([](DataLink& l) { l.DataChanged(); });
}
void DataSource::NotifyEditingChanged() {
    ForEachLink([](DataLink& l) { l.EditingChanged(); });
}
void DataSource::NotifyRowsAboutToChange(const RowChange& change) {
    ForEachLink([&](DataLink& l) { l.RowsAboutToChange(change); });
}
void DataSource::NotifyRowsChanged(const RowChange& change) {
    ForEachLink([&](DataLink& l) { l.RowsChanged(change); });
}

} // namespace data
