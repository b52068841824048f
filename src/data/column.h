#pragma once
// The description of one stored column of a table, as the data packet carries it.
#include <string>
#include <utility>
#include <vector>

namespace data {

enum class FieldType { AutoInc, Integer, Float, Date, Text, Memo, Other };

struct Column {
    std::string name;     // the column's name
    std::string attrName; // its attribute name in every row
    std::string typeName; // the packet's type name ("i4", "string", ...)
    FieldType type = FieldType::Other;
    int width = 0; // text size in bytes; 0 means unbounded
    bool readOnly = false;
    bool required = false;
    bool hidden = false;
    bool link = false;
    std::string subtype;
    int decimals = -1; // -1: not given
    bool calculated = false;
    // Column parameters carried over from the file read, written back in the order read.
    std::vector<std::pair<std::string, std::string>> extraParams;
};

// A stored field of a table as the data module defines it.
struct FieldDef {
    std::string name;
    FieldType type;
    int size = 0;
};

Column MakeColumn(const FieldDef& def);

// A column's attribute name in the rows: its name with each of the characters that XML
// attribute names cannot carry (blank ! # $ % ( ) * ?) replaced by "_".
std::string AttrNameOf(const std::string& name);
bool NeedsFieldName(const std::string& name); // the name holds one of those characters

} // namespace data
