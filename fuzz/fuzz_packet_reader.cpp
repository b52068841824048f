// libFuzzer target for the data-packet reader: any input must end in a table or a reading
// failure, never a crash or a hang; and whatever was read must write out as a document
// that reads again exactly: writing it once more gives the same bytes.
#include "data/packet_error.h"
#include "data/packet_xml.h"

#include <cstdlib>
#include <set>

namespace {

// Column names that collide in the rows (the same attribute name twice, or the row state's
// own attribute) cannot keep their values apart; such tables are not checked for a
// stable round trip.
bool RowNamesClash(const data::TableImage& image) {
    std::set<std::string> seen{"RowState"};
    for (const auto& c : image.columns)
        if (!seen.insert(data::AttrNameOf(c.name)).second)
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    data::TableImage image;
    try {
        image = data::ReadPacketXml(std::string_view(reinterpret_cast<const char*>(bytes), size));
    } catch (const data::PacketError&) {
        return 0;
    }
    const std::string once = data::WritePacketXml(image);
    std::string twice;
    try {
        twice = data::WritePacketXml(data::ReadPacketXml(once));
        if (RowNamesClash(image))
            return 0;
        if (twice != once)
            std::abort(); // what the writer wrote was not read exactly
    } catch (const data::PacketError&) {
        std::abort(); // what the writer wrote must always read back
    }
    return 0;
}
