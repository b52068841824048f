#include "packet_xml.h"
#include "record_store.h"
#include "value_text.h"

#include <array>

namespace data {
namespace {

// The nine characters that are escaped in attribute values.
const std::array<const char*, 256> EscapeTable = [] {
    std::array<const char*, 256> t{};
    t['<'] = "&lt;";
    t['>'] = "&gt;";
    t['&'] = "&amp;";
    t['\''] = "&apos;";
    t['"'] = "&quot;";
    t['\r'] = "&#013;";
    t['\n'] = "&#010;";
    t['\t'] = "&#009;";
    t['\\'] = "&#092;";
    return t;
}();

template <typename S> void AppendEscaped(S& out, std::string_view text) {
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char* escape = EscapeTable[static_cast<unsigned char>(text[i])];
        if (!escape)
            continue;
        out.append(text.data() + plain, i - plain);
        out.append(escape);
        plain = i + 1;
    }
    out.append(text.data() + plain, text.size() - plain);
}

template <typename S> void AppendAttribute(S& out, std::string_view name, std::string_view value) {
    out += ' ';
    out.append(name);
    out.append("=\"");
    AppendEscaped(out, value);
    out += '"';
}

template <typename S> void AppendField(S& out, const Column& c) {
    out.append("<FIELD");
    if (NeedsFieldName(c.name))
        AppendAttribute(out, "fieldname", c.name);
    AppendAttribute(out, "attrname", AttrNameOf(c.name));
    AppendAttribute(out, "fieldtype", c.typeName);
    if (c.readOnly)
        out.append(" readonly=\"true\"");
    if (c.required)
        out.append(" required=\"true\"");
    if (c.hidden)
        out.append(" hidden=\"true\"");
    if (c.link)
        out.append(" linkfield=\"true\"");
    if (!c.subtype.empty())
        AppendAttribute(out, "SUBTYPE", c.subtype);
    if (c.decimals >= 0) {
        out.append(" DECIMALS=\"");
        AppendInteger(out, c.decimals);
        out += '"';
    }
    if (c.width > 0) {
        out.append(" WIDTH=\"");
        AppendInteger(out, c.width);
        out += '"';
    }
    if (c.calculated)
        out.append(" CALCULATED=\"true\"");
    for (const auto& [name, value] : c.extraParams)
        AppendAttribute(out, name, value);
    out.append("/>");
}

template <typename S> void AppendValue(S& out, const Column& column, const Value& value) {
    if (const auto* i = std::get_if<std::int64_t>(&value)) {
        if (column.type == FieldType::Date)
            AppendDate(out, static_cast<int>(*i));
        else
            AppendInteger(out, *i);
    } else if (const auto* d = std::get_if<double>(&value)) {
        AppendFloat(out, *d);
    } else if (const std::string* s = TextOf(value)) {
        AppendEscaped(out, *s);
    }
}

// A modification left the memo untouched: it still shares its predecessor's text (a memo
// assigned anew is written in full, even with the same words), or both are NULL.
bool SameMemo(const Value& value, const Value& old) {
    const auto* memo = std::get_if<SharedText>(&value);
    const auto* oldMemo = std::get_if<SharedText>(&old);
    if (memo && oldMemo)
        return memo->Same(*oldMemo);
    return value == old;
}

template <typename S> void WritePacket(const TableImage& table, S& out) {
    const auto& columns = table.columns;
    const bool withHistory = !table.changeLog.empty();
    out.clear();
    std::size_t estimate = 512 + table.changeLog.size() * 12;
    for (const auto& v : table.versions) {
        estimate += 24;
        // Memos are left out: most versions share their predecessor's and write nothing.
        for (const auto& value : v.values)
            estimate +=
                16 + (std::holds_alternative<std::string>(value) ? std::get<std::string>(value).size() : 0);
    }
    out.reserve(estimate);

    out.append("<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>");
    for (const auto& c : columns)
        AppendField(out, c);
    out.append("</FIELDS><PARAMS");
    if (table.explicitDefaultOrder) {
        out.append(" DEFAULT_ORDER=\"");
        AppendList(out, *table.explicitDefaultOrder);
        out += '"';
    }
    if (withHistory) {
        out.append(" CHANGE_LOG=\"");
        for (std::size_t i = 0; i < table.changeLog.size(); ++i) {
            const auto& e = table.changeLog[i];
            if (i)
                out += ' ';
            AppendInteger(out, e.record);
            out += ' ';
            AppendInteger(out, e.predecessor);
            out += ' ';
            AppendInteger(out, e.action);
        }
        out += '"';
    }
    if (table.AutoIncColumn() >= 0) {
        out.append(" AUTOINCVALUE=\"");
        AppendInteger(out, table.autoIncValue.value_or(1));
        out += '"';
    }
    for (const auto& [name, value] : table.carriedParams)
        AppendAttribute(out, name, value);
    out.append("/>"); // with no parameter at all this gives <PARAMS/>
    out.append("</METADATA><ROWDATA>");

    // With history every version goes out in record-number order; without, the records
    // in the default order.
    std::vector<std::uint32_t> order(table.versions.size());
    for (std::uint32_t n = 1; n <= order.size(); ++n)
        order[n - 1] = n;
    std::vector<std::uint32_t> predecessor;
    if (withHistory) {
        predecessor.assign(table.versions.size() + 1, 0);
        for (const auto& e : table.changeLog)
            if (e.action == ActionModify && e.record < predecessor.size())
                predecessor[e.record] = e.predecessor;
    } else {
        SortByDefaultOrder(table, order);
    }

    std::vector<std::string> attrPrefix; // ` name="` of every column
    for (const auto& c : columns)
        attrPrefix.push_back(' ' + AttrNameOf(c.name) + "=\"");

    for (std::uint32_t record : order) {
        const Version& v = table.versions[record - 1];
        out.append("<ROW");
        if (v.state != 0) {
            out.append(" RowState=\"");
            AppendInteger(out, v.state);
            out += '"';
        }
        const Version* before = nullptr;
        if ((v.state & RowModified) && !predecessor.empty() && predecessor[record] != 0 &&
            predecessor[record] < record)
            before = &table.versions[predecessor[record] - 1];
        for (std::size_t c = 0; c < columns.size() && c < v.values.size(); ++c) {
            const Value& value = v.values[c];
            if (columns[c].type == FieldType::Memo && (v.state & RowModified)) {
                const Value* old = before && c < before->values.size() ? &before->values[c] : nullptr;
                // An untouched memo is left out and reads back as the predecessor's; a memo
                // cleared by the modification is written empty, so it cannot come back.
                if (old ? SameMemo(value, *old) : IsNull(value))
                    continue;
                if (IsNull(value)) {
                    out.append(attrPrefix[c]);
                    out += '"';
                    continue;
                }
            }
            if (IsNull(value))
                continue;
            out.append(attrPrefix[c]);
            AppendValue(out, columns[c], value);
            out += '"';
        }
        out.append("/>");
    }
    out.append("</ROWDATA></DATAPACKET>");
}

} // namespace

std::string WritePacketXml(const TableImage& table) {
    std::string out;
    WritePacket(table, out);
    return out;
}

void WritePacketXml(const TableImage& table, LargeString& out) {
    WritePacket(table, out);
}

} // namespace data
