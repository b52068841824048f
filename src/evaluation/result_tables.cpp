#include "result_tables.h"

#include "csv_export.h"

#include <algorithm>

namespace evaluation {
namespace {

ExportCell ChangeCell(const std::optional<double>& change, int decimals) {
    if (!change)
        return ExportCell::Missing("");
    ExportCell cell = decimals ? ExportCell::Number(*change, decimals)
                               : ExportCell::Integer(static_cast<long long>(*change));
    cell.withSign = true;
    return cell;
}

} // namespace

ExportCell RatingCell(const ShownRating& rating) {
    ExportCell cell = rating.stored ? ExportCell::Text(*rating.stored) : ExportCell::Missing();
    if (rating.today)
        cell.note = "Nach den heutigen Angaben zum Sportler (Jahrgang, Geschlecht) wäre es " +
                    (rating.today->empty() ? std::string("keine Bewertung") : "„" + *rating.today + "“") +
                    "; gespeichert ist die Bewertung vom Tag des Tests.";
    return cell;
}

ExportCell ZoneCell(const std::optional<HealthZone>& zone, const std::optional<double>& childVo2,
                    const std::string& noZone) {
    ExportCell cell = zone ? ExportCell::Text(ZoneText(*zone)) : ExportCell::Missing();
    if (zone && childVo2)
        cell.hint =
            "VO2max nach der Kindergleichung (Léger u. a. 1988): " + CsvNumber(*childVo2, 1) + " ml/kg/min";
    else if (!zone && !noZone.empty())
        cell.hint = "Keine Gesundheitszone: " + noZone;
    return cell;
}

ExportCell ChildVo2Cell(const std::optional<double>& childVo2) {
    return childVo2 ? ExportCell::Number(*childVo2, 1) : ExportCell::Missing();
}

ExportTable HistoryTable(const std::vector<HistoryEntry>& history) {
    ExportTable table;
    table.title = "Verlauf";
    table.header = {"Datum",     "Alter",           "Level",         "Runde",    "Meter",    "VO2max",
                    "Bewertung", "Gesundheitszone", "VO2max (Zone)", "± VO2max", "± Bahnen", "Notiz"};
    for (const HistoryEntry& h : history) {
        const Result& r = h.result;
        const bool dated = r.date != 0;
        table.rows.push_back(
            {dated ? ExportCell::Date(r.date) : ExportCell::Missing("(ohne Datum)"),
             dated ? ExportCell::Integer(h.age) : ExportCell::Missing(), ExportCell::Integer(r.level),
             ExportCell::Integer(r.shuttle), ExportCell::Integer(h.distance), ExportCell::Number(r.vo2max, 1),
             RatingCell(h.rating), ZoneCell(h.zone, h.childVo2, h.noZone), ChildVo2Cell(h.childVo2),
             ChangeCell(h.vo2Change, 1),
             ChangeCell(h.shuttleChange ? std::optional<double>(*h.shuttleChange) : std::nullopt, 0),
             ExportCell::UserText(r.notes)});
    }
    return table;
}

ExportTable DayTable(const DayReport& report, bool withDate) {
    ExportTable table;
    table.title = "Testtag " + (report.date ? GermanDateText(report.date) : std::string("ohne Datum"));
    table.header = {"Platz", "Name",   "G",         "Jahrgang",        "Alter",         "Level", "Runde",
                    "Meter", "VO2max", "Bewertung", "Gesundheitszone", "VO2max (Zone)", "Notiz"};
    if (withDate)
        table.header.insert(table.header.begin(), "Datum");
    for (const DayEntry& e : report.ranking) {
        std::vector<ExportCell> row;
        if (withDate)
            row.push_back(report.date ? ExportCell::Date(report.date) : ExportCell::Missing(""));
        const Result& r = e.result;
        for (ExportCell& cell : std::vector<ExportCell>{
                 ExportCell::Integer(e.rank), ExportCell::UserText(e.displayName), ExportCell::Text(e.sex),
                 e.birthYear ? ExportCell::Integer(e.birthYear) : ExportCell::Missing(),
                 e.age ? ExportCell::Integer(*e.age) : ExportCell::Missing(), ExportCell::Integer(r.level),
                 ExportCell::Integer(r.shuttle), ExportCell::Integer(e.distance),
                 ExportCell::Number(r.vo2max, 1), RatingCell(e.rating),
                 ZoneCell(e.zone, e.childVo2, e.noZone), ChildVo2Cell(e.childVo2),
                 ExportCell::UserText(r.notes)})
            row.push_back(std::move(cell));
        table.rows.push_back(std::move(row));
    }
    return table;
}

ExportTable AllResultsTable(const std::vector<Result>& results, const Athletes& athletes) {
    std::vector<const Result*> sorted;
    sorted.reserve(results.size());
    for (const Result& r : results)
        sorted.push_back(&r);
    std::sort(sorted.begin(), sorted.end(), [](const Result* a, const Result* b) {
        return a->date != b->date ? a->date < b->date : a->id < b->id;
    });
    ExportTable table;
    table.title = "Alle Ergebnisse";
    table.header = {"Datum", "Vorname", "Name",   "G",         "Jahrgang",        "Alter",         "Level",
                    "Runde", "Meter",   "VO2max", "Bewertung", "Gesundheitszone", "VO2max (Zone)", "Notiz"};
    table.rows.reserve(sorted.size());
    for (const Result* r : sorted) {
        const auto found = athletes.find(r->athleteId);
        const Athlete* a = found == athletes.end() ? nullptr : &found->second;
        const ExportCell none = ExportCell::Missing("");
        table.rows.push_back(
            {r->date ? ExportCell::Date(r->date) : none, a ? ExportCell::UserText(a->firstName) : none,
             ExportCell::UserText(a ? a->name : "(unbekannt)"), a ? ExportCell::Text(a->sex) : none,
             a ? ExportCell::Integer(a->birthYear) : none,
             a && r->date ? ExportCell::Integer(AgeAtTest(a->birthYear, r->year)) : none,
             ExportCell::Integer(r->level), ExportCell::Integer(r->shuttle),
             ExportCell::Integer(DistanceMetres(r->level, r->shuttle)), ExportCell::Number(r->vo2max, 1),
             r->storedRating.empty() ? none : ExportCell::Text(r->storedRating),
             ZoneCell(ZoneOfResult(a, *r), ChildVo2maxOfResult(a, *r), NoZoneReason(a, *r)),
             ChildVo2Cell(ChildVo2maxOfResult(a, *r)), ExportCell::UserText(r->notes)});
    }
    return table;
}

} // namespace evaluation
