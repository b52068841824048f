#pragma once
// What the evaluation window shows, computed from the results and the athletes as they
// stand: the distance a result stands for, the age at a test by the rating's rule, the
// norm bands of a sex and an age, an athlete's history with the change from test to test,
// and a test day's ranking and summary. Plain values in, plain values out; the window
// only shows them.
#include "health_zone.h"

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
    std::string storedRating; // the word stored with the result when it was posted, or empty

    // A result a change can be measured against: it has a date and a VO2max value.
    bool Comparable() const { return date != 0 && vo2max > 0; }
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

// The rating word of a result by the norms for its athlete's sex and age at the test, as
// today's athlete data give it; none without an athlete, below 13 years, or without a
// VO2max value.
std::optional<std::string> RatingOf(const Athlete* athlete, const Result& result);

// How a result's rating is shown: the word stored with it (as the results window shows it),
// and, when today's athlete data would give another word (birth year or sex corrected
// since), that word.
struct ShownRating {
    std::optional<std::string> stored;
    std::optional<std::string> today; // only when it differs from the stored word
};
ShownRating RatingShown(const Athlete* athlete, const Result& result);

// The place of a rating word from "sehr schlecht" (0) to "überragend" (5); -1 for none.
int RatingRank(const std::string& word);

// The health zone of a result (ages 10 to 19), from its athlete's sex and age at the test,
// and the VO2max of the children's equation it stands on.
std::optional<HealthZone> ZoneOfResult(const Athlete* athlete, const Result& result);
std::optional<double> ChildVo2maxOfResult(const Athlete* athlete, const Result& result);
// Why a result has no health zone, in a teacher's words; empty when it has one.
std::string NoZoneReason(const Athlete* athlete, const Result& result);

// The norms over the years: from the first year on, the bounds of the athlete's age group
// (none below 13); a new entry on the first of January of each year the age group changes,
// as the rating counts the age by the calendar year.
struct NormYears {
    int fromYear = 0;
    std::optional<std::array<double, 5>> bounds;
};
std::vector<NormYears> NormsOverYears(const std::string& sex, int birthYear, int firstYear, int lastYear);

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
    int age = 0; // meaningless for a result without a date
    int distance = 0;
    ShownRating rating;
    std::optional<HealthZone> zone;
    std::optional<double> childVo2; // the children's equation's VO2max the zone stands on
    std::string noZone;             // why there is no zone
    // Against the last test before that has a date and a VO2max value; none when this test
    // or every test before lacks either.
    std::optional<double> vo2Change;
    std::optional<int> shuttleChange; // shuttles run
};

// An athlete's results, oldest first (ties by id).
std::vector<HistoryEntry> AthleteHistory(const Athlete& athlete, std::vector<Result> results);

// The change from the last but one to the last comparable test of a history, if any.
struct Change {
    double vo2 = 0;
    int shuttles = 0;
};
std::optional<Change> LatestChange(const std::vector<HistoryEntry>& history);

// The statistics of a group's VO2max values; results without a value count but do not enter
// the mean, the median or the best.
struct Stats {
    int count = 0;
    int withoutValue = 0; // results of the count without a VO2max value
    std::optional<double> mean;
    std::optional<double> median;
    std::optional<double> best;
};

// One athlete on a test day.
struct DayEntry {
    int rank = 0; // equal VO2max and distance share a rank (1, 2, 2, 4)
    Result result;
    std::string displayName; // "Vorname Name", or "(unbekannt)" when the athlete is gone
    std::string firstName, name;
    std::string sex;
    std::optional<int> age;
    int distance = 0;
    ShownRating rating;
    std::optional<HealthZone> zone;
    std::optional<double> childVo2; // the children's equation's VO2max the zone stands on
    std::string noZone;             // why there is no zone
    int birthYear = 0;              // 0: the athlete is gone
};

struct DayReport {
    int date = 0;
    std::vector<DayEntry> ranking; // best VO2max first, then the longer distance, then the name
    Stats all, women, men;
    // How many reached each rating word (as stored), from "sehr schlecht": [0] women, [1] men.
    std::array<std::array<int, 6>, 2> ratingCounts{};
    // The pupils of 10 to 19 years with a zone, and how many of them are in each zone.
    int zoned = 0;
    std::array<int, 3> zoneCounts{}; // healthy, needs improvement, risk
};

// The report of the results of one day (the caller hands in that day's results).
DayReport TestDay(int date, const std::vector<Result>& results, const Athletes& athletes);

// The dates that hold results, newest first, each with its number of results.
std::vector<std::pair<int, int>> TestDates(const std::vector<Result>& results);

// How a group developed from test day to test day: each dated day, oldest first, with the
// mean VO2max of its results that have one and the share of its zoned pupils in the
// health zone.
struct DayTrend {
    int date = 0;
    std::optional<double> meanVo2;
    std::optional<double> healthyShare; // 0 to 1; none without a zoned pupil
};
std::vector<DayTrend> TrendOverDays(const std::vector<Result>& results, const Athletes& athletes);

// The statistics of a list of VO2max values.
Stats StatsOf(const std::vector<double>& values);

// A name as said: "Vorname Name" without the blank when a part is empty.
std::string DisplayName(const Athlete& athlete);
// A name for lists: "Name, Vorname" without the comma when a part is empty.
std::string ListName(const Athlete& athlete);

// Text as it is searched: lower case, accented letters as their base letters (ä as a, ë as
// e, ß as ss, œ as oe ...); UTF-8 in, ASCII letters out for Western European text.
std::string SearchKey(const std::string& utf8);

} // namespace evaluation
