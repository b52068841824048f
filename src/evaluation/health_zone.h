#pragma once
// The health zone of children and young people aged 10 to 19, as schools use it beside the
// rating: the VO2max that the children's equation of Léger et al. (1988) gives from the
// age and the speed of the level the runner stopped in, against the aerobic capacity standards of
// FITNESSGRAM (The Cooper Institute, 2010) for boys and girls. The stored rating word stays
// as it is; the zone is shown beside it. Outside those ages there is no zone.
//
//   Léger, L. A., Mercier, D., Gadoury, C., Lambert, J. (1988): The multistage 20 metre
//   shuttle run test for aerobic fitness. Journal of Sports Sciences 6 (2), 93–101.
//   The Cooper Institute (2010): FITNESSGRAM Healthy Fitness Zone standards, aerobic
//   capacity (VO2max, ml/kg/min).
#include <optional>
#include <string>
#include <utility>

namespace evaluation {

enum class HealthZone { Healthy, NeedsImprovement, HighRisk };

// "Gesundheitszone", "Verbesserung nötig", "Verbesserung nötig – Risiko" (UTF-8).
std::string ZoneText(HealthZone zone);

// The speed of a level as the equation's source gives it, in km/h: 8 + 0.5 · level (8.5 at
// level 1), exactly, not 20 m over the shuttle time rounded to the millisecond.
double LevelSpeedKmh(int level);
// The level a runner stopped in, by a result of `level` and `shuttle` (the last shuttle
// completed): that level, or the next one when the result completes its level (the next
// level was announced, and the runner stopped in it); at most level 21; 0 for a result
// outside the schedule.
int LevelReached(int level, int shuttle);

// VO2max = 31.025 + 3.238·v − 3.248·A + 0.1536·v·A (Léger et al. 1988: "the last stage
// number announced is used", speed = 8 + 0.5 · stage), with v the speed of the level
// reached and A the age in whole years; none outside the schedule or without a valid age.
std::optional<double> ChildVo2max(int age, int level, int shuttle);

// The zone of a VO2max (rounded to one decimal first) for a sex ("W"/"w" girls, "M"/"m"
// boys) and an age of 10 to 19; none otherwise. At or below the first bound: risk; at or
// above the second: healthy; in between: needs improvement.
std::optional<HealthZone> ZoneOf(const std::string& sex, int age, double vo2max);

// The zone's two bounds (risk at or below, healthy at or above) for a sex and an age of 10
// to 19; none otherwise.
std::optional<std::pair<double, double>> ZoneBounds(const std::string& sex, int age);

// Both together: the zone of a result of `level` and `shuttle` at `age`.
std::optional<HealthZone> ChildZone(const std::string& sex, int age, int level, int shuttle);

} // namespace evaluation
