// Field access of a table: reading the current record (or the record being edited),
// assigning values, and the lookup fields.
#include "table.h"

#include "platform/errors.h"
#include "value_text.h"

#include "data_source.h"
#include "date_value.h"
#include "text_encoding.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>

namespace data {
namespace {

// Integer fields hold 32 bits.
bool FitsIntegerField(std::int64_t n) {
    return n >= std::numeric_limits<std::int32_t>::min() && n <= std::numeric_limits<std::int32_t>::max();
}

// A number a field cannot hold, shown as the user gave it.
[[noreturn]] void RefuseOutOfRange(const std::string& shown, const std::string& field) {
    throw vexo::Error("Der Wert " + shown + " liegt außerhalb des gültigen Bereichs des Feldes '" + field +
                      "'.");
}

} // namespace

int Table::FindField(const std::string& name) const {
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const std::string& f = m_fields[i].name;
        if (f.size() == name.size() && std::equal(f.begin(), f.end(), name.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            }))
            return static_cast<int>(i);
    }
    return -1;
}

int Table::FieldIndex(const std::string& name) const {
    const int field = FindField(name);
    if (field < 0)
        throw vexo::Error("Feld '" + name + "' nicht gefunden");
    return field;
}

const Values* Table::CurrentValues() const {
    if (Editing())
        return &m_buffer;
    if (!Active() || m_pos < 0)
        return nullptr;
    return &m_store->At(m_view[static_cast<std::size_t>(m_pos)]).values;
}

Value Table::FieldValue(const Values* values, const Field& field) const {
    if (!values)
        return {};
    if (field.column >= 0)
        return (*values)[static_cast<std::size_t>(field.column)];
    // A lookup: the record of the lookup table whose key equals ours, found afresh through
    // the lookup table's key map.
    const LookupFieldDef& lookup = m_lookups[static_cast<std::size_t>(field.lookup)];
    const Table* other = lookup.lookupTable;
    if (!other || !other->Active() || field.keyColumn < 0)
        return {};
    const Value& key = (*values)[static_cast<std::size_t>(field.keyColumn)];
    if (data::IsNull(key))
        return {};
    if (field.otherBinding != other->m_binding) {
        field.otherKey = other->FindField(lookup.lookupKeyField);
        field.otherResult = other->FindField(lookup.resultField);
        field.otherBinding = other->m_binding;
    }
    if (field.otherKey < 0 || field.otherResult < 0)
        return {};
    const Values* record = other->FindStored(field.otherKey, key);
    return record ? other->ValueOf(*record, field.otherResult) : Value{};
}

const Values* Table::FindStored(int field, const Value& key) const {
    if (!Active() || field < 0 || field >= FieldCount())
        return nullptr;
    const Field& f = m_fields[static_cast<std::size_t>(field)];
    if (f.column < 0)
        return nullptr;
    const auto column = static_cast<std::size_t>(f.column);
    if (const auto* id = std::get_if<std::int64_t>(&key)) {
        if (m_keyMapGeneration != m_generation || m_keyMapField != field) {
            m_keyMap.clear();
            m_keyMap.reserve(m_view.size());
            for (std::uint32_t record : m_view)
                if (const auto* k = std::get_if<std::int64_t>(&m_store->At(record).values[column]))
                    m_keyMap.emplace(*k, record); // the first in view order stays
            m_keyMapGeneration = m_generation;
            m_keyMapField = field;
        }
        const auto found = m_keyMap.find(*id);
        return found == m_keyMap.end() ? nullptr : &m_store->At(found->second).values;
    }
    for (std::uint32_t record : m_view)
        if (m_store->At(record).values[column] == key)
            return &m_store->At(record).values;
    return nullptr;
}

Value Table::ValueOf(const Values& record, int field) const {
    if (field < 0 || field >= FieldCount())
        return {};
    return FieldValue(&record, m_fields[static_cast<std::size_t>(field)]);
}

Value Table::GetValue(const std::string& name) const {
    return FieldValue(CurrentValues(), m_fields[static_cast<std::size_t>(FieldIndex(name))]);
}

Value Table::ValueAt(int row, int field) const {
    if (!Active() || field < 0 || field >= FieldCount() || row < 0 || row >= RowCount())
        return {};
    const Values* values = nullptr;
    if (Editing() && row == m_pos)
        values = &m_buffer;
    else {
        // Rows after the record being inserted hold the record before them in the view.
        const int record = m_state == TableState::Insert && row > m_insertRow ? row - 1 : row;
        values = &m_store->At(m_view[static_cast<std::size_t>(record)]).values;
    }
    return FieldValue(values, m_fields[static_cast<std::size_t>(field)]);
}

Value Table::RecordValueAt(int record, int field) const {
    if (!Active() || field < 0 || field >= FieldCount() || record < 0 || record >= RecordCount())
        return {};
    return FieldValue(&m_store->At(m_view[static_cast<std::size_t>(record)]).values,
                      m_fields[static_cast<std::size_t>(field)]);
}

bool Table::IsNull(const std::string& name) const {
    return data::IsNull(GetValue(name));
}

std::string Table::AsString(const std::string& name) const {
    const Value v = GetValue(name);
    std::string text;
    if (const std::string* s = TextOf(v))
        return *s;
    if (const auto* i = std::get_if<std::int64_t>(&v))
        AppendInteger(text, *i);
    else if (const auto* d = std::get_if<double>(&v))
        AppendFloat(text, *d);
    return text;
}

std::int64_t Table::AsInteger(const std::string& name) const {
    const Value v = GetValue(name);
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return *i;
    if (const auto* d = std::get_if<double>(&v))
        return static_cast<std::int64_t>(*d);
    if (const std::string* s = TextOf(v))
        return ParseInteger(*s).value_or(0);
    return 0;
}

double Table::AsFloat(const std::string& name) const {
    const Value v = GetValue(name);
    if (const auto* d = std::get_if<double>(&v))
        return *d;
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return static_cast<double>(*i);
    if (const std::string* s = TextOf(v))
        return ParseFloat(*s).value_or(0);
    return 0;
}

int Table::AsDate(const std::string& name) const {
    return static_cast<int>(AsInteger(name));
}

// A value as the field stores it, or a clear refusal: integers are 32 bits, dates lie in the
// years 1 to 9999, floats are finite numbers; text loses its trailing blanks and is cut to
// the field's size.
Value Table::CheckedValue(const Field& field, Value value) const {
    switch (field.type) {
    case FieldType::Text:
        if (auto* s = std::get_if<std::string>(&value)) {
            while (!s->empty() && s->back() == ' ')
                s->pop_back();
            if (field.size > 0 && s->size() > static_cast<std::size_t>(field.size))
                s->resize(static_cast<std::size_t>(field.size));
        } else if (const auto* m = std::get_if<SharedText>(&value)) {
            return CheckedValue(field, m->Bytes());
        }
        return value;
    case FieldType::Memo:
        // A long memo keeps its text shared, so that later versions need not copy it.
        if (auto* s = std::get_if<std::string>(&value))
            return MemoValue(std::move(*s));
        return value;
    case FieldType::Float:
        if (const auto* i = std::get_if<std::int64_t>(&value))
            value = static_cast<double>(*i);
        if (const auto* d = std::get_if<double>(&value); d && !std::isfinite(*d))
            RefuseOutOfRange(std::to_string(*d), field.name);
        return value;
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Date: {
        if (const auto* d = std::get_if<double>(&value)) {
            if (!std::isfinite(*d) || *d < -9.2e18 || *d > 9.2e18)
                RefuseOutOfRange(std::to_string(*d), field.name);
            value = static_cast<std::int64_t>(*d);
        }
        const auto* n = std::get_if<std::int64_t>(&value);
        if (!n)
            return value;
        if (field.type == FieldType::Date) {
            if (*n < DaysFromCivil(1, 1, 1) || *n > DaysFromCivil(9999, 12, 31))
                throw vexo::Error("Das Datum liegt außerhalb des gültigen Bereichs (01.01.0001 bis "
                                  "31.12.9999) des Feldes '" +
                                  field.name + "'.");
        } else if (!FitsIntegerField(*n)) {
            RefuseOutOfRange(std::to_string(*n), field.name);
        }
        return value;
    }
    case FieldType::Other:
        return value;
    }
    return value;
}

void Table::SetValue(const std::string& name, Value value) {
    CheckActive();
    const Field& field = m_fields[static_cast<std::size_t>(FieldIndex(name))];
    if (!Editing())
        throw vexo::Error("Datenmenge befindet sich nicht im Bearbeitungs- oder Einfügemodus");
    if (field.lookup >= 0) {
        if (const std::string* s = TextOf(value))
            SetLookupValue(name, *s);
        return;
    }
    m_buffer[static_cast<std::size_t>(field.column)] = CheckedValue(field, std::move(value));
    m_modified = true;
    if (!m_inPost)
        NotifyRows({RowChange::FieldChanged, m_pos, -1, static_cast<int>(&field - m_fields.data())});
    NotifyData();
}

void Table::SetAsString(const std::string& name, const std::string& bytes) {
    const Field& field = m_fields[static_cast<std::size_t>(FieldIndex(name))];
    switch (field.type) {
    case FieldType::Text:
    case FieldType::Memo:
    case FieldType::Other:
        SetValue(name, bytes);
        return;
    case FieldType::Float:
        if (IsBlank(bytes))
            return SetValue(name, Value{});
        if (auto d = ParseWholeFloat(bytes))
            return SetValue(name, *d);
        break;
    case FieldType::Date:
        if (IsBlank(bytes))
            return SetValue(name, Value{});
        if (auto days = ParseDate(bytes))
            return SetValue(name, std::int64_t{*days});
        break;
    case FieldType::AutoInc:
    case FieldType::Integer:
        if (IsBlank(bytes))
            return SetValue(name, Value{});
        if (auto n = ParseWholeInteger(bytes)) {
            // Refused here, not in SetValue, so that the message shows the text as typed
            // (a long number reads back saturated).
            if (!FitsIntegerField(*n))
                RefuseOutOfRange(Cp1252ToUtf8(bytes), field.name);
            return SetValue(name, *n);
        }
        break;
    }
    throw vexo::Error("'" + Cp1252ToUtf8(bytes) + "' ist kein gültiger Wert für das Feld '" + field.name +
                      "'");
}

std::vector<std::string> Table::LookupValues(const std::string& name) const {
    const Field& field = m_fields[static_cast<std::size_t>(FieldIndex(name))];
    std::vector<std::string> values;
    if (field.lookup < 0)
        return values;
    const LookupFieldDef& lookup = m_lookups[static_cast<std::size_t>(field.lookup)];
    const Table* other = lookup.lookupTable;
    if (!other || !other->Active())
        return values;
    const int result = other->FindField(lookup.resultField);
    for (int record = 0; result >= 0 && record < other->RecordCount(); ++record)
        values.push_back(BytesOf(other->RecordValueAt(record, result)));
    return values;
}

void Table::SetLookupRow(const std::string& name, int lookupRow) {
    const Field& field = m_fields[static_cast<std::size_t>(FieldIndex(name))];
    if (field.lookup < 0)
        return;
    const LookupFieldDef& lookup = m_lookups[static_cast<std::size_t>(field.lookup)];
    const Table* other = lookup.lookupTable;
    if (!other || !other->Active() || lookupRow < 0 || lookupRow >= other->RecordCount())
        return;
    SetValue(lookup.keyField, other->RecordValueAt(lookupRow, other->FindField(lookup.lookupKeyField)));
}

void Table::SetLookupValue(const std::string& name, const std::string& bytes) {
    const Field& field = m_fields[static_cast<std::size_t>(FieldIndex(name))];
    if (field.lookup < 0)
        return SetAsString(name, bytes);
    const LookupFieldDef& lookup = m_lookups[static_cast<std::size_t>(field.lookup)];
    const Table* other = lookup.lookupTable;
    if (!other || !other->Active())
        return;
    const int result = other->FindField(lookup.resultField);
    const int key = other->FindField(lookup.lookupKeyField);
    for (int record = 0; result >= 0 && key >= 0 && record < other->RecordCount(); ++record)
        if (other->RecordValueAt(record, result) == Value{bytes}) {
            SetValue(lookup.keyField, other->RecordValueAt(record, key));
            return;
        }
}

} // namespace data
