#include "global.h"

#include "platform/dialogs.h"

#include <initializer_list>

namespace global {

std::string SportlerPath;
std::string MultiwertPath;
std::string GruppenPath;
std::string GruppentestPath;
bool FirstActivation = false;
std::array<double, VO2Levels * VO2Shuttles> VO2Table{};

namespace {

void SetLevel(int level, std::initializer_list<double> values) {
    int shuttle = 1;
    for (double value : values)
        VO2Table[static_cast<std::size_t>((level - 1) * VO2Shuttles + (shuttle++ - 1))] = value;
}

} // namespace

void InitVO2Table() {
    VO2Table.fill(0.0);
    // Levels 1 to 3 have no values; from level 4 on a level has one value per shuttle,
    // and its last value is the first of the next level.
    SetLevel(4, {26.8, 26.8, 26.8, 27.6, 27.6, 28.3, 28.3, 28.3, 29.5});
    SetLevel(5, {29.5, 30.2, 30.2, 31.0, 31.0, 31.8, 31.8, 31.8, 32.9});
    SetLevel(6, {32.9, 33.6, 33.6, 34.3, 34.3, 35.0, 35.0, 35.7, 35.7, 36.4});
    SetLevel(7, {36.4, 37.1, 37.1, 37.8, 37.8, 38.5, 38.5, 39.2, 39.2, 39.9});
    SetLevel(8, {39.9, 40.5, 40.5, 41.1, 41.1, 41.8, 41.8, 42.4, 42.4, 42.4, 43.3});
    SetLevel(9, {43.3, 43.9, 43.9, 44.5, 44.5, 45.2, 45.2, 45.8, 45.8, 45.8, 46.8});
    SetLevel(10, {46.8, 47.4, 47.4, 48.0, 48.0, 48.7, 48.7, 49.3, 49.3, 49.3, 50.2});
    SetLevel(11, {50.2, 50.8, 50.8, 51.4, 51.4, 51.9, 51.9, 52.5, 52.5, 53.1, 53.1, 53.7});
    SetLevel(12, {53.7, 54.3, 54.3, 54.8, 54.8, 55.4, 55.4, 56.0, 56.0, 56.5, 56.5, 57.1});
    SetLevel(13, {57.1, 57.6, 57.6, 58.2, 58.2, 58.7, 58.7, 59.3, 59.3, 59.8, 59.8, 59.8, 60.6});
    SetLevel(14, {60.6, 61.1, 61.1, 61.7, 61.7, 62.2, 62.2, 62.7, 62.7, 63.2, 63.2, 63.2, 64.0});
    SetLevel(15, {64.0, 64.6, 64.6, 65.1, 65.1, 65.6, 65.6, 66.2, 66.2, 66.7, 66.7, 66.7, 67.5});
    SetLevel(16, {67.5, 68.0, 68.0, 68.5, 68.5, 69.0, 69.0, 69.5, 69.5, 69.9, 69.9, 70.5, 70.5, 70.9});
    SetLevel(17, {70.9, 71.4, 71.4, 71.9, 71.9, 72.4, 72.4, 72.9, 72.9, 73.4, 73.4, 73.9, 73.9, 74.4});
    SetLevel(18, {74.4, 74.8, 74.8, 75.3, 75.3, 75.8, 75.8, 76.2, 76.2, 76.7, 76.7, 77.2, 77.2, 77.2, 77.9});
    SetLevel(19, {77.9, 78.3, 78.3, 78.8, 78.8, 79.2, 79.2, 79.7, 79.7, 80.2, 80.2, 80.6, 80.6, 80.6, 81.3});
    SetLevel(
        20, {81.3, 81.8, 81.8, 82.2, 82.2, 82.6, 82.6, 83.0, 83.0, 83.5, 83.5, 83.9, 83.9, 84.3, 84.3, 84.8});
    SetLevel(
        21, {84.8, 85.2, 85.2, 85.6, 85.6, 86.1, 86.1, 86.5, 86.5, 86.9, 86.9, 87.4, 87.4, 87.8, 87.8, 88.2});
}

double LookupVO2(std::int32_t level, std::int32_t shuttle) {
    if (level < 1 || level > VO2Levels || shuttle < 1 || shuttle > VO2Shuttles) {
        platform::Dialogs().ShowMessage("Werte nicht definiert");
        return 0.0;
    }
    return VO2Table[static_cast<std::size_t>((level - 1) * VO2Shuttles + (shuttle - 1))];
}

} // namespace global
