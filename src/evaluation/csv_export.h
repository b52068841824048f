#pragma once
// Tables as CSV for a spreadsheet with German settings: ";" between fields, CR LF after each
// line, UTF-8 with a byte-order mark (so that umlauts and "€" arrive), fields quoted as RFC
// 4180 says when they hold ";", a comma, a quote or a line break (quotes doubled): a
// spreadsheet's default import splits at commas too, and "53,1" must stay one field. Numbers are
// written with a decimal comma and dates as dd.MM.yyyy by the helpers below. A text that a
// spreadsheet would take for a formula (=, +, -, @ first) gets an apostrophe before it.
#include <string>
#include <vector>

namespace evaluation {

std::string CsvDocument(const std::vector<std::string>& header,
                        const std::vector<std::vector<std::string>>& rows);

// The document built line by line: the byte-order mark first, then each line's fields.
class CsvWriter {
public:
    explicit CsvWriter(std::size_t expectedBytes = 0);
    void Line(const std::vector<std::string>& fields);
    std::string Take() { return std::move(m_out); }

private:
    std::string m_out;
};

// A number with `decimals` places and a decimal comma ("43,3").
std::string CsvNumber(double value, int decimals);
// Text from the user (names, notes): protected against being read as a formula.
std::string CsvText(const std::string& utf8);

} // namespace evaluation
