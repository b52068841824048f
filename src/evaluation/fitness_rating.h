#pragma once
// The fitness rating: sex text, age in whole years and VO2max value to one of six words.
#include <array>
#include <optional>
#include <string>

namespace evaluation {

// "sehr schlecht" .. "überragend" (UTF-8), or nothing for ages below 13. The women's
// norms apply for exactly "W" or "w"; every other text selects the men's norms.
std::optional<std::string> RateFitness(const std::string& sex, int age, double vo2max);

// The five lower bounds (of "schlecht" .. "überragend") that apply for a sex and an age, or
// nothing for ages below 13.
std::optional<std::array<double, 5>> NormBounds(const std::string& sex, int age);

// The six rating words, from the lowest (UTF-8).
extern const std::array<const char*, 6> RatingWords;

} // namespace evaluation
