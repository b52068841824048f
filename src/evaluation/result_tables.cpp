#include "result_tables.h"

#include "csv_export.h"
#include "data/date_value.h"

#include <algorithm>
#include <utility>

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
    table.title =
        "Testtag " + (report.date ? data::FormatGermanDate(report.date) : std::string("ohne Datum"));
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

namespace {

std::string LevelShuttle(const Result& r) {
    return std::to_string(r.level) + "/" + std::to_string(r.shuttle);
}

ExportCell Vo2Cell(double vo2) {
    return vo2 > 0 ? ExportCell::Number(vo2, 1) : ExportCell::Missing("–");
}

std::string SinceHeader(const char* what, int previousDate) {
    return std::string(what) + " ± seit " + data::FormatGermanDate(previousDate);
}

} // namespace

ExportTable ComparisonTable(const ClassComparison& c) {
    ExportTable table;
    table.title = "Vergleich";
    table.header = {"Name",    "Jahrgang", "L/R vorher", "L/R jetzt", "m vorher",
                    "m jetzt", "m ±",      "VO2 vorher", "VO2 jetzt", "VO2 ±"};
    for (const PupilComparison& p : c.pupils) {
        const int metresNow = DistanceMetres(p.now.level, p.now.shuttle);
        table.rows.push_back(
            {ExportCell::UserText(p.displayName),
             p.birthYear ? ExportCell::Integer(p.birthYear) : ExportCell::Missing(),
             p.before ? ExportCell::Text(LevelShuttle(*p.before)) : ExportCell::Missing(),
             ExportCell::Text(LevelShuttle(p.now)),
             p.before ? ExportCell::Integer(DistanceMetres(p.before->level, p.before->shuttle))
                      : ExportCell::Missing(),
             ExportCell::Integer(metresNow),
             p.metresChange ? ChangeCell(double(*p.metresChange), 0) : ExportCell::Missing(),
             p.before ? Vo2Cell(p.before->vo2max) : ExportCell::Missing(), Vo2Cell(p.now.vo2max),
             p.vo2Change ? ChangeCell(p.vo2Change, 1) : ExportCell::Missing()});
    }
    return table;
}

ExportTable ClassTable(const DayReport& report, const ClassComparison& c) {
    ExportTable table = DayTable(report, true);
    if (!c.previousDate)
        return table;
    table.header.push_back(SinceHeader("Meter", c.previousDate));
    table.header.push_back(SinceHeader("VO2max", c.previousDate));
    for (std::size_t i = 0; i < report.ranking.size(); ++i) {
        const DayEntry& e = report.ranking[i];
        const auto found = std::find_if(c.pupils.begin(), c.pupils.end(), [&](const PupilComparison& p) {
            return p.athleteId == e.result.athleteId && p.now.id == e.result.id;
        });
        const bool compared = found != c.pupils.end() && found->metresChange;
        table.rows[i].push_back(compared ? ChangeCell(double(*found->metresChange), 0)
                                         : ExportCell::Missing(""));
        table.rows[i].push_back(compared && found->vo2Change ? ChangeCell(found->vo2Change, 1)
                                                             : ExportCell::Missing(""));
    }
    return table;
}

namespace {

std::vector<std::string> AllResultsHeader() {
    return {"Datum", "Vorname", "Name",   "G",         "Jahrgang",        "Alter",         "Level",
            "Runde", "Meter",   "VO2max", "Bewertung", "Gesundheitszone", "VO2max (Zone)", "Notiz"};
}

// Every result's row in turn, oldest first (ties by id), built in one reused row.
template <typename F>
void ForEachAllResultsRow(const std::vector<Result>& results, const Athletes& athletes, F f) {
    std::vector<const Result*> sorted;
    sorted.reserve(results.size());
    for (const Result& r : results)
        sorted.push_back(&r);
    std::sort(sorted.begin(), sorted.end(), [](const Result* a, const Result* b) {
        return a->date != b->date ? a->date < b->date : a->id < b->id;
    });
    const auto none = [] { return ExportCell::Missing(""); };
    std::vector<ExportCell> row;
    for (const Result* r : sorted) {
        const auto found = athletes.find(r->athleteId);
        const Athlete* a = found == athletes.end() ? nullptr : &found->second;
        row.clear();
        row.push_back(r->date ? ExportCell::Date(r->date) : none());
        row.push_back(a ? ExportCell::UserText(a->firstName) : none());
        row.push_back(ExportCell::UserText(a ? a->name : "(unbekannt)"));
        row.push_back(a ? ExportCell::Text(a->sex) : none());
        row.push_back(a ? ExportCell::Integer(a->birthYear) : none());
        row.push_back(a && r->date ? ExportCell::Integer(AgeAtTest(a->birthYear, r->year)) : none());
        row.push_back(ExportCell::Integer(r->level));
        row.push_back(ExportCell::Integer(r->shuttle));
        row.push_back(ExportCell::Integer(DistanceMetres(r->level, r->shuttle)));
        row.push_back(ExportCell::Number(r->vo2max, 1));
        row.push_back(r->storedRating.empty() ? none() : ExportCell::Text(r->storedRating));
        const std::optional<double> childVo2 = ChildVo2maxOfResult(a, *r);
        row.push_back(ZoneCell(ZoneOfResult(a, *r), childVo2, NoZoneReason(a, *r)));
        row.push_back(ChildVo2Cell(childVo2));
        row.push_back(ExportCell::UserText(r->notes));
        f(std::as_const(row));
    }
}

} // namespace

ExportTable AllResultsTable(const std::vector<Result>& results, const Athletes& athletes) {
    ExportTable table;
    table.title = "Alle Ergebnisse";
    table.header = AllResultsHeader();
    table.rows.reserve(results.size());
    ForEachAllResultsRow(results, athletes,
                         [&](const std::vector<ExportCell>& row) { table.rows.push_back(row); });
    return table;
}

std::string AllResultsCsv(const std::vector<Result>& results, const Athletes& athletes) {
    const std::vector<std::string> header = AllResultsHeader();
    CsvWriter csv(results.size() * (header.size() * 7 + 2) + 256);
    csv.Line(header);
    std::vector<std::string> fields;
    ForEachAllResultsRow(results, athletes,
                         [&](const std::vector<ExportCell>& row) { CsvRow(csv, row, fields); });
    return csv.Take();
}

} // namespace evaluation
