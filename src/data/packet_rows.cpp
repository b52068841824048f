// The rows of a data packet: record versions read straight from the text where they have
// the usual form, by the general scanner otherwise, within a memory budget.
#include "date_value.h"
#include "large_blocks.h"
#include "packet_reading.h"
#include "text_encoding.h"
#include "value_text.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <unordered_map>

namespace data {
namespace {

// What a memo's shared text costs beside its bytes (its control block and string).
constexpr std::size_t SharedTextOverhead = 64;

// The row state: a byte, written as a plain decimal.
[[gnu::always_inline]] inline std::optional<std::int64_t> PlainInteger(std::string_view raw) {
    const bool negative = raw.size() > 1 && raw[0] == '-';
    const std::size_t first = negative ? 1 : 0;
    if (raw.size() == first || raw.size() - first > 9 ||
        (raw[first] == '0' && (raw.size() - first > 1 || negative)))
        return std::nullopt;
    std::int64_t value = 0;
    for (std::size_t i = first; i < raw.size(); ++i) {
        const unsigned digit = static_cast<unsigned char>(raw[i]) - unsigned{'0'};
        if (digit > 9)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

// A plain decimal with at most 15 digits and no exponent ("31.8"), as the writer writes
// every value of this program: the digits as a whole number divided by a power of ten.
// Both are exact doubles and the division rounds correctly, so the result is the double
// nearest to the decimal, as from_chars would give. Anything else (an exponent, more
// digits) takes the general way.
inline std::optional<double> PlainDecimal(std::string_view raw) {
    static constexpr double PowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::int64_t digits = 0;
    int count = 0;
    int fraction = -1;
    for (char c : raw) {
        if (c == '.' && fraction < 0 && count > 0) {
            fraction = 0;
            continue;
        }
        const unsigned digit = static_cast<unsigned char>(c) - unsigned{'0'};
        if (digit > 9 || ++count > 15)
            return std::nullopt;
        digits = digits * 10 + digit;
        if (fraction >= 0)
            ++fraction;
    }
    if (count == 0 || fraction == 0)
        return std::nullopt;
    return static_cast<double>(digits) / PowersOfTen[fraction > 0 ? fraction : 0];
}

constexpr std::int64_t Int32Min = -2147483647 - 1;
constexpr std::int64_t Int32Max = 2147483647;

// Reads a value into `out` (NULL on entry), in place: rows are many, and a value built
// elsewhere and then moved in costs twice. False when the whole text is no value of the
// column as the writer writes it: then the file is not read at all, for a value read
// otherwise than it stands would be saved back changed.
[[gnu::always_inline]] inline bool ParseValue(const Column& column, std::string_view raw, Value& out) {
    switch (column.type) {
    case FieldType::Integer:
    case FieldType::AutoInc:
        if (const auto n = PlainInteger(raw); n && *n >= Int32Min && *n <= Int32Max) {
            out.emplace<std::int64_t>(*n);
            return true;
        }
        if (const auto n = ReadExactInteger(raw, Int32Min, Int32Max)) {
            out.emplace<std::int64_t>(*n);
            return true;
        }
        return false;
    case FieldType::Date:
        if (const auto days = ReadExactDate(raw)) {
            out.emplace<std::int64_t>(*days);
            return true;
        }
        return false;
    case FieldType::Float:
        // "-0" and negative values take the general way; the writer writes them too.
        if (!raw.empty() && raw[0] != '0' && raw[0] != '-')
            if (const auto d = PlainDecimal(raw)) {
                out.emplace<double>(*d);
                return true;
            }
        if (const auto d = ReadExactFloat(raw)) {
            out.emplace<double>(*d);
            return true;
        }
        return false;
    case FieldType::Memo:
        if (raw.size() > ShortMemo) {
            std::string bytes;
            if (!DecodeAttributeInto(raw, bytes))
                return false;
            out = MemoValue(std::move(bytes));
            return true;
        }
        [[fallthrough]];
    case FieldType::Text:
    case FieldType::Other: {
        // Decoded into an empty string made in place: emplacing from a string built
        // elsewhere would build it twice.
        std::string& bytes = out.emplace<std::string>();
        if (!DecodeAttributeInto(raw, bytes)) {
            out = Value{};
            return false;
        }
        // A text longer than its column was not written by this program: cut, it would be
        // saved back without its end.
        if (column.type == FieldType::Text && column.width > 0 &&
            bytes.size() > static_cast<std::size_t>(column.width)) {
            out = Value{};
            return false;
        }
        return true;
    }
    }
    return false;
}

// An expected attribute name with its '="', compared with the text as two 8-byte words
// under a mask: every attribute of every row is compared, and row names are short. Longer
// names, and the last bytes of the text, are compared plainly.
struct NamePattern {
    explicit NamePattern(std::string t) : text(std::move(t)) {
        // Built through memory as the text is loaded, so that byte order does not matter.
        unsigned char bytes[16] = {}, ones[16] = {};
        for (std::size_t i = 0; i < text.size() && i < 16; ++i) {
            bytes[i] = static_cast<unsigned char>(text[i]);
            ones[i] = 0xFF;
        }
        std::memcpy(word, bytes, 16);
        std::memcpy(mask, ones, 16);
    }

    // Whether the pattern stands at `p`, with at least one byte of the text after it.
    bool StandsAt(std::string_view in, std::size_t p) const {
        if (in.size() - p <= text.size())
            return false;
        if (text.size() <= 16 && in.size() - p >= 16) {
            std::uint64_t a, b;
            std::memcpy(&a, in.data() + p, 8);
            std::memcpy(&b, in.data() + p + 8, 8);
            return (((a ^ word[0]) & mask[0]) | ((b ^ word[1]) & mask[1])) == 0;
        }
        return std::memcmp(in.data() + p, text.data(), text.size()) == 0;
    }

    std::string text;
    std::uint64_t word[2] = {0, 0};
    std::uint64_t mask[2] = {0, 0};
};

class RowReader {
public:
    // No document of `size` bytes holds more than size / 6 rows ("<ROW/>"), which bounds the
    // record numbers worth remembering a predecessor for.
    RowReader(TableImage& image, std::size_t size) : m_image(image) {
        m_predecessor.assign(1, 0);
        const std::size_t limit = size / 6 + 1;
        for (const auto& e : image.changeLog)
            if (e.action == 8) { // modification
                if (e.record >= m_predecessor.size() && e.record <= limit)
                    m_predecessor.resize(e.record + 1, 0);
                if (e.record < m_predecessor.size())
                    m_predecessor[e.record] = e.predecessor;
            }
        for (std::size_t c = 0; c < image.columns.size(); ++c)
            if (image.columns[c].type == FieldType::Memo)
                m_memos.push_back(c);
        m_expectedNames.push_back("RowState");
        for (const auto& c : image.columns)
            m_expectedNames.push_back(c.attrName);
        for (const auto& name : m_expectedNames)
            m_expectedPatterns.emplace_back(name + "=\"");
        if (m_memos.size() == 1)
            m_memoOf.reserve(std::min(image.changeLog.size() + 1, size / 6 + 1));
        for (std::size_t k = image.columns.size(); k-- > 0;) // the first of equal names wins
            m_columnOf[image.columns[k].attrName] = k;
        m_rowCost = sizeof(Version) + image.columns.size() * sizeof(Value);
        m_budget = MemoryBudget(size);
        const int autoInc = image.AutoIncColumn();
        m_autoInc = autoInc >= 0 ? static_cast<std::size_t>(autoInc) : image.columns.size();
    }

    // The highest id the counter column held in the rows read, noted as they were read:
    // going over all rows again afterwards would fetch every one of them once more.
    std::int64_t HighestId() const { return m_highestId; }

    // Attributes away from their usual place are found by name through a map, so that any
    // order of them costs the same.
    std::size_t ColumnNamed(std::string_view name) const {
        const auto found = m_columnOf.find(name);
        return found == m_columnOf.end() ? m_image.columns.size() : found->second;
    }

    // The names a row usually carries, in order: the state, then the columns.
    const std::vector<std::string>* ExpectedNames() const { return &m_expectedNames; }

    // The usual row, read straight from the text: an empty element "<ROW .../>" whose
    // attributes are name="value" pairs. Anything else (a comment, an element with content,
    // an unusual character) returns false with `pos` unchanged, and the general scanner
    // takes over, with its checks and its messages.
    bool TryReadPlainRow(std::string_view text, std::size_t& pos) {
        const std::size_t size = text.size();
        std::size_t p = pos;
        while (p < size && text[p] >= 1 && text[p] <= ' ')
            ++p;
        if (size - p < 6 || text.compare(p, 4, "<ROW") != 0 || !(text[p + 4] == ' ' || text[p + 4] == '/'))
            return false;
        p += 4;
        Begin();
        std::size_t nextHint = 0;
        for (;;) {
            while (p < size && text[p] >= 1 && text[p] <= ' ')
                ++p;
            if (p + 1 >= size)
                return Abandon();
            if (text[p] == '/') {
                if (text[p + 1] != '>')
                    return Abandon();
                pos = p + 2;
                Finish();
                return true;
            }
            const std::size_t nameStart = p;
            int hint = -1;
            std::string_view name;
            // The expected name at this place, or the one after it (an attribute may be
            // absent), compared with its '="' in one go.
            for (std::size_t k = nextHint; k < nextHint + 2 && k < m_expectedPatterns.size(); ++k) {
                const NamePattern& pattern = m_expectedPatterns[k];
                if (pattern.StandsAt(text, p)) {
                    hint = static_cast<int>(k);
                    nextHint = k + 1;
                    name = text.substr(p, pattern.text.size() - 2);
                    p += pattern.text.size();
                    break;
                }
            }
            if (hint < 0) {
                while (p < size && !IsPlainNameEnd(text[p]))
                    ++p;
                if (p == nameStart || p + 2 >= size || text[p] != '=' || text[p + 1] != '"')
                    return Abandon();
                name = text.substr(nameStart, p - nameStart);
                p += 2;
            }
            // Values are short: a plain loop finds their end sooner than a call would.
            std::size_t end = p;
            while (end < size && text[end] != '"')
                ++end;
            if (end == size)
                return Abandon();
            Attribute(hint, name, text.substr(p, end - p));
            p = end + 1;
        }
    }

    void Read(const PacketTag& tag) {
        Begin();
        for (const auto& a : tag.attributes)
            Attribute(a.hint, a.name, a.raw);
        Finish();
    }

private:
    static bool IsPlainNameEnd(char c) {
        return static_cast<unsigned char>(c) <= ' ' || c == '=' || c == '/' || c == '>' || c == '<' ||
               c == '"';
    }

    void Begin() {
        // Every row costs its columns whatever it holds: many short rows of a wide table
        // must not take memory out of all proportion to the file.
        m_rowCharged = 0;
        Charge(m_rowCost);
        // Built in place, in the arena: a row moved in from elsewhere would keep the
        // memory it was built in.
        m_image.versions.push_back(Version{0, Values(m_image.columns.size(), m_image.arena.get())});
        ++m_rowStamp; // a column is present in this row when its stamp is the row's
        if (m_present.size() != m_image.columns.size())
            m_present.assign(m_image.columns.size(), 0);
    }

    void Charge(std::size_t bytes) {
        if (bytes > m_budget)
            throw PacketError(TooLargeMessage);
        m_budget -= bytes;
        m_rowCharged += bytes;
    }

    bool Abandon() {
        m_budget += m_rowCharged; // the general scanner reads the row again
        m_image.versions.pop_back();
        return false;
    }

    Version& Row() { return m_image.versions.back(); }

    // The row being read, counted from 1, for the messages.
    std::string RowNumber() const { return std::to_string(m_image.versions.size()); }

    [[gnu::always_inline]] inline void Attribute(int hint, std::string_view name, std::string_view raw) {
        // Attributes found at their usual place name their column already (hint 0 is the
        // row state); any others are looked up by name, in whatever order they come.
        if (hint == 0 || (hint < 0 && name == "RowState")) {
            const auto state = PlainInteger(raw);
            if (!state || *state < 0 || *state > 255 || m_statePresent == m_rowStamp)
                throw PacketError("Zeile " + RowNumber() + " hat keinen gültigen Zeilenstatus.");
            m_statePresent = m_rowStamp;
            Row().state = static_cast<std::uint8_t>(*state);
            // A modified row without its memo takes the predecessor's: fetch that while the
            // rest of the row is read.
            if ((Row().state & RowModified) && m_memos.size() == 1)
                if (const Value* old = PredecessorMemo())
                    __builtin_prefetch(old);
            return;
        }
        const std::size_t c = hint > 0 ? static_cast<std::size_t>(hint - 1) : ColumnNamed(name);
        // A name that is no column, or a column named twice, is a damaged row: a value
        // passed over would be missing when the file is saved again.
        if (c >= m_image.columns.size())
            throw PacketError("Zeile " + RowNumber() + " enthält ein unbekanntes Feld.");
        if (m_present[c] == m_rowStamp)
            throw PacketError("Zeile " + RowNumber() + " enthält das Feld \"" + m_image.columns[c].attrName +
                              "\" zweimal.");
        Value& value = Row().values[c];
        if (!ParseValue(m_image.columns[c], raw, value))
            throw PacketError("Zeile " + RowNumber() + ": ungültiger Wert im Feld \"" +
                              m_image.columns[c].attrName + "\".");
        // Texts take memory beyond their row; a memo a later version leaves untouched is
        // shared, not copied, so it is counted once, here.
        if (const std::string* text = TextOf(value))
            Charge(text->size() + (std::holds_alternative<SharedText>(value) ? SharedTextOverhead : 0));
        m_present[c] = m_rowStamp;
        if (c == m_autoInc)
            if (const auto* id = std::get_if<std::int64_t>(&value))
                m_highestId = std::max(m_highestId, *id);
    }

    void Finish() {
        Version& v = Row();
        const auto record = static_cast<std::uint32_t>(m_image.versions.size());
        if (m_memos.size() == 1) {
            const std::size_t c = m_memos[0];
            if ((v.state & RowModified) && m_present[c] != m_rowStamp)
                if (const Value* old = PredecessorMemo())
                    v.values[c] = *old;
            // A NULL memo is remembered as none: a later version need not look at it.
            m_memoOf.push_back(std::holds_alternative<std::monostate>(v.values[c]) ? nullptr : &v.values[c]);
        } else if ((v.state & RowModified) && !m_memos.empty()) {
            const std::uint32_t before = record < m_predecessor.size() ? m_predecessor[record] : 0;
            for (std::size_t c : m_memos)
                if (m_present[c] != m_rowStamp && before != 0 && before < record)
                    v.values[c] = m_image.versions[before - 1].values[c];
        }
    }

    // The memo of the version the current row replaces (one memo column), or null. The
    // values of a read row never move (they live in the arena), so their addresses are kept.
    const Value* PredecessorMemo() const {
        const auto record = static_cast<std::uint32_t>(m_image.versions.size());
        const std::uint32_t before = record < m_predecessor.size() ? m_predecessor[record] : 0;
        return before != 0 && before < record ? m_memoOf[before - 1] : nullptr;
    }

private:
    TableImage& m_image;
    std::vector<std::uint32_t> m_predecessor;
    std::vector<std::size_t> m_memos;
    std::vector<std::uint32_t> m_present; // per column: the stamp of the last row that had it
    std::uint32_t m_rowStamp = 0;
    std::uint32_t m_statePresent = 0; // the stamp of the last row that had its state
    std::vector<std::string> m_expectedNames;
    std::vector<NamePattern> m_expectedPatterns; // each name with its '="'
    std::vector<const Value*> m_memoOf;          // the memo of every row read so far, or null
    std::unordered_map<std::string_view, std::size_t> m_columnOf;
    std::size_t m_rowCost = 0;
    std::size_t m_budget = 0;
    std::size_t m_rowCharged = 0; // what the row being read has taken from the budget
    std::size_t m_autoInc = 0;    // the counter column, or the number of columns
    std::int64_t m_highestId = 0;
};

} // namespace

std::int64_t ReadRows(PacketScanner& scanner, std::string_view text, TableImage& image) {
    // Every insert and modification in the log made one row: room for them at once.
    std::size_t expected = 0;
    for (const auto& e : image.changeLog)
        expected += e.action != 2;
    // The log is only a hint: never more than the rows the file could hold, nor more
    // than the memory budget allows.
    const std::size_t rowCost = sizeof(Version) + image.columns.size() * sizeof(Value);
    expected = std::min({expected, text.size() / 6 + 1, MemoryBudget(text.size()) / rowCost});
    image.versions.reserve(expected);
    image.arena = std::make_shared<std::pmr::monotonic_buffer_resource>(
        std::max<std::size_t>(1024, expected * image.columns.size() * sizeof(Value)), LargeBlocks());
    RowReader rows(image, text.size());
    scanner.SetExpectedNames(rows.ExpectedNames()); // taken back below, before `rows` goes
    for (;;) {
        std::size_t position = scanner.Position();
        if (rows.TryReadPlainRow(text, position)) {
            scanner.SetPosition(position);
            continue;
        }
        PacketTag* tag = &scanner.Expect();
        if (tag->kind == PacketTag::End && tag->name == "ROWDATA")
            break;
        if (tag->name != "ROW" || tag->kind == PacketTag::End)
            Mismatch();
        rows.Read(*tag);
        if (tag->kind == PacketTag::Start)
            scanner.SkipContent("ROW");
    }
    scanner.SetExpectedNames(nullptr);
    return rows.HighestId();
}

} // namespace data
