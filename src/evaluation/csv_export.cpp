#include "csv_export.h"

#include "decimal_rounding.h"

#include <cstdio>

namespace evaluation {
namespace {

void AppendField(std::string& out, const std::string& field) {
    if (field.find_first_of(";,\"\r\n") == std::string::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void AppendLine(std::string& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i)
            out += ';';
        AppendField(out, fields[i]);
    }
    out += "\r\n";
}

} // namespace

std::string CsvDocument(const std::vector<std::string>& header,
                        const std::vector<std::vector<std::string>>& rows) {
    std::string out = "\xEF\xBB\xBF";
    std::size_t estimate = 64;
    for (const auto& row : rows)
        estimate += row.size() * 8 + 2;
    out.reserve(estimate);
    AppendLine(out, header);
    for (const auto& row : rows)
        AppendLine(out, row);
    return out;
}

std::string CsvNumber(double value, int decimals) {
    std::string text = RoundedDecimalText(value, decimals);
    for (char& c : text)
        if (c == '.')
            c = ',';
    return text;
}

std::string CsvText(const std::string& utf8) {
    if (!utf8.empty() && (utf8[0] == '=' || utf8[0] == '+' || utf8[0] == '-' || utf8[0] == '@' ||
                          utf8[0] == '\t' || utf8[0] == '\r'))
        return "'" + utf8;
    return utf8;
}

} // namespace evaluation
