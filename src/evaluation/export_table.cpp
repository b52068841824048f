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
    const auto day = static_cast<unsigned>(date.day()), month = static_cast<unsigned>(date.month());
    const int year = static_cast<int>(date.year());
    if (year < 0 || year > 9999) {
        char text[24];
        std::snprintf(text, sizeof text, "%02u.%02u.%04d", day, month, year);
        return text;
    }
    // Written by hand: a list of all results has tens of thousands of dates.
    const char text[] = {char('0' + day / 10),    char('0' + day % 10),        '.',
                         char('0' + month / 10),  char('0' + month % 10),      '.',
                         char('0' + year / 1000), char('0' + year / 100 % 10), char('0' + year / 10 % 10),
                         char('0' + year % 10)};
    return std::string(text, sizeof text);
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
    CsvWriter csv(table.rows.size() * (table.header.size() * 7 + 2) + 256);
    csv.Line(table.header);
    std::vector<std::string> fields;
    for (const auto& row : table.rows) {
        fields.clear();
        for (const ExportCell& cell : row)
            fields.push_back(CsvCellText(cell));
        csv.Line(fields);
    }
    return csv.Take();
}

} // namespace evaluation
