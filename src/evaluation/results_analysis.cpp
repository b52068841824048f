#include "results_analysis.h"

#include "fitness_rating.h"
#include "shuttle_schedule.h"

#include <algorithm>
#include <map>
#include <numeric>

namespace evaluation {

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
    for (const Result& r : results) {
        HistoryEntry entry;
        entry.result = r;
        entry.age = AgeAtTest(athlete.birthYear, r.year);
        entry.distance = DistanceMetres(r.level, r.shuttle);
        entry.rating = RatingOf(&athlete, r);
        if (!history.empty()) {
            const Result& before = history.back().result;
            entry.vo2Change = r.vo2max - before.vo2max;
            entry.shuttleChange = ShuttlesRun(r.level, r.shuttle) - ShuttlesRun(before.level, before.shuttle);
        }
        history.push_back(std::move(entry));
    }
    return history;
}

Stats StatsOf(const std::vector<double>& values) {
    Stats stats;
    stats.count = static_cast<int>(values.size());
    std::vector<double> valid;
    for (double v : values)
        if (v > 0)
            valid.push_back(v);
    if (valid.empty())
        return stats;
    std::sort(valid.begin(), valid.end());
    stats.mean = std::accumulate(valid.begin(), valid.end(), 0.0) / static_cast<double>(valid.size());
    const std::size_t mid = valid.size() / 2;
    stats.median = valid.size() % 2 ? valid[mid] : (valid[mid - 1] + valid[mid]) / 2;
    stats.best = valid.back();
    return stats;
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
            entry.displayName = athlete->firstName.empty() ? athlete->name
                                : athlete->name.empty()    ? athlete->firstName
                                                           : athlete->firstName + " " + athlete->name;
            entry.sex = athlete->sex;
            entry.age = AgeAtTest(athlete->birthYear, r.year);
        } else {
            entry.displayName = "(unbekannt)";
        }
        entry.rating = RatingOf(athlete, r);
        all.push_back(r.vo2max);
        const bool woman = entry.sex == "W" || entry.sex == "w";
        const bool man = entry.sex == "M" || entry.sex == "m";
        if (woman)
            women.push_back(r.vo2max);
        if (man)
            men.push_back(r.vo2max);
        if (entry.rating && (woman || man)) {
            const auto word = std::find(RatingWords.begin(), RatingWords.end(), *entry.rating);
            if (word != RatingWords.end())
                ++report.ratingCounts[woman ? 0 : 1][static_cast<std::size_t>(word - RatingWords.begin())];
        }
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

std::string SearchKey(const std::string& utf8) {
    std::string key;
    key.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c == 0xC3 && i + 1 < utf8.size()) {
            const auto d = static_cast<unsigned char>(utf8[i + 1]);
            const char* folded = nullptr;
            switch (d) {
            case 0xA4: // ä
            case 0x84: // Ä
                folded = "a";
                break;
            case 0xB6: // ö
            case 0x96: // Ö
                folded = "o";
                break;
            case 0xBC: // ü
            case 0x9C: // Ü
                folded = "u";
                break;
            case 0x9F: // ß
                folded = "ss";
                break;
            default:
                break;
            }
            if (folded) {
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
