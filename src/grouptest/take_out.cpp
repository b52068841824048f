#include "take_out.h"

namespace grouptest {

void TakeOutAgain(data::Table& table, const char* idField, const std::vector<std::int64_t>& ids) {
    if (table.Editing())
        table.Cancel();
    for (std::int64_t id : ids)
        if (table.LocateInteger(idField, id))
            table.Delete();
}

} // namespace grouptest
