#include "xlsx_export.h"

#include "decimal_rounding.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace evaluation {
namespace {

// The writer only writes to a named file: one of our own in the temporary folder, read back
// and removed, so that the caller saves the bytes as every other file is saved.
class TemporaryFile {
public:
    TemporaryFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vexo-xlsx-XXXXXX").string();
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            throw std::runtime_error("Im temporären Ordner kann keine Datei angelegt werden.");
        ::close(fd);
        m_path = pattern;
    }
    ~TemporaryFile() {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// A sheet name as the format allows it: at most 31 characters, none of []:*?/\.
std::string SheetName(const std::string& title) {
    std::string name;
    for (char c : title)
        if (std::string_view("[]:*?/\\").find(c) == std::string_view::npos)
            name += c;
    if (name.size() > 31) {
        name.resize(31);
        while (!name.empty() && (static_cast<unsigned char>(name.back()) & 0xC0) == 0x80)
            name.pop_back(); // no half of a UTF-8 character
        if (!name.empty() && static_cast<unsigned char>(name.back()) >= 0xC0)
            name.pop_back();
    }
    return name.empty() ? "Tabelle" : name;
}

// The characters of a UTF-8 text (the width of a column, roughly).
std::size_t Characters(const std::string& utf8) {
    return static_cast<std::size_t>(std::count_if(
        utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

void Check(lxw_error error) {
    if (error != LXW_NO_ERROR)
        throw std::runtime_error(std::string("Die Tabelle kann nicht geschrieben werden (") +
                                 lxw_strerror(error) + ").");
}

} // namespace

std::string XlsxBytes(const ExportTable& table) {
    const TemporaryFile file;
    lxw_workbook* book = workbook_new(file.Path().c_str());
    if (!book)
        throw std::runtime_error("Die Tabelle kann nicht angelegt werden (zu wenig Speicher).");
    const std::string sheetName = SheetName(table.title);
    lxw_worksheet* sheet = workbook_add_worksheet(book, sheetName.c_str());
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    format_set_bg_color(bold, 0xDCDCF0);
    lxw_format* integer = workbook_add_format(book);
    format_set_num_format(integer, "0");
    lxw_format* oneDecimal = workbook_add_format(book);
    format_set_num_format(oneDecimal, "0.0");
    lxw_format* twoDecimals = workbook_add_format(book);
    format_set_num_format(twoDecimals, "0.00");
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "dd.mm.yyyy");
    if (!sheet || !bold || !integer || !oneDecimal || !twoDecimals || !date) {
        workbook_close(book);
        throw std::runtime_error("Die Tabelle kann nicht angelegt werden.");
    }

    std::vector<std::size_t> widths(table.header.size(), 4);
    for (std::size_t c = 0; c < table.header.size(); ++c) {
        worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), table.header[c].c_str(), bold);
        widths[c] = std::max(widths[c], Characters(table.header[c]) + 3); // room for the filter button
    }
    lxw_row_t row = 1;
    for (const auto& cells : table.rows) {
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const ExportCell& cell = cells[c];
            const auto column = static_cast<lxw_col_t>(c);
            std::size_t width = 0;
            switch (cell.kind) {
            case ExportCell::Kind::Empty:
                break;
            case ExportCell::Kind::Text:
            case ExportCell::Kind::UserText:
                // A spreadsheet stores text as text: nothing here is read as a formula.
                worksheet_write_string(sheet, row, column, cell.text.c_str(), nullptr);
                width = Characters(cell.text);
                break;
            case ExportCell::Kind::Integer:
                worksheet_write_number(sheet, row, column, cell.number, integer);
                width = CsvCellText(cell).size();
                break;
            case ExportCell::Kind::Number:
                // The value as the window and the CSV show it: rounded the same way.
                worksheet_write_number(sheet, row, column, RoundedDecimal(cell.number, cell.decimals),
                                       cell.decimals >= 2   ? twoDecimals
                                       : cell.decimals == 1 ? oneDecimal
                                                            : integer);
                width = CsvCellText(cell).size();
                break;
            case ExportCell::Kind::Date:
                // The serial number of a spreadsheet date counts from the same day.
                worksheet_write_number(sheet, row, column, cell.number, date);
                width = 10;
                break;
            }
            if (c >= widths.size())
                widths.resize(c + 1, 4);
            widths[c] = std::max(widths[c], width + 1);
        }
        ++row;
    }
    for (std::size_t c = 0; c < widths.size(); ++c)
        worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                             static_cast<double>(std::min<std::size_t>(widths[c], 60)), nullptr);
    worksheet_freeze_panes(sheet, 1, 0);
    if (!table.header.empty())
        worksheet_autofilter(sheet, 0, 0, row - 1, static_cast<lxw_col_t>(widths.size() - 1));
    Check(workbook_close(book));

    std::ifstream in(file.Path(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof())
        throw std::runtime_error("Die geschriebene Tabelle kann nicht gelesen werden.");
    return bytes;
}

} // namespace evaluation
