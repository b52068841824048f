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

template <typename F> void Table::ChangeRows(const RowChange& change, F apply) {
    for (DataSource* s : std::vector<DataSource*>(m_sources))
        s->NotifyRowsAboutToChange(change);
    apply();
    NotifyRows(change);
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
// and dropped when it was not. What a control holds has been handed over before it asked.
void Table::CheckBrowseMode() {
    CheckActive();
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
    if (!Active()) {
        m_indexFieldNames = names;
        return;
    }
    CheckBrowseMode();
    const std::string previous = std::exchange(m_indexFieldNames, names);
    Binding binding;
    try {
        binding = MakeBinding(m_store->Columns());
    } catch (...) {
        m_indexFieldNames = previous;
        throw;
    }
    ChangeRows({RowChange::Reset}, [&] {
        ApplyBinding(std::move(binding));
        SortView();
        m_pos = m_view.empty() ? -1 : 0;
        m_bof = true;
        m_eof = m_view.empty();
    });
    NotifyData();
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

// Where a record with these values, newer than every record there, will stand in the view
// once the record at `replacedRow` (or none, -1) has left it. Without a view order new
// versions go last.
int Table::ViewPositionFor(const Values& values, int replacedRow) const {
    const int others = static_cast<int>(m_view.size()) - (replacedRow >= 0 ? 1 : 0);
    if (m_indexColumns.empty())
        return others;
    // Ties sort by record number, and the new version's is the highest: it goes after
    // every record with an equal key.
    const auto at = std::partition_point(m_view.begin(), m_view.end(), [&](std::uint32_t record) {
        const auto& stored = m_store->At(record).values;
        for (int column : m_indexColumns) {
            const int c = CompareValues(stored[static_cast<std::size_t>(column)],
                                        values[static_cast<std::size_t>(column)], true);
            if (c != 0)
                return c < 0;
        }
        return true;
    });
    const int position = static_cast<int>(at - m_view.begin());
    return replacedRow >= 0 && replacedRow < position ? position - 1 : position;
}

// ----- opening and closing -----

Table::Binding Table::MakeBinding(const std::vector<Column>& columns) const {
    auto columnOf = [&](const std::string& name) {
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (SameName(columns[i].name, name))
                return static_cast<int>(i);
        return -1;
    };
    // A file's column is this table's field only under its exact name: a name written in
    // other letters was not written by this program (and its rows name it otherwise).
    auto fileColumnOf = [&](const std::string& name) {
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (columns[i].name == name)
                return static_cast<int>(i);
        return -1;
    };
    std::vector<Field> fields;
    if (m_fieldDefs.empty()) {
        for (std::size_t i = 0; i < columns.size(); ++i)
            fields.push_back({columns[i].name, columns[i].type, columns[i].width, static_cast<int>(i), -1});
    } else {
        for (const auto& def : m_fieldDefs) {
            const int column = fileColumnOf(def.name);
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
    return {std::move(fields), std::move(index)};
}

void Table::ApplyBinding(Binding binding) {
    m_fields = std::move(binding.fields);
    m_indexColumns = std::move(binding.index);
    ++m_binding;
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
    Binding binding = MakeBinding(store->Columns()); // a file of another layout fails here
    ChangeRows({RowChange::Reset}, [&] {
        ApplyBinding(std::move(binding));
        m_store = std::move(store);
        m_buffer.clear();
        m_modified = false;
        m_changed = false;
        SortView();
        m_pos = m_view.empty() ? -1 : 0;
        m_bof = true;
        m_eof = m_view.empty();
        m_state = TableState::Browse;
    });
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
    Cancel(); // a pending insert or edit is dropped, not posted
    // A table changed since it was opened, or whose file has gone, is written first; if
    // that fails the table stays open, so nothing is lost.
    if (!m_fileName.empty() && (m_changed || !FileExists(m_fileName)))
        WriteTo(m_fileName);
    ChangeRows({RowChange::Reset}, [&] {
        m_store.reset();
        m_view.clear();
        Touched();
        m_pos = -1;
        m_bof = m_eof = true;
        m_changed = false;
        m_state = TableState::Inactive;
    });
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

bool Table::LocateInteger(const std::string& field, std::int64_t value) {
    for (First(); !Eof(); Next())
        if (AsInteger(field) == value)
            return true;
    return false;
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

void Table::Insert() {
    CheckBrowseMode();
    // Ids are 32-bit: past the last one a new record could only get an id twice.
    const auto& image = m_store->Image();
    if (image.AutoIncColumn() >= 0 && image.autoIncValue.value_or(1) > MaxAutoIncValue)
        throw vexo::Error(IdsExhaustedMessage);
    // The new record appears as a row of its own before the current one.
    const int row = m_pos >= 0 ? m_pos : 0;
    ChangeRows({RowChange::RowInserted, row}, [&] {
        m_buffer.assign(m_store->Columns().size(), Value{});
        m_modified = false;
        m_insertRow = row;
        m_pos = row;
        m_state = TableState::Insert;
    });
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
    // The record's row moves to where its values sort (told before and after); the
    // record being inserted stops being a row of its own and becomes a record there.
    const int from = m_pos;
    const bool inserting = m_state == TableState::Insert;
    const std::uint32_t old = inserting ? 0 : m_view[static_cast<std::size_t>(m_pos)];
    const int to = ViewPositionFor(m_buffer, inserting ? -1 : from);
    auto store = [&] {
        if (inserting) {
            const auto record = m_store->Insert(std::move(m_buffer));
            m_view.insert(m_view.begin() + to, record);
        } else {
            const auto record = m_store->Modify(old, std::move(m_buffer));
            m_view.erase(m_view.begin() + from);
            m_view.insert(m_view.begin() + to, record);
        }
        m_pos = to;
        m_buffer.clear();
        m_modified = false;
        m_changed = true;
        Touched();
        m_bof = m_eof = false;
        m_state = TableState::Browse;
    };
    if (from != to)
        ChangeRows({RowChange::RowMoved, from, to}, store);
    else
        store();
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
    if (m_state == TableState::Insert) {
        // The record that was current before the insert sits at the row it left.
        const int row = m_insertRow;
        ChangeRows({RowChange::RowRemoved, row}, [&] {
            m_buffer.clear();
            m_modified = false;
            m_state = TableState::Browse;
            m_pos = std::min(row, RecordCount() - 1);
        });
    } else {
        m_buffer.clear();
        m_modified = false;
        m_state = TableState::Browse;
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
    // The record after the deleted one becomes current, the last one when it was last.
    const int row = m_pos;
    ChangeRows({RowChange::RowRemoved, row}, [&] {
        m_store->Delete(m_view[static_cast<std::size_t>(row)]);
        m_view.erase(m_view.begin() + row);
        if (m_pos >= RecordCount())
            m_pos = RecordCount() - 1;
        m_bof = m_eof = m_view.empty();
        m_changed = true;
        Touched();
    });
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
