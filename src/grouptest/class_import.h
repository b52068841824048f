#pragma once
// A class list taken into the program in one step: the new athletes through the athlete
// table (its checks apply) and a group of all the list's athletes. Either all of it lands
// or nothing does: a row the table refuses on the way takes out again what was posted.
#include "class_list.h"

#include <cstdint>
#include <string>
#include <vector>

class TDM1;

namespace grouptest {

enum class RowFate { New, Known, Refused };

struct PlannedRow {
    RowFate fate = RowFate::Refused;
    std::int64_t athleteId = 0; // a known athlete: the one with the same first name, name and birth year
    std::string reason;         // a refused row: why
};

// What the import would do with each row, against the athletes as they stand. A row whose
// sex is still to be asked for is refused until it is given.
std::vector<PlannedRow> PlanImport(TDM1& dataModule, const std::vector<ClassListRow>& rows);

struct ImportOutcome {
    std::int64_t groupId = 0;
    int created = 0;
    int known = 0;
};

// Creates the new athletes and the group `groupName` of every row that is not refused, and
// saves both files. Fails (vexo::Error, German) without any change when the group's name is
// refused, when no row is left, or when the athlete table refuses a row.
ImportOutcome ImportClassList(TDM1& dataModule, const std::string& groupName,
                              const std::vector<ClassListRow>& rows);

} // namespace grouptest
