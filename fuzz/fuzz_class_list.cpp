// libFuzzer target for the class-list reader (CSV or text from a school administration or a
// spreadsheet): any bytes end in a list of rows, each taken or refused with its reason, or
// in a refusal of the whole file; never a crash or a hang.
#include "grouptest/class_list.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    try {
        const grouptest::ClassList list =
            grouptest::ParseClassList(std::string(reinterpret_cast<const char*>(bytes), size), 2026);
        (void)list;
    } catch (const vexo::Error&) {
    }
    return 0;
}
