#include "column.h"

namespace data {

Column MakeColumn(const FieldDef& def) {
    Column c;
    c.name = def.name;
    // Characters that XML attribute names cannot carry are replaced in the row attribute.
    c.attrName = def.name;
    for (char& ch : c.attrName)
        if (ch == ' ' || ch == '!' || ch == '#' || ch == '$' || ch == '%' || ch == '(' || ch == ')' || ch == '*' ||
            ch == '?')
            ch = '_';
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
