#include "export_table.h"

#include "csv_export.h"
#include "data/date_value.h"

#include <cmath>
#include <cstdio>

namespace evaluation {

std::string CsvCellText(const ExportCell& cell) {
    switch (cell.kind) {
    case ExportCell::Kind::Empty:
        return {};
    case ExportCell::Kind::Text:
        return cell.text;
    case ExportCell::Kind::UserText:
        return CsvText(cell.text);
    case ExportCell::Kind::Integer:
        return std::to_string(std::llround(cell.number));
    case ExportCell::Kind::Number:
        return CsvNumber(cell.number, cell.decimals);
    case ExportCell::Kind::Date:
        return data::FormatGermanDate(static_cast<int>(cell.number));
    }
    return {};
}

void CsvRow(CsvWriter& csv, const std::vector<ExportCell>& row, std::vector<std::string>& fields) {
    fields.clear();
    for (const ExportCell& cell : row)
        fields.push_back(CsvCellText(cell));
    csv.Line(fields);
}

std::string CsvOf(const ExportTable& table) {
    CsvWriter csv(table.rows.size() * (table.header.size() * 7 + 2) + 256);
    csv.Line(table.header);
    std::vector<std::string> fields;
    for (const auto& row : table.rows)
        CsvRow(csv, row, fields);
    return csv.Take();
}

} // namespace evaluation
