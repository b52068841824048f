#include "table.h"

#include "data_file.h"
#include "data_source.h"
#include "platform/errors.h"
#include "value_compare.h"

#include <algorithm>
#include <limits>

namespace data {
namespace {

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::vector<std::string> SplitNames(const std::string& names) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : names + ";") {
        if (c == ';') {
            while (!part.empty() && part.back() == ' ')
                part.pop_back();
            const auto first = part.find_first_not_of(' ');
            if (first != std::string::npos)
                parts.push_back(part.substr(first));
            part.clear();
        } else {
            part += c;
        }
    }
    return parts;
}

} // namespace

Table::Table(std::string name) : m_name(std::move(name)) {}

Table::~Table() {
    for (DataSource* source : std::vector<DataSource*>(m_sources))
        source->SetDataSet(nullptr);
}

// ----- observers -----

void Table::AddDataSource(DataSource* source) {
    if (std::find(m_sources.begin(), m_sources.end(), source) == m_sources.end())
        m_sources.push_back(source);
}

void Table::RemoveDataSource(DataSource* source) {
    std::erase(m_sources, source);
}

void Table::NotifyActive() {
    for (DataSource* s : std::vector<DataSource*>(m_sources))
        s->NotifyActiveChanged();
}

void Table::NotifyData() {
    for (DataSource* s : std::vector<DataSource*>(m_sources))
        s->NotifyDataChanged();
}

void Table::NotifyEditing() {
    for (DataSource* s : std::vector<DataSource*>(m_sources))
        s->NotifyEditingChanged();
}

void Table::NotifyRows(const RowChange& change) {
    for (DataSource* s : std::vector<DataSource*>(m_sources))
        s->NotifyRowsChanged(change);
}

void Table::SetState(TableState state) {
    if (state == m_state)
        return;
    m_state = state;
    NotifyEditing();
}

void Table::CheckActive() const {
    if (!Active())
        throw vexo::Error("Operation bei geschlossener Datenmenge nicht möglich");
}

// Before moving, inserting or saving: a record being edited is posted when it was changed
// and dropped when it was not.
void Table::CheckBrowseMode() {
    CheckActive();
    if (!Editing())
        return;
    CollectInput(); // typed text not yet handed over counts as a change
    if (!Editing())
        return;
    if (m_modified)
        Post();
    else
        Cancel();
}

// ----- view order -----

void Table::SetIndexFieldNames(const std::string& names) {
    // The same order again (field names match without regard to case) changes nothing: the
    // athlete look-up sets its order before every rating and must not re-sort each time.
    if (SameName(names, m_indexFieldNames))
        return;
    m_indexFieldNames = names;
    if (Active()) {
        CheckBrowseMode();
        BindFields(m_store->Columns());
        SortView();
        m_pos = m_view.empty() ? -1 : 0;
        m_bof = true;
        m_eof = m_view.empty();
        NotifyRows({RowChange::Reset});
        NotifyData();
    }
}

bool Table::ViewLess(std::uint32_t a, std::uint32_t b) const {
    const auto& va = m_store->At(a).values;
    const auto& vb = m_store->At(b).values;
    for (int column : m_indexColumns) {
        const int c =
            CompareValues(va[static_cast<std::size_t>(column)], vb[static_cast<std::size_t>(column)], true);
        if (c != 0)
            return c < 0;
    }
    return a < b;
}

void Table::SortView() {
    Touched();
    m_view = m_store->Visible();
    if (m_indexColumns.empty())
        return;
    const auto& columns = m_store->Columns();
    const bool numeric = std::all_of(m_indexColumns.begin(), m_indexColumns.end(), [&](int c) {
        const FieldType t = columns[static_cast<std::size_t>(c)].type;
        return t == FieldType::Integer || t == FieldType::AutoInc || t == FieldType::Date;
    });
    if (!numeric) {
        std::stable_sort(m_view.begin(), m_view.end(), [this](auto a, auto b) { return ViewLess(a, b); });
        return;
    }
    // Ids and dates: gather the keys once, side by side, and sort those; comparing through
    // every version's own storage would miss the cache at each step. NULL sorts first, and
    // ties keep record-number order, as ViewLess does.
    const std::size_t width = m_indexColumns.size();
    std::vector<std::int64_t> keys(m_view.size() * width);
    for (std::size_t r = 0; r < m_view.size(); ++r)
        for (std::size_t k = 0; k < width; ++k) {
            const Value& v = m_store->At(m_view[r]).values[static_cast<std::size_t>(m_indexColumns[k])];
            const auto* n = std::get_if<std::int64_t>(&v);
            keys[r * width + k] = n ? *n : std::numeric_limits<std::int64_t>::min();
        }
    std::vector<std::uint32_t> order(m_view.size());
    for (std::uint32_t r = 0; r < order.size(); ++r)
        order[r] = r;
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const std::int64_t* ka = &keys[a * width];
        const std::int64_t* kb = &keys[b * width];
        for (std::size_t k = 0; k < width; ++k)
            if (ka[k] != kb[k])
                return ka[k] < kb[k];
        return a < b;
    });
    std::vector<std::uint32_t> sorted(m_view.size());
    for (std::size_t r = 0; r < order.size(); ++r)
        sorted[r] = m_view[order[r]];
    m_view = std::move(sorted);
}

void Table::PlaceInView(std::uint32_t record) {
    auto at = m_view.end();
    if (!m_indexColumns.empty())
        at = std::lower_bound(m_view.begin(), m_view.end(), record,
                              [this](auto a, auto b) { return ViewLess(a, b); });
    const auto placed = m_view.insert(at, record); // may move the vector: take begin() after it
    m_pos = static_cast<int>(placed - m_view.begin());
}

// ----- opening and closing -----

void Table::BindFields(const std::vector<Column>& columns) {
    auto columnOf = [&](const std::string& name) {
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (SameName(columns[i].name, name))
                return static_cast<int>(i);
        return -1;
    };
    std::vector<Field> fields;
    if (m_fieldDefs.empty()) {
        for (std::size_t i = 0; i < columns.size(); ++i)
            fields.push_back({columns[i].name, columns[i].type, columns[i].width, static_cast<int>(i), -1});
    } else {
        for (const auto& def : m_fieldDefs) {
            const int column = columnOf(def.name);
            if (column < 0)
                throw vexo::Error("Feld '" + def.name + "' nicht gefunden");
            const Column& c = columns[static_cast<std::size_t>(column)];
            if (c.type != def.type)
                throw vexo::Error("Typ für Feld '" + def.name + "' stimmt nicht überein");
            if (def.type == FieldType::Text && c.width != def.size)
                throw vexo::Error("Größe für Feld '" + def.name + "' stimmt nicht überein");
            fields.push_back({def.name, def.type, def.size, column, -1});
        }
    }
    for (std::size_t k = 0; k < m_lookups.size(); ++k) {
        Field lookup{m_lookups[k].name, FieldType::Text, m_lookups[k].size, -1, static_cast<int>(k)};
        lookup.keyColumn = columnOf(m_lookups[k].keyField);
        fields.push_back(std::move(lookup));
    }
    if (!m_fieldOrder.empty()) {
        std::vector<Field> ordered;
        for (const auto& name : m_fieldOrder)
            for (auto& f : fields)
                if (!f.name.empty() && SameName(f.name, name)) {
                    ordered.push_back(std::move(f));
                    f.name.clear();
                }
        for (auto& f : fields)
            if (!f.name.empty())
                ordered.push_back(std::move(f));
        fields = std::move(ordered);
    }
    std::vector<int> index;
    for (const auto& name : SplitNames(m_indexFieldNames)) {
        const int column = columnOf(name);
        if (column < 0)
            throw vexo::Error("Feld '" + name + "' nicht gefunden");
        index.push_back(column);
    }
    m_fields = std::move(fields);
    ++m_binding;
    m_indexColumns = std::move(index);
}

// Lookup fields need their tables; if one cannot be opened, neither can this one.
void Table::OpenLookupTables() {
    for (const auto& lookup : m_lookups)
        if (lookup.lookupTable && lookup.lookupTable != this)
            lookup.lookupTable->Open();
}

void Table::OpenFromImage(TableImage image) {
    OpenLookupTables();
    auto store = std::make_unique<RecordStore>(std::move(image));
    const auto previousFields = m_fields;
    const auto previousIndex = m_indexColumns;
    try {
        BindFields(store->Columns());
    } catch (...) {
        m_fields = previousFields;
        m_indexColumns = previousIndex;
        throw;
    }
    m_store = std::move(store);
    m_buffer.clear();
    m_modified = false;
    m_changed = false;
    m_unwritten = false;
    SortView();
    m_pos = m_view.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_view.empty();
    m_state = TableState::Browse;
    NotifyRows({RowChange::Reset});
    NotifyActive();
}

void Table::CreateDataSet() {
    if (Active())
        Close();
    TableImage image;
    for (const auto& def : m_fieldDefs)
        image.columns.push_back(MakeColumn(def));
    for (const auto& index : m_indexDefs) {
        if (!SameName(index.name, "DEFAULT_ORDER"))
            continue;
        if (image.explicitDefaultOrder)
            throw vexo::Error("Doppelte Indexdefinition DEFAULT_ORDER");
        std::vector<std::uint32_t> order;
        for (const auto& name : SplitNames(index.fields))
            for (std::size_t i = 0; i < image.columns.size(); ++i)
                if (SameName(image.columns[i].name, name))
                    order.push_back(static_cast<std::uint32_t>(i + 1));
        image.explicitDefaultOrder = order;
        image.defaultOrder = order;
    }
    if (image.AutoIncColumn() >= 0)
        image.autoIncValue = 1;
    OpenFromImage(std::move(image));
}

void Table::Close() {
    if (!Active())
        return;
    if (Editing()) {
        m_buffer.clear();
        m_modified = false;
        if (m_state == TableState::Insert)
            m_pos = std::min(m_insertRow, RecordCount() - 1);
        m_state = TableState::Browse;
    }
    // A table changed since it was opened, or whose file has gone, is written first; if
    // that fails the table stays open, so nothing is lost.
    if (!m_fileName.empty() && (m_changed || !FileExists(m_fileName)))
        WriteTo(m_fileName);
    m_store.reset();
    m_view.clear();
    Touched();
    m_pos = -1;
    m_bof = m_eof = true;
    m_changed = false;
    m_state = TableState::Inactive;
    NotifyRows({RowChange::Reset});
    NotifyActive();
}

// ----- moving -----

// Every move goes through here: the old and the new position, the cursor flags set by the
// caller, and the notices.
void Table::MoveCursor(int position) {
    const int old = m_pos;
    m_pos = position;
    if (old != position)
        NotifyRows({RowChange::CurrentMoved, old, position});
    NotifyData();
}

void Table::First() {
    CheckBrowseMode();
    m_bof = true;
    m_eof = m_view.empty();
    MoveCursor(m_view.empty() ? -1 : 0);
}

void Table::Last() {
    CheckBrowseMode();
    m_eof = true;
    m_bof = m_view.empty();
    MoveCursor(static_cast<int>(m_view.size()) - 1);
}

void Table::Next() {
    CheckBrowseMode();
    if (m_eof)
        return;
    m_bof = false;
    if (m_pos + 1 < RecordCount())
        MoveCursor(m_pos + 1);
    else {
        m_eof = true;
        NotifyData();
    }
}

void Table::Prior() {
    CheckBrowseMode();
    if (m_bof)
        return;
    m_eof = false;
    if (m_pos > 0)
        MoveCursor(m_pos - 1);
    else {
        m_bof = true;
        NotifyData();
    }
}

void Table::MoveTo(int row) {
    if (row < 0 || row >= RowCount() || row == m_pos)
        return; // the current row, or no row at all
    // The record of that row, found again after a pending post has moved the rows.
    const int record = m_state == TableState::Insert && row > m_insertRow ? row - 1 : row;
    const std::uint32_t target = m_view[static_cast<std::size_t>(record)];
    CheckBrowseMode();
    // The view is sorted by its order (ties by record number); without an order it keeps
    // the default order, which only a search can follow.
    const auto at = m_indexColumns.empty()
                        ? std::find(m_view.begin(), m_view.end(), target)
                        : std::lower_bound(m_view.begin(), m_view.end(), target,
                                           [this](auto a, auto b) { return ViewLess(a, b); });
    if (at == m_view.end() || *at != target)
        return;
    m_bof = m_eof = false;
    MoveCursor(static_cast<int>(at - m_view.begin()));
}

bool Table::FindKey(const std::vector<Value>& key) {
    CheckBrowseMode();
    const std::size_t n = std::min(key.size(), m_indexColumns.size());
    auto compare = [&](std::uint32_t record) {
        const auto& values = m_store->At(record).values;
        for (std::size_t k = 0; k < n; ++k) {
            const int c = CompareValues(values[static_cast<std::size_t>(m_indexColumns[k])], key[k], true);
            if (c != 0)
                return c;
        }
        return 0;
    };
    const auto at =
        std::partition_point(m_view.begin(), m_view.end(), [&](auto r) { return compare(r) < 0; });
    if (n == 0 || at == m_view.end() || compare(*at) != 0)
        return false;
    m_bof = m_eof = false;
    MoveCursor(static_cast<int>(at - m_view.begin()));
    return true;
}

// ----- editing -----

void Table::CollectInput() {
    if (m_collecting)
        return;
    m_collecting = true;
    try {
        for (DataSource* s : std::vector<DataSource*>(m_sources))
            s->CollectInput();
    } catch (...) {
        m_collecting = false;
        throw;
    }
    m_collecting = false;
}

void Table::Insert() {
    CheckBrowseMode();
    // Ids are 32-bit: past the last one a new record could only get an id twice.
    const auto& image = m_store->Image();
    if (image.AutoIncColumn() >= 0 && image.autoIncValue.value_or(1) > MaxAutoIncValue)
        throw vexo::Error(IdsExhaustedMessage);
    m_buffer.assign(m_store->Columns().size(), Value{});
    m_modified = false;
    // The new record appears as a row of its own before the current one.
    m_insertRow = m_pos >= 0 ? m_pos : 0;
    m_pos = m_insertRow;
    m_state = TableState::Insert;
    NotifyRows({RowChange::RowInserted, m_insertRow});
    NotifyEditing();
    NotifyData();
}

void Table::Edit() {
    CheckActive();
    if (Editing())
        return;
    if (m_view.empty()) {
        Insert();
        return;
    }
    m_buffer = m_store->At(m_view[static_cast<std::size_t>(m_pos)]).values;
    m_modified = false;
    SetState(TableState::Edit);
}

void Table::Post() {
    CheckActive();
    if (!Editing())
        return;
    CollectInput();
    if (!Editing())
        return; // handing over the input ended the editing
    if (BeforePost) {
        // The handlers' edits go out as one change of the row when the post is done.
        m_inPost = true;
        try {
            BeforePost(*this); // may refuse by throwing; the record then stays as it is
        } catch (...) {
            m_inPost = false;
            NotifyRows({RowChange::RowChanged, m_pos});
            throw;
        }
        m_inPost = false;
    }
    const int from = m_pos;
    if (m_state == TableState::Insert) {
        const auto record = m_store->Insert(std::move(m_buffer));
        PlaceInView(record);
    } else {
        const auto old = m_view[static_cast<std::size_t>(m_pos)];
        const auto record = m_store->Modify(old, std::move(m_buffer));
        m_view.erase(m_view.begin() + m_pos);
        PlaceInView(record);
    }
    m_buffer.clear();
    m_modified = false;
    m_changed = true;
    m_unwritten = true;
    Touched();
    m_bof = m_eof = false;
    m_state = TableState::Browse;
    if (from != m_pos)
        NotifyRows({RowChange::RowMoved, from, m_pos});
    NotifyRows({RowChange::RowChanged, m_pos});
    NotifyEditing();
    NotifyData();
    if (AfterPost)
        AfterPost(*this);
}

void Table::Cancel() {
    CheckActive();
    if (!Editing())
        return;
    m_buffer.clear();
    m_modified = false;
    const bool inserting = m_state == TableState::Insert;
    m_state = TableState::Browse;
    if (inserting) {
        // The record that was current before the insert sits at the row it left.
        const int row = m_insertRow;
        m_pos = std::min(row, RecordCount() - 1);
        NotifyRows({RowChange::RowRemoved, row});
    } else {
        NotifyRows({RowChange::RowChanged, m_pos});
    }
    NotifyEditing();
    NotifyData();
}

void Table::Delete() {
    CheckActive();
    if (m_state == TableState::Insert) {
        Cancel();
        return;
    }
    if (m_view.empty())
        throw vexo::Error("Operation bei leerer Datenmenge nicht möglich");
    if (m_state == TableState::Edit) {
        m_buffer.clear();
        m_modified = false;
        SetState(TableState::Browse);
    }
    const int row = m_pos;
    m_store->Delete(m_view[static_cast<std::size_t>(row)]);
    m_view.erase(m_view.begin() + row);
    if (m_pos >= RecordCount())
        m_pos = RecordCount() - 1;
    m_bof = m_eof = m_view.empty();
    m_changed = true;
    m_unwritten = true;
    Touched();
    NotifyRows({RowChange::RowRemoved, row});
    NotifyData();
}

void Table::Refresh() {
    CheckActive();
    if (Editing())
        Post();
    // There is no source to refresh from: the data stays as it is.
    if (!m_store->Image().changeLog.empty())
        throw vexo::Error("Die Änderungen müssen vor der Aktualisierung der Daten übernommen werden");
    throw vexo::Error("Fehlender Daten-Provider oder Datenpaket");
}

} // namespace data
