// The metadata of a data packet: the columns (FIELD) and the table parameters (PARAMS).
#include "packet_reading.h"
#include "value_text.h"

#include <iterator>

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

// The parameters a packet may carry, with the type of their values. Names are matched
// without regard to case and kept in this spelling.
enum class ParamType { List, Boolean, Int16, Int32, Text };
struct KnownParam {
    const char* name;
    ParamType type;
};
const KnownParam KnownParams[] = {{"UNIQUE_KEY", ParamType::List},
                                  {"DEFAULT_ORDER", ParamType::List},
                                  {"CHANGE_LOG", ParamType::List},
                                  {"SERVER_COL", ParamType::Text},
                                  {"DATASET_DELTA", ParamType::Boolean},
                                  {"READONLY", ParamType::Boolean},
                                  {"SUBTYPE", ParamType::Text},
                                  {"DECIMALS", ParamType::Int16},
                                  {"WIDTH", ParamType::Int16},
                                  {"MINVALUE", ParamType::Text},
                                  {"MAXVALUE", ParamType::Text},
                                  {"DEFVALUE", ParamType::Text},
                                  {"LCID", ParamType::Int16},
                                  {"AUTOINCVALUE", ParamType::Int32},
                                  {"TABLENAME", ParamType::Text},
                                  {"TYPENAME", ParamType::Text},
                                  {"UPDATEMODE", ParamType::Int16},
                                  {"MD_SEMANTICS", ParamType::List},
                                  {"CALCULATED", ParamType::Boolean},
                                  {"DELTA", ParamType::Boolean},
                                  {"PRIMARY_KEY", ParamType::List}};

// A parameter this format knows, or a failure: a name it does not know was not written by
// this program, and a value kept under it would be saved back as whatever it was read as.
const KnownParam& ParamNamed(std::string_view name) {
    for (const KnownParam& known : KnownParams)
        if (EqualsNoCase(name, known.name))
            return known;
    throw PacketError("Unbekannter Parameter \"" + std::string(name.substr(0, 40)) + "\".");
}

[[noreturn]] void InvalidParam(const KnownParam& param) {
    throw PacketError(std::string("Ungültiger Wert des Parameters ") + param.name + ".");
}

// A list value exactly as written: unsigned numbers separated by single blanks.
std::vector<std::uint32_t> ExactList(const KnownParam& param, std::string_view text) {
    std::vector<std::uint32_t> numbers;
    numbers.reserve(text.size() / 2 + 1);
    std::size_t i = 0;
    while (i < text.size()) {
        if (i > 0 && text[i++] != ' ')
            InvalidParam(param);
        const std::size_t end = std::min(text.find(' ', i), text.size());
        const auto n = ReadExactInteger(text.substr(i, end - i), 0, 0xFFFFFFFFll);
        if (!n)
            InvalidParam(param);
        numbers.push_back(static_cast<std::uint32_t>(*n));
        i = end;
    }
    return numbers;
}

bool ExactBoolean(const KnownParam& param, std::string_view text) {
    if (EqualsNoCase(text, "true"))
        return true;
    if (EqualsNoCase(text, "false"))
        return false;
    InvalidParam(param);
}

std::int64_t ExactInteger(const KnownParam& param, std::string_view text) {
    const bool wide = param.type == ParamType::Int32;
    const auto n = ReadExactInteger(text, wide ? -2147483647 - 1 : -32768, wide ? 2147483647 : 32767);
    if (!n)
        InvalidParam(param);
    return *n;
}

// A carried parameter's text, checked against its type and written as the writer writes it.
std::string ParamText(const KnownParam& param, std::string_view raw) {
    std::string text = DecodeAttribute(raw);
    switch (param.type) {
    case ParamType::List: {
        std::string list;
        AppendList(list, ExactList(param, text));
        return list;
    }
    case ParamType::Boolean:
        return ExactBoolean(param, text) ? "true" : "false";
    case ParamType::Int16:
    case ParamType::Int32: {
        std::string number;
        AppendInteger(number, ExactInteger(param, text));
        return number;
    }
    case ParamType::Text:
        break;
    }
    return text;
}

// The attributes of a FIELD element that are no parameters, compared exactly.
const char* const FieldAttributes[] = {"attrname", "tagname",  "fieldname", "fieldtype",
                                       "readonly", "required", "hidden",    "linkfield"};

} // namespace

Column ReadField(const PacketTag& tag) {
    Column c;
    bool haveName = false, haveType = false;
    std::string fieldName;
    bool haveFieldName = false;
    std::vector<std::string_view> seen; // every attribute once, parameters by their known name
    auto once = [&](std::string_view name) {
        if (std::find(seen.begin(), seen.end(), name) != seen.end())
            throw PacketError("Ein Feld nennt \"" + std::string(name) + "\" zweimal.");
        seen.push_back(name);
    };
    auto flag = [](std::string_view raw) {
        static const KnownParam Flag{"Feldeigenschaft", ParamType::Boolean};
        return ExactBoolean(Flag, DecodeAttribute(raw));
    };
    for (const auto& a : tag.attributes) {
        const auto exact = std::find_if(std::begin(FieldAttributes), std::end(FieldAttributes),
                                        [&](const char* name) { return EqualsNoCase(a.name, name); });
        if (exact != std::end(FieldAttributes)) {
            // These names are written in one spelling: another one was not written so.
            if (a.name != *exact)
                throw PacketError("Unbekanntes Attribut \"" + std::string(a.name.substr(0, 40)) + "\".");
            once(*exact);
        }
        if (a.name == "attrname" || a.name == "tagname") {
            if (haveName)
                throw PacketError("Ein Feld hat zwei Namen.");
            c.attrName = DecodeAttribute(a.raw);
            haveName = true;
        } else if (a.name == "fieldname") {
            fieldName = DecodeAttribute(a.raw);
            haveFieldName = true;
        } else if (a.name == "fieldtype") {
            c.typeName = DecodeAttribute(a.raw);
            haveType = true;
        } else if (a.name == "readonly") {
            c.readOnly = flag(a.raw);
        } else if (a.name == "required") {
            c.required = flag(a.raw);
        } else if (a.name == "hidden") {
            c.hidden = flag(a.raw);
        } else if (a.name == "linkfield") {
            c.link = flag(a.raw);
        } else {
            const KnownParam& param = ParamNamed(a.name);
            once(param.name);
            const std::string_view name = param.name;
            if (name == "SUBTYPE") {
                // Known words in their one spelling, so that the file is saved back as it was.
                c.subtype = DecodeAttribute(a.raw);
                for (const char* word : {"Autoinc", "Text"})
                    if (EqualsNoCase(c.subtype, word))
                        c.subtype = word;
            } else if (name == "WIDTH" || name == "DECIMALS") {
                const std::int64_t n = ExactInteger(param, DecodeAttribute(a.raw));
                if (n < 0)
                    InvalidParam(param);
                (name == "WIDTH" ? c.width : c.decimals) = static_cast<int>(n);
            } else if (name == "CALCULATED")
                c.calculated = ExactBoolean(param, DecodeAttribute(a.raw));
            else
                c.extraParams.emplace_back(param.name, ParamText(param, a.raw));
        }
    }
    if (!haveName || c.attrName.empty())
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
    std::vector<const KnownParam*> seen;
    for (const auto& a : tag.attributes) {
        const KnownParam& param = ParamNamed(a.name);
        if (std::find(seen.begin(), seen.end(), &param) != seen.end())
            throw PacketError(std::string("Der Parameter ") + param.name + " steht zweimal.");
        seen.push_back(&param);
        const std::string_view name = param.name;
        if (name == "CHANGE_LOG") {
            // The log is the longest attribute of a file; read it where it stands unless it
            // holds a reference.
            std::string decoded;
            if (!IsPlainAttribute(a.raw))
                decoded = DecodeAttribute(a.raw);
            const auto numbers = ExactList(param, decoded.empty() ? a.raw : std::string_view(decoded));
            if (numbers.size() < 3 || numbers.size() % 3 != 0)
                throw PacketError("Invalid parameter.");
            image.changeLog.reserve(numbers.size() / 3);
            for (std::size_t i = 0; i + 2 < numbers.size(); i += 3)
                image.changeLog.push_back({numbers[i], numbers[i + 1], numbers[i + 2]});
        } else if (name == "AUTOINCVALUE") {
            // One past the last 32-bit id: the counter of a table whose ids are all handed out.
            const auto n = ReadExactInteger(DecodeAttribute(a.raw), -2147483647 - 1, 2147483648ll);
            if (!n)
                InvalidParam(param);
            image.autoIncValue = *n;
        } else {
            if (name == "DEFAULT_ORDER")
                image.defaultOrder = ExactList(param, DecodeAttribute(a.raw));
            image.carriedParams.emplace_back(param.name, ParamText(param, a.raw));
        }
    }
}

} // namespace data
