#pragma once
// A table on its way out of the program, with the kind of each cell: the same table becomes
// a CSV file (numbers with a decimal comma, dates as dd.MM.yyyy) and a spreadsheet (numbers
// as numbers, dates as dates). Text in UTF-8.
#include "csv_export.h"

#include <string>
#include <vector>

namespace evaluation {

struct ExportCell {
    enum class Kind { Empty, Text, UserText, Integer, Number, Date };
    Kind kind = Kind::Empty;
    std::string text;      // Text and UserText (a name or a note the user typed)
    double number = 0;     // Integer and Number; Date: days since 30 December 1899
    int decimals = 0;      // Number
    bool withSign = false; // a change: shown with "+" before a rise (the files get the number)
    std::string note;      // said about the cell on screen (a tooltip, the text marked " *"), not written out
    std::string hint;      // a tooltip on screen, without a mark

    // No value: an empty cell in the files, `shown` on screen ("–").
    static ExportCell Missing(std::string shown = "–") { return Make(Kind::Empty, std::move(shown), 0, 0); }
    static ExportCell Text(std::string utf8) { return Make(Kind::Text, std::move(utf8), 0, 0); }
    static ExportCell UserText(std::string utf8) { return Make(Kind::UserText, std::move(utf8), 0, 0); }
    static ExportCell Integer(long long value) {
        return Make(Kind::Integer, {}, static_cast<double>(value), 0);
    }
    static ExportCell Number(double value, int decimals) { return Make(Kind::Number, {}, value, decimals); }
    static ExportCell Date(int days) { return Make(Kind::Date, {}, days, 0); }

private:
    static ExportCell Make(Kind kind, std::string text, double number, int decimals) {
        ExportCell cell;
        cell.kind = kind;
        cell.text = std::move(text);
        cell.number = number;
        cell.decimals = decimals;
        return cell;
    }
};

struct ExportTable {
    std::string title; // the spreadsheet's sheet name
    std::vector<std::string> header;
    std::vector<std::vector<ExportCell>> rows;
};

// The text of a cell as the CSV file has it.
std::string CsvCellText(const ExportCell& cell);
// One row's line of a CSV document (`fields` is scratch space kept between rows).
void CsvRow(CsvWriter& csv, const std::vector<ExportCell>& row, std::vector<std::string>& fields);
// The table as CSV bytes.
std::string CsvOf(const ExportTable& table);

} // namespace evaluation
