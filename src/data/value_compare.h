#pragma once
// Ordering of field values for view orders: NULL first, numbers by value, text by its
// Windows-1252 bytes, optionally ignoring case (umlauts fold with their base letters).
#include "value.h"

namespace data {

int CompareValues(const Value& a, const Value& b, bool ignoreCase);

} // namespace data
