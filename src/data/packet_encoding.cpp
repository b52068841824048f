// The character set of a data packet: Windows-1252 bytes as they stand, unless the document
// says it is UTF-8 (a byte-order mark, or an encoding declaration over valid UTF-8).
#include "packet_reading.h"
#include "text_encoding.h"

namespace data {

bool EqualsNoCase(std::string_view a, std::string_view b) {

    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

PacketText TextOfPacket(std::string_view bytes) {
    PacketText packet;
    std::size_t start = 0;
    bool utf8 = false;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        start = 3;
        utf8 = true;
    }
    // The declaration may say UTF-8; only then, and only for valid UTF-8, is the text
    // converted to the 8-bit character set before it is read further.
    std::size_t p = start;
    while (p < bytes.size() && static_cast<unsigned char>(bytes[p]) >= 1 &&
           static_cast<unsigned char>(bytes[p]) <= 32)
        ++p;
    if (!utf8 && bytes.substr(p).starts_with("<?")) {
        const auto end = bytes.find("?>", p + 2);
        if (end != std::string_view::npos) {
            std::string declaration(bytes.substr(p, end - p));
            for (char& c : declaration) // the attribute's name may be written in any case
                if (c >= 'A' && c <= 'Z')
                    c = static_cast<char>(c + 32);
            const auto at = declaration.find("encoding");
            if (at != std::string::npos) {
                std::size_t q = at + 8;
                while (q < declaration.size() && (declaration[q] == ' ' || declaration[q] == '='))
                    ++q;
                if (q < declaration.size() && (declaration[q] == '"' || declaration[q] == '\''))
                    ++q;
                utf8 = declaration.compare(q, 5, "utf-8") == 0 && IsValidUtf8(bytes.substr(start));
            }
        }
    }
    packet.text = bytes;
    packet.start = start;
    if (utf8) {
        packet.converted = Utf8ToCp1252(bytes.substr(start));
        packet.text = packet.converted;
        packet.start = 0;
    }
    return packet;
}

} // namespace data
