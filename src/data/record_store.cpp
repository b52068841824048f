#include "record_store.h"

#include "platform/errors.h"
#include "value_compare.h"

#include <algorithm>

namespace data {

int TableImage::AutoIncColumn() const {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].type == FieldType::AutoInc)
            return static_cast<int>(i);
    return -1;
}

std::uint32_t RecordStore::Insert(Values values) {
    const int autoInc = m_image.AutoIncColumn();
    if (autoInc >= 0) {
        if (!m_image.autoIncValue || *m_image.autoIncValue < 1)
            m_image.autoIncValue = 1;
        if (*m_image.autoIncValue > 2147483647) // ids are 32 bits; the table refuses first
            throw vexo::Error(IdsExhaustedMessage);
        values[static_cast<std::size_t>(autoInc)] = *m_image.autoIncValue;
    }
    m_image.versions.push_back({RowInserted, std::move(values)});
    const auto record = Count();
    m_image.changeLog.push_back({record, 0, ActionInsert});
    if (autoInc >= 0)
        ++*m_image.autoIncValue;
    return record;
}

std::uint32_t RecordStore::Modify(std::uint32_t record, Values values) {
    Version& old = m_image.versions[record - 1];
    const int autoInc = m_image.AutoIncColumn();
    if (autoInc >= 0)
        values[static_cast<std::size_t>(autoInc)] = old.values[static_cast<std::size_t>(autoInc)];
    const std::uint8_t state = RowModified | (old.state & RowInserted);
    old.state |= RowSuperseded;
    m_image.versions.push_back({state, std::move(values)});
    const auto made = Count();
    m_image.changeLog.push_back({made, record, ActionModify});
    return made;
}

void RecordStore::Delete(std::uint32_t record) {
    m_image.versions[record - 1].state |= RowDeleted;
    m_image.changeLog.push_back({record, 0, ActionDelete});
}

std::vector<std::uint32_t> RecordStore::Visible() const {
    std::vector<std::uint32_t> records;
    records.reserve(m_image.versions.size());
    for (std::uint32_t n = 1; n <= Count(); ++n)
        if (IsVisible(At(n)))
            records.push_back(n);
    SortByDefaultOrder(m_image, records);
    return records;
}

void SortByDefaultOrder(const TableImage& image, std::vector<std::uint32_t>& records) {
    const auto& order = image.defaultOrder;
    if (order.empty())
        return;
    std::stable_sort(records.begin(), records.end(), [&](std::uint32_t a, std::uint32_t b) {
        for (std::uint32_t entry : order) {
            const std::uint32_t column = (entry & 0x3FFF) - 1;
            if (column >= image.columns.size())
                continue;
            const Value& va = image.versions[a - 1].values[column];
            const Value& vb = image.versions[b - 1].values[column];
            int c = CompareValues(va, vb, (entry & OrderCaseInsensitive) != 0);
            if (entry & OrderDescending)
                c = -c;
            if (c != 0)
                return c < 0;
        }
        return false;
    });
}

} // namespace data
