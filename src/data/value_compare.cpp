#include "value_compare.h"

#include <array>

namespace data {
namespace {

// Collation key of a Windows-1252 byte for case-insensitive order: letters fold to upper
// case, and accented letters sort with their base letter ("Ä" with "A", "ß" with "S").
std::array<unsigned char, 256> MakeFold() {
    std::array<unsigned char, 256> fold{};
    for (int i = 0; i < 256; ++i)
        fold[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i >= 'a' && i <= 'z' ? i - 32 : i);
    const char* groups[] = {"A\xC0\xC1\xC2\xC3\xC4\xC5\xE0\xE1\xE2\xE3\xE4\xE5",
                            "C\xC7\xE7",
                            "E\xC8\xC9\xCA\xCB\xE8\xE9\xEA\xEB",
                            "I\xCC\xCD\xCE\xCF\xEC\xED\xEE\xEF",
                            "N\xD1\xF1",
                            "O\xD2\xD3\xD4\xD5\xD6\xD8\xF2\xF3\xF4\xF5\xF6\xF8",
                            "S\xDF\x8A\x9A",
                            "U\xD9\xDA\xDB\xDC\xF9\xFA\xFB\xFC",
                            "Y\xDD\xFD\xFF\x9F",
                            "Z\x8E\x9E"};
    for (const char* g : groups)
        for (const char* p = g + 1; *p; ++p)
            fold[static_cast<unsigned char>(*p)] = static_cast<unsigned char>(g[0]);
    return fold;
}

const std::array<unsigned char, 256> Fold = MakeFold();

int CompareText(const std::string& a, const std::string& b, bool ignoreCase) {
    if (!ignoreCase)
        return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char ca = Fold[static_cast<unsigned char>(a[i])];
        const unsigned char cb = Fold[static_cast<unsigned char>(b[i])];
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() == b.size() ? 0 : 1);
}

} // namespace

int CompareValues(const Value& a, const Value& b, bool ignoreCase) {
    // The common case of a view order over ids and dates: two integers.
    if (const auto* ia = std::get_if<std::int64_t>(&a))
        if (const auto* ib = std::get_if<std::int64_t>(&b))
            return *ia < *ib ? -1 : (*ia > *ib ? 1 : 0);
    if (a.index() != b.index()) {
        if (IsNull(a))
            return -1;
        if (IsNull(b))
            return 1;
    }
    if (const auto* ia = std::get_if<std::int64_t>(&a)) {
        const double x = static_cast<double>(*ia);
        const double y = std::holds_alternative<std::int64_t>(b)
                             ? static_cast<double>(std::get<std::int64_t>(b))
                         : std::get_if<double>(&b) ? std::get<double>(b)
                                                   : 0;
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (const auto* da = std::get_if<double>(&a)) {
        const double y = std::holds_alternative<double>(b) ? std::get<double>(b)
                         : std::holds_alternative<std::int64_t>(b)
                             ? static_cast<double>(std::get<std::int64_t>(b))
                             : 0;
        return *da < y ? -1 : (*da > y ? 1 : 0);
    }
    if (const std::string* sa = TextOf(a)) {
        if (const std::string* sb = TextOf(b))
            return CompareText(*sa, *sb, ignoreCase);
        return 1;
    }
    return IsNull(b) ? 0 : -1;
}

} // namespace data
