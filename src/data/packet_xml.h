#pragma once
// The XML form of the data packet: one table on one line, Windows-1252 without an encoding
// declaration. WritePacketXml produces exactly the bytes the program has always written;
// ReadPacketXml reads them back, and the tolerated variations, with a bounded single-pass
// scanner (no recursion on input, nesting at most 63 deep).
#include "table_image.h"

#include <string>
#include <string_view>

namespace data {

std::string WritePacketXml(const TableImage& table);
// A string in LargeBlocks memory, for the bytes of a whole table.
using LargeString = std::basic_string<char, std::char_traits<char>, LargeBlockAllocator<char>>;
// The same bytes into `out` (emptied first).
void WritePacketXml(const TableImage& table, LargeString& out);

// Throws PacketError with one of the reader's messages ("Mismatch in datapacket.",
// "Datapacket contains no meta data.", "Invalid field type.", "Invalid parameter.").
TableImage ReadPacketXml(std::string_view bytes);

} // namespace data
