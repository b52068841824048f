#include "review.h"

#include "data/DModule.h"
#include "data/text_encoding.h"
#include "evaluation/global.h"
#include "evaluation/results_analysis.h"
#include "journal.h"
#include "pacing/shuttle_schedule.h"
#include "platform/clock.h"
#include "platform/errors.h"
#include "take_out.h"

#include <algorithm>

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

std::optional<Runner> StoredRunner(TDM1& dataModule, std::int64_t athleteId) {
    data::Table& athletes = dataModule.cdsSportler;
    if (!athletes.Active())
        athletes.Open();
    const data::Values* athlete =
        athletes.FindStored(athletes.FindField("sportlerid"), data::Value{athleteId});
    if (!athlete)
        return std::nullopt;
    Runner r;
    r.athleteId = athleteId;
    r.firstName =
        data::Cp1252ToUtf8(data::BytesOf(athletes.ValueOf(*athlete, athletes.FindField("Vorname"))));
    r.name = data::Cp1252ToUtf8(data::BytesOf(athletes.ValueOf(*athlete, athletes.FindField("Name"))));
    return r;
}

std::string AthleteProblem(TDM1& dataModule, const ReviewRow& row) {
    const std::optional<Runner> stored = StoredRunner(dataModule, row.athleteId);
    if (!stored)
        return "nicht mehr unter den Sportlern";
    if (stored->firstName != row.firstName || stored->name != row.name)
        return "heißt jetzt " + stored->firstName + " " + stored->name;
    return {};
}

namespace {

// One result per included row, all or nothing; returns their ids.
std::vector<std::int64_t> PostRows(TDM1& dataModule, int day, const std::vector<ReviewRow>& rows) {
    for (const ReviewRow& row : rows)
        if (row.include) {
            std::string problem = RowProblem(row);
            if (problem.empty())
                problem = AthleteProblem(dataModule, row);
            if (!problem.empty())
                throw vexo::Error(row.firstName + " " + row.name + ": " + problem + ".");
        }
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
        TakeOutAgain(results, "werteid", posted);
        throw;
    }
    return posted;
}

} // namespace

int TakeOverRun(TDM1& dataModule, GroupRun run, const std::vector<ReviewRow>& rows,
                const std::string& journalPath, const std::function<void(PostStep)>& afterStep) {
    auto step = [&](PostStep done) {
        if (afterStep)
            afterStep(done);
    };
    data::Table& results = dataModule.cdsMultiwert;
    const std::vector<std::int64_t> posted = PostRows(dataModule, TestDay(run.StartTime()), rows);
    try {
        step(PostStep::ResultsPosted);
        // Noted before the file is saved: a journal found at the next start either names
        // results that are in the file (taken over) or results that are not (to do again).
        run.SetTakenOver(posted);
        WriteJournal(journalPath, run);
        step(PostStep::JournalNoted);
        results.SaveToFile(global::MultiwertPath);
        step(PostStep::FileSaved);
    } catch (...) {
        TakeOutAgain(results, "werteid", posted);
        throw;
    }
    RemoveJournal(journalPath);
    step(PostStep::JournalRemoved);
    return static_cast<int>(posted.size());
}

bool AlreadyTakenOver(TDM1& dataModule, const GroupRun& run) {
    if (run.TakenOver().empty())
        return false;
    data::Table& results = dataModule.cdsMultiwert;
    if (!results.Active())
        return false;
    const int idField = results.FindField("werteid");
    const int athleteField = results.FindField("sportlerid");
    for (std::int64_t id : run.TakenOver()) {
        const data::Values* result = results.FindStored(idField, data::Value{id});
        if (!result)
            return false;
        const data::Value athlete = results.ValueOf(*result, athleteField);
        if (std::none_of(run.Runners().begin(), run.Runners().end(),
                         [&](const Runner& r) { return data::Value{r.athleteId} == athlete; }))
            return false;
    }
    return true;
}

} // namespace grouptest
