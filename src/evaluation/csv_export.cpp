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

} // namespace

CsvWriter::CsvWriter(std::size_t expectedBytes) : m_out("\xEF\xBB\xBF") {
    m_out.reserve(expectedBytes + 3);
}

void CsvWriter::Line(const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i)
            m_out += ';';
        AppendField(m_out, fields[i]);
    }
    m_out += "\r\n";
}

std::string CsvDocument(const std::vector<std::string>& header,
                        const std::vector<std::vector<std::string>>& rows) {
    CsvWriter csv(rows.size() * (header.size() * 8 + 2) + 64);
    csv.Line(header);
    for (const auto& row : rows)
        csv.Line(row);
    return csv.Take();
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
