#pragma once
// Dates are whole days counted from 30 December 1899 (day 0), which is also what an
// empty date reads as. The one home of the program's day counter and of the German date's
// text ("dd.MM.yyyy"), read and written, for the grid, the evaluation and the exports.
#include <optional>
#include <string>
#include <string_view>

namespace data {

struct CivilDate {
    int year, month, day;
};

int DaysFromCivil(int year, int month, int day);
CivilDate CivilFromDays(int days);
bool IsValidCivil(int year, int month, int day);
// "dd.MM.yyyy", as the windows and the exports show dates.
std::string FormatGermanDate(int days);
// A date as typed: "d.M.yyyy" with one or two digits for day and month, blanks around
// allowed; nothing unless the whole text is such a date of a real day.
std::optional<int> ParseGermanDate(std::string_view text);

} // namespace data
