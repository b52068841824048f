#include "class_comparison.h"

#include "data/date_value.h"

#include <algorithm>
#include <map>

namespace evaluation {
namespace {

// Of several results of one pupil on one day, the one that went furthest.
bool Better(const Result& a, const Result& b) {
    const int da = DistanceMetres(a.level, a.shuttle), db = DistanceMetres(b.level, b.shuttle);
    return da != db ? da > db : a.vo2max > b.vo2max;
}

std::map<int, Result> BestOfDay(int date, const std::vector<Result>& results) {
    std::map<int, Result> best;
    for (const Result& r : results)
        if (r.date == date) {
            const auto [at, inserted] = best.emplace(r.athleteId, r);
            if (!inserted && Better(r, at->second))
                at->second = r;
        }
    return best;
}

} // namespace

ClassComparison CompareWithPreviousDay(int date, const std::vector<Result>& results,
                                       const Athletes& athletes) {
    ClassComparison c;
    c.date = date;
    for (const Result& r : results)
        if (r.date != 0 && r.date < date)
            c.previousDate = std::max(c.previousDate, r.date);
    const std::map<int, Result> before =
        c.previousDate ? BestOfDay(c.previousDate, results) : std::map<int, Result>{};
    for (const auto& [athleteId, now] : BestOfDay(date, results)) {
        PupilComparison p;
        p.athleteId = athleteId;
        p.now = now;
        if (const auto found = athletes.find(athleteId); found != athletes.end()) {
            const Athlete& a = found->second;
            p.displayName = DisplayName(a);
            p.birthYear = a.birthYear;
        } else {
            p.displayName = "(unbekannt)";
        }
        if (const auto then = before.find(athleteId); then != before.end()) {
            p.before = then->second;
            const int change = DistanceMetres(now.level, now.shuttle) -
                               DistanceMetres(then->second.level, then->second.shuttle);
            p.metresChange = change;
            if (now.vo2max > 0 && then->second.vo2max > 0)
                p.vo2Change = now.vo2max - then->second.vo2max;
            p.development = change > 0   ? Development::Improved
                            : change < 0 ? Development::FellBack
                                         : Development::Held;
        }
        switch (p.development) {
        case Development::Improved:
            ++c.improved;
            break;
        case Development::Held:
            ++c.held;
            break;
        case Development::FellBack:
            ++c.fellBack;
            break;
        case Development::NoComparison:
            ++c.withoutComparison;
            break;
        }
        c.pupils.push_back(std::move(p));
    }
    // By name, each pupil's key worked out once; the gone athletes last.
    std::vector<std::pair<std::string, PupilComparison>> keyed;
    for (PupilComparison& p : c.pupils) {
        const auto found = athletes.find(p.athleteId);
        keyed.emplace_back(found == athletes.end() ? std::string("~") : SearchKey(ListName(found->second)),
                           std::move(p));
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    c.pupils.clear();
    for (auto& [key, p] : keyed)
        c.pupils.push_back(std::move(p));
    return c;
}

std::string DevelopmentLine(const ClassComparison& c) {
    if (!c.previousDate)
        return {};
    std::string line = "Seit dem " + data::FormatGermanDate(c.previousDate) + ": " +
                       std::to_string(c.improved) + " weiter gelaufen, " + std::to_string(c.held) +
                       " gleich weit, " + std::to_string(c.fellBack) + " weniger weit";
    if (c.withoutComparison)
        line += ", " + std::to_string(c.withoutComparison) + " ohne Ergebnis damals";
    return line + ".";
}

} // namespace evaluation
