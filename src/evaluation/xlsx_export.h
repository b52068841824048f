#pragma once
// An export table as a spreadsheet file (.xlsx, one sheet): numbers as numbers shown with
// their decimals, dates as dates shown as dd.mm.yyyy, a bold header row that stays in view
// while scrolling, an auto filter over the table and columns wide enough for their longest
// entry. Written by libxlsxwriter.
#include "export_table.h"

#include <string>

namespace evaluation {

// The bytes of the .xlsx file; fails with std::runtime_error and a German message.
std::string XlsxBytes(const ExportTable& table);

} // namespace evaluation
