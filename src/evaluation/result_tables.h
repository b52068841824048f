#pragma once
// The tables of the evaluation, cell by cell with their kinds: an athlete's history, a test
// day's ranking and all results with their athletes. The window shows them, the CSV file
// and the spreadsheet take them as they are.
#include "class_comparison.h"
#include "export_table.h"
#include "results_analysis.h"

namespace evaluation {

// The rating as stored, marked with a note when today's athlete data would give another.
ExportCell RatingCell(const ShownRating& rating);
// The zone, with the children's equation's VO2max it stands on as a hint, or without a zone
// the reason why.
ExportCell ZoneCell(const std::optional<HealthZone>& zone,
                    const std::optional<double>& childVo2 = std::nullopt, const std::string& noZone = {});
// The children's equation's VO2max the zone stands on (10 to 19 years), its own column.
ExportCell ChildVo2Cell(const std::optional<double>& childVo2);

ExportTable HistoryTable(const std::vector<HistoryEntry>& history);

// The ranking in its own order; with `withDate` the day's date first on every row.
ExportTable DayTable(const DayReport& report, bool withDate);

// Each pupil of a class's test day against the class's previous test day: level and
// shuttle then and now, metres and VO2max then, now and the change.
ExportTable ComparisonTable(const ClassComparison& comparison);
// The class's table for the spreadsheet: the day's ranking with the changes since the
// previous test day in two more columns.
ExportTable ClassTable(const DayReport& report, const ClassComparison& comparison);

// Every result, oldest first (ties by id), with the data of its athlete.
ExportTable AllResultsTable(const std::vector<Result>& results, const Athletes& athletes);
// The same table as CSV, written row by row: tens of thousands of results are never held
// as a table of cells first.
std::string AllResultsCsv(const std::vector<Result>& results, const Athletes& athletes);

} // namespace evaluation
