#include "review.h"

#include "data/DModule.h"
#include "data/text_encoding.h"
#include "evaluation/global.h"
#include "evaluation/results_analysis.h"
#include "evaluation/shuttle_schedule.h"
#include "platform/clock.h"
#include "platform/errors.h"

namespace grouptest {

std::vector<ReviewRow> ReviewRows(const GroupRun& run) {
    std::vector<ReviewRow> rows;
    for (const Runner& r : run.Runners()) {
        ReviewRow row;
        row.athleteId = r.athleteId;
        row.firstName = r.firstName;
        row.name = r.name;
        row.level = r.level;
        row.shuttle = r.shuttle;
        row.include = r.state == RunnerState::Out && r.level > 0 && r.shuttle > 0;
        rows.push_back(std::move(row));
    }
    return rows;
}

int TestDay(std::int64_t start) {
    return static_cast<int>(start / platform::MillisecondsPerDay);
}

std::string RowProblem(const ReviewRow& row) {
    if (row.level < 1 || row.level > schedule::LevelCount)
        return "Level 1 bis 21";
    const int shuttles = schedule::ShuttlesPerLevel[static_cast<std::size_t>(row.level)];
    if (row.shuttle < 1 || row.shuttle > shuttles)
        return "Level " + std::to_string(row.level) + " hat die Durchgänge 1 bis " + std::to_string(shuttles);
    return {};
}

RowFigures FiguresOf(TDM1& dataModule, const ReviewRow& row, int day) {
    RowFigures figures;
    if (!RowProblem(row).empty())
        return figures;
    // The table's own value, without the look-up's message for cells outside it.
    figures.vo2max =
        global::VO2Table[static_cast<std::size_t>((row.level - 1) * global::VO2Shuttles + row.shuttle - 1)];
    figures.rating = data::Cp1252ToUtf8(dataModule.RateResult(row.athleteId, day, figures.vo2max));
    figures.metres = evaluation::DistanceMetres(row.level, row.shuttle);
    return figures;
}

int PostResults(TDM1& dataModule, int day, const std::vector<ReviewRow>& rows) {
    for (const ReviewRow& row : rows)
        if (row.include)
            if (const std::string problem = RowProblem(row); !problem.empty())
                throw vexo::Error(row.firstName + " " + row.name + ": " + problem + ".");
    data::Table& results = dataModule.cdsMultiwert;
    if (results.Editing())
        throw vexo::Error("Im Fenster „Werte“ wird gerade ein Ergebnis bearbeitet. Bitte dort erst speichern "
                          "oder abbrechen.");
    std::vector<std::int64_t> posted;
    try {
        for (const ReviewRow& row : rows) {
            if (!row.include)
                continue;
            results.Insert();
            results.SetAsInteger("sportlerid", row.athleteId);
            results.SetAsDate("Datum", day);
            results.SetAsInteger("Level", row.level);
            results.SetAsInteger("Runde", row.shuttle);
            results.Post();
            posted.push_back(results.AsInteger("werteid"));
        }
    } catch (...) {
        if (results.Editing())
            results.Cancel();
        // All or nothing: the results of this test posted so far go again.
        for (std::int64_t id : posted)
            if (results.LocateInteger("werteid", id))
                results.Delete();
        throw;
    }
    results.SaveToFile(global::MultiwertPath);
    return static_cast<int>(posted.size());
}

} // namespace grouptest
