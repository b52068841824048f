#pragma once
// After a group test: one row per athlete with the level and shuttle that count, what the
// results table will compute from them (VO2max, rating) and the distance; the teacher
// corrects values and leaves rows out, then the rows are posted through the results table
// (its post steps compute VO2max and rating as for a typed result) and the file is saved.
#include "group_run.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class TDM1;

namespace grouptest {

struct ReviewRow {
    std::int64_t athleteId = 0;
    std::string firstName, name; // UTF-8
    int level = 0;
    int shuttle = 0;
    bool include = false; // a result to post
};

// The rows of a run: athletes out with a completed shuttle are included; those without a
// result (left running at the end, out before the first beep) are not.
std::vector<ReviewRow> ReviewRows(const GroupRun& run);

// The day of the test (days since 30 December 1899) from its start.
int TestDay(std::int64_t start);

// Why a row cannot be posted, or empty: a level of 1 to 21 and a shuttle of that level.
std::string RowProblem(const ReviewRow& row);

struct RowFigures {
    double vo2max = 0;  // 0: the table has no value (levels 1 to 3)
    std::string rating; // UTF-8, empty below 13 years
    int metres = 0;
};
// What the results table will store for the row on `day`.
RowFigures FiguresOf(TDM1& dataModule, const ReviewRow& row, int day);

// A stored athlete as a runner (names in UTF-8, running), or none when the athlete table
// holds no such athlete.
std::optional<Runner> StoredRunner(TDM1& dataModule, std::int64_t athleteId);

// Why the row's athlete cannot take a result, or empty: the athlete must still be stored
// under the name the journal recorded (a damaged or outdated journal must never post a
// result to someone else).
std::string AthleteProblem(TDM1& dataModule, const ReviewRow& row);

// The steps of taking a run over, each on disk before the next: the results posted in the
// table, their ids noted in the journal, the results file saved, the journal removed.
enum class PostStep { ResultsPosted, JournalNoted, FileSaved, JournalRemoved };

// Takes the run over: one result per included row with the test's day (all or nothing: a
// row refused on the way takes the rows posted before it out again), then the steps above.
// A failure goes on to the caller with the results out of the table again; whatever moment
// the program dies at, the next start finds each result in the file exactly once or the run
// still to be taken over (AlreadyTakenOver). `afterStep` is called after each step (tests
// fail it there). Returns the number of results posted.
int TakeOverRun(TDM1& dataModule, GroupRun run, const std::vector<ReviewRow>& rows,
                const std::string& journalPath, const std::function<void(PostStep)>& afterStep = {});

// Whether the results a journal notes as taken over are in the results table: then the run
// was taken over, and only the journal was left.
bool AlreadyTakenOver(TDM1& dataModule, const GroupRun& run);

} // namespace grouptest
