#include "text_encoding.h"

#include <array>

namespace data {
namespace {

// 0x80..0x9F; the rest of the byte range is Latin-1.
constexpr std::array<char32_t, 32> High{0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at `i`; returns false (and consumes one byte) when invalid.
bool DecodeUtf8(std::string_view s, std::size_t& i, char32_t& cp) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    int length = 0;
    if (b0 < 0x80) {
        cp = b0;
        ++i;
        return true;
    }
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        cp = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        cp = b0 & 0x07;
    } else {
        ++i;
        return false;
    }
    if (i + static_cast<std::size_t>(length) > s.size()) {
        ++i;
        return false;
    }
    for (int k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return false;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    const bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return false;
    }
    i += static_cast<std::size_t>(length);
    return true;
}

} // namespace

char32_t Cp1252ToCodePoint(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? High[byte - 0x80] : byte;
}

int CodePointToCp1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    for (std::size_t k = 0; k < High.size(); ++k)
        if (High[k] == cp)
            return static_cast<int>(0x80 + k);
    return -1;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes)
        AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
    return out;
}

std::string Utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = 0;
        if (!DecodeUtf8(utf8, i, cp)) {
            out += '?';
            continue;
        }
        const int byte = CodePointToCp1252(cp);
        out += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    char32_t cp = 0;
    while (i < bytes.size())
        if (!DecodeUtf8(bytes, i, cp))
            return false;
    return true;
}

} // namespace data
