#pragma once
// Rounding for what a teacher reads: half away from zero on the decimal value a number
// stands for, so that a mean of exactly 36.85 shows 36,9 and 36.05 shows 36,1, whatever the
// binary fraction underneath (36.849999999999994 after adding 36.8 and 36.9). The window,
// the CSV, the spreadsheet and the PDF all round here.
#include <string>

namespace evaluation {

// The value with `decimals` decimals after the point ("." as the separator), no "-0".
std::string RoundedDecimalText(double value, int decimals);
// The same as a number (what a spreadsheet cell stores).
double RoundedDecimal(double value, int decimals);

} // namespace evaluation
