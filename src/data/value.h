#pragma once
// One field value of a record version: NULL, an integer (also dates, as day numbers), a
// float, text bytes in Windows-1252, or a memo's text bytes.
#include <cstdint>
#include <memory>
#include <memory_resource>
#include <string>
#include <variant>
#include <vector>

namespace data {

// A long memo's text, shared by every version that carries it unchanged: a record whose
// memo a modification left alone holds the same text as its predecessor, not a copy of it,
// so a long memo edited many times costs its length once. Equal when the texts are equal;
// whether two versions share one text (the modification left it untouched) is Same().
struct SharedText {
    std::shared_ptr<const std::string> text;

    static SharedText Of(std::string bytes) {
        return {std::make_shared<const std::string>(std::move(bytes))};
    }
    const std::string& Bytes() const {
        static const std::string empty;
        return text ? *text : empty;
    }
    bool Same(const SharedText& other) const { return text == other.text; }
    friend bool operator==(const SharedText& a, const SharedText& b) {
        return a.text == b.text || a.Bytes() == b.Bytes();
    }
};

using Value = std::variant<std::monostate, std::int64_t, double, std::string, SharedText>;

// A memo's value: a short text (no longer than std::string holds without a heap block) as
// a plain text, copied for nothing; a longer one shared.
constexpr std::size_t ShortMemo = 15;
inline Value MemoValue(std::string bytes) {
    if (bytes.size() <= ShortMemo)
        return Value{std::move(bytes)};
    return SharedText::Of(std::move(bytes));
}
// The values of one record. A table read from a file keeps the values of all its versions
// in one memory arena (the versions are never freed one by one), see TableImage.
using Values = std::pmr::vector<Value>;

inline bool IsNull(const Value& v) {
    return std::holds_alternative<std::monostate>(v);
}

// The bytes of a text or memo value, or null for any other value.
inline const std::string* TextOf(const Value& v) {
    if (const auto* s = std::get_if<std::string>(&v))
        return s;
    if (const auto* m = std::get_if<SharedText>(&v))
        return &m->Bytes();
    return nullptr;
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
    const std::string* s = TextOf(v);
    return s ? *s : std::string();
}

} // namespace data
