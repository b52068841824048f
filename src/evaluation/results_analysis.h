#pragma once
// What the evaluation window shows, computed from the results and the athletes as they
// stand: the distance a result stands for, the age at a test by the rating's rule, the
// norm bands of a sex and an age, an athlete's history with the change from test to test,
// and a test day's ranking and summary. Plain values in, plain values out; the window
// only shows them.
#include <array>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace evaluation {

// A test result as the evaluation sees it (text in UTF-8).
struct Result {
    int id = 0;
    int athleteId = 0;
    int date = 0;    // days since 30 December 1899; 0 when the result has none
    int year = 1899; // the calendar year of that date
    int level = 0;
    int shuttle = 0;
    double vo2max = 0; // 0: outside the VO2max table, or no value there
    std::string notes;
};

struct Athlete {
    int id = 0;
    std::string firstName;
    std::string name;
    std::string sex;
    int birthYear = 0;
};

using Athletes = std::unordered_map<int, Athlete>;

// The shuttles run up to a level and shuttle, and the metres they make (20 m each); 0 for a
// level or shuttle outside the schedule.
int ShuttlesRun(int level, int shuttle);
int DistanceMetres(int level, int shuttle);

// The age at a test as the rating counts it: the test's calendar year minus the birth year.
int AgeAtTest(int birthYear, int testYear);

// The rating word of a result by the norms for its athlete's sex and age at the test; none
// without an athlete, below 13 years, or without a VO2max value.
std::optional<std::string> RatingOf(const Athlete* athlete, const Result& result);

// One band of the norms: the word and the VO2max values it covers, from `lower` up to (not
// including) `upper`; the lowest band starts at 0, the highest has no upper limit.
struct NormBand {
    std::string word;
    double lower = 0;
    std::optional<double> upper;
};

// The six bands for a sex ("W"/"w": the women's norms) and an age; none below 13 years.
std::vector<NormBand> NormBands(const std::string& sex, int age);

// One test of an athlete, with what changed since the test before.
struct HistoryEntry {
    Result result;
    int age = 0;
    int distance = 0;
    std::optional<std::string> rating;
    std::optional<double> vo2Change;  // none for the first test
    std::optional<int> shuttleChange; // shuttles run, compared with the test before
};

// An athlete's results, oldest first (ties by id).
std::vector<HistoryEntry> AthleteHistory(const Athlete& athlete, std::vector<Result> results);

// The statistics of a group's VO2max values; results without a value count but do not enter
// the mean, the median or the best.
struct Stats {
    int count = 0;
    std::optional<double> mean;
    std::optional<double> median;
    std::optional<double> best;
};

// One athlete on a test day.
struct DayEntry {
    int rank = 0; // equal VO2max and distance share a rank (1, 2, 2, 4)
    Result result;
    std::string displayName; // "Vorname Name", or "(unbekannt)" when the athlete is gone
    std::string sex;
    std::optional<int> age;
    int distance = 0;
    std::optional<std::string> rating;
};

struct DayReport {
    int date = 0;
    std::vector<DayEntry> ranking; // best VO2max first, then the longer distance, then the name
    Stats all, women, men;
    // How many reached each rating word, from "sehr schlecht": [0] women, [1] men.
    std::array<std::array<int, 6>, 2> ratingCounts{};
};

// The report of the results of one day (the caller hands in that day's results).
DayReport TestDay(int date, const std::vector<Result>& results, const Athletes& athletes);

// The dates that hold results, newest first, each with its number of results.
std::vector<std::pair<int, int>> TestDates(const std::vector<Result>& results);

// The statistics of a list of VO2max values.
Stats StatsOf(const std::vector<double>& values);

// A name for lists: "Name, Vorname" without the comma when a part is empty.
std::string ListName(const Athlete& athlete);

// Text as it is searched: lower case, with ä, ö, ü and ß as a, o, u and ss (UTF-8 in, ASCII
// letters out for German text).
std::string SearchKey(const std::string& utf8);

} // namespace evaluation
