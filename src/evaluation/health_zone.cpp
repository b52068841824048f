#include "health_zone.h"

#include "decimal_rounding.h"
#include "pacing/shuttle_schedule.h"

#include <cmath>

namespace evaluation {
namespace {

struct Bounds {
    double risk;    // at or below: "Verbesserung nötig – Risiko"
    double healthy; // at or above: "Gesundheitszone"
};

// Ages 10 to 17, then 18 and 19 together ("over 17"); boys, girls.
constexpr Bounds Boys[] = {{37.3, 40.2}, {37.3, 40.2}, {37.6, 40.3}, {38.6, 41.1}, {39.6, 42.5},
                           {40.6, 43.6}, {41.0, 44.1}, {41.2, 44.2}, {41.2, 44.3}};
constexpr Bounds Girls[] = {{37.3, 40.2}, {37.3, 40.2}, {37.0, 40.1}, {36.6, 39.7}, {36.3, 39.4},
                            {36.0, 39.1}, {35.8, 38.9}, {35.7, 38.8}, {35.3, 38.6}};

} // namespace

std::string ZoneText(HealthZone zone) {
    switch (zone) {
    case HealthZone::Healthy:
        return "Gesundheitszone";
    case HealthZone::NeedsImprovement:
        return "Verbesserung nötig";
    case HealthZone::HighRisk:
        return "Verbesserung nötig – Risiko";
    }
    return {};
}

double LevelSpeedKmh(int level) {
    if (level < 1 || level > schedule::LevelCount)
        return 0;
    return 8.0 + 0.5 * level;
}

int LevelReached(int level, int shuttle) {
    if (level < 1 || level > schedule::LevelCount || shuttle < 0)
        return 0;
    const int shuttles = schedule::ShuttlesPerLevel[static_cast<std::size_t>(level)];
    if (shuttle > shuttles)
        return 0;
    return shuttle == shuttles && level < schedule::LevelCount ? level + 1 : level;
}

std::optional<double> ChildVo2max(int age, int level, int shuttle) {
    const int reached = LevelReached(level, shuttle);
    if (reached < 1 || age < 1 || age > 120)
        return std::nullopt;
    const double v = LevelSpeedKmh(reached);
    const double a = age;
    return 31.025 + 3.238 * v - 3.248 * a + 0.1536 * v * a;
}

std::optional<std::pair<double, double>> ZoneBounds(const std::string& sex, int age) {
    const bool girl = sex == "W" || sex == "w";
    const bool boy = sex == "M" || sex == "m";
    if ((!girl && !boy) || age < 10 || age > 19)
        return std::nullopt;
    const Bounds& b = (girl ? Girls : Boys)[age >= 18 ? 8 : age - 10];
    return std::pair{b.risk, b.healthy};
}

std::optional<HealthZone> ZoneOf(const std::string& sex, int age, double vo2max) {
    const auto zone = ZoneBounds(sex, age);
    if (!zone)
        return std::nullopt;
    const Bounds bounds{zone->first, zone->second};
    // Compared as numbers with one decimal, as the standards are written.
    const double rounded = RoundedDecimal(vo2max, 1);
    const auto tenths = [](double value) { return std::lround(value * 10); };
    if (tenths(rounded) <= tenths(bounds.risk))
        return HealthZone::HighRisk;
    if (tenths(rounded) >= tenths(bounds.healthy))
        return HealthZone::Healthy;
    return HealthZone::NeedsImprovement;
}

std::optional<HealthZone> ChildZone(const std::string& sex, int age, int level, int shuttle) {
    if (age < 10 || age > 19)
        return std::nullopt;
    const auto vo2 = ChildVo2max(age, level, shuttle);
    return vo2 ? ZoneOf(sex, age, *vo2) : std::nullopt;
}

} // namespace evaluation
