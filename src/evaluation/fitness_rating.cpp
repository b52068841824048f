#include "fitness_rating.h"

#include <array>

namespace evaluation {
namespace {

using Bounds = std::array<double, 5>; // lower bounds of "schlecht" .. "überragend"

// Age groups 13-19, 20-29, 30-39, 40-49, 50-59, 60 and over.
constexpr std::array<Bounds, 6> WomenNorms{{
    {25.0, 31.0, 35.0, 39.0, 42.0},
    {23.6, 29.0, 33.0, 37.0, 41.1},
    {22.8, 27.0, 31.5, 35.7, 40.1},
    {21.0, 24.5, 29.0, 32.9, 37.0},
    {20.2, 22.8, 27.0, 31.5, 35.8},
    {17.5, 20.2, 24.5, 30.3, 31.5},
}};

constexpr std::array<Bounds, 6> MenNorms{{
    {35.0, 38.4, 45.2, 51.0, 56.0},
    {33.0, 36.5, 42.5, 46.5, 52.5},
    {31.5, 35.5, 41.0, 45.0, 49.5},
    {30.2, 33.6, 39.0, 43.8, 48.1},
    {26.1, 31.0, 35.8, 41.0, 45.4},
    {20.5, 26.1, 32.3, 36.5, 44.3},
}};

} // namespace

const std::array<const char*, 6> RatingWords{"sehr schlecht", "schlecht", "ok",
                                             "gut",           "sehr gut", "überragend"};

std::optional<std::array<double, 5>> NormBounds(const std::string& sex, int age) {
    if (age < 13)
        return std::nullopt;
    const auto& norms = (sex == "W" || sex == "w") ? WomenNorms : MenNorms;
    const int group = age >= 60 ? 5 : (age - 10) / 10; // 13..19 -> 0, 20..29 -> 1, ...
    return norms[static_cast<std::size_t>(group)];
}

std::optional<std::string> RateFitness(const std::string& sex, int age, double vo2max) {
    const auto bounds = NormBounds(sex, age);
    if (!bounds)
        return std::nullopt;
    int reached = 0;
    // Both sides are the doubles nearest to one-decimal numbers, so a value equal to a
    // bound compares equal and lands in the band that starts there.
    for (double bound : *bounds)
        if (vo2max >= bound)
            ++reached;
    return std::string(RatingWords[static_cast<std::size_t>(reached)]);
}

} // namespace evaluation
