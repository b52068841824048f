#pragma once
// What the parts of the data-packet reader share: its limits, its failures, and the
// comparison of names without regard to case.
#include "packet_error.h"
#include "packet_scanner.h"
#include "table_image.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace data {

// The program's own tables have six and eight columns.
constexpr std::size_t MaxPacketColumns = 1024;
inline const char* const TooLargeMessage = "Datapacket too large for the available memory.";

// What the rows of a file may take: twenty times its size, and a little more for very small
// files. A real row carries at least its state and its id, so real files stay far below.
inline std::size_t MemoryBudget(std::size_t fileSize) {
    return 20 * fileSize + (1u << 20);
}

[[noreturn]] inline void Mismatch() {
    throw PacketError(MismatchMessage);
}

bool EqualsNoCase(std::string_view a, std::string_view b);

// The document's text in the 8-bit character set: UTF-8 (a byte-order mark, or a
// declaration that says so over valid UTF-8) converted, anything else as it stands.
struct PacketText {
    std::string converted; // holds the text when it had to be converted
    std::string_view text;
    std::size_t start = 0; // where the scanner begins
};
PacketText TextOfPacket(std::string_view bytes);

// The metadata: one column from a FIELD element, the table parameters from PARAMS.
Column ReadField(const PacketTag& tag);
void ReadParams(const PacketTag& tag, TableImage& image);

// The rows of ROWDATA, up to its end tag, into the image (the scanner stands after the
// start tag); returns the highest id the counter column held.
std::int64_t ReadRows(PacketScanner& scanner, std::string_view text, TableImage& image);

} // namespace data
