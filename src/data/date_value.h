#pragma once
// Dates are whole days counted from 30 December 1899 (day 0), which is also what an
// empty date reads as.
#include <string>

namespace data {

struct CivilDate {
    int year, month, day;
};

int DaysFromCivil(int year, int month, int day);
CivilDate CivilFromDays(int days);
bool IsValidCivil(int year, int month, int day);
// "dd.MM.yyyy", as the windows show dates.
std::string FormatGermanDate(int days);

} // namespace data
