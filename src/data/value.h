#pragma once
// One field value of a record version: NULL, an integer (also dates, as day numbers), a
// float, or text bytes in Windows-1252.
#include <cstdint>
#include <memory_resource>
#include <string>
#include <variant>
#include <vector>

namespace data {

using Value = std::variant<std::monostate, std::int64_t, double, std::string>;
// The values of one record. A table read from a file keeps the values of all its versions
// in one memory arena (the versions are never freed one by one), see TableImage.
using Values = std::pmr::vector<Value>;

inline bool IsNull(const Value& v) {
    return std::holds_alternative<std::monostate>(v);
}

// A value read as an integer, a float or bytes; anything else (NULL among them) reads as 0
// or as the empty text.
inline std::int64_t IntegerOf(const Value& v) {
    const auto* n = std::get_if<std::int64_t>(&v);
    return n ? *n : 0;
}
inline double FloatOf(const Value& v) {
    const auto* d = std::get_if<double>(&v);
    return d ? *d : 0;
}
inline std::string BytesOf(const Value& v) {
    const auto* s = std::get_if<std::string>(&v);
    return s ? *s : std::string();
}

} // namespace data
