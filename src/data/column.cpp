#include "column.h"

#include <string_view>

namespace data {

namespace {
constexpr std::string_view NameOnlyCharacters = " !#$%()*?";
}

bool NeedsFieldName(const std::string& name) {
    return name.find_first_of(NameOnlyCharacters) != std::string::npos;
}

std::string AttrNameOf(const std::string& name) {
    std::string attr = name;
    for (char& c : attr)
        if (NameOnlyCharacters.find(c) != std::string_view::npos)
            c = '_';
    return attr;
}

Column MakeColumn(const FieldDef& def) {
    Column c;
    c.name = def.name;
    c.attrName = AttrNameOf(def.name);
    c.type = def.type;
    switch (def.type) {
    case FieldType::AutoInc:
        c.typeName = "i4";
        c.subtype = "Autoinc";
        break;
    case FieldType::Integer:
        c.typeName = "i4";
        break;
    case FieldType::Float:
        c.typeName = "r8";
        break;
    case FieldType::Date:
        c.typeName = "date";
        break;
    case FieldType::Text:
        c.typeName = "string";
        c.width = def.size;
        break;
    case FieldType::Memo:
        c.typeName = "bin.hex";
        c.subtype = "Text";
        break;
    case FieldType::Other:
        break;
    }
    return c;
}

} // namespace data
