#pragma once
// The pace of the test: for each level 1..21, its number of 20 m shuttles and the time
// allowed for one shuttle. Constant; consecutive levels never share an interval, so every
// level change sets a new interval.
#include <array>
#include <cstdint>

namespace schedule {

constexpr int LevelCount = 21;

// Indexed by level; entry 0 is unused so that the level is the index.
constexpr std::array<std::int32_t, LevelCount + 1> ShuttlesPerLevel{
    0, 7, 8, 8, 9, 9, 10, 10, 11, 11, 11, 12, 12, 13, 13, 13, 14, 14, 15, 15, 16, 16};

constexpr std::array<std::int32_t, LevelCount + 1> ShuttleIntervalMs{
    0,    8470, 8000, 7580, 7200, 6860, 6550, 6260, 6000, 5760, 5540,
    5330, 5140, 4970, 4800, 4650, 4500, 4360, 4240, 4110, 4000, 3890};

} // namespace schedule
