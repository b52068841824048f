#pragma once
// Program-wide values: the paths of the two data files, the first-activation flag of the
// main window, and the VO2max table with its look-up.
#include <array>
#include <cstdint>
#include <string>

namespace global {

extern std::string SportlerPath;
extern std::string MultiwertPath;
extern std::string GruppenPath;     // the groups of athletes, beside the other two
extern std::string GruppentestPath; // the journal of a group test under way
extern bool FirstActivation;

constexpr int VO2Levels = 21;
constexpr int VO2Shuttles = 18;

// Level by level: entry (level, shuttle) is element (level - 1) * 18 + (shuttle - 1).
extern std::array<double, VO2Levels * VO2Shuttles> VO2Table;

// Fills VO2Table; every cell without a value is 0.
void InitVO2Table();

// The VO2max value (ml/kg/min) for a level and the shuttle reached within it; 0 where the
// table holds no value. Outside levels 1..21 or shuttles 1..18 it tells the user
// "Werte nicht definiert" and gives 0.
double LookupVO2(std::int32_t level, std::int32_t shuttle);

} // namespace global
