// The metadata of a data packet: the columns (FIELD) and the table parameters (PARAMS).
#include "packet_reading.h"
#include "value_text.h"

#include <algorithm>

namespace data {
namespace {

const char* const KnownTypes[] = {
    "i1",   "i2",       "i4",          "i8",      "ui1",        "ui2",     "ui4",    "ui8",      "int",
    "uint", "IntArray", "UIntArray",   "boolean", "r8",         "r10",     "fixed",  "fixedFMT", "date",
    "time", "dateTime", "SQLdateTime", "string",  "string.uni", "bin.hex", "nested", "struct"};

// The type name in its usual spelling, or nothing when it is not a known type.
const char* KnownType(std::string_view name) {
    for (const char* known : KnownTypes)
        if (EqualsNoCase(name, known))
            return known;
    return nullptr;
}

bool IsListParam(std::string_view name) {
    for (const char* list : {"UNIQUE_KEY", "DEFAULT_ORDER", "CHANGE_LOG", "MD_SEMANTICS", "PRIMARY_KEY"})
        if (EqualsNoCase(name, list))
            return true;
    return false;
}

// A list value: unsigned numbers separated by blanks.
std::vector<std::uint32_t> ParseList(std::string_view text) {
    std::vector<std::uint32_t> numbers;
    numbers.reserve(text.size() / 2 + 1);
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] < '0' || text[i] > '9'))
            ++i;
        if (i >= text.size())
            break;
        std::uint64_t n = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            n = std::min<std::uint64_t>(n * 10 + static_cast<std::uint64_t>(text[i] - '0'), 0xFFFFFFFFull);
            ++i;
        }
        numbers.push_back(static_cast<std::uint32_t>(n));
    }
    return numbers;
}

// Carried-over parameter texts: lists are normalised to single blanks, the rest kept.
std::string ParamText(std::string_view name, std::string_view raw) {
    std::string text = DecodeAttribute(raw);
    if (!IsListParam(name))
        return text;
    std::string list;
    AppendList(list, ParseList(text));
    return list;
}

} // namespace

Column ReadField(const PacketTag& tag) {
    Column c;
    bool haveName = false, haveType = false;
    std::string fieldName;
    bool haveFieldName = false;
    for (const auto& a : tag.attributes) {
        if (a.name == "attrname" || a.name == "tagname") {
            c.attrName = DecodeAttribute(a.raw);
            haveName = true;
        } else if (a.name == "fieldname") {
            fieldName = DecodeAttribute(a.raw);
            haveFieldName = true;
        } else if (a.name == "fieldtype") {
            c.typeName = DecodeAttribute(a.raw);
            haveType = true;
        } else if (a.name == "readonly") {
            c.readOnly = EqualsNoCase(DecodeAttribute(a.raw), "true");
        } else if (a.name == "required") {
            c.required = EqualsNoCase(DecodeAttribute(a.raw), "true");
        } else if (a.name == "hidden") {
            c.hidden = EqualsNoCase(DecodeAttribute(a.raw), "true");
        } else if (a.name == "linkfield") {
            c.link = EqualsNoCase(DecodeAttribute(a.raw), "true");
        } else if (EqualsNoCase(a.name, "SUBTYPE")) {
            c.subtype = DecodeAttribute(a.raw);
        } else if (EqualsNoCase(a.name, "WIDTH")) {
            c.width = static_cast<int>(
                std::clamp<std::int64_t>(ParseInteger(DecodeAttribute(a.raw)).value_or(0), 0, 32767));
        } else if (EqualsNoCase(a.name, "DECIMALS")) {
            c.decimals = static_cast<int>(
                std::clamp<std::int64_t>(ParseInteger(DecodeAttribute(a.raw)).value_or(0), 0, 32767));
        } else if (EqualsNoCase(a.name, "CALCULATED")) {
            c.calculated = EqualsNoCase(DecodeAttribute(a.raw), "true");
        } else {
            c.extraParams.emplace_back(std::string(a.name), ParamText(a.name, a.raw));
        }
    }
    if (!haveName)
        Mismatch();
    const char* type = haveType ? KnownType(c.typeName) : nullptr;
    if (!type)
        throw PacketError("Invalid field type.");
    c.typeName = type;
    c.name = haveFieldName ? fieldName : c.attrName;
    const bool autoinc = EqualsNoCase(c.subtype, "Autoinc");
    if (autoinc)
        c.readOnly = true;
    if ((EqualsNoCase(c.typeName, "i4") || EqualsNoCase(c.typeName, "int")) && autoinc)
        c.type = FieldType::AutoInc;
    else if (EqualsNoCase(c.typeName, "i4") || EqualsNoCase(c.typeName, "int"))
        c.type = FieldType::Integer;
    else if (EqualsNoCase(c.typeName, "r8"))
        c.type = FieldType::Float;
    else if (EqualsNoCase(c.typeName, "date"))
        c.type = FieldType::Date;
    else if (EqualsNoCase(c.typeName, "string"))
        c.type = FieldType::Text;
    else if (EqualsNoCase(c.typeName, "bin.hex") && EqualsNoCase(c.subtype, "Text"))
        c.type = FieldType::Memo;
    else
        c.type = FieldType::Other;
    return c;
}

void ReadParams(const PacketTag& tag, TableImage& image) {
    for (const auto& a : tag.attributes) {
        if (EqualsNoCase(a.name, "CHANGE_LOG")) {
            // The log is the longest attribute of a file; read it where it stands unless it
            // holds a reference.
            std::string decoded;
            if (a.raw.find('&') != std::string_view::npos)
                decoded = DecodeAttribute(a.raw);
            const auto numbers = ParseList(decoded.empty() ? a.raw : std::string_view(decoded));
            if (numbers.size() < 3)
                throw PacketError("Invalid parameter.");
            image.changeLog.reserve(numbers.size() / 3);
            for (std::size_t i = 0; i + 2 < numbers.size(); i += 3) // a partial last entry is ignored
                image.changeLog.push_back({numbers[i], numbers[i + 1], numbers[i + 2]});
        } else if (EqualsNoCase(a.name, "AUTOINCVALUE")) {
            if (auto n = ParseInteger(DecodeAttribute(a.raw)))
                image.autoIncValue = *n;
        } else {
            if (EqualsNoCase(a.name, "DEFAULT_ORDER"))
                image.defaultOrder = ParseList(DecodeAttribute(a.raw));
            image.carriedParams.emplace_back(std::string(a.name), ParamText(a.name, a.raw));
        }
    }
}

} // namespace data
