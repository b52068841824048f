#pragma once
// Numbers, dates and table cells as the evaluation's windows and reports show them.
#include "evaluation/export_table.h"
#include "evaluation/results_analysis.h"

#include <QString>

namespace ui {

QString GermanNumber(double value, int decimals); // "43,3", never "-0,0"
QString GermanDate(int days);                     // "01.12.2026"; day 0: "(ohne Datum)"
// "35 Ergebnisse · Mittelwert 43,1 · Median 42,9 · Bestwert 55,2"
QString StatsLine(const evaluation::Stats& stats);

// A cell as shown: numbers with a decimal comma, a change with its sign, a missing value as
// its placeholder; a rating that today's athlete data would give differently with " *".
QString ShownText(const evaluation::ExportCell& cell);

} // namespace ui
