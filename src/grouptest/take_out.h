#pragma once
// All or nothing, for the operations that post several records at once (a group test taken
// over, a class list imported): when one fails half-way, the records it posted go out of
// the table again, with a record still pending, and the table is as it was found (in
// memory; the file is written later, as always).
#include "data/table.h"

#include <cstdint>
#include <vector>

namespace grouptest {

void TakeOutAgain(data::Table& table, const char* idField, const std::vector<std::int64_t>& ids);

} // namespace grouptest
