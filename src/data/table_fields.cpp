// Field access of a table: reading the current record (or the record being edited),
// assigning values, and the lookup fields.
#include "table.h"

#include "platform/errors.h"
#include "value_text.h"

#include <algorithm>
#include <cctype>

namespace data {

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
    // A lookup: the record of the lookup table whose key equals ours, computed afresh.
    const LookupFieldDef& lookup = m_lookups[static_cast<std::size_t>(field.lookup)];
    Table* other = lookup.lookupTable;
    if (!other || !other->Active())
        return {};
    const int keyField = FindField(lookup.keyField);
    if (keyField < 0)
        return {};
    const Value key = FieldValue(values, m_fields[static_cast<std::size_t>(keyField)]);
    if (data::IsNull(key))
        return {};
    const int otherKey = other->FindField(lookup.lookupKeyField);
    const int otherResult = other->FindField(lookup.resultField);
    if (otherKey < 0 || otherResult < 0)
        return {};
    const auto& otherKeyField = other->m_fields[static_cast<std::size_t>(otherKey)];
    const auto& otherResultField = other->m_fields[static_cast<std::size_t>(otherResult)];
    for (std::uint32_t record : other->m_view) {
        const Values& v = other->m_store->At(record).values;
        if (other->FieldValue(&v, otherKeyField) == key)
            return other->FieldValue(&v, otherResultField);
    }
    return {};
}

Value Table::GetValue(const std::string& name) const {
    return FieldValue(CurrentValues(), m_fields[static_cast<std::size_t>(FieldIndex(name))]);
}

Value Table::ValueAt(int position, int field) const {
    if (!Active() || field < 0 || field >= FieldCount())
        return {};
    const Values* values = nullptr;
    if (Editing() && position == m_pos)
        values = &m_buffer;
    else if (position >= 0 && position < RecordCount())
        values = &m_store->At(m_view[static_cast<std::size_t>(position)]).values;
    return FieldValue(values, m_fields[static_cast<std::size_t>(field)]);
}

bool Table::IsNull(const std::string& name) const {
    return data::IsNull(GetValue(name));
}

std::string Table::AsString(const std::string& name) const {
    const Value v = GetValue(name);
    std::string text;
    if (const auto* s = std::get_if<std::string>(&v))
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
    if (const auto* s = std::get_if<std::string>(&v))
        return ParseInteger(*s).value_or(0);
    return 0;
}

double Table::AsFloat(const std::string& name) const {
    const Value v = GetValue(name);
    if (const auto* d = std::get_if<double>(&v))
        return *d;
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return static_cast<double>(*i);
    if (const auto* s = std::get_if<std::string>(&v))
        return ParseFloat(*s).value_or(0);
    return 0;
}

int Table::AsDate(const std::string& name) const {
    return static_cast<int>(AsInteger(name));
}

void Table::SetValue(const std::string& name, Value value) {
    CheckActive();
    const Field& field = m_fields[static_cast<std::size_t>(FieldIndex(name))];
    if (!Editing())
        throw vexo::Error("Datenmenge befindet sich nicht im Bearbeitungs- oder Einfügemodus");
    if (field.lookup >= 0) {
        if (const auto* s = std::get_if<std::string>(&value))
            SetLookupValue(name, *s);
        return;
    }
    if (field.type == FieldType::Text || field.type == FieldType::Memo) {
        if (const auto* s = std::get_if<std::string>(&value)) {
            std::string text = *s;
            if (field.type == FieldType::Text) {
                while (!text.empty() && text.back() == ' ')
                    text.pop_back();
                if (field.size > 0 && text.size() > static_cast<std::size_t>(field.size))
                    text.resize(static_cast<std::size_t>(field.size));
            }
            value = std::move(text);
        }
    } else if (field.type == FieldType::Float) {
        if (const auto* i = std::get_if<std::int64_t>(&value))
            value = static_cast<double>(*i);
    } else if (const auto* d = std::get_if<double>(&value)) {
        value = static_cast<std::int64_t>(*d);
    }
    m_buffer[static_cast<std::size_t>(field.column)] = std::move(value);
    m_modified = true;
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
        if (bytes.empty())
            return SetValue(name, Value{});
        if (auto d = ParseFloat(bytes))
            return SetValue(name, *d);
        break;
    case FieldType::Date:
        if (bytes.empty())
            return SetValue(name, Value{});
        if (auto days = ParseDate(bytes))
            return SetValue(name, std::int64_t{*days});
        break;
    case FieldType::AutoInc:
    case FieldType::Integer:
        if (bytes.empty())
            return SetValue(name, Value{});
        if (auto n = ParseInteger(bytes))
            return SetValue(name, *n);
        break;
    }
    throw vexo::Error("'" + bytes + "' ist kein gültiger Wert für das Feld '" + field.name + "'");
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
    for (int row = 0; result >= 0 && row < other->RecordCount(); ++row) {
        const Value v = other->ValueAt(row, result);
        values.push_back(std::holds_alternative<std::string>(v) ? std::get<std::string>(v) : std::string());
    }
    return values;
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
    for (int row = 0; result >= 0 && key >= 0 && row < other->RecordCount(); ++row)
        if (other->ValueAt(row, result) == Value{bytes}) {
            SetValue(lookup.keyField, other->ValueAt(row, key));
            return;
        }
}

} // namespace data
