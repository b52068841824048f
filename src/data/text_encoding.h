#pragma once
// Windows-1252 is the character set of every field value, in memory and in the data files
// (one byte a character). Program text is UTF-8; conversion happens only at the edges.
// The five bytes Windows-1252 leaves undefined map to U+0081, U+008D, U+008F, U+0090 and
// U+009D and back, so every byte string survives a round trip.
#include <string>
#include <string_view>

namespace data {

std::string Cp1252ToUtf8(std::string_view bytes);
// A character Windows-1252 cannot hold becomes "?". Invalid UTF-8 bytes become "?" too.
std::string Utf8ToCp1252(std::string_view utf8);
// The code point of a Windows-1252 byte, and the byte of a code point (or -1).
char32_t Cp1252ToCodePoint(unsigned char byte);
int CodePointToCp1252(char32_t codePoint);
bool IsValidUtf8(std::string_view bytes);

} // namespace data
