#pragma once
// The journal of a group test under way: the group, the start, whether the test has ended,
// and each athlete's state, level and shuttle, written durably (the data layer's atomic,
// synced save) at START, at every tap and at the end, so that nothing of a run is lost when
// the program or the machine dies. At the next start the program offers the review with
// it; it is removed once the results are posted and saved, or discarded on request.
// A small UTF-8 text: a first line "VEXO-GRUPPENTEST 2", then one "key<TAB>value..." line
// for each item, and last "ende<TAB>" with the CRC-32 of everything before that line: a
// journal cut short or with a byte changed is refused as a whole, never read as a run
// with other values.
#include "group_run.h"

#include <optional>
#include <string>

namespace grouptest {

std::string JournalText(const GroupRun& run);
// Fails with vexo::Error (German) when the text is no journal, or not a whole and unchanged one.
GroupRun ParseJournal(const std::string& text);

void WriteJournal(const std::string& path, const GroupRun& run);
// None when there is no journal; fails when there is one that cannot be read.
std::optional<GroupRun> ReadJournal(const std::string& path);
void RemoveJournal(const std::string& path);

} // namespace grouptest
