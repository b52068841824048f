#pragma once
// A class over a school year: each pupil of a test day against the class's previous test
// day (the last earlier date among the class's results), and how many ran further, as far,
// or less far than then. The distance decides, as the rating and the VO2max both stand on
// it; the VO2max change is shown beside it.
#include "results_analysis.h"

#include <optional>
#include <string>
#include <vector>

namespace evaluation {

enum class Development { Improved, Held, FellBack, NoComparison };

struct PupilComparison {
    int athleteId = 0;
    std::string displayName;      // "Vorname Name", or "(unbekannt)" when the athlete is gone
    int birthYear = 0;            // 0: the athlete is gone
    Result now;                   // the pupil's best result of the day
    std::optional<Result> before; // the pupil's best result of the previous test day
    std::optional<int> metresChange;
    std::optional<double> vo2Change; // both results with a VO2max value
    Development development = Development::NoComparison;
};

struct ClassComparison {
    int date = 0;
    int previousDate = 0;                // 0: no earlier test day
    std::vector<PupilComparison> pupils; // by name
    int improved = 0, held = 0, fellBack = 0, withoutComparison = 0;
};

// `results`: the class's results (of every day); the pupils are those with a result on `date`.
ClassComparison CompareWithPreviousDay(int date, const std::vector<Result>& results,
                                       const Athletes& athletes);

// The class page's line on it, e.g. "Seit dem 03.06.2026: 12 weiter gelaufen, 3 gleich weit,
// 5 weniger weit, 2 ohne Ergebnis damals"; empty without an earlier test day.
std::string DevelopmentLine(const ClassComparison& comparison);

} // namespace evaluation
