// libFuzzer target for the group test's journal: any bytes end in a run or a refusal, never
// a crash or a hang; a run that was read writes out as a journal that reads back the same.
#include "grouptest/journal.h"
#include "platform/errors.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    std::string once;
    try {
        once = grouptest::JournalText(
            grouptest::ParseJournal(std::string(reinterpret_cast<const char*>(bytes), size)));
    } catch (const vexo::Error&) {
        return 0;
    }
    try {
        if (grouptest::JournalText(grouptest::ParseJournal(once)) != once)
            std::abort(); // not read as it was written
    } catch (const vexo::Error&) {
        std::abort(); // what the program wrote must always read back
    }
    return 0;
}
