#pragma once
// The results and the athletes as the evaluation window sees them, taken from the two
// tables as they stand: the stored records (not one being edited), text in UTF-8, each
// result with the calendar year of its date; indexed by athlete and by date.
#include "evaluation/results_analysis.h"

#include <unordered_map>
#include <vector>

namespace data {
class Table;
}

namespace ui {

struct EvaluationData {
    evaluation::Athletes athletes;
    std::vector<int> athleteOrder; // athlete ids by name (search keys), then first name
    std::vector<evaluation::Result> results;
    using Index = std::unordered_map<int, std::vector<std::size_t>>; // key to indexes into results
    Index byAthlete;
    Index byDate;

    // Reads both tables; a closed table gives nothing.
    static EvaluationData Read(const data::Table& athletes, const data::Table& results);

    std::vector<evaluation::Result> ResultsOf(int athleteId) const;
    std::vector<evaluation::Result> ResultsOn(int date) const;

private:
    std::vector<evaluation::Result> Select(const Index& index, int key) const;
};

} // namespace ui
