#include "results_analysis.h"

#include "fitness_rating.h"
#include "pacing/shuttle_schedule.h"

#include <algorithm>
#include <map>
#include <numeric>

namespace evaluation {
namespace {

// The base letters of the accented letters of Windows-1252 (UTF-8: C3 xx and C5 xx).
const char* Folded(unsigned char lead, unsigned char d) {
    if (lead == 0xC5) {
        switch (d) {
        case 0x92: // Œ
        case 0x93: // œ
            return "oe";
        case 0xA0: // Š
        case 0xA1: // š
            return "s";
        case 0xBD: // Ž
        case 0xBE: // ž
            return "z";
        case 0xB8: // Ÿ
            return "y";
        default:
            return nullptr;
        }
    }
    if (d >= 0x80 && d <= 0xBF) {
        // À..ÿ without the two signs among them (× and ÷), upper and lower case alike.
        static const char* const Letters[] = {
            "a", "a", "a", "a", "a", "a", "ae", "c",     "e", "e", "e", "e", "i", "i", "i",  "i",
            "d", "n", "o", "o", "o", "o", "o",  nullptr, "o", "u", "u", "u", "u", "y", "th", "ss",
            "a", "a", "a", "a", "a", "a", "ae", "c",     "e", "e", "e", "e", "i", "i", "i",  "i",
            "d", "n", "o", "o", "o", "o", "o",  nullptr, "o", "u", "u", "u", "u", "y", "th", "y"};
        // C3 80..BF is U+00C0..U+00FF.
        return Letters[d - 0x80];
    }
    return nullptr;
}

} // namespace

int ShuttlesRun(int level, int shuttle) {
    if (level < 1 || level > schedule::LevelCount || shuttle < 1 ||
        shuttle > schedule::ShuttlesPerLevel[static_cast<std::size_t>(level)])
        return 0;
    int run = shuttle;
    for (int l = 1; l < level; ++l)
        run += schedule::ShuttlesPerLevel[static_cast<std::size_t>(l)];
    return run;
}

int DistanceMetres(int level, int shuttle) {
    return 20 * ShuttlesRun(level, shuttle);
}

int AgeAtTest(int birthYear, int testYear) {
    return testYear - birthYear;
}

std::optional<std::string> RatingOf(const Athlete* athlete, const Result& result) {
    if (!athlete || result.vo2max <= 0)
        return std::nullopt;
    return RateFitness(athlete->sex, AgeAtTest(athlete->birthYear, result.year), result.vo2max);
}

ShownRating RatingShown(const Athlete* athlete, const Result& result) {
    ShownRating shown;
    if (!result.storedRating.empty())
        shown.stored = result.storedRating;
    const auto today = RatingOf(athlete, result);
    // VO2max 0 is stored as "sehr schlecht" for anyone from 13 on: no other word today.
    if (athlete && today.value_or(std::string()) != result.storedRating && (today || result.vo2max > 0))
        shown.today = today.value_or(std::string());
    return shown;
}

int RatingRank(const std::string& word) {
    for (std::size_t k = 0; k < RatingWords.size(); ++k)
        if (word == RatingWords[k])
            return static_cast<int>(k);
    return -1;
}

std::optional<HealthZone> ZoneOfResult(const Athlete* athlete, const Result& result) {
    if (!athlete || result.date == 0)
        return std::nullopt;
    return ChildZone(athlete->sex, AgeAtTest(athlete->birthYear, result.year), result.level, result.shuttle);
}

std::optional<double> ChildVo2maxOfResult(const Athlete* athlete, const Result& result) {
    if (!ZoneOfResult(athlete, result))
        return std::nullopt;
    return ChildVo2max(AgeAtTest(athlete->birthYear, result.year), result.level, result.shuttle);
}

std::string NoZoneReason(const Athlete* athlete, const Result& result) {
    if (!athlete)
        return "Der Sportler ist nicht mehr gespeichert.";
    if (result.date == 0)
        return "Ohne Datum ist das Alter beim Test unbekannt.";
    const int age = AgeAtTest(athlete->birthYear, result.year);
    if (age < 10 || age > 19)
        return "Die Gesundheitszone gilt für 10- bis 19-Jährige (Alter beim Test: " + std::to_string(age) +
               ").";
    if (!ChildVo2max(age, result.level, result.shuttle))
        return "Level und Runde liegen außerhalb des Ablaufs.";
    if (!ChildZone(athlete->sex, age, result.level, result.shuttle))
        return "Das Geschlecht ist weder W noch M.";
    return {};
}

std::vector<NormYears> NormsOverYears(const std::string& sex, int birthYear, int firstYear, int lastYear) {
    std::vector<NormYears> years;
    for (int year = firstYear; year <= lastYear; ++year) {
        const auto bounds = NormBounds(sex, AgeAtTest(birthYear, year));
        if (years.empty() || years.back().bounds != bounds)
            years.push_back({year, bounds});
    }
    return years;
}

std::vector<NormBand> NormBands(const std::string& sex, int age) {
    std::vector<NormBand> bands;
    const auto bounds = NormBounds(sex, age);
    if (!bounds)
        return bands;
    double lower = 0;
    for (std::size_t k = 0; k < RatingWords.size(); ++k) {
        NormBand band{RatingWords[k], lower, std::nullopt};
        if (k < bounds->size()) {
            band.upper = (*bounds)[k];
            lower = (*bounds)[k];
        }
        bands.push_back(band);
    }
    return bands;
}

std::vector<HistoryEntry> AthleteHistory(const Athlete& athlete, std::vector<Result> results) {
    std::sort(results.begin(), results.end(), [](const Result& a, const Result& b) {
        return a.date != b.date ? a.date < b.date : a.id < b.id;
    });
    std::vector<HistoryEntry> history;
    history.reserve(results.size());
    const Result* before = nullptr; // the last comparable test so far
    for (const Result& r : results) {
        HistoryEntry entry;
        entry.result = r;
        entry.age = AgeAtTest(athlete.birthYear, r.year);
        entry.distance = DistanceMetres(r.level, r.shuttle);
        entry.rating = RatingShown(&athlete, r);
        entry.zone = ZoneOfResult(&athlete, r);
        entry.childVo2 = ChildVo2maxOfResult(&athlete, r);
        entry.noZone = NoZoneReason(&athlete, r);
        // A change only between two tests that both have a date and a VO2max value: a
        // level-2 result (no value) or an undated one would make it up.
        if (r.Comparable() && before) {
            entry.vo2Change = r.vo2max - before->vo2max;
            entry.shuttleChange =
                ShuttlesRun(r.level, r.shuttle) - ShuttlesRun(before->level, before->shuttle);
        }
        if (r.Comparable())
            before = &r;
        history.push_back(std::move(entry));
    }
    return history;
}

std::optional<Change> LatestChange(const std::vector<HistoryEntry>& history) {
    for (auto it = history.rbegin(); it != history.rend(); ++it)
        if (it->result.Comparable())
            return it->vo2Change ? std::optional<Change>(Change{*it->vo2Change, *it->shuttleChange})
                                 : std::nullopt;
    return std::nullopt;
}

Stats StatsOf(const std::vector<double>& values) {
    Stats stats;
    stats.count = static_cast<int>(values.size());
    std::vector<double> valid;
    for (double v : values)
        if (v > 0)
            valid.push_back(v);
    stats.withoutValue = stats.count - static_cast<int>(valid.size());
    if (valid.empty())
        return stats;
    std::sort(valid.begin(), valid.end());
    stats.mean = std::accumulate(valid.begin(), valid.end(), 0.0) / static_cast<double>(valid.size());
    const std::size_t mid = valid.size() / 2;
    stats.median = valid.size() % 2 ? valid[mid] : (valid[mid - 1] + valid[mid]) / 2;
    stats.best = valid.back();
    return stats;
}

std::string DisplayName(const Athlete& athlete) {
    if (athlete.firstName.empty())
        return athlete.name;
    if (athlete.name.empty())
        return athlete.firstName;
    return athlete.firstName + " " + athlete.name;
}

std::string ListName(const Athlete& athlete) {
    if (athlete.name.empty())
        return athlete.firstName;
    if (athlete.firstName.empty())
        return athlete.name;
    return athlete.name + ", " + athlete.firstName;
}

DayReport TestDay(int date, const std::vector<Result>& results, const Athletes& athletes) {
    DayReport report;
    report.date = date;
    std::vector<double> all, women, men;
    for (const Result& r : results) {
        DayEntry entry;
        entry.result = r;
        entry.distance = DistanceMetres(r.level, r.shuttle);
        const auto found = athletes.find(r.athleteId);
        const Athlete* athlete = found == athletes.end() ? nullptr : &found->second;
        if (athlete) {
            entry.displayName = DisplayName(*athlete);
            entry.firstName = athlete->firstName;
            entry.name = athlete->name;
            entry.sex = athlete->sex;
            entry.birthYear = athlete->birthYear;
            if (r.date != 0)
                entry.age = AgeAtTest(athlete->birthYear, r.year);
        } else {
            entry.displayName = "(unbekannt)";
            entry.name = entry.displayName;
        }
        entry.rating = RatingShown(athlete, r);
        entry.zone = ZoneOfResult(athlete, r);
        entry.childVo2 = ChildVo2maxOfResult(athlete, r);
        entry.noZone = NoZoneReason(athlete, r);
        if (entry.zone) {
            ++report.zoned;
            ++report.zoneCounts[static_cast<std::size_t>(*entry.zone)];
        }
        all.push_back(r.vo2max);
        const bool woman = entry.sex == "W" || entry.sex == "w";
        const bool man = entry.sex == "M" || entry.sex == "m";
        if (woman)
            women.push_back(r.vo2max);
        if (man)
            men.push_back(r.vo2max);
        if (const int rank = RatingRank(r.storedRating); rank >= 0 && (woman || man))
            ++report.ratingCounts[woman ? 0 : 1][static_cast<std::size_t>(rank)];
        report.ranking.push_back(std::move(entry));
    }
    std::stable_sort(report.ranking.begin(), report.ranking.end(), [](const DayEntry& a, const DayEntry& b) {
        if (a.result.vo2max != b.result.vo2max)
            return a.result.vo2max > b.result.vo2max;
        if (a.distance != b.distance)
            return a.distance > b.distance;
        return a.displayName < b.displayName;
    });
    for (std::size_t i = 0; i < report.ranking.size(); ++i) {
        DayEntry& e = report.ranking[i];
        const bool tie = i > 0 && report.ranking[i - 1].result.vo2max == e.result.vo2max &&
                         report.ranking[i - 1].distance == e.distance;
        e.rank = tie ? report.ranking[i - 1].rank : static_cast<int>(i) + 1;
    }
    report.all = StatsOf(all);
    report.women = StatsOf(women);
    report.men = StatsOf(men);
    return report;
}

std::vector<std::pair<int, int>> TestDates(const std::vector<Result>& results) {
    std::map<int, int, std::greater<>> counts;
    for (const Result& r : results)
        ++counts[r.date];
    return {counts.begin(), counts.end()};
}

std::vector<DayTrend> TrendOverDays(const std::vector<Result>& results, const Athletes& athletes) {
    struct Sums {
        double vo2 = 0;
        int valued = 0, zoned = 0, healthy = 0;
    };
    std::map<int, Sums> days;
    for (const Result& r : results) {
        if (r.date == 0)
            continue;
        Sums& day = days[r.date];
        if (r.vo2max > 0) {
            day.vo2 += r.vo2max;
            ++day.valued;
        }
        const auto found = athletes.find(r.athleteId);
        if (const auto zone = ZoneOfResult(found == athletes.end() ? nullptr : &found->second, r)) {
            ++day.zoned;
            day.healthy += *zone == HealthZone::Healthy;
        }
    }
    std::vector<DayTrend> trend;
    for (const auto& [date, day] : days)
        trend.push_back(
            {date, day.valued ? std::optional<double>(day.vo2 / day.valued) : std::nullopt,
             day.zoned ? std::optional<double>(static_cast<double>(day.healthy) / day.zoned) : std::nullopt});
    return trend;
}

std::string SearchKey(const std::string& utf8) {
    std::string key;
    key.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if ((c == 0xC3 || c == 0xC5) && i + 1 < utf8.size()) {
            if (const char* folded = Folded(c, static_cast<unsigned char>(utf8[i + 1]))) {
                key += folded;
                ++i;
                continue;
            }
        }
        key += c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : static_cast<char>(c);
    }
    return key;
}

} // namespace evaluation
