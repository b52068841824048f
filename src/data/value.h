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

} // namespace data
