#include "packet_scanner.h"

#include "packet_error.h"

#include <array>
#include <cstring>
#include <optional>
#include <utility>

namespace data {

void PacketScanner::Fail() {
    throw PacketError(MismatchMessage);
}

void PacketScanner::SkipBlanks() {
    for (;;) {
        while (m_pos < m_text.size() && static_cast<unsigned char>(m_text[m_pos]) >= 1 &&
               static_cast<unsigned char>(m_text[m_pos]) <= 32)
            ++m_pos;
        const std::string_view rest = m_text.substr(m_pos);
        if (rest.starts_with("<?")) {
            const auto end = rest.find("?>", 2);
            if (end == std::string_view::npos)
                Fail();
            m_pos += end + 2;
        } else if (rest.starts_with("<!--")) {
            const auto end = rest.find("-->", 4);
            if (end == std::string_view::npos)
                Fail();
            m_pos += end + 3;
        } else {
            return;
        }
    }
}

bool PacketScanner::Next(PacketTag& tag) {
    SkipBlanks();
    if (m_pos >= m_text.size())
        return false;
    if (m_text[m_pos] != '<')
        Fail();
    ReadTag(tag);
    if (tag.kind == PacketTag::Start) {
        if (m_open.size() >= MaxDepth)
            Fail();
        m_open.push_back(tag.name);
    } else if (tag.kind == PacketTag::End) {
        if (m_open.empty() || m_open.back() != tag.name)
            Fail();
        m_open.pop_back();
    }
    return true;
}

PacketTag& PacketScanner::Expect() {
    if (!Next(m_tag))
        Fail();
    return m_tag;
}

namespace {
// The bytes that end an element or attribute name: blanks and control characters and the
// markup characters, looked up rather than compared one by one (this is the hot loop).
const std::array<bool, 256> NameEnds = [] {
    std::array<bool, 256> ends{};
    for (int c = 0; c <= 32; ++c)
        ends[static_cast<std::size_t>(c)] = true;
    for (char c : {'>', '/', '=', '<', '"'})
        ends[static_cast<unsigned char>(c)] = true;
    return ends;
}();
bool IsNameEnd(char c) {
    return NameEnds[static_cast<unsigned char>(c)];
}
} // namespace

void PacketScanner::ReadTag(PacketTag& tag) {
    // A local view: the compiler need not reload the member after every store into `tag`.
    const std::string_view text = m_text;
    const std::size_t size = text.size();
    std::size_t p = m_pos + 1;
    tag.attributes.clear();
    tag.kind = PacketTag::Start;
    if (p < size && text[p] == '/') {
        tag.kind = PacketTag::End;
        ++p;
    }
    const std::size_t nameStart = p;
    while (p < size && !IsNameEnd(text[p]))
        ++p;
    if (p == nameStart)
        Fail();
    tag.name = text.substr(nameStart, p - nameStart);
    std::size_t nextHint = 0;
    for (;;) {
        while (p < size && static_cast<unsigned char>(text[p]) <= 32)
            ++p;
        if (p >= size)
            Fail();
        const char c = text[p];
        if (c == '>') {
            m_pos = p + 1;
            return;
        }
        if (c == '/') {
            if (tag.kind == PacketTag::End || p + 1 >= size || text[p + 1] != '>')
                Fail();
            tag.kind = PacketTag::Empty;
            m_pos = p + 2;
            return;
        }
        if (tag.kind == PacketTag::End)
            Fail();
        const std::size_t attrStart = p;
        int hint = -1;
        // The expected name at this place, or the one after it (an attribute may be absent).
        for (std::size_t k = nextHint; m_expected && k < nextHint + 2 && k < m_expected->size(); ++k) {
            const std::string& expected = (*m_expected)[k];
            if (size - p > expected.size() && IsNameEnd(text[p + expected.size()]) &&
                text.compare(p, expected.size(), expected) == 0) {
                hint = static_cast<int>(k);
                nextHint = k + 1;
                p += expected.size();
                break;
            }
        }
        if (hint < 0)
            while (p < size && !IsNameEnd(text[p]))
                ++p;
        if (p == attrStart)
            Fail();
        const std::string_view name = text.substr(attrStart, p - attrStart);
        while (p < size && static_cast<unsigned char>(text[p]) <= 32)
            ++p;
        if (p >= size || text[p] != '=')
            Fail();
        ++p;
        while (p < size && static_cast<unsigned char>(text[p]) <= 32)
            ++p;
        if (p >= size || text[p] != '"')
            Fail();
        ++p;
        const void* quote = std::memchr(text.data() + p, '"', size - p);
        if (!quote)
            Fail();
        const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(quote) - text.data());
        tag.attributes.push_back({name, text.substr(p, end - p), hint});
        p = end + 1;
    }
}

void PacketScanner::SkipContent(std::string_view name) {
    const std::size_t depth = m_open.size();
    PacketTag tag;
    while (m_open.size() >= depth) {
        if (!Next(tag))
            Fail();
        if (m_open.size() == depth - 1 && tag.kind == PacketTag::End && tag.name == name)
            return;
    }
}

std::string DecodeAttribute(std::string_view raw) {
    std::string out;
    if (!DecodeAttributeInto(raw, out))
        throw PacketError("Ein Text in der Beschreibung der Felder ist ungültig.");
    return out;
}

namespace {
// What never stands in an attribute value as written: the writer replaces each of these by
// a reference ("&" starts one).
const std::array<bool, 256> EscapedByWriter = [] {
    std::array<bool, 256> special{};
    for (char c : {'&', '<', '>', '\'', '\\', '\t', '\n', '\r'})
        special[static_cast<unsigned char>(c)] = true;
    return special;
}();

// The character of the reference at the start of `rest` (which starts with "&"), and the
// reference's length; nothing when it is none the format knows or names a code above 255.
std::optional<std::pair<char, std::size_t>> Reference(std::string_view rest) {
    const auto semicolon = rest.substr(0, 13).find(';'); // bounded: no quadratic scan
    if (semicolon == std::string_view::npos || semicolon < 2)
        return std::nullopt;
    const std::string_view entity = rest.substr(1, semicolon - 1);
    static const struct {
        std::string_view name;
        char c;
    } named[] = {{"amp", '&'}, {"apos", '\''}, {"gt", '>'}, {"lt", '<'}, {"quot", '"'}};
    for (const auto& n : named)
        if (entity == n.name)
            return std::pair{n.c, semicolon + 1};
    if (entity[0] != '#')
        return std::nullopt;
    const bool hex = entity[1] == 'x' || entity[1] == 'X';
    const std::string_view digits = entity.substr(hex ? 2 : 1);
    if (digits.empty())
        return std::nullopt;
    unsigned code = 0;
    for (char d : digits) {
        int v = -1;
        if (d >= '0' && d <= '9')
            v = d - '0';
        else if (hex && d >= 'a' && d <= 'f')
            v = d - 'a' + 10;
        else if (hex && d >= 'A' && d <= 'F')
            v = d - 'A' + 10;
        if (v < 0)
            return std::nullopt;
        code = code * (hex ? 16 : 10) + static_cast<unsigned>(v);
        if (code > 255)
            return std::nullopt; // the file's characters are single bytes
    }
    return std::pair{static_cast<char>(code), semicolon + 1};
}
} // namespace

bool DecodeAttributeInto(std::string_view raw, std::string& out) {
    out.reserve(out.size() + raw.size());
    std::size_t i = 0;
    while (i < raw.size()) {
        std::size_t at = i;
        while (at < raw.size() && !EscapedByWriter[static_cast<unsigned char>(raw[at])])
            ++at;
        out.append(raw.data() + i, at - i);
        if (at >= raw.size())
            break;
        if (raw[at] != '&')
            return false;
        const auto reference = Reference(raw.substr(at));
        if (!reference)
            return false;
        out += reference->first;
        i = at + reference->second;
    }
    return true;
}

bool IsPlainAttribute(std::string_view raw) {
    for (char c : raw)
        if (EscapedByWriter[static_cast<unsigned char>(c)])
            return false;
    return true;
}

} // namespace data
