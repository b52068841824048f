#include "export_table.h"

#include "csv_export.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace evaluation {

std::string GermanDateText(int days) {
    using namespace std::chrono;
    // 1 January 1970 is day 25569 after 30 December 1899.
    const year_month_day date{sys_days{std::chrono::days{days - 25569}}};
    char text[16];
    std::snprintf(text, sizeof text, "%02u.%02u.%04d", static_cast<unsigned>(date.day()),
                  static_cast<unsigned>(date.month()), static_cast<int>(date.year()));
    return text;
}

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
        return GermanDateText(static_cast<int>(cell.number));
    }
    return {};
}

std::string CsvOf(const ExportTable& table) {
    std::vector<std::vector<std::string>> rows;
    rows.reserve(table.rows.size());
    for (const auto& row : table.rows) {
        std::vector<std::string> fields;
        fields.reserve(row.size());
        for (const ExportCell& cell : row)
            fields.push_back(CsvCellText(cell));
        rows.push_back(std::move(fields));
    }
    return CsvDocument(table.header, rows);
}

} // namespace evaluation
