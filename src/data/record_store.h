#pragma once
// The append-only store of record versions with its change log and auto-increment
// counter. Versions are never removed; a modification appends a new version and marks
// the old one superseded, a deletion marks the visible version deleted. A version is
// visible when neither superseded nor deleted; each record has one visible version until
// it is deleted.
#include "table_image.h"

#include <vector>

namespace data {

// The refusal of an insert whose record would need an id beyond the 32-bit range.
inline const char* const IdsExhaustedMessage =
    "Es kann kein weiterer Datensatz angelegt werden: die fortlaufende Nummer hat ihren Höchstwert "
    "2147483647 erreicht.";

class RecordStore {
public:
    RecordStore() = default;
    explicit RecordStore(TableImage image) : m_image(std::move(image)) {}

    const TableImage& Image() const { return m_image; }
    const std::vector<Column>& Columns() const { return m_image.columns; }
    const Version& At(std::uint32_t record) const { return m_image.versions[record - 1]; }
    std::uint32_t Count() const { return static_cast<std::uint32_t>(m_image.versions.size()); }
    static bool IsVisible(const Version& v) { return (v.state & (RowSuperseded | RowDeleted)) == 0; }

    // Each returns the record number of the version it made.
    std::uint32_t Insert(Values values);
    std::uint32_t Modify(std::uint32_t record, Values values);
    void Delete(std::uint32_t record);

    // The visible versions in the default order.
    std::vector<std::uint32_t> Visible() const;

private:
    TableImage m_image;
};

// Orders record numbers by a default order (column numbers with their marks); an empty
// order keeps record-number order.
void SortByDefaultOrder(const TableImage& image, std::vector<std::uint32_t>& records);

} // namespace data
